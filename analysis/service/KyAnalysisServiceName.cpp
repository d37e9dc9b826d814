#include <kyanalysis/KyAnalysisConstraintXMLReader.h>
#include <kyanalysis/KyAnalysisConstraintXMLWriter.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisOptionDescriptionManager.h>
#include <kyanalysis/KyAnalysisResultDescriptionManager.h>
#include <kyanalysis/KyAnalysisSerializer.h>
#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyanalysis/KyClusteringConstraint.h>
#include <kyanalysis/KyPair.h>
#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyConstraintManagerXMLReader.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceInputDataXMLReader.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyText.h>
#include <kyplatform/KyXMLReader.h>
#include <kyplatform/KyXMLWriter.h>

#include <memory>
#include <string>
#include <string_view>
#include <typeinfo>

KyAnalysisServiceName::KyAnalysisServiceName()
    : serializer_(new KyAnalysisSerializer), constraintWriter_(new KyAnalysisConstraintXMLWriter),
      constraintReader_(new KyAnalysisConstraintXMLReader) {}

KyAnalysisServiceName::~KyAnalysisServiceName() {
  delete inputDescription_;
  delete outputDescription_;
  delete serializer_;
  delete constraintWriter_;
  delete constraintReader_;
}

KyServiceItemDescriptionManager* KyAnalysisServiceName::pInputDescription() {
  if (inputDescription_ == nullptr)
    inputDescription_ = new KyAnalysisOptionDescriptionManager;
  return inputDescription_;
}

const KyServiceItemDescriptionManager* KyAnalysisServiceName::pInputDescriptionForLookup() {
  if (inputDescription_ == nullptr && typeid(*this) == typeid(KyAnalysisServiceName))
    return &KyAnalysisOptionDescriptionManager::built();
  return pInputDescription();
}

KyServiceItemDescriptionManager* KyAnalysisServiceName::pOutputDescription() {
  if (outputDescription_ == nullptr)
    outputDescription_ = new KyAnalysisResultDescriptionManager;
  return outputDescription_;
}

KyServiceItemDescription* KyAnalysisServiceName::pResultDescription(const wchar_t* key) {
  if (key == nullptr || std::wstring_view(key) != KyAnalysisKey::errorOption)
    return KyServiceName::pResultDescription(key);
  if (errorOption_ == nullptr)
    errorOption_ = std::make_unique<KyServiceResultDescription>(KyAnalysisKey::errorOption,
                                                                L"KyObject", L"Text", nullptr);
  return errorOption_.get();
}

const wchar_t* KyAnalysisServiceName::pDefaultName() const { return kDefaultName; }

const wchar_t* KyAnalysisServiceName::pServiceClassName() const { return L"KyAnalysisService"; }

void KyAnalysisServiceName::readConstraintManager(const xercesc::DOMElement& element,
                                                  KyServiceInputDataXMLReader* reader) {
  KyServiceInputData* data = reader != nullptr ? reader->pServiceInputData() : nullptr;
  if (data == nullptr)
    return;
  auto* graph = dynamic_cast<KyGraph*>(reader->pElementObject(L"parent", element));
  const wchar_t* key = KyAnalysisKey::clustering::graphConstraintManager;
  auto* manager = dynamic_cast<KyConstraintManager*>(data->pValue(graph, key));
  if (manager == nullptr) {
    manager = new KyConstraintManager(nullptr);
    // Owned by the input data, as a manager the clustering tailor makes.
    data->storeOwned(graph, key, manager);
  }
  KyConstraintManagerXMLReader managerReader;
  managerReader.pParent(reader);
  managerReader.pConstraintReader(pConstraintReader());
  managerReader.pConstraintManager(manager);
  managerReader.processDOMElement(element);
}

namespace {
constexpr std::wstring_view kPairOwner = L"KyPair";
constexpr std::wstring_view kConstraintOwner = L"KyClusteringConstraint";

std::wstring_view orEmpty(const wchar_t* text) { return text != nullptr ? text : L""; }
} // namespace

KyText* KyAnalysisServiceName::pConvertOwnerToString(const KyObject* owner,
                                                     const wchar_t* ownerType,
                                                     KyXMLWriter* writer) {
  const std::wstring_view type = orEmpty(ownerType);
  if (type == kConstraintOwner && dynamic_cast<const KyClusteringConstraint*>(owner) == nullptr)
    return nullptr;
  if (type != kPairOwner)
    return KyServiceName::pConvertOwnerToString(owner, ownerType, writer);
  const auto* pair = dynamic_cast<const KyPair*>(owner);
  if (pair == nullptr || writer == nullptr ||
      dynamic_cast<const KyNode*>(pair->pFirstObject()) == nullptr ||
      dynamic_cast<const KyNode*>(pair->pSecondObject()) == nullptr)
    return nullptr;
  const wchar_t* first = writer->pID(pair->pFirstObject());
  const wchar_t* second = first != nullptr ? writer->pID(pair->pSecondObject()) : nullptr;
  return second != nullptr ? new KyText((std::wstring(first) + L' ' + second).c_str()) : nullptr;
}

KyObject* KyAnalysisServiceName::pConvertStringToOwner(const wchar_t* text,
                                                       const wchar_t* ownerType,
                                                       KyXMLReader* reader, int& owned) {
  const std::wstring_view type = orEmpty(ownerType);
  if (type != kPairOwner) {
    KyObject* owner = KyServiceName::pConvertStringToOwner(text, ownerType, reader, owned);
    return type != kConstraintOwner || dynamic_cast<KyClusteringConstraint*>(owner) != nullptr
               ? owner
               : nullptr;
  }
  owned = 1;
  const std::wstring_view members = orEmpty(text);
  const std::size_t space = members.find(L' ');
  if (reader == nullptr || space == std::wstring_view::npos)
    return nullptr;
  auto* first =
      dynamic_cast<KyNode*>(reader->pObject(std::wstring(members.substr(0, space)).c_str()));
  auto* second =
      dynamic_cast<KyNode*>(reader->pObject(std::wstring(members.substr(space + 1)).c_str()));
  return first != nullptr && second != nullptr ? new KyPair(first, second) : nullptr;
}

int KyAnalysisServiceName::plainTexts() {
  return typeid(*this) == typeid(KyAnalysisServiceName) ? kIntegerTexts | kPairTexts : 0;
}
