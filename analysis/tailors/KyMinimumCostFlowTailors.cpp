#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyMinimumCostFlowInputTailor.h>
#include <kyanalysis/KyMinimumCostFlowOutputTailor.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyNode.h>

namespace key = KyAnalysisKey::minimumCostFlow;

KyMinimumCostFlowInputTailor::~KyMinimumCostFlowInputTailor() = default;

void KyMinimumCostFlowInputTailor::setAsCurrentOperation() {
  selectOperation(OPERATION_MINIMUM_COST_FLOW);
}
int KyMinimumCostFlowInputTailor::desiredFlow() const { return graphOption(key::graphDesiredFlow); }
int KyMinimumCostFlowInputTailor::desiredFlow(int desiredFlow) {
  return graphOption(key::graphDesiredFlow, desiredFlow);
}
KyNode* KyMinimumCostFlowInputTailor::pSourceNode() const {
  return objectGraphOption<KyNode>(key::graphSourceNode);
}
KyNode* KyMinimumCostFlowInputTailor::pSourceNode(KyNode* node) {
  return objectGraphOption(key::graphSourceNode, node);
}
KyNode* KyMinimumCostFlowInputTailor::pSinkNode() const {
  return objectGraphOption<KyNode>(key::graphSinkNode);
}
KyNode* KyMinimumCostFlowInputTailor::pSinkNode(KyNode* node) {
  return objectGraphOption(key::graphSinkNode, node);
}
int KyMinimumCostFlowInputTailor::cost(KyNode* node) const {
  return memberOption(node, key::nodeCost);
}
int KyMinimumCostFlowInputTailor::cost(KyNode* node, int cost) {
  return memberOption(node, key::nodeCost, cost);
}
int KyMinimumCostFlowInputTailor::cost(KyEdge* edge) const {
  return memberOption(edge, key::edgeCost);
}
int KyMinimumCostFlowInputTailor::cost(KyEdge* edge, int cost) {
  return memberOption(edge, key::edgeCost, cost);
}
int KyMinimumCostFlowInputTailor::capacity(KyNode* node) const {
  return memberOption(node, key::nodeCapacity);
}
int KyMinimumCostFlowInputTailor::capacity(KyNode* node, int capacity) {
  return memberOption(node, key::nodeCapacity, capacity);
}
int KyMinimumCostFlowInputTailor::capacity(KyEdge* edge) const {
  return memberOption(edge, key::edgeCapacity);
}
int KyMinimumCostFlowInputTailor::capacity(KyEdge* edge, int capacity) {
  return memberOption(edge, key::edgeCapacity, capacity);
}

KyMinimumCostFlowOutputTailor::~KyMinimumCostFlowOutputTailor() = default;

int KyMinimumCostFlowOutputTailor::flow(KyEdge* edge) const {
  return memberResult(edge, key::edgeFlow);
}
int KyMinimumCostFlowOutputTailor::totalFlow() const { return scalarResult(key::noneTotalFlow); }
int KyMinimumCostFlowOutputTailor::totalCost() const { return scalarResult(key::noneTotalCost); }
