#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyUniquePathTestInputTailor.h>
#include <kyanalysis/KyUniquePathTestOutputTailor.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyEdgeDList.h>
#include <kyplatform/KyNode.h>

namespace key = KyAnalysisKey::uniquePathTest;

KyUniquePathTestInputTailor::~KyUniquePathTestInputTailor() = default;

void KyUniquePathTestInputTailor::setAsCurrentOperation() {
  selectOperation(OPERATION_UNIQUE_PATH_TEST);
}
int KyUniquePathTestInputTailor::undirected() const { return graphOption(key::graphUndirected); }
int KyUniquePathTestInputTailor::undirected(int undirected) {
  return graphOption(key::graphUndirected, undirected);
}
int KyUniquePathTestInputTailor::undirected(KyEdge* edge) const {
  return memberOption(edge, key::edgeUndirected);
}
int KyUniquePathTestInputTailor::undirected(KyEdge* edge, int undirected) {
  return memberOption(edge, key::edgeUndirected, undirected);
}
KyNode* KyUniquePathTestInputTailor::pStartNode() const {
  return objectGraphOption<KyNode>(key::graphStartNode);
}
KyNode* KyUniquePathTestInputTailor::pStartNode(KyNode* node) {
  return objectGraphOption(key::graphStartNode, node);
}
KyNode* KyUniquePathTestInputTailor::pFinishNode() const {
  return objectGraphOption<KyNode>(key::graphFinishNode);
}
KyNode* KyUniquePathTestInputTailor::pFinishNode(KyNode* node) {
  return objectGraphOption(key::graphFinishNode, node);
}

KyUniquePathTestOutputTailor::~KyUniquePathTestOutputTailor() = default;

int KyUniquePathTestOutputTailor::uniquePathExists() const {
  return scalarResult(key::noneUniquePathExists);
}
void KyUniquePathTestOutputTailor::buildEdgeList(KyEdgeDList& list) const {
  buildList(nullptr, key::noneEdgeList, list);
}
