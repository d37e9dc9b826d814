// KyPathExistsTestOutputTailor: the answer of a path-exists test.
#pragma once

#include <kyanalysis/KyBaseAnalysisOutputTailor.h>

class KyEdgeDList;

/// Results of a path-exists test: whether a path leads from the start node
/// to the finish node, and the edges of one such path.
class KYANALYSIS_EXPORT KyPathExistsTestOutputTailor : public KyBaseAnalysisOutputTailor {
public:
  explicit KyPathExistsTestOutputTailor(KyServiceOutputData* outputData)
      : KyBaseAnalysisOutputTailor(outputData) {}
  ~KyPathExistsTestOutputTailor() override;

  /// 1 when a path leads from the start node to the finish node, else 0.
  int pathExists() const;
  /// Fills `list` with the edges of the path, in order, replacing its contents.
  void buildEdgeList(KyEdgeDList& list) const;

  static KyPathExistsTestOutputTailor* castDown(const KyObject* object) {
    return static_cast<KyPathExistsTestOutputTailor*>(const_cast<KyObject*>(object));
  }
};
