#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyMaximumFlowInputTailor.h>
#include <kyanalysis/KyMaximumFlowOutputTailor.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyNode.h>

namespace key = KyAnalysisKey::maximumFlow;

KyMaximumFlowInputTailor::~KyMaximumFlowInputTailor() = default;

void KyMaximumFlowInputTailor::setAsCurrentOperation() { selectOperation(OPERATION_MAXIMUM_FLOW); }
KyNode* KyMaximumFlowInputTailor::pSourceNode() const {
  return objectGraphOption<KyNode>(key::graphSourceNode);
}
KyNode* KyMaximumFlowInputTailor::pSourceNode(KyNode* node) {
  return objectGraphOption(key::graphSourceNode, node);
}
KyNode* KyMaximumFlowInputTailor::pSinkNode() const {
  return objectGraphOption<KyNode>(key::graphSinkNode);
}
KyNode* KyMaximumFlowInputTailor::pSinkNode(KyNode* node) {
  return objectGraphOption(key::graphSinkNode, node);
}
int KyMaximumFlowInputTailor::capacity(KyNode* node) const {
  return memberOption(node, key::nodeCapacity);
}
int KyMaximumFlowInputTailor::capacity(KyNode* node, int capacity) {
  return memberOption(node, key::nodeCapacity, capacity);
}
int KyMaximumFlowInputTailor::capacity(KyEdge* edge) const {
  return memberOption(edge, key::edgeCapacity);
}
int KyMaximumFlowInputTailor::capacity(KyEdge* edge, int capacity) {
  return memberOption(edge, key::edgeCapacity, capacity);
}

KyMaximumFlowOutputTailor::~KyMaximumFlowOutputTailor() = default;

int KyMaximumFlowOutputTailor::flow(KyEdge* edge) const {
  return memberResult(edge, key::edgeFlow);
}
int KyMaximumFlowOutputTailor::totalFlow() const { return scalarResult(key::noneTotalFlow); }
