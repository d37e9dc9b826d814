// KySortedPathsOutputTailor: the answer of a sorted-paths analysis.
#pragma once

#include <kyanalysis/KyBaseAnalysisOutputTailor.h>

/// Results of a sorted-paths analysis: two summary numbers, and the paths
/// from the start node to the finish node in order of cost, rebuilt on
/// demand from the compact answer by KySortedPathIter.
class KYANALYSIS_EXPORT KySortedPathsOutputTailor : public KyBaseAnalysisOutputTailor {
public:
  explicit KySortedPathsOutputTailor(KyServiceOutputData* outputData)
      : KyBaseAnalysisOutputTailor(outputData) {}
  ~KySortedPathsOutputTailor() override;

  /// 1 when the service found the analysed graph acyclic, else 0.
  int acyclic() const;
  /// The number of start-to-finish paths, as the service counts them.
  int numberOfPaths() const;
  /// Appends to `list` the first `limit` paths (KyPath), cheapest first,
  /// after what it holds; fewer when the answer has fewer, none when
  /// `limit` is 0 or less. The caller owns the appended paths. Cost: that
  /// of as many steps of a KySortedPathIter.
  void buildPathList(KyDList& list, int limit) const;

  static KySortedPathsOutputTailor* castDown(const KyObject* object) {
    return static_cast<KySortedPathsOutputTailor*>(const_cast<KyObject*>(object));
  }
};
