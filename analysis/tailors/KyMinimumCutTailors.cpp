#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyMinimumCutInputTailor.h>
#include <kyanalysis/KyMinimumCutOutputTailor.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyEdgeDList.h>
#include <kyplatform/KyNode.h>

namespace key = KyAnalysisKey::minimumCut;

KyMinimumCutInputTailor::~KyMinimumCutInputTailor() = default;

void KyMinimumCutInputTailor::setAsCurrentOperation() { selectOperation(OPERATION_MINIMUM_CUT); }
KyNode* KyMinimumCutInputTailor::pSourceNode() const {
  return objectGraphOption<KyNode>(key::graphSourceNode);
}
KyNode* KyMinimumCutInputTailor::pSourceNode(KyNode* node) {
  return objectGraphOption(key::graphSourceNode, node);
}
KyNode* KyMinimumCutInputTailor::pSinkNode() const {
  return objectGraphOption<KyNode>(key::graphSinkNode);
}
KyNode* KyMinimumCutInputTailor::pSinkNode(KyNode* node) {
  return objectGraphOption(key::graphSinkNode, node);
}
int KyMinimumCutInputTailor::cost(KyEdge* edge) const { return memberOption(edge, key::edgeCost); }
int KyMinimumCutInputTailor::cost(KyEdge* edge, int cost) {
  return memberOption(edge, key::edgeCost, cost);
}

KyMinimumCutOutputTailor::~KyMinimumCutOutputTailor() = default;

int KyMinimumCutOutputTailor::totalCost() const { return scalarResult(key::noneTotalCost); }
void KyMinimumCutOutputTailor::buildEdgeList(KyEdgeDList& list) const {
  buildList(nullptr, key::noneEdgeList, list);
}
