// KyClusteringOutputTailor: the answer of a clustering.
#pragma once

#include <kyanalysis/KyBaseAnalysisOutputTailor.h>

class KyClusteringConstraint;
class KyNode;

/// Results of a clustering: each node's cluster, the clusters as node
/// lists, and whether each constraint of the request was fulfilled.
class KYANALYSIS_EXPORT KyClusteringOutputTailor : public KyBaseAnalysisOutputTailor {
public:
  explicit KyClusteringOutputTailor(KyServiceOutputData* outputData)
      : KyBaseAnalysisOutputTailor(outputData) {}
  ~KyClusteringOutputTailor() override;

  /// The number of the cluster `node` was put in.
  int clusterNumber(KyNode* node) const;
  /// Deletes the lists `list` holds, then fills it with one new KyNodeDList
  /// per cluster, which the caller owns. Cost O(number of nodes).
  void buildClusterList(KyDList& list) const;
  /// Whether the service fulfilled `constraint` (0 or 1); 0 when it said
  /// nothing about it.
  int fulfilled(KyClusteringConstraint* constraint) const;

  static KyClusteringOutputTailor* castDown(const KyObject* object) {
    return static_cast<KyClusteringOutputTailor*>(const_cast<KyObject*>(object));
  }
};
