#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyMinimumSpanningTreeInputTailor.h>
#include <kyanalysis/KyMinimumSpanningTreeOutputTailor.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyEdgeDList.h>

namespace key = KyAnalysisKey::minimumSpanningTree;

KyMinimumSpanningTreeInputTailor::~KyMinimumSpanningTreeInputTailor() = default;

void KyMinimumSpanningTreeInputTailor::setAsCurrentOperation() {
  selectOperation(OPERATION_MINIMUM_SPANNING_TREE);
}
int KyMinimumSpanningTreeInputTailor::cost(KyEdge* edge) const {
  return memberOption(edge, key::edgeCost);
}
int KyMinimumSpanningTreeInputTailor::cost(KyEdge* edge, int cost) {
  return memberOption(edge, key::edgeCost, cost);
}

KyMinimumSpanningTreeOutputTailor::~KyMinimumSpanningTreeOutputTailor() = default;

int KyMinimumSpanningTreeOutputTailor::totalCost() const {
  return scalarResult(key::noneTotalCost);
}
void KyMinimumSpanningTreeOutputTailor::buildTreeEdgeList(KyEdgeDList& list) const {
  buildList(nullptr, key::noneTreeEdgeList, list);
}
int KyMinimumSpanningTreeOutputTailor::treeEdge(KyEdge* edge) const {
  return memberResult(edge, key::edgeTreeEdge);
}
