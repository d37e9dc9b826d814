#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyShortestPathsInputTailor.h>
#include <kyanalysis/KyShortestPathsOutputTailor.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyEdgeDList.h>
#include <kyplatform/KyNode.h>

namespace key = KyAnalysisKey::shortestPaths;

KyShortestPathsInputTailor::~KyShortestPathsInputTailor() = default;

void KyShortestPathsInputTailor::setAsCurrentOperation() {
  selectOperation(OPERATION_SHORTEST_PATHS);
}
int KyShortestPathsInputTailor::undirected() const { return graphOption(key::graphUndirected); }
int KyShortestPathsInputTailor::undirected(int undirected) {
  return graphOption(key::graphUndirected, undirected);
}
int KyShortestPathsInputTailor::undirected(KyEdge* edge) const {
  return memberOption(edge, key::edgeUndirected);
}
int KyShortestPathsInputTailor::undirected(KyEdge* edge, int undirected) {
  return memberOption(edge, key::edgeUndirected, undirected);
}
int KyShortestPathsInputTailor::cost(KyNode* node) const {
  return memberOption(node, key::nodeCost);
}
int KyShortestPathsInputTailor::cost(KyNode* node, int cost) {
  return memberOption(node, key::nodeCost, cost);
}
int KyShortestPathsInputTailor::cost(KyEdge* edge) const {
  return memberOption(edge, key::edgeCost);
}
int KyShortestPathsInputTailor::cost(KyEdge* edge, int cost) {
  return memberOption(edge, key::edgeCost, cost);
}
KyNode* KyShortestPathsInputTailor::pStartNode() const {
  return objectGraphOption<KyNode>(key::graphStartNode);
}
KyNode* KyShortestPathsInputTailor::pStartNode(KyNode* node) {
  return objectGraphOption(key::graphStartNode, node);
}
KyNode* KyShortestPathsInputTailor::pFinishNode() const {
  return objectGraphOption<KyNode>(key::graphFinishNode);
}
KyNode* KyShortestPathsInputTailor::pFinishNode(KyNode* node) {
  return objectGraphOption(key::graphFinishNode, node);
}

KyShortestPathsOutputTailor::~KyShortestPathsOutputTailor() = default;

int KyShortestPathsOutputTailor::pathExists() const { return scalarResult(key::nonePathExists); }
void KyShortestPathsOutputTailor::buildEdgeList(KyEdgeDList& list) const {
  buildList(nullptr, key::noneEdgeList, list);
}
int KyShortestPathsOutputTailor::totalCost() const { return scalarResult(key::noneTotalCost); }
