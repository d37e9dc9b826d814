#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyTopologicalSortInputTailor.h>
#include <kyanalysis/KyTopologicalSortOutputTailor.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>

namespace key = KyAnalysisKey::topologicalSort;

KyTopologicalSortInputTailor::~KyTopologicalSortInputTailor() = default;

void KyTopologicalSortInputTailor::setAsCurrentOperation() {
  selectOperation(OPERATION_TOPOLOGICAL_SORT);
}

KyTopologicalSortOutputTailor::~KyTopologicalSortOutputTailor() = default;

int KyTopologicalSortOutputTailor::orderNumber(KyNode* node) const {
  return memberResult(node, key::nodeOrderNumber);
}
void KyTopologicalSortOutputTailor::buildNodeOrderList(KyNodeDList& list) const {
  buildList(nullptr, key::noneNodeList, list);
}
int KyTopologicalSortOutputTailor::acyclic() const { return scalarResult(key::noneAcyclic); }
