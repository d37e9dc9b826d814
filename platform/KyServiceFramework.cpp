// Service names, item descriptions and their manager.
#include <kyplatform/KyDouble.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyEdgeDList.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyHashMap.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyServiceName.h>
#include <kyplatform/KyText.h>
#include <kyplatform/KyXMLReader.h>
#include <kyplatform/KyXMLWriter.h>

#include "KyServiceInputDataXML_p.h"
#include "KyXMLText_p.h"

#include <cwchar>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <typeinfo>

KyServiceItemDescriptionManager* KyServiceName::pInputDescription() { return nullptr; }
KyServiceItemDescriptionManager* KyServiceName::pOutputDescription() { return nullptr; }
const KyServiceItemDescriptionManager* KyServiceName::pInputDescriptionForLookup() {
  return pInputDescription();
}
KySerializer* KyServiceName::pSerializer() { return nullptr; }
KyServiceItemDescription* KyServiceName::pResultDescription(const wchar_t* key) {
  KyServiceItemDescriptionManager* results = pOutputDescription();
  return results != nullptr ? results->pOption(key) : nullptr;
}
const wchar_t* KyServiceName::pDefaultName() const { return nullptr; }
const wchar_t* KyServiceName::pServiceClassName() const { return nullptr; }
KyConstraintXMLWriter* KyServiceName::pConstraintWriter() { return nullptr; }
KyConstraintXMLReader* KyServiceName::pConstraintReader() { return nullptr; }
void KyServiceName::readConstraintManager(const xercesc::DOMElement&,
                                          KyServiceInputDataXMLReader*) {}

namespace {
// An object of type T that `id` names through `reader`, or null.
template <typename T> T* documentObject(std::wstring_view id, KyXMLReader* reader) {
  return reader != nullptr ? dynamic_cast<T*>(reader->pObject(std::wstring(id).c_str())) : nullptr;
}

// The identifiers of a list of T, separated by single spaces; null when an
// item is not a T or has no identifier.
template <typename T> KyText* identifierList(const KyDList& list, KyXMLWriter& writer) {
  std::wstring ids;
  for (KyDListIter it(&list); it; ++it) {
    const wchar_t* id =
        dynamic_cast<const T*>(it.pObject()) != nullptr ? writer.pID(it.pObject()) : nullptr;
    if (id == nullptr)
      return nullptr;
    if (!ids.empty())
      ids += L' ';
    ids += id;
  }
  return new KyText(ids.c_str());
}

// A new List of the T objects that the identifiers of `text` name; null
// when one names no T.
template <typename T, typename List>
KyObject* readIdentifierList(std::wstring_view text, KyXMLReader* reader) {
  auto list = std::make_unique<List>();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = start;
    while (end < text.size() && !KyXMLText::isSpace(text[end]))
      ++end;
    if (end > start) {
      T* object = documentObject<T>(text.substr(start, end - start), reader);
      if (object == nullptr)
        return nullptr;
      list->appendObject(object);
    }
    start = end + 1;
  }
  return list.release();
}
} // namespace

KyText* KyServiceName::pConvertValueToString(const KyObject* value, const wchar_t* valueType,
                                             KyXMLWriter* writer) {
  const std::wstring_view type = valueType != nullptr ? valueType : L"";
  const auto* integer = dynamic_cast<const KyInt*>(value);
  if (type == L"Integer" && integer != nullptr)
    return new KyText(KyXMLText::formatInteger(integer->value()).c_str());
  if (type == L"Boolean" && integer != nullptr)
    return new KyText(integer->value() != 0 ? L"true" : L"false");
  if (type == L"Double")
    if (const auto* real = dynamic_cast<const KyDouble*>(value))
      return new KyText(KyXMLText::formatDouble(real->value()).c_str());
  if (type == L"Text")
    if (const auto* text = dynamic_cast<const KyText*>(value))
      return new KyText(text->pValue());
  if (writer == nullptr)
    return nullptr;
  if ((type == L"KyGraph" && dynamic_cast<const KyGraph*>(value) != nullptr) ||
      (type == L"KyNode" && dynamic_cast<const KyNode*>(value) != nullptr) ||
      (type == L"KyEdge" && dynamic_cast<const KyEdge*>(value) != nullptr)) {
    const wchar_t* id = writer->pID(value);
    return id != nullptr ? new KyText(id) : nullptr;
  }
  const auto* list = dynamic_cast<const KyDList*>(value);
  if (list != nullptr && type == L"List<KyNode>")
    return identifierList<KyNode>(*list, *writer);
  if (list != nullptr && type == L"List<KyEdge>")
    return identifierList<KyEdge>(*list, *writer);
  return nullptr;
}

