// KyDisjointPathsOutputTailor: the answer of a disjoint-paths analysis.
#pragma once

#include <kyanalysis/KyBaseAnalysisOutputTailor.h>

/// Results of a disjoint-paths analysis: how many disjoint paths join the
/// start node to the finish node, and their edges.
class KYANALYSIS_EXPORT KyDisjointPathsOutputTailor : public KyBaseAnalysisOutputTailor {
public:
  explicit KyDisjointPathsOutputTailor(KyServiceOutputData* outputData)
      : KyBaseAnalysisOutputTailor(outputData) {}
  ~KyDisjointPathsOutputTailor() override;

  /// The number of disjoint paths found.
  int numberOfDisjointPaths() const;
  /// Fills `pathList` with one new KyEdgeDList per path, each holding the
  /// path's edges in order. The lists `pathList` held before are deleted;
  /// the caller owns the new ones. Cost O(total number of edges).
  void buildPathList(KyDList& pathList) const;

  static KyDisjointPathsOutputTailor* castDown(const KyObject* object) {
    return static_cast<KyDisjointPathsOutputTailor*>(const_cast<KyObject*>(object));
  }
};
