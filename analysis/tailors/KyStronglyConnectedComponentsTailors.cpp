#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyStronglyConnectedComponentsInputTailor.h>
#include <kyanalysis/KyStronglyConnectedComponentsOutputTailor.h>
#include <kyplatform/KyEdgeDList.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>

namespace key = KyAnalysisKey::stronglyConnectedComponents;

KyStronglyConnectedComponentsInputTailor::~KyStronglyConnectedComponentsInputTailor() = default;

void KyStronglyConnectedComponentsInputTailor::setAsCurrentOperation() {
  selectOperation(OPERATION_STRONGLY_CONNECTED_COMPONENTS);
}

KyStronglyConnectedComponentsOutputTailor::~KyStronglyConnectedComponentsOutputTailor() = default;

int KyStronglyConnectedComponentsOutputTailor::componentNumber(KyNode* node) const {
  return memberResult(node, key::nodeComponentNumber);
}
void KyStronglyConnectedComponentsOutputTailor::buildComponentList(KyDList& list) const {
  buildListOfLists<KyNodeDList>(key::noneComponentList, list);
}
void KyStronglyConnectedComponentsOutputTailor::buildEdgeComponentList(KyDList& list) const {
  buildListOfLists<KyEdgeDList>(key::noneEdgeComponentList, list);
}
