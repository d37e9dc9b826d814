#include <kyplatform/KyXMLWriter.h>

KyXMLWriter::~KyXMLWriter() = default;

const wchar_t* KyXMLWriter::pID(const KyObject* object) {
  return parent_ != nullptr ? parent_->pID(object) : nullptr;
}

int KyXMLWriter::populateDOMElement(xercesc::DOMElement&) { return 1; }

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
