// KyConnectedComponentsOutputTailor: the answer of connected components.
#pragma once

#include <kyanalysis/KyBaseAnalysisOutputTailor.h>

class KyNode;

/// Results of connected components: each node's component number and the
/// components as node lists.
class KYANALYSIS_EXPORT KyConnectedComponentsOutputTailor : public KyBaseAnalysisOutputTailor {
public:
  explicit KyConnectedComponentsOutputTailor(KyServiceOutputData* outputData)
      : KyBaseAnalysisOutputTailor(outputData) {}
  ~KyConnectedComponentsOutputTailor() override;

  /// The number of the component that holds `node`.
  int componentNumber(KyNode* node) const;
  /// Deletes the objects `list` holds, then fills it with one new
  /// KyNodeDList per component, in stored order; the caller owns them.
  void buildComponentList(KyDList& list) const;

  static KyConnectedComponentsOutputTailor* castDown(const KyObject* object) {
    return static_cast<KyConnectedComponentsOutputTailor*>(const_cast<KyObject*>(object));
  }
};
