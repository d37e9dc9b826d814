// The two tailor frames: option lookup with defaults and the result patterns.
#include "KyLibraryKeys_p.h"

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisOptionDescriptionManager.h>
#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyanalysis/KyBaseAnalysisOutputTailor.h>
#include <kyanalysis/KyGeneralAnalysisInputTailor.h>
#include <kyplatform/KyDouble.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>

#include <typeinfo>

namespace {
// Exact-class tests: the value classes are final, and typeid is cheaper than
// a dynamic_cast on the read path.
template <class T> const T* exactly(const KyObject* object) {
  return object != nullptr && typeid(*object) == typeid(T) ? static_cast<const T*>(object)
                                                           : nullptr;
}
} // namespace

KyGeneralAnalysisInputTailor::KyGeneralAnalysisInputTailor(KyServiceInputData* inputData)
    : inputData_(inputData), graph_(nullptr) {
  if (inputData_->pServiceName() == nullptr)
    inputData_->pServiceName(new KyAnalysisServiceName);
  // The accessors pass this library's key constants: their addresses are
  // enough for the store once filed.
  inputData_->trustKeys(&KyLibraryKeys::holds);
  graph_ = dynamic_cast<KyGraph*>(storedValue(nullptr, KyAnalysisKey::all::noneGraph));
}

KyGeneralAnalysisInputTailor::~KyGeneralAnalysisInputTailor() = default;

KyGraph* KyGeneralAnalysisInputTailor::pGraph(KyGraph* graph) {
  graph_ = graph;
  inputData_->storeReference(nullptr, KyAnalysisKey::all::noneGraph, graph);
  return graph_;
}

KyAnalysisOperationEnum KyGeneralAnalysisInputTailor::operationType() const {
  const KyInt* code = exactly<KyInt>(storedValue(nullptr, KyAnalysisKey::all::noneOperation));
  return code != nullptr ? static_cast<KyAnalysisOperationEnum>(code->value()) : OPERATION_NONE;
}

KyServiceItemDescriptionManager* KyGeneralAnalysisInputTailor::pItemDescriptionManager() const {
  KyServiceName* name = inputData_->pServiceName();
  return name != nullptr ? name->pInputDescription() : nullptr;
}

KyObject* KyGeneralAnalysisInputTailor::storedValue(const KyObject* owner,
                                                    const wchar_t* key) const {
  return inputData_->pValue(owner, key);
}

KyObject* KyGeneralAnalysisInputTailor::getValue(const KyObject* owner, const wchar_t* key) const {
  if (KyObject* value = storedValue(owner, key))
    return value;
  return defaultValue(key);
}

KyObject* KyGeneralAnalysisInputTailor::defaultValue(const wchar_t* key) const {
  KyServiceItemDescriptionManager* descriptions = pItemDescriptionManager();
  if (descriptions == nullptr)
    return nullptr;
  const auto* option = dynamic_cast<const KyServiceOptionDescription*>(descriptions->pOption(key));
  return option != nullptr ? option->pDefaultValue() : nullptr;
}

int KyGeneralAnalysisInputTailor::getValueAsInteger(const KyObject* owner,
                                                    const wchar_t* key) const {
  // Stored integers are read without making their objects.
  int stored = 0;
  return inputData_->findInteger(owner, key, stored)
             ? stored
             : KyAnalysisOptionDescriptionManager::defaultInteger(*inputData_, key);
}

double KyGeneralAnalysisInputTailor::getValueAsDouble(const KyObject* owner,
                                                      const wchar_t* key) const {
  const KyDouble* value = exactly<KyDouble>(getValue(owner, key));
  return value != nullptr ? value->value() : 0.0;
}

void KyGeneralAnalysisInputTailor::selectOperation(KyAnalysisOperationEnum code) {
  inputData_->storeInteger(nullptr, KyAnalysisKey::all::noneOperation, code);
}

int KyGeneralAnalysisInputTailor::graphOption(const wchar_t* key, int value) {
  inputData_->storeInteger(graph_, key, value);
  return value;
}

int KyGeneralAnalysisInputTailor::memberOption(const KyGraphMember* member,
                                               const wchar_t* key) const {
  int stored = 0;
  return inputData_->findMemberInteger(member, key, stored)
             ? stored
             : KyAnalysisOptionDescriptionManager::defaultInteger(*inputData_, key);
}

int KyGeneralAnalysisInputTailor::memberOption(KyGraphMember* member, const wchar_t* key,
                                               int value) {
  inputData_->storeInteger(member, key, value);
  return value;
}

double KyGeneralAnalysisInputTailor::doubleGraphOption(const wchar_t* key, double value) {
  inputData_->storeDouble(graph_, key, value);
  return value;
}

KyBaseAnalysisOutputTailor::KyBaseAnalysisOutputTailor(KyServiceOutputData* outputData)
    : outputData_(outputData) {
  if (outputData_ != nullptr && outputData_->pServiceName() == nullptr)
    outputData_->pServiceName(new KyAnalysisServiceName);
}

KyBaseAnalysisOutputTailor::~KyBaseAnalysisOutputTailor() = default;

KyObject* KyBaseAnalysisOutputTailor::result(const KyObject* owner, const wchar_t* key) const {
  return outputData_ != nullptr ? outputData_->pValue(owner, key) : nullptr;
}

int KyBaseAnalysisOutputTailor::memberResult(const KyObject* owner, const wchar_t* key) const {
  return outputData_ != nullptr ? outputData_->getValueAsInteger(owner, key) : 0;
}

void KyBaseAnalysisOutputTailor::buildList(const KyObject* owner, const wchar_t* key,
                                           KyDList& list) const {
  const auto* stored = dynamic_cast<const KyDList*>(result(owner, key));
  if (stored == &list)
    return; // the caller handed in the stored list itself: it holds the result already
  list.deleteAllCells();
  if (stored != nullptr)
    list.copyAllCells(*stored);
}

const KyDList* KyBaseAnalysisOutputTailor::prepareListOfLists(const wchar_t* key,
                                                              KyDList& lists) const {
  const auto* stored = dynamic_cast<const KyDList*>(result(nullptr, key));
  if (stored == &lists)
    return nullptr; // never free the output data's own lists
  lists.deleteAllCellsAndObjects();
  return stored;
}
