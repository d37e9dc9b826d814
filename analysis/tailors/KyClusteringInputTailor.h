// KyClusteringInputTailor: the request of a clustering.
#pragma once

#include <kyanalysis/KyClusteringConstraint.h>
#include <kyanalysis/KyGeneralAnalysisInputTailor.h>

class KyConstraintManager;
class KyEdge;
class KyNode;
class KyNodeDList;

/// Options of a clustering: effort, node weights, edge costs, bounds on the
/// number of clusters, balance and cluster size, and the request's
/// clustering constraints.
///
/// The constraints live in one KyConstraintManager stored on the graph. The
/// tailor makes that manager the first time a constraint is added or
/// inserted and hands it to the input data; the manager owns the
/// constraints in it. Reading, removing or discarding never makes one.
class KYANALYSIS_EXPORT KyClusteringInputTailor : public KyGeneralAnalysisInputTailor {
public:
  explicit KyClusteringInputTailor(KyServiceInputData* inputData)
      : KyGeneralAnalysisInputTailor(inputData) {}
  ~KyClusteringInputTailor() override;

  /// Selects clustering (code 20) as the request's operation.
  void setAsCurrentOperation();

  /// Effort asked of the service (default CLUSTERING_QUALITY_MEDIUM).
  KyClusteringQualityEnum quality() const;
  KyClusteringQualityEnum quality(KyClusteringQualityEnum quality);
  /// Weight of a node (default 1).
  int weight(KyNode* node) const;
  int weight(KyNode* node, int weight);
  /// Fewest clusters wanted (default 1).
  int minNumberOfClusters() const;
  int minNumberOfClusters(int number);
  /// Most clusters wanted; 0 sets no bound (default 0).
  int maxNumberOfClusters() const;
  int maxNumberOfClusters(int number);
  /// How evenly nodes spread over the clusters (default 1.0).
  double balance() const;
  double balance(double balance);
  /// Scale of the cluster size (default 1.0).
  double clusterSizeFactor() const;
  double clusterSizeFactor(double factor);
  /// Cost of cutting an edge (default 1).
  int cost(KyEdge* edge) const;
  int cost(KyEdge* edge, int cost);

  /// The request's constraint manager; null until a constraint is added or
  /// inserted.
  KyConstraintManager* pConstraintManager() const;
  /// Each adds a new constraint of the named kind holding the nodes of
  /// `nodes` in order and returns it; the manager owns it. `nodes` is only
  /// read; a null list adds a constraint without nodes. Cost O(length).
  KyClusteringConstraint* addSameClusterConstraint(const KyNodeDList* nodes);
  KyClusteringConstraint* addDifferentClusterConstraint(const KyNodeDList* nodes);
  KyClusteringConstraint* addCompleteClusterConstraint(const KyNodeDList* nodes);
  /// Empties `list` (cells only), then fills it with the request's
  /// constraints in order. The manager keeps them.
  void buildConstraintList(KyDList& list) const;
  /// Hands `constraint` to the request's manager, making the manager when
  /// there is none; returns it. A null constraint, or one that a manager
  /// holds already, is refused: the result is null and the caller keeps it.
  KyClusteringConstraint* insertConstraint(KyClusteringConstraint* constraint);
  /// Takes `constraint` out of the request and hands it back to the caller,
  /// who then owns it; null when the request does not hold it.
  KyClusteringConstraint* removeConstraint(KyClusteringConstraint* constraint);
  /// Takes `constraint` out of the request and deletes it; nothing when the
  /// request does not hold it.
  void discardConstraint(KyClusteringConstraint* constraint);
  /// Deletes every constraint of the request.
  void discardAllConstraints();

  static KyClusteringInputTailor* castDown(const KyObject* object) {
    return static_cast<KyClusteringInputTailor*>(const_cast<KyObject*>(object));
  }

private:
  KyConstraintManager* pConstraintManager(KyConstraintManager* manager);
  KyConstraintManager* getOrAddConstraintManager();
  KyClusteringConstraint* addConstraint(const KyNodeDList* nodes,
                                        KyClusteringConstraintTypeEnum type);
};
