// KyDepthFirstSearchOutputTailor: the answer of a depth-first search.
#pragma once

#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyBaseAnalysisOutputTailor.h>

class KyEdge;
class KyNode;
class KyNodeDList;

/// Results of a depth-first search: each node's order and completion
/// numbers and parent, each edge's kind, and the nodes in the order visited.
class KYANALYSIS_EXPORT KyDepthFirstSearchOutputTailor : public KyBaseAnalysisOutputTailor {
public:
  explicit KyDepthFirstSearchOutputTailor(KyServiceOutputData* outputData)
      : KyBaseAnalysisOutputTailor(outputData) {}
  ~KyDepthFirstSearchOutputTailor() override;

  /// The position at which `node` was visited.
  int orderNumber(KyNode* node) const;
  /// The position at which the search finished with `node`.
  int completionNumber(KyNode* node) const;
  /// The node from which `node` was reached; null for the start node and
  /// for nodes the search did not reach.
  KyNode* pParentNode(KyNode* node) const;
  /// The kind of `edge` in the search (tree, back, forward or cross), as the
  /// service stored it; EDGE_TYPE_NONE when nothing is stored.
  KyAnalysisEdgeTypeEnum edgeType(KyEdge* edge) const;
  /// Fills `list` with the visited nodes in order, replacing its contents.
  void buildNodeOrderList(KyNodeDList& list) const;

  static KyDepthFirstSearchOutputTailor* castDown(const KyObject* object) {
    return static_cast<KyDepthFirstSearchOutputTailor*>(const_cast<KyObject*>(object));
  }
};
