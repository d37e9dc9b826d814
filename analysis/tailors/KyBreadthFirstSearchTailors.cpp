#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyBreadthFirstSearchInputTailor.h>
#include <kyanalysis/KyBreadthFirstSearchOutputTailor.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyNode.h>

namespace key = KyAnalysisKey::breadthFirstSearch;

KyBreadthFirstSearchInputTailor::~KyBreadthFirstSearchInputTailor() = default;

void KyBreadthFirstSearchInputTailor::setAsCurrentOperation() {
  selectOperation(OPERATION_BREADTH_FIRST_SEARCH);
}
int KyBreadthFirstSearchInputTailor::undirected() const {
  return graphOption(key::graphUndirected);
}
int KyBreadthFirstSearchInputTailor::undirected(int undirected) {
  return graphOption(key::graphUndirected, undirected);
}
int KyBreadthFirstSearchInputTailor::undirected(KyEdge* edge) const {
  return memberOption(edge, key::edgeUndirected);
}
int KyBreadthFirstSearchInputTailor::undirected(KyEdge* edge, int undirected) {
  return memberOption(edge, key::edgeUndirected, undirected);
}
KyNode* KyBreadthFirstSearchInputTailor::pStartNode() const {
  return objectGraphOption<KyNode>(key::graphStartNode);
}
KyNode* KyBreadthFirstSearchInputTailor::pStartNode(KyNode* node) {
  return objectGraphOption(key::graphStartNode, node);
}

KyBreadthFirstSearchOutputTailor::~KyBreadthFirstSearchOutputTailor() = default;

int KyBreadthFirstSearchOutputTailor::orderNumber(KyNode* node) const {
  return memberResult(node, key::nodeOrderNumber);
}
void KyBreadthFirstSearchOutputTailor::buildNodeOrderList(KyNodeDList& list) const {
  buildList(nullptr, key::noneNodeList, list);
}
