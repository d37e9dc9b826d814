// KyPathExistsTestInputTailor: the request of a path-exists test.
#pragma once

#include <kyanalysis/KyGeneralAnalysisInputTailor.h>

class KyEdge;
class KyNode;

/// Options of a path-exists test: the start and finish nodes and whether
/// edges are followed both ways, on the whole graph or edge by edge.
class KYANALYSIS_EXPORT KyPathExistsTestInputTailor : public KyGeneralAnalysisInputTailor {
public:
  explicit KyPathExistsTestInputTailor(KyServiceInputData* inputData)
      : KyGeneralAnalysisInputTailor(inputData) {}
  ~KyPathExistsTestInputTailor() override;

  /// Selects the path-exists test (code 6) as the request's operation.
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

  static KyPathExistsTestInputTailor* castDown(const KyObject* object) {
    return static_cast<KyPathExistsTestInputTailor*>(const_cast<KyObject*>(object));
  }
};
