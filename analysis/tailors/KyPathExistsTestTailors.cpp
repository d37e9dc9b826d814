#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyPathExistsTestInputTailor.h>
#include <kyanalysis/KyPathExistsTestOutputTailor.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyEdgeDList.h>
#include <kyplatform/KyNode.h>

namespace key = KyAnalysisKey::pathExistsTest;

KyPathExistsTestInputTailor::~KyPathExistsTestInputTailor() = default;

void KyPathExistsTestInputTailor::setAsCurrentOperation() {
  selectOperation(OPERATION_PATH_EXISTS_TEST);
}
int KyPathExistsTestInputTailor::undirected() const { return graphOption(key::graphUndirected); }
int KyPathExistsTestInputTailor::undirected(int undirected) {
  return graphOption(key::graphUndirected, undirected);
}
int KyPathExistsTestInputTailor::undirected(KyEdge* edge) const {
  return memberOption(edge, key::edgeUndirected);
}
int KyPathExistsTestInputTailor::undirected(KyEdge* edge, int undirected) {
  return memberOption(edge, key::edgeUndirected, undirected);
}
KyNode* KyPathExistsTestInputTailor::pStartNode() const {
  return objectGraphOption<KyNode>(key::graphStartNode);
}
KyNode* KyPathExistsTestInputTailor::pStartNode(KyNode* node) {
  return objectGraphOption(key::graphStartNode, node);
}
KyNode* KyPathExistsTestInputTailor::pFinishNode() const {
  return objectGraphOption<KyNode>(key::graphFinishNode);
}
KyNode* KyPathExistsTestInputTailor::pFinishNode(KyNode* node) {
  return objectGraphOption(key::graphFinishNode, node);
}

KyPathExistsTestOutputTailor::~KyPathExistsTestOutputTailor() = default;

int KyPathExistsTestOutputTailor::pathExists() const { return scalarResult(key::nonePathExists); }
void KyPathExistsTestOutputTailor::buildEdgeList(KyEdgeDList& list) const {
  buildList(nullptr, key::noneEdgeList, list);
}
