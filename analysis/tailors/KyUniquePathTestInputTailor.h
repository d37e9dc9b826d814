// KyUniquePathTestInputTailor: the request of a unique-path test.
#pragma once

#include <kyanalysis/KyGeneralAnalysisInputTailor.h>

class KyEdge;
class KyNode;

/// Options of a unique-path test: the start and finish nodes and whether
/// edges are followed both ways, on the whole graph or edge by edge.
class KYANALYSIS_EXPORT KyUniquePathTestInputTailor : public KyGeneralAnalysisInputTailor {
public:
  explicit KyUniquePathTestInputTailor(KyServiceInputData* inputData)
      : KyGeneralAnalysisInputTailor(inputData) {}
  ~KyUniquePathTestInputTailor() override;

  /// Selects the unique-path test (code 7) as the request's operation.
  void setAsCurrentOperation();

  /// Whether every edge is followed both ways (default 0).
  int undirected() const;
  int undirected(int undirected);
  /// Whether this edge is followed both ways (default 0).
  int undirected(KyEdge* edge) const;
  int undirected(KyEdge* edge, int undirected);
  /// The node the path starts from; null until set.
  KyNode* pStartNode() const;
  KyNode* pStartNode(KyNode* node);
  /// The node the path ends at; null until set.
  KyNode* pFinishNode() const;
  KyNode* pFinishNode(KyNode* node);

  static KyUniquePathTestInputTailor* castDown(const KyObject* object) {
    return static_cast<KyUniquePathTestInputTailor*>(const_cast<KyObject*>(object));
  }
};
