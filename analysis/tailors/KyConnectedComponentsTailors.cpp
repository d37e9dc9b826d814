#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyConnectedComponentsInputTailor.h>
#include <kyanalysis/KyConnectedComponentsOutputTailor.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>

namespace key = KyAnalysisKey::connectedComponents;

KyConnectedComponentsInputTailor::~KyConnectedComponentsInputTailor() = default;

void KyConnectedComponentsInputTailor::setAsCurrentOperation() {
  selectOperation(OPERATION_CONNECTED_COMPONENTS);
}

KyConnectedComponentsOutputTailor::~KyConnectedComponentsOutputTailor() = default;

int KyConnectedComponentsOutputTailor::componentNumber(KyNode* node) const {
  return memberResult(node, key::nodeComponentNumber);
}
void KyConnectedComponentsOutputTailor::buildComponentList(KyDList& list) const {
  buildListOfLists<KyNodeDList>(key::noneComponentList, list);
}
