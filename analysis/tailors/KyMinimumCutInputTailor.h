// KyMinimumCutInputTailor: the request of a minimum cut.
#pragma once

#include <kyanalysis/KyGeneralAnalysisInputTailor.h>

class KyEdge;
class KyNode;

/// Options of a minimum cut: the source and sink nodes to separate, and
/// the cost of cutting each edge.
class KYANALYSIS_EXPORT KyMinimumCutInputTailor : public KyGeneralAnalysisInputTailor {
public:
  explicit KyMinimumCutInputTailor(KyServiceInputData* inputData)
      : KyGeneralAnalysisInputTailor(inputData) {}
  ~KyMinimumCutInputTailor() override;

  /// Selects minimum cut (code 19) as the request's operation.
  void setAsCurrentOperation();

  /// The node on the source side of the cut; null until set.
  KyNode* pSourceNode() const;
  KyNode* pSourceNode(KyNode* node);
  /// The node on the sink side of the cut; null until set.
  KyNode* pSinkNode() const;
  KyNode* pSinkNode(KyNode* node);
  /// The cost of cutting `edge` (default 1).
  int cost(KyEdge* edge) const;
  int cost(KyEdge* edge, int cost);

  static KyMinimumCutInputTailor* castDown(const KyObject* object) {
    return static_cast<KyMinimumCutInputTailor*>(const_cast<KyObject*>(object));
  }
};
