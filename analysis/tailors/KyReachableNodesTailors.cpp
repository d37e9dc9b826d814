#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyReachableNodesInputTailor.h>
#include <kyanalysis/KyReachableNodesOutputTailor.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>

namespace key = KyAnalysisKey::reachableNodes;

KyReachableNodesInputTailor::~KyReachableNodesInputTailor() = default;

void KyReachableNodesInputTailor::setAsCurrentOperation() {
  selectOperation(OPERATION_REACHABLE_NODES);
}
int KyReachableNodesInputTailor::undirected() const { return graphOption(key::graphUndirected); }
int KyReachableNodesInputTailor::undirected(int undirected) {
  return graphOption(key::graphUndirected, undirected);
}
int KyReachableNodesInputTailor::undirected(KyEdge* edge) const {
  return memberOption(edge, key::edgeUndirected);
}
int KyReachableNodesInputTailor::undirected(KyEdge* edge, int undirected) {
  return memberOption(edge, key::edgeUndirected, undirected);
}
int KyReachableNodesInputTailor::cost(KyNode* node) const {
  return memberOption(node, key::nodeCost);
}
int KyReachableNodesInputTailor::cost(KyNode* node, int cost) {
  return memberOption(node, key::nodeCost, cost);
}
int KyReachableNodesInputTailor::cost(KyEdge* edge) const {
  return memberOption(edge, key::edgeCost);
}
int KyReachableNodesInputTailor::cost(KyEdge* edge, int cost) {
  return memberOption(edge, key::edgeCost, cost);
}
KyNode* KyReachableNodesInputTailor::pStartNode() const {
  return objectGraphOption<KyNode>(key::graphStartNode);
}
KyNode* KyReachableNodesInputTailor::pStartNode(KyNode* node) {
  return objectGraphOption(key::graphStartNode, node);
}
int KyReachableNodesInputTailor::range() const {
  // A stored range wins; a stored level stands in for a missing one.
  if (storedValue(pGraph(), key::graphRange) == nullptr &&
      storedValue(pGraph(), key::graphLevel) != nullptr) {
    const int level = graphOption(key::graphLevel);
    return level != 0 ? level : -1; // level 0 sets no limit
  }
  return graphOption(key::graphRange);
}
int KyReachableNodesInputTailor::range(int range) { return graphOption(key::graphRange, range); }
int KyReachableNodesInputTailor::level() const { return graphOption(key::graphLevel); }
int KyReachableNodesInputTailor::level(int level) { return graphOption(key::graphLevel, level); }

KyReachableNodesOutputTailor::~KyReachableNodesOutputTailor() = default;

void KyReachableNodesOutputTailor::buildReachableNodeList(KyNodeDList& list) const {
  buildList(nullptr, key::noneNodeList, list);
}
