// The clustering tailors: options, the constraints a request holds, and results.
#include "support/KyTailorTesting.h"

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyClusteringInputTailor.h>
#include <kyanalysis/KyClusteringOutputTailor.h>
#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyServiceData.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using Tailor = KyClusteringInputTailor;
using Objects = std::vector<KyObject*>;

class KyClusteringTailorsTest : public ::testing::Test {
protected:
  KyClusteringTailorsTest() { tailor.pGraph(&graph); }

  KyGraph graph;
  KyNode* a = graph.addNode();
  KyNode* b = graph.addNode();
  KyEdge* ab = graph.addEdge(a, b);
  KyEdge* ba = graph.addEdge(b, a);
  KyServiceInputData input;
  Tailor tailor{&input};
};

TEST(ClusteringTailorOptions, ReadDefaultsThenTheValueSetUnderTheirOwnKeyAndOwner) {
  namespace c = KyAnalysisKey::clustering;
  using kytest::graphOption;
  using kytest::memberOption;
  kytest::Graph g;
  kytest::checkOptions(
      g, {
             graphOption(c::graphQuality, &Tailor::quality, &Tailor::quality,
                         CLUSTERING_QUALITY_MEDIUM, CLUSTERING_QUALITY_PROOF),
             memberOption<KyNode>(c::nodeWeight, &Tailor::weight, &Tailor::weight, 1, 4),
             graphOption(c::graphMinNumberOfClusters, &Tailor::minNumberOfClusters,
                         &Tailor::minNumberOfClusters, 1, 3),
             graphOption(c::graphMaxNumberOfClusters, &Tailor::maxNumberOfClusters,
                         &Tailor::maxNumberOfClusters, 0, -7),
             graphOption(c::graphBalance, &Tailor::balance, &Tailor::balance, 1.0, 0.25),
             graphOption(c::graphClusterSizeFactor, &Tailor::clusterSizeFactor,
                         &Tailor::clusterSizeFactor, 1.0, 2.5),
             memberOption<KyEdge>(c::edgeCost, &Tailor::cost, &Tailor::cost, 1, 9),
         });
}

TEST_F(KyClusteringTailorsTest, FreshRequestHasNoConstraintManager) {
  KyClusteringConstraint standalone;
  KyDList list;
  list.appendObject(a);
  tailor.buildConstraintList(list);
  EXPECT_EQ(list.length(), 0);
  EXPECT_EQ(tailor.removeConstraint(&standalone), nullptr);
  tailor.discardConstraint(&standalone);
  tailor.discardAllConstraints();
  EXPECT_EQ(tailor.pConstraintManager(), nullptr);
}

TEST_F(KyClusteringTailorsTest, AddOperationsShareOneManagerInOrder) {
  KyNodeDList nodes, empty;
  nodes.appendNode(b);
  nodes.appendNode(a);
  KyClusteringConstraint* same = tailor.addSameClusterConstraint(&nodes);
  KyConstraintManager* manager = tailor.pConstraintManager();
  ASSERT_NE(manager, nullptr);
  KyClusteringConstraint* added[] = {same, tailor.addDifferentClusterConstraint(&nodes),
                                     tailor.addCompleteClusterConstraint(&nodes),
                                     tailor.addSameClusterConstraint(&empty)};
  EXPECT_EQ(Tailor(&input).pConstraintManager(), manager);

  KyDList list;
  tailor.buildConstraintList(list);
  EXPECT_EQ(kytest::contents(list), Objects(std::begin(added), std::end(added)));
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(added[i]->type(), i % 3);
    EXPECT_EQ(added[i]->priority(), 1);
    EXPECT_EQ(kytest::contents(*added[i]->pNodeList()), i < 3 ? (Objects{b, a}) : Objects{});
  }
  EXPECT_EQ(kytest::contents(nodes), (Objects{b, a}));
}

// Refusals of foreign or null constraints are the manager's own, tested with it.
TEST_F(KyClusteringTailorsTest, InsertRemoveAndDiscard) {
  auto* inserted = new KyClusteringConstraint;
  EXPECT_EQ(tailor.insertConstraint(inserted), inserted);
  KyConstraintManager* manager = tailor.pConstraintManager();
  ASSERT_NE(manager, nullptr);
  KyClusteringConstraint* added = tailor.addSameClusterConstraint(nullptr);
  EXPECT_EQ(tailor.insertConstraint(inserted), nullptr);
  EXPECT_EQ(kytest::contents(*manager->pConstraintList()), (Objects{inserted, added}));

  const std::unique_ptr<KyClusteringConstraint> back(tailor.removeConstraint(inserted));
  EXPECT_EQ(back.get(), inserted);
  EXPECT_EQ(tailor.removeConstraint(inserted), nullptr);
  tailor.discardConstraint(added);
  EXPECT_EQ(manager->pConstraintList()->length(), 0);
  tailor.addCompleteClusterConstraint(nullptr);
  tailor.discardAllConstraints();
  EXPECT_EQ(manager->pConstraintList()->length(), 0);
}

TEST(ClusteringTailorResults, FulfilledIsReadPerConstraintObjectAndClustersAreFreshLists) {
  KyClusteringConstraint kept, unreported;
  KyClusteringConstraint copy(kept);
  KyServiceOutputData output;
  output.setValue(&kept, KyAnalysisKey::clustering::constraintFulfilled, new KyInt(1), 1, 0);
  const KyClusteringOutputTailor results(&output);
  EXPECT_EQ(results.fulfilled(&kept), 1);
  EXPECT_EQ(results.fulfilled(&unreported), 0);
  EXPECT_EQ(results.fulfilled(&copy), 0);
  kytest::checkListOfListsBuilders(
      {kytest::listsBuilder(KyAnalysisKey::clustering::noneClusterList,
                            &KyClusteringOutputTailor::buildClusterList, kytest::Owner::node)});
}

} // namespace
