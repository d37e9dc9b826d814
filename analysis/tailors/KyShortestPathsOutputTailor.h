// KyShortestPathsOutputTailor: the answer of a shortest-paths analysis.
#pragma once

#include <kyanalysis/KyBaseAnalysisOutputTailor.h>

class KyEdgeDList;

/// Results of a shortest-paths analysis: whether a path leads from the
/// start node to the finish node, the edges of a cheapest one and its cost.
class KYANALYSIS_EXPORT KyShortestPathsOutputTailor : public KyBaseAnalysisOutputTailor {
public:
  explicit KyShortestPathsOutputTailor(KyServiceOutputData* outputData)
      : KyBaseAnalysisOutputTailor(outputData) {}
  ~KyShortestPathsOutputTailor() override;

  /// 1 when a path leads from the start node to the finish node, else 0.
  int pathExists() const;
  /// Fills `list` with the edges of a cheapest path, in order, replacing
  /// its contents.
  void buildEdgeList(KyEdgeDList& list) const;
  /// The cost of that path.
  int totalCost() const;

  static KyShortestPathsOutputTailor* castDown(const KyObject* object) {
    return static_cast<KyShortestPathsOutputTailor*>(const_cast<KyObject*>(object));
  }
};
