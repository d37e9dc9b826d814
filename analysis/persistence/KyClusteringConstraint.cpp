#include <kyanalysis/KyClusteringConstraint.h>
#include <kyplatform/KyNode.h>

KyClusteringConstraint::KyClusteringConstraint(long priority, const wchar_t* name)
    : KyConstraint(priority, name), nodes_(new KyNodeDList) {}

// The base starts blank rather than as a copy so that priority and name come
// through the same copy steps as copyObject() and copyAttributes() use.
KyClusteringConstraint::KyClusteringConstraint(const KyClusteringConstraint& other,
                                               KyDeepFlagEnum flag)
    : KyConstraint(0, nullptr), nodes_(new KyNodeDList) {
  if (flag == KY_DEEP_COPY)
    KyClusteringConstraintdeepCopy(other);
  else
    KyClusteringConstraintattributeCopy(other);
}

KyClusteringConstraint& KyClusteringConstraint::operator=(const KyClusteringConstraint& other) {
  if (&other != this)
    KyClusteringConstraintdeepCopy(other);
  return *this;
}

KyClusteringConstraint::~KyClusteringConstraint() = default;

void KyClusteringConstraint::copyObject(const KyObject* source) {
  const auto* that = dynamic_cast<const KyClusteringConstraint*>(source);
  if (that != nullptr && that != this)
    KyClusteringConstraintdeepCopy(*that);
}

void KyClusteringConstraint::copyAttributes(const KyObject* source) {
  const auto* that = dynamic_cast<const KyClusteringConstraint*>(source);
  if (that != nullptr && that != this)
    KyClusteringConstraintattributeCopy(*that);
}

KyObject* KyClusteringConstraint::vCloneObject() const {
  return new KyClusteringConstraint(*this, KY_DEEP_COPY);
}

KyObject* KyClusteringConstraint::vCloneAttributes() const {
  return new KyClusteringConstraint(*this, KY_ATTRIBUTE_COPY);
}

void KyClusteringConstraint::KyClusteringConstraintdeepCopy(const KyClusteringConstraint& source) {
  KyConstraint::copyObject(&source);
  type_ = source.type_;
  fulfilled_ = source.fulfilled_;
  nodes_.reset(source.nodes_->cloneObject());
}

void KyClusteringConstraint::KyClusteringConstraintattributeCopy(
    const KyClusteringConstraint& source) {
  KyConstraint::copyAttributes(&source);
  type_ = source.type_;
  fulfilled_ = source.fulfilled_;
  clear();
}

KyNode* KyClusteringConstraint::addNode(KyNode* node) {
  if (node != nullptr)
    nodes_->appendNode(node);
  return node;
}

KyNode* KyClusteringConstraint::removeNode(KyNode* node) {
  KyDListCell* cell = nodes_->searchNode(node);
  if (cell == nullptr)
    return nullptr;
  nodes_->discardCell(cell);
  return node;
}

int KyClusteringConstraint::valid(const KyGraph* graph) const {
  switch (type_) {
  case CLUSTERING_CONSTRAINT_SAME_CLUSTER:
  case CLUSTERING_CONSTRAINT_DIFFERENT_CLUSTERS:
  case CLUSTERING_CONSTRAINT_COMPLETE_CLUSTER:
    break;
  default:
    return 0;
  }
  for (KyNodeDListIter it(nodes_.get()); it; ++it)
    if (it.pNode()->pOwnerGraph() != graph)
      return 0;
  return 1;
}
