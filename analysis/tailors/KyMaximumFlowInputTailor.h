// KyMaximumFlowInputTailor: the request of a maximum flow.
#pragma once

#include <kyanalysis/KyGeneralAnalysisInputTailor.h>

class KyEdge;
class KyNode;

/// Options of a maximum flow: the source and sink nodes, and the capacity
/// of each node and each edge.
class KYANALYSIS_EXPORT KyMaximumFlowInputTailor : public KyGeneralAnalysisInputTailor {
public:
  explicit KyMaximumFlowInputTailor(KyServiceInputData* inputData)
      : KyGeneralAnalysisInputTailor(inputData) {}
  ~KyMaximumFlowInputTailor() override;

  /// Selects maximum flow (code 17) as the request's operation.
  void setAsCurrentOperation();

  /// The node the flow leaves; null until set.
  KyNode* pSourceNode() const;
  KyNode* pSourceNode(KyNode* node);
  /// The node the flow enters; null until set.
  KyNode* pSinkNode() const;
  KyNode* pSinkNode(KyNode* node);
  /// The most that may flow through `node` (default 2147483647: unbounded).
  int capacity(KyNode* node) const;
  int capacity(KyNode* node, int capacity);
  /// The most that may flow along `edge` (default 1).
  int capacity(KyEdge* edge) const;
  int capacity(KyEdge* edge, int capacity);

  static KyMaximumFlowInputTailor* castDown(const KyObject* object) {
    return static_cast<KyMaximumFlowInputTailor*>(const_cast<KyObject*>(object));
  }
};
