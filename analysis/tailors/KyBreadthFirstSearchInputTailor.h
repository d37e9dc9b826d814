// KyBreadthFirstSearchInputTailor: the request of a breadth-first search.
#pragma once

#include <kyanalysis/KyGeneralAnalysisInputTailor.h>

class KyEdge;
class KyNode;

/// Options of a breadth-first search: the start node and whether edges are
/// followed both ways, on the whole graph or edge by edge.
class KYANALYSIS_EXPORT KyBreadthFirstSearchInputTailor : public KyGeneralAnalysisInputTailor {
public:
  explicit KyBreadthFirstSearchInputTailor(KyServiceInputData* inputData)
      : KyGeneralAnalysisInputTailor(inputData) {}
  ~KyBreadthFirstSearchInputTailor() override;

  /// Selects breadth-first search (code 0) as the request's operation.
  void setAsCurrentOperation();

  /// Whether every edge is followed both ways (default 0).
  int undirected() const;
  int undirected(int undirected);
  /// Whether this edge is followed both ways (default 0).
  int undirected(KyEdge* edge) const;
  int undirected(KyEdge* edge, int undirected);
  /// The node the search starts from; null until set.
  KyNode* pStartNode() const;
  KyNode* pStartNode(KyNode* node);

  static KyBreadthFirstSearchInputTailor* castDown(const KyObject* object) {
    return static_cast<KyBreadthFirstSearchInputTailor*>(const_cast<KyObject*>(object));
  }
};
