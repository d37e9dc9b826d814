// KyUniquePathTestOutputTailor: the answer of a unique-path test.
#pragma once

#include <kyanalysis/KyBaseAnalysisOutputTailor.h>

class KyEdgeDList;

/// Results of a unique-path test: whether exactly one path leads from the
/// start node to the finish node, and the edges of that path.
class KYANALYSIS_EXPORT KyUniquePathTestOutputTailor : public KyBaseAnalysisOutputTailor {
public:
  explicit KyUniquePathTestOutputTailor(KyServiceOutputData* outputData)
      : KyBaseAnalysisOutputTailor(outputData) {}
  ~KyUniquePathTestOutputTailor() override;

  /// 1 when exactly one path leads from the start node to the finish node, else 0.
  int uniquePathExists() const;
  /// Fills `list` with the edges of the path, in order, replacing its contents.
  void buildEdgeList(KyEdgeDList& list) const;

  static KyUniquePathTestOutputTailor* castDown(const KyObject* object) {
    return static_cast<KyUniquePathTestOutputTailor*>(const_cast<KyObject*>(object));
  }
};
