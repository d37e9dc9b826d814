#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyPath.h>
#include <kyanalysis/KySortedPathIter.h>
#include <kyanalysis/KySortedPathsInputTailor.h>
#include <kyanalysis/KySortedPathsOutputTailor.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyNode.h>

namespace key = KyAnalysisKey::sortedPaths;

KySortedPathsInputTailor::~KySortedPathsInputTailor() = default;

void KySortedPathsInputTailor::setAsCurrentOperation() { selectOperation(OPERATION_SORTED_PATHS); }
KyNode* KySortedPathsInputTailor::pStartNode() const {
  return objectGraphOption<KyNode>(key::graphStartNode);
}
KyNode* KySortedPathsInputTailor::pStartNode(KyNode* node) {
  return objectGraphOption(key::graphStartNode, node);
}
KyNode* KySortedPathsInputTailor::pFinishNode() const {
  return objectGraphOption<KyNode>(key::graphFinishNode);
}
KyNode* KySortedPathsInputTailor::pFinishNode(KyNode* node) {
  return objectGraphOption(key::graphFinishNode, node);
}
int KySortedPathsInputTailor::cost(KyNode* node) const { return memberOption(node, key::nodeCost); }
int KySortedPathsInputTailor::cost(KyNode* node, int cost) {
  return memberOption(node, key::nodeCost, cost);
}
int KySortedPathsInputTailor::cost(KyEdge* edge) const { return memberOption(edge, key::edgeCost); }
int KySortedPathsInputTailor::cost(KyEdge* edge, int cost) {
  return memberOption(edge, key::edgeCost, cost);
}

KySortedPathsOutputTailor::~KySortedPathsOutputTailor() = default;

int KySortedPathsOutputTailor::acyclic() const { return scalarResult(key::noneAcyclic); }
int KySortedPathsOutputTailor::numberOfPaths() const {
  return scalarResult(key::noneNumberOfPaths);
}
void KySortedPathsOutputTailor::buildPathList(KyDList& list, int limit) const {
  KySortedPathIter paths(this);
  for (int count = 0; paths && count < limit; ++count) {
    list.appendObject(paths.pPath());
    ++paths;
  }
}
