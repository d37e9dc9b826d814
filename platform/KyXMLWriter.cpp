#include <kyplatform/KyXMLStream.h>
#include <kyplatform/KyXMLWriter.h>

#include "KyXMLElement_p.h"

KyXMLWriter::~KyXMLWriter() = default;

const wchar_t* KyXMLWriter::pID(const KyObject* object) {
  return parent_ != nullptr ? parent_->pID(object) : nullptr;
}

const wchar_t* KyXMLWriter::pKnownID(const KyObject* object) {
  return parent_ != nullptr ? parent_->pKnownID(object) : nullptr;
}

int KyXMLWriter::populateDOMElement(xercesc::DOMElement&) { return 1; }

int KyXMLWriter::writeElement(KyXMLStream& out) {
  if (xercesc::DOMElement* open = out.pOpenElement())
    return populateDOMElement(*open);
  const KyOwnedDocument scratch = kyScratchDocument(out.pOpenName());
  xercesc::DOMElement* element = scratch->getDocumentElement();
  if (populateDOMElement(*element) == 0)
    return 0;
  out.content(*element);
  return 1;
}

int KyXMLWriter::usingTemplates() const {
  return parent_ != nullptr ? parent_->usingTemplates() : 0;
}

int KyXMLWriter::fail(const std::wstring& message) {
  KyXMLWriter* root = this;
  while (root->parent_ != nullptr)
    root = root->parent_;
  if (root->failure_.empty())
    root->failure_ = message;
  return 0;
}
