#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyDisjointPathsInputTailor.h>
#include <kyanalysis/KyDisjointPathsOutputTailor.h>
#include <kyplatform/KyEdgeDList.h>
#include <kyplatform/KyNode.h>

namespace key = KyAnalysisKey::disjointPaths;

KyDisjointPathsInputTailor::~KyDisjointPathsInputTailor() = default;

void KyDisjointPathsInputTailor::setAsCurrentOperation() {
  selectOperation(OPERATION_DISJOINT_PATHS);
}
int KyDisjointPathsInputTailor::nodeDisjointPaths() const {
  return graphOption(key::graphNodeDisjointPaths);
}
int KyDisjointPathsInputTailor::nodeDisjointPaths(int nodeDisjointPaths) {
  return graphOption(key::graphNodeDisjointPaths, nodeDisjointPaths);
}
KyNode* KyDisjointPathsInputTailor::pStartNode() const {
  return objectGraphOption<KyNode>(key::graphStartNode);
}
KyNode* KyDisjointPathsInputTailor::pStartNode(KyNode* node) {
  return objectGraphOption(key::graphStartNode, node);
}
KyNode* KyDisjointPathsInputTailor::pFinishNode() const {
  return objectGraphOption<KyNode>(key::graphFinishNode);
}
KyNode* KyDisjointPathsInputTailor::pFinishNode(KyNode* node) {
  return objectGraphOption(key::graphFinishNode, node);
}

KyDisjointPathsOutputTailor::~KyDisjointPathsOutputTailor() = default;

int KyDisjointPathsOutputTailor::numberOfDisjointPaths() const {
  return scalarResult(key::noneNumberOfDisjointPaths);
}
void KyDisjointPathsOutputTailor::buildPathList(KyDList& pathList) const {
  buildListOfLists<KyEdgeDList>(key::nonePathList, pathList);
}
