#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyClusteringInputTailor.h>
#include <kyanalysis/KyClusteringOutputTailor.h>
#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyNode.h>

namespace key = KyAnalysisKey::clustering;

KyClusteringInputTailor::~KyClusteringInputTailor() = default;

void KyClusteringInputTailor::setAsCurrentOperation() { selectOperation(OPERATION_CLUSTERING); }
KyClusteringQualityEnum KyClusteringInputTailor::quality() const {
  return static_cast<KyClusteringQualityEnum>(graphOption(key::graphQuality));
}
KyClusteringQualityEnum KyClusteringInputTailor::quality(KyClusteringQualityEnum quality) {
  return static_cast<KyClusteringQualityEnum>(graphOption(key::graphQuality, quality));
}
int KyClusteringInputTailor::weight(KyNode* node) const {
  return memberOption(node, key::nodeWeight);
}
int KyClusteringInputTailor::weight(KyNode* node, int weight) {
  return memberOption(node, key::nodeWeight, weight);
}
int KyClusteringInputTailor::minNumberOfClusters() const {
  return graphOption(key::graphMinNumberOfClusters);
}
int KyClusteringInputTailor::minNumberOfClusters(int number) {
  return graphOption(key::graphMinNumberOfClusters, number);
}
int KyClusteringInputTailor::maxNumberOfClusters() const {
  return graphOption(key::graphMaxNumberOfClusters);
}
int KyClusteringInputTailor::maxNumberOfClusters(int number) {
  return graphOption(key::graphMaxNumberOfClusters, number);
}
double KyClusteringInputTailor::balance() const { return doubleGraphOption(key::graphBalance); }
double KyClusteringInputTailor::balance(double balance) {
  return doubleGraphOption(key::graphBalance, balance);
}
double KyClusteringInputTailor::clusterSizeFactor() const {
  return doubleGraphOption(key::graphClusterSizeFactor);
}
double KyClusteringInputTailor::clusterSizeFactor(double factor) {
  return doubleGraphOption(key::graphClusterSizeFactor, factor);
}
int KyClusteringInputTailor::cost(KyEdge* edge) const { return memberOption(edge, key::edgeCost); }
int KyClusteringInputTailor::cost(KyEdge* edge, int cost) {
  return memberOption(edge, key::edgeCost, cost);
}

KyConstraintManager* KyClusteringInputTailor::pConstraintManager() const {
  return objectGraphOption<KyConstraintManager>(key::graphConstraintManager);
}
KyConstraintManager* KyClusteringInputTailor::pConstraintManager(KyConstraintManager* manager) {
  pServiceInputData()->storeOwned(pGraph(), key::graphConstraintManager, manager);
  return manager;
}
KyConstraintManager* KyClusteringInputTailor::getOrAddConstraintManager() {
  if (pConstraintManager() == nullptr)
    pConstraintManager(new KyConstraintManager(nullptr));
  return pConstraintManager();
}

KyClusteringConstraint*
KyClusteringInputTailor::addConstraint(const KyNodeDList* nodes,
                                       KyClusteringConstraintTypeEnum type) {
  auto* constraint = new KyClusteringConstraint(0, nullptr);
  constraint->priority(1);
  constraint->type(type);
  for (KyNodeDListIter it(nodes); it; ++it)
    constraint->addNode(it.pNode());
  getOrAddConstraintManager()->insertConstraint(constraint);
  return constraint;
}
KyClusteringConstraint*
KyClusteringInputTailor::addSameClusterConstraint(const KyNodeDList* nodes) {
  return addConstraint(nodes, CLUSTERING_CONSTRAINT_SAME_CLUSTER);
}
KyClusteringConstraint*
KyClusteringInputTailor::addDifferentClusterConstraint(const KyNodeDList* nodes) {
  return addConstraint(nodes, CLUSTERING_CONSTRAINT_DIFFERENT_CLUSTERS);
}
KyClusteringConstraint*
KyClusteringInputTailor::addCompleteClusterConstraint(const KyNodeDList* nodes) {
  return addConstraint(nodes, CLUSTERING_CONSTRAINT_COMPLETE_CLUSTER);
}

void KyClusteringInputTailor::buildConstraintList(KyDList& list) const {
  list.deleteAllCells();
  if (const KyConstraintManager* manager = pConstraintManager())
    list.copyAllCells(*manager->pConstraintList());
}
KyClusteringConstraint*
KyClusteringInputTailor::insertConstraint(KyClusteringConstraint* constraint) {
  return KyClusteringConstraint::castDown(
      getOrAddConstraintManager()->insertConstraint(constraint));
}
KyClusteringConstraint*
KyClusteringInputTailor::removeConstraint(KyClusteringConstraint* constraint) {
  KyConstraintManager* manager = pConstraintManager();
  return manager != nullptr
             ? KyClusteringConstraint::castDown(manager->removeConstraint(constraint))
             : nullptr;
}
void KyClusteringInputTailor::discardConstraint(KyClusteringConstraint* constraint) {
  if (KyConstraintManager* manager = pConstraintManager())
    manager->discardConstraint(constraint);
}
void KyClusteringInputTailor::discardAllConstraints() {
  if (KyConstraintManager* manager = pConstraintManager())
    manager->discardAllConstraints();
}

KyClusteringOutputTailor::~KyClusteringOutputTailor() = default;

int KyClusteringOutputTailor::clusterNumber(KyNode* node) const {
  return memberResult(node, key::nodeClusterNumber);
}
void KyClusteringOutputTailor::buildClusterList(KyDList& list) const {
  buildListOfLists<KyNodeDList>(key::noneClusterList, list);
}
int KyClusteringOutputTailor::fulfilled(KyClusteringConstraint* constraint) const {
  return memberResult(constraint, key::constraintFulfilled);
}
