#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyDepthFirstSearchInputTailor.h>
#include <kyanalysis/KyDepthFirstSearchOutputTailor.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>

namespace key = KyAnalysisKey::depthFirstSearch;

KyDepthFirstSearchInputTailor::~KyDepthFirstSearchInputTailor() = default;

void KyDepthFirstSearchInputTailor::setAsCurrentOperation() {
  selectOperation(OPERATION_DEPTH_FIRST_SEARCH);
}
int KyDepthFirstSearchInputTailor::undirected() const { return graphOption(key::graphUndirected); }
int KyDepthFirstSearchInputTailor::undirected(int undirected) {
  return graphOption(key::graphUndirected, undirected);
}
int KyDepthFirstSearchInputTailor::undirected(KyEdge* edge) const {
  return memberOption(edge, key::edgeUndirected);
}
int KyDepthFirstSearchInputTailor::undirected(KyEdge* edge, int undirected) {
  return memberOption(edge, key::edgeUndirected, undirected);
}
KyNode* KyDepthFirstSearchInputTailor::pStartNode() const {
  return objectGraphOption<KyNode>(key::graphStartNode);
}
KyNode* KyDepthFirstSearchInputTailor::pStartNode(KyNode* node) {
  return objectGraphOption(key::graphStartNode, node);
}

KyDepthFirstSearchOutputTailor::~KyDepthFirstSearchOutputTailor() = default;

int KyDepthFirstSearchOutputTailor::orderNumber(KyNode* node) const {
  return memberResult(node, key::nodeOrderNumber);
}
int KyDepthFirstSearchOutputTailor::completionNumber(KyNode* node) const {
  return memberResult(node, key::nodeCompletionNumber);
}
KyNode* KyDepthFirstSearchOutputTailor::pParentNode(KyNode* node) const {
  return objectResult<KyNode>(node, key::nodeParent);
}
KyAnalysisEdgeTypeEnum KyDepthFirstSearchOutputTailor::edgeType(KyEdge* edge) const {
  return static_cast<KyAnalysisEdgeTypeEnum>(memberResult(edge, key::edgeType));
}
void KyDepthFirstSearchOutputTailor::buildNodeOrderList(KyNodeDList& list) const {
  buildList(nullptr, key::noneNodeList, list);
}
