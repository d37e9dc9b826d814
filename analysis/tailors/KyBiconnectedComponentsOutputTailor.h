// KyBiconnectedComponentsOutputTailor: the answer of biconnected components.
#pragma once

#include <kyanalysis/KyBaseAnalysisOutputTailor.h>

class KyNodeDList;

/// Results of biconnected components: the components as node lists and the
/// articulation nodes.
class KYANALYSIS_EXPORT KyBiconnectedComponentsOutputTailor : public KyBaseAnalysisOutputTailor {
public:
  explicit KyBiconnectedComponentsOutputTailor(KyServiceOutputData* outputData)
      : KyBaseAnalysisOutputTailor(outputData) {}
  ~KyBiconnectedComponentsOutputTailor() override;

  /// Deletes the objects `list` holds, then fills it with one new
  /// KyNodeDList per component, in stored order; the caller owns them.
  void buildComponentList(KyDList& list) const;
  /// Fills `list` with the articulation nodes, replacing its contents.
  void buildArticulationNodeList(KyNodeDList& list) const;

  static KyBiconnectedComponentsOutputTailor* castDown(const KyObject* object) {
    return static_cast<KyBiconnectedComponentsOutputTailor*>(const_cast<KyObject*>(object));
  }
};
