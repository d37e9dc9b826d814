#include <kyplatform/KyXMLStream.h>

#include "KyXMLDOMSink_p.h"
#include "KyXMLTextSink_p.h"

KyXMLStream::KyXMLStream(KyXMLByteBlocks& out, bool indenting)
    : sink_(std::make_unique<KyXMLTextSink>(out, indenting)) {}

KyXMLStream::KyXMLStream(xercesc::DOMElement& open) : sink_(std::make_unique<KyXMLDOMSink>(open)) {}

KyXMLStream::~KyXMLStream() = default;

void KyXMLStream::declaration() { sink_->declaration(); }

void KyXMLStream::finish() { sink_->finish(); }

void KyXMLStream::start(const XMLCh* name) { sink_->start(name); }

void KyXMLStream::attribute(const XMLCh* name, const XMLCh* value) {
  sink_->attribute(name, value);
}

void KyXMLStream::attribute(const XMLCh* name, std::wstring_view value) {
  sink_->attribute(name, value);
}

void KyXMLStream::end() { sink_->end(); }

void KyXMLStream::element(const xercesc::DOMElement& element) { sink_->element(element); }

void KyXMLStream::content(const xercesc::DOMElement& element) { sink_->content(element); }

const XMLCh* KyXMLStream::pOpenName() const { return sink_->pOpenName(); }

xercesc::DOMElement* KyXMLStream::pOpenElement() const { return sink_->pOpenElement(); }

KyXMLStream::Failure KyXMLStream::failure() const { return sink_->failure(); }
