#include <kyanalysis/KyAnalysisConstraintXMLReader.h>
#include <kyanalysis/KyAnalysisConstraintXMLWriter.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisOptionDescriptionManager.h>
#include <kyanalysis/KyAnalysisResultDescriptionManager.h>
#include <kyanalysis/KyAnalysisSerializer.h>
#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyConstraintManagerXMLReader.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceInputDataXMLReader.h>

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

KyServiceItemDescriptionManager* KyAnalysisServiceName::pOutputDescription() {
  if (outputDescription_ == nullptr)
    outputDescription_ = new KyAnalysisResultDescriptionManager;
  return outputDescription_;
}

const wchar_t* KyAnalysisServiceName::pDefaultName() const { return L"analysis"; }

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
