#include <kyanalysis/KyCompositeXMLWriter.h>

#include "KyXMLElement_p.h"
#include "KyXMLScope_p.h"
#include "KyXMLText_p.h"

#include <algorithm>

using namespace xercesc;

KyCompositeXMLWriter::KyCompositeXMLWriter(const wchar_t* fileName)
    : KyTopLevelXMLWriter(fileName, 1, 0) {}

KyCompositeXMLWriter::KyCompositeXMLWriter(const wchar_t* fileName, int indenting,
                                           int usingTemplates)
    : KyTopLevelXMLWriter(fileName, indenting, usingTemplates) {}

KyCompositeXMLWriter::KyCompositeXMLWriter(unsigned char** buffer, int indenting,
                                           int usingTemplates)
    : KyTopLevelXMLWriter(buffer, indenting, usingTemplates) {}

KyCompositeXMLWriter::~KyCompositeXMLWriter() = default;

KyCompositeXMLWriter::Part* KyCompositeXMLWriter::part(const wchar_t* name) {
  if (name == nullptr)
    return nullptr;
  for (Part& part : parts_)
    if (part.name == name)
      return &part;
  parts_.push_back(Part{name, nullptr, nullptr});
  return &parts_.back();
}

const KyCompositeXMLWriter::Part* KyCompositeXMLWriter::findPart(const wchar_t* name) const {
  if (name == nullptr)
    return nullptr;
  const auto found = std::find_if(parts_.begin(), parts_.end(),
                                  [name](const Part& part) { return part.name == name; });
  return found != parts_.end() ? &*found : nullptr;
}

KyXMLWriter* KyCompositeXMLWriter::setWriter(const wchar_t* name, KyXMLWriter* writer) {
  Part* registered = part(name);
  return registered != nullptr ? registered->writer = writer : nullptr;
}

KyXMLWriter* KyCompositeXMLWriter::pWriter(const wchar_t* name) const {
  const Part* registered = findPart(name);
  return registered != nullptr ? registered->writer : nullptr;
}

KyObject* KyCompositeXMLWriter::setObjectToWrite(const wchar_t* name, KyObject* object) {
  Part* registered = part(name);
  return registered != nullptr ? registered->object = object : nullptr;
}

KyObject* KyCompositeXMLWriter::pObjectToWrite(const wchar_t* name) const {
  const Part* registered = findPart(name);
  return registered != nullptr ? registered->object : nullptr;
}

int KyCompositeXMLWriter::populateDOMElement(DOMElement& element) {
  for (const Part& registered : parts_) {
    if (registered.writer == nullptr) {
      if (registered.object != nullptr)
        return fail(L"no writer for the part \"" + registered.name + L"\"");
      continue;
    }
    DOMElement* part = kyAppendElement(u"part", element);
    part->setAttribute(u"name", KyXMLText::toXML(registered.name).c_str());
    int written;
    {
      KyHandlerScope<KyXMLWriter> scope(*registered.writer, this, registered.object);
      written = registered.writer->populateDOMElement(*part);
    }
    if (written == 0) {
      const std::wstring reason = failure();
      clearFailure();
      return fail(L"part \"" + registered.name + L"\"" +
                  (reason.empty() ? L" cannot be written" : L": " + reason));
    }
  }
  return 1;
}
