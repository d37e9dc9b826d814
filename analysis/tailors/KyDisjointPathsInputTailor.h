// KyDisjointPathsInputTailor: the request of a disjoint-paths analysis.
#pragma once

#include <kyanalysis/KyGeneralAnalysisInputTailor.h>

class KyNode;

/// Options of a disjoint-paths analysis: the start and finish nodes and
/// whether the paths may share no node (rather than no edge).
class KYANALYSIS_EXPORT KyDisjointPathsInputTailor : public KyGeneralAnalysisInputTailor {
public:
  explicit KyDisjointPathsInputTailor(KyServiceInputData* inputData)
      : KyGeneralAnalysisInputTailor(inputData) {}
  ~KyDisjointPathsInputTailor() override;

  /// Selects the disjoint-paths analysis (code 8) as the request's operation.
  void setAsCurrentOperation();

  /// 1 when the paths may share no node, 0 when they may share no edge
  /// (default 0).
  int nodeDisjointPaths() const;
  int nodeDisjointPaths(int nodeDisjointPaths);
  /// The node every path starts from; null until set.
  KyNode* pStartNode() const;
  KyNode* pStartNode(KyNode* node);
  /// The node every path ends at; null until set.
  KyNode* pFinishNode() const;
  KyNode* pFinishNode(KyNode* node);

  static KyDisjointPathsInputTailor* castDown(const KyObject* object) {
    return static_cast<KyDisjointPathsInputTailor*>(const_cast<KyObject*>(object));
  }
};
