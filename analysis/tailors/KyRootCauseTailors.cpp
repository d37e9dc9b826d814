#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyRootCauseInputTailor.h>
#include <kyanalysis/KyRootCauseOutputTailor.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>

namespace key = KyAnalysisKey::rootCause;

KyRootCauseInputTailor::~KyRootCauseInputTailor() = default;

void KyRootCauseInputTailor::setAsCurrentOperation() { selectOperation(OPERATION_ROOT_CAUSE); }
int KyRootCauseInputTailor::undirected() const { return graphOption(key::graphUndirected); }
int KyRootCauseInputTailor::undirected(int undirected) {
  return graphOption(key::graphUndirected, undirected);
}
int KyRootCauseInputTailor::undirected(KyEdge* edge) const {
  return memberOption(edge, key::edgeUndirected);
}
int KyRootCauseInputTailor::undirected(KyEdge* edge, int undirected) {
  return memberOption(edge, key::edgeUndirected, undirected);
}
int KyRootCauseInputTailor::cost(KyNode* node) const { return memberOption(node, key::nodeCost); }
int KyRootCauseInputTailor::cost(KyNode* node, int cost) {
  return memberOption(node, key::nodeCost, cost);
}
int KyRootCauseInputTailor::cost(KyEdge* edge) const { return memberOption(edge, key::edgeCost); }
int KyRootCauseInputTailor::cost(KyEdge* edge, int cost) {
  return memberOption(edge, key::edgeCost, cost);
}
KyNodeDList* KyRootCauseInputTailor::pEffectNodeList() const {
  return objectGraphOption<KyNodeDList>(key::graphEffectNodeList);
}
KyNodeDList* KyRootCauseInputTailor::pEffectNodeList(KyNodeDList* list) {
  return objectGraphOption(key::graphEffectNodeList, list);
}
int KyRootCauseInputTailor::range() const { return graphOption(key::graphRange); }
int KyRootCauseInputTailor::range(int range) { return graphOption(key::graphRange, range); }
double KyRootCauseInputTailor::threshold() const { return doubleGraphOption(key::graphThreshold); }
double KyRootCauseInputTailor::threshold(double threshold) {
  return doubleGraphOption(key::graphThreshold, threshold);
}
int KyRootCauseInputTailor::weight(KyNode* node) const {
  return memberOption(node, key::nodeWeight);
}
int KyRootCauseInputTailor::weight(KyNode* node, int weight) {
  return memberOption(node, key::nodeWeight, weight);
}

KyRootCauseOutputTailor::~KyRootCauseOutputTailor() = default;

void KyRootCauseOutputTailor::buildCauseNodeList(KyNodeDList& list) const {
  buildList(nullptr, key::noneCauseNodeList, list);
}
void KyRootCauseOutputTailor::buildReachedNodeList(KyNode* node, KyNodeDList& list) const {
  buildList(node, key::nodeReachedNodeList, list);
}
