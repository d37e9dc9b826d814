// KyTreeTestOutputTailor: the answer of a tree test.
#pragma once

#include <kyanalysis/KyBaseAnalysisOutputTailor.h>

/// Results of a tree test: whether the graph is a tree, and whether it is
/// a forest.
class KYANALYSIS_EXPORT KyTreeTestOutputTailor : public KyBaseAnalysisOutputTailor {
public:
  explicit KyTreeTestOutputTailor(KyServiceOutputData* outputData)
      : KyBaseAnalysisOutputTailor(outputData) {}
  ~KyTreeTestOutputTailor() override;

  /// 1 when the graph is a tree, else 0.
  int isTree() const;
  /// 1 when the graph is a forest (every component a tree), else 0.
  int isForest() const;

  static KyTreeTestOutputTailor* castDown(const KyObject* object) {
    return static_cast<KyTreeTestOutputTailor*>(const_cast<KyObject*>(object));
  }
};
