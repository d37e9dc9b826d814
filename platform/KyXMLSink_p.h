// KyXMLSink: where a KyXMLStream puts what writers hand it. Internal to the
// platform library.
#pragma once

#include <kyplatform/KyXMLStream.h>

#include <xercesc/dom/DOMElement.hpp>

#include <string_view>

/// The back-end of a KyXMLStream: the text of the document
/// (KyXMLTextSink) or DOM elements (KyXMLDOMSink). The stream hands each of
/// its calls on to its sink, one virtual call per element, attribute or
/// whole DOM element, never one per character. The calls mean what they
/// mean on KyXMLStream.
class KyXMLSink {
public:
  KyXMLSink() = default;
  virtual ~KyXMLSink() = default;
  KyXMLSink(const KyXMLSink&) = delete;
  KyXMLSink& operator=(const KyXMLSink&) = delete;

  virtual void declaration() = 0;
  virtual void finish() = 0;
  virtual void start(const XMLCh* name) = 0;
  virtual void attribute(const XMLCh* name, const XMLCh* value) = 0;
  virtual void attribute(const XMLCh* name, std::wstring_view value) = 0;
  virtual void end() = 0;
  virtual void element(const xercesc::DOMElement& element) = 0;
  virtual void content(const xercesc::DOMElement& element) = 0;
  virtual const XMLCh* pOpenName() const = 0;
  virtual xercesc::DOMElement* pOpenElement() const = 0;

  /// The first thing that could not be written.
  KyXMLStream::Failure failure() const { return failure_; }

protected:
  /// Records `failure` unless one was recorded first.
  void fail(KyXMLStream::Failure failure) {
    if (failure_ == KyXMLStream::Failure::none)
      failure_ = failure;
  }

private:
  KyXMLStream::Failure failure_ = KyXMLStream::Failure::none;
};
