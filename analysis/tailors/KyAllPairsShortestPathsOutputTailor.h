// KyAllPairsShortestPathsOutputTailor: the answer of an all-pairs
// shortest-paths analysis.
#pragma once

#include <kyanalysis/KyBaseAnalysisOutputTailor.h>

class KyEdgeDList;
class KyNode;

/// Results of an all-pairs shortest-paths analysis. For every ordered pair
/// of nodes (from, to) that a path joins, the service stores the last edge
/// of a cheapest path and that path's cost, owned by a KyPair of the two
/// nodes; the tailor finds them with a pair of its own. (a, b) and (b, a)
/// are distinct pairs.
class KYANALYSIS_EXPORT KyAllPairsShortestPathsOutputTailor : public KyBaseAnalysisOutputTailor {
public:
  explicit KyAllPairsShortestPathsOutputTailor(KyServiceOutputData* outputData)
      : KyBaseAnalysisOutputTailor(outputData) {}
  ~KyAllPairsShortestPathsOutputTailor() override;

  /// Fills `edgeList` with the edges of a cheapest path from `from` to `to`,
  /// in order, replacing its contents. The path is rebuilt backwards from
  /// `to` through the last edges stored for (from, node); an edge may be
  /// walked against its direction, as an undirected run finds them. The
  /// list is left empty when no last edge is stored for (from, to), and
  /// also when the stored edges do not lead back to `from` (a missing last
  /// edge, an edge that does not touch the node reached, or a cycle): no
  /// partial path is given. Cost O(k) lookups for a path of k edges.
  void buildShortestPathEdgeList(KyNode* from, KyNode* to, KyEdgeDList& edgeList) const;
  /// The cost of a cheapest path from `from` to `to`; KyPath::infiniteLength
  /// (2147483647) when none is stored.
  int computeLengthOfShortestPath(KyNode* from, KyNode* to) const;

  static KyAllPairsShortestPathsOutputTailor* castDown(const KyObject* object) {
    return static_cast<KyAllPairsShortestPathsOutputTailor*>(const_cast<KyObject*>(object));
  }
};
