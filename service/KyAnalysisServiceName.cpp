#include <kyanalysis/KyAnalysisOptionDescriptionManager.h>
#include <kyanalysis/KyAnalysisResultDescriptionManager.h>
#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyanalysis/KyConstraintXMLReader.h>
#include <kyanalysis/KyConstraintXMLWriter.h>
#include <kyanalysis/KySerializer.h>

KyAnalysisServiceName::KyAnalysisServiceName() = default;

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
