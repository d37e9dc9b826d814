// KyMinimumCostFlowInputTailor: the request of a minimum-cost flow.
#pragma once

#include <kyanalysis/KyGeneralAnalysisInputTailor.h>

class KyEdge;
class KyNode;

/// Options of a minimum-cost flow: the amount wanted, the source and sink
/// nodes, and the cost and capacity of each node and each edge.
class KYANALYSIS_EXPORT KyMinimumCostFlowInputTailor : public KyGeneralAnalysisInputTailor {
public:
  explicit KyMinimumCostFlowInputTailor(KyServiceInputData* inputData)
      : KyGeneralAnalysisInputTailor(inputData) {}
  ~KyMinimumCostFlowInputTailor() override;

  /// Selects minimum-cost flow (code 18) as the request's operation.
  void setAsCurrentOperation();

  /// The amount to send from the source to the sink (default 0).
  int desiredFlow() const;
  int desiredFlow(int desiredFlow);
  /// The node the flow leaves; null until set.
  KyNode* pSourceNode() const;
  KyNode* pSourceNode(KyNode* node);
  /// The node the flow enters; null until set.
  KyNode* pSinkNode() const;
  KyNode* pSinkNode(KyNode* node);
  /// The cost of one unit flowing through `node` (default 0).
  int cost(KyNode* node) const;
  int cost(KyNode* node, int cost);
  /// The cost of one unit flowing along `edge` (default 1).
  int cost(KyEdge* edge) const;
  int cost(KyEdge* edge, int cost);
  /// The most that may flow through `node` (default 2147483647: unbounded).
  int capacity(KyNode* node) const;
  int capacity(KyNode* node, int capacity);
  /// The most that may flow along `edge` (default 1).
  int capacity(KyEdge* edge) const;
  int capacity(KyEdge* edge, int capacity);

  static KyMinimumCostFlowInputTailor* castDown(const KyObject* object) {
    return static_cast<KyMinimumCostFlowInputTailor*>(const_cast<KyObject*>(object));
  }
};
