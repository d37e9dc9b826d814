// KyXMLDOMSink: a stream's elements appended to a DOM element. Internal to
// the platform library.
#pragma once

#include "KyXMLSink_p.h"

/// Makes what the stream is handed as DOM elements, appended to the element
/// open now, in the element's document. Attributes are set on the element
/// as they come; whole DOM elements are imported with everything they
/// hold. Nothing fails: what DOM refuses throws a DOMException. Writes no
/// declaration and nothing after the document element, which the DOM's
/// serializer writes. Cost O(1) a call plus what DOM costs.
class KyXMLDOMSink final : public KyXMLSink {
public:
  /// Elements appended to `open`, which counts as the element just opened;
  /// it stays the caller's.
  explicit KyXMLDOMSink(xercesc::DOMElement& open) : open_(&open) {}

  void declaration() override {}
  void finish() override {}
  void start(const XMLCh* name) override;
  void attribute(const XMLCh* name, const XMLCh* value) override;
  void attribute(const XMLCh* name, std::wstring_view value) override;
  void end() override;
  void element(const xercesc::DOMElement& element) override;
  void content(const xercesc::DOMElement& element) override;
  const XMLCh* pOpenName() const override { return open_->getTagName(); }
  xercesc::DOMElement* pOpenElement() const override { return open_; }

private:
  xercesc::DOMElement* open_;
};
