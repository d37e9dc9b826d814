// KyStronglyConnectedComponentsOutputTailor: the answer of strongly connected
// components.
#pragma once

#include <kyanalysis/KyBaseAnalysisOutputTailor.h>

class KyNode;

/// Results of strongly connected components: each node's component number,
/// and the components as node lists and as edge lists.
class KYANALYSIS_EXPORT KyStronglyConnectedComponentsOutputTailor
    : public KyBaseAnalysisOutputTailor {
public:
  explicit KyStronglyConnectedComponentsOutputTailor(KyServiceOutputData* outputData)
      : KyBaseAnalysisOutputTailor(outputData) {}
  ~KyStronglyConnectedComponentsOutputTailor() override;

  /// The number of the component that holds `node`.
  int componentNumber(KyNode* node) const;
  /// Deletes the objects `list` holds, then fills it with one new
  /// KyNodeDList per component, in stored order; the caller owns them.
  void buildComponentList(KyDList& list) const;
  /// Deletes the objects `list` holds, then fills it with one new
  /// KyEdgeDList per component (its edges), in stored order; the caller
  /// owns them.
  void buildEdgeComponentList(KyDList& list) const;

  static KyStronglyConnectedComponentsOutputTailor* castDown(const KyObject* object) {
    return static_cast<KyStronglyConnectedComponentsOutputTailor*>(const_cast<KyObject*>(object));
  }
};
