// KyDepthFirstSearchInputTailor: the request of a depth-first search.
#pragma once

#include <kyanalysis/KyGeneralAnalysisInputTailor.h>

class KyEdge;
class KyNode;

/// Options of a depth-first search: the start node and whether edges are
/// followed both ways, on the whole graph or edge by edge.
class KYANALYSIS_EXPORT KyDepthFirstSearchInputTailor : public KyGeneralAnalysisInputTailor {
public:
  explicit KyDepthFirstSearchInputTailor(KyServiceInputData* inputData)
      : KyGeneralAnalysisInputTailor(inputData) {}
  ~KyDepthFirstSearchInputTailor() override;

  /// Selects depth-first search (code 1) as the request's operation.
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

  static KyDepthFirstSearchInputTailor* castDown(const KyObject* object) {
    return static_cast<KyDepthFirstSearchInputTailor*>(const_cast<KyObject*>(object));
  }
};
