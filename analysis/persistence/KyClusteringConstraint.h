// KyClusteringConstraint: how a group of nodes must be clustered.
#pragma once

#include <kyanalysis/KyAnalysisExport.h>
#include <kyplatform/KyConstraint.h>
#include <kyplatform/KyNodeDList.h>

#include <memory>

class KyGraph;
class KyNode;

/// What a clustering constraint asks of its nodes. The underlying type is
/// fixed so that any int, including codes outside 0 to 2, is a value the
/// type can hold and valid() can reject.
enum KyClusteringConstraintTypeEnum : int {
  /// All nodes in the same cluster.
  CLUSTERING_CONSTRAINT_SAME_CLUSTER = 0,
  /// All nodes in pairwise different clusters.
  CLUSTERING_CONSTRAINT_DIFFERENT_CLUSTERS = 1,
  /// The nodes form one complete cluster.
  CLUSTERING_CONSTRAINT_COMPLETE_CLUSTER = 2
};

/// A clustering constraint: a type, the constrained nodes in order of
/// addition (a node may appear more than once) and a fulfilled flag.
///
/// The constraint owns its node list, never the nodes: they belong to their
/// graph and must outlive the constraint. The list is never null. A copy is
/// deep unless asked otherwise: it gets a list of its own with the same
/// nodes; an attribute copy gets an empty list. A copy belongs to no
/// constraint manager, whatever the source belongs to. Once inserted into a
/// KyConstraintManager, the constraint is the manager's.
class KYANALYSIS_EXPORT KyClusteringConstraint : public KyConstraint {
public:
  /// Type 0, no nodes, not fulfilled. A null name is the empty name.
  explicit KyClusteringConstraint(long priority = 0, const wchar_t* name = nullptr);
  /// Flag KY_DEEP_COPY copies `other` with its nodes, any other flag copies
  /// its priority, name, type and fulfilled flag but no nodes.
  /// Cost O(number of nodes) for a deep copy.
  KyClusteringConstraint(const KyClusteringConstraint& other, KyDeepFlagEnum flag = KY_DEEP_COPY);
  /// Deep copy; a constraint held by a manager stays in it.
  KyClusteringConstraint& operator=(const KyClusteringConstraint& other);
  ~KyClusteringConstraint() override;

  /// Deep / attribute copy of `source`; nothing for a null source, the
  /// object itself, or an object that is not a KyClusteringConstraint.
  void copyObject(const KyObject* source) override;
  void copyAttributes(const KyObject* source) override;
  /// A new deep / attribute copy that the caller owns.
  KyClusteringConstraint* cloneObject() const {
    return static_cast<KyClusteringConstraint*>(vCloneObject());
  }
  KyClusteringConstraint* cloneAttributes() const {
    return static_cast<KyClusteringConstraint*>(vCloneAttributes());
  }

  KyClusteringConstraintTypeEnum type() const { return type_; }
  /// Sets the type unchecked (valid() rejects codes outside 0 to 2).
  KyClusteringConstraintTypeEnum type(KyClusteringConstraintTypeEnum type) { return type_ = type; }
  /// Whether the constraint was fulfilled (0 or 1), as last set.
  int fulfilled() const { return fulfilled_; }
  int fulfilled(int fulfilled) { return fulfilled_ = fulfilled; }
  /// The constrained nodes; never null.
  const KyNodeDList* pNodeList() const { return nodes_.get(); }

  /// Appends `node`; returns it. A null node is not added. Cost O(1).
  KyNode* addNode(KyNode* node);
  /// Removes the first occurrence of `node` and returns it; null, and the
  /// list unchanged, when `node` is not in the list. Cost O(number of nodes).
  KyNode* removeNode(KyNode* node);
  /// Removes every node from the list; the nodes themselves are untouched.
  void clear() { nodes_->deleteAllCells(); }
  /// 1 when the type is 0, 1 or 2 and every node belongs to `graph`, else 0.
  /// A constraint without nodes is valid. Cost O(number of nodes).
  int valid(const KyGraph* graph) const;

  static KyClusteringConstraint* castDown(const KyObject* object) {
    return static_cast<KyClusteringConstraint*>(const_cast<KyObject*>(object));
  }

protected:
  virtual KyObject* vCloneObject() const;
  virtual KyObject* vCloneAttributes() const;

private:
  void KyClusteringConstraintdeepCopy(const KyClusteringConstraint& source);
  void KyClusteringConstraintattributeCopy(const KyClusteringConstraint& source);

  KyClusteringConstraintTypeEnum type_ = CLUSTERING_CONSTRAINT_SAME_CLUSTER;
  std::unique_ptr<KyNodeDList> nodes_;
  int fulfilled_ = 0;
};