KyObject* KyServiceName::pConvertStringToValue(const wchar_t* text, const wchar_t* valueType,
                                               KyXMLReader* reader, int& owned) {
  const std::wstring_view type = valueType != nullptr ? valueType : L"";
  const std::wstring_view value = text != nullptr ? text : L"";
  owned = 1;
  if (type == L"Integer") {
    int integer;
    return KyXMLText::parseInteger(value, integer) ? new KyInt(integer) : nullptr;
  }
  if (type == L"Boolean")
    return value == L"true" ? new KyInt(1) : value == L"false" ? new KyInt(0) : nullptr;
  if (type == L"Double") {
    double real;
    return KyXMLText::parseDouble(value, real) ? new KyDouble(real) : nullptr;
  }
  if (type == L"Text")
    return new KyText(std::wstring(value).c_str());
  if (type == L"List<KyNode>")
    return readIdentifierList<KyNode, KyNodeDList>(value, reader);
  if (type == L"List<KyEdge>")
    return readIdentifierList<KyEdge, KyEdgeDList>(value, reader);
  owned = 0;
  if (type == L"KyGraph")
    return documentObject<KyGraph>(value, reader);
  if (type == L"KyNode")
    return documentObject<KyNode>(value, reader);
  if (type == L"KyEdge")
    return documentObject<KyEdge>(value, reader);
  return nullptr;
}

KyText* KyServiceName::pConvertOwnerToString(const KyObject* owner, const wchar_t* ownerType,
                                             KyXMLWriter* writer) {
  if (owner == nullptr || writer == nullptr ||
      !KyServiceInputDataXML::ownerFits(owner, ownerType != nullptr ? ownerType : L""))
    return nullptr;
  const wchar_t* id = writer->pID(owner);
  return id != nullptr ? new KyText(id) : nullptr;
}

KyObject* KyServiceName::pConvertStringToOwner(const wchar_t* text, const wchar_t* ownerType,
                                               KyXMLReader* reader, int& owned) {
  owned = 0;
  KyObject* owner = reader != nullptr && text != nullptr ? reader->pObject(text) : nullptr;
  return owner != nullptr &&
                 KyServiceInputDataXML::ownerFits(owner, ownerType != nullptr ? ownerType : L"")
             ? owner
             : nullptr;
}

int KyServiceName::plainTexts() {
  return typeid(*this) == typeid(KyServiceName) ? kIntegerTexts : 0;
}

namespace {
// Appends `text` (null as empty) and its terminating zero; returns where
// it starts.
std::size_t appendText(std::wstring& texts, const wchar_t* text) {
  const std::size_t at = texts.size();
  if (text != nullptr)
    texts += text;
  texts.push_back(L'\0');
  return at;
}
} // namespace

KyServiceItemDescription::KyServiceItemDescription(const wchar_t* key, const wchar_t* ownerType,
                                                   const wchar_t* valueType,
                                                   const wchar_t* explanation) {
  std::size_t size = 0;
  for (const wchar_t* text : {key, ownerType, valueType, explanation})
    size += (text != nullptr ? std::wcslen(text) : 0) + 1;
  texts_.reserve(size);
  appendText(texts_, key);
  ownerTypeAt_ = appendText(texts_, ownerType);
  valueTypeAt_ = appendText(texts_, valueType);
  explanationAt_ = explanation != nullptr ? appendText(texts_, explanation) : 0;
}

KyServiceOptionDescription::KyServiceOptionDescription(const wchar_t* key, const wchar_t* ownerType,
                                                       const wchar_t* valueType,
                                                       const wchar_t* explanation, int required,
                                                       int specific, KyHashMap* enumeration,
                                                       KyObject* defaultValue)
    : KyServiceItemDescription(key, ownerType, valueType, explanation), required_(required),
      specific_(specific), enumeration_(enumeration), defaultValue_(defaultValue) {}

KyServiceOptionDescription::~KyServiceOptionDescription() {
  if (enumeration_ != nullptr)
    enumeration_->vRelease();
  if (defaultValue_ != nullptr)
    defaultValue_->vRelease();
}

KyServiceItemDescriptionManager::~KyServiceItemDescriptionManager() {
  byKey_.clear();
  descriptions_.deleteAllCellsAndObjects();
}

KyServiceItemDescription*
KyServiceItemDescriptionManager::pOption(KyServiceItemDescription* description) {
  if (description == nullptr || !byKey_.emplace(description->pKey(), description).second)
    return nullptr;
  descriptions_.appendObject(description);
  return description;
}

KyServiceItemDescription* KyServiceItemDescriptionManager::pOption(const wchar_t* key) const {
  if (key == nullptr)
    return nullptr;
  const auto found = byKey_.find(key);
  return found != byKey_.end() ? found->second : nullptr;
}
