// Clustering end to end, read back through the output tailor: planted groups
// recovered, bounds and balance kept, every "fulfilled" flag checked against
// the clusters, bad options refused.
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyClusteringInputTailor.h>
#include <kyanalysis/KyClusteringOutputTailor.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNodeDList.h>

#include "support/KyEngineTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

using kytest::Edges;

// `groups` groups of `size` nodes, node v in group v / size; each pair of
// nodes is joined with probability pIn inside a group, pOut across.
Edges planted(int groups, int size, double pIn, double pOut, unsigned seed) {
  std::mt19937 random(seed);
  std::bernoulli_distribution inside(pIn), across(pOut);
  Edges edges;
  for (int u = 0; u < groups * size; ++u)
    for (int v = u + 1; v < groups * size; ++v)
      if (u / size == v / size ? inside(random) : across(random))
        edges.emplace_back(u, v);
  return edges;
}

// The share of node pairs that two labellings agree to put together or apart.
double randIndex(const std::vector<int>& a, const std::vector<int>& b) {
  double agree = 0, pairs = 0;
  for (std::size_t i = 0; i < a.size(); ++i)
    for (std::size_t j = i + 1; j < a.size(); ++j, ++pairs)
      agree += (a[i] == a[j]) == (b[i] == b[j]) ? 1 : 0;
  return agree / pairs;
}

// A clustering request on a graph and the answer as a user reads it.
struct Clustering : kytest::EngineCase {
  explicit Clustering(int nodes, const Edges& edges = {})
      : kytest::EngineCase(nodes, edges), request(&input) {
    kytest::ask(request, *this);
  }
  KyClusteringConstraint* add(KyClusteringConstraintTypeEnum type, const std::vector<int>& at) {
    auto* made = request.insertConstraint(new KyClusteringConstraint);
    made->type(type);
    for (int v : at)
      made->addNode(node.at(v));
    return made;
  }
  // Runs the request; checks that the list and the numbers agree: clusters
  // numbered from 0 in the order of their first node, none empty.
  void answer() {
    ASSERT_EQ(run(), ANALYSIS_ERROR_NONE);
    const KyClusteringOutputTailor output(&this->output);
    KyDList built;
    output.buildClusterList(built);
    lists = kytest::positionLists(built);
    built.deleteAllCellsAndObjects();
    number.clear();
    for (KyNode* v : node)
      number.push_back(output.clusterNumber(v));
    std::vector<int> seen(node.size(), 0);
    for (std::size_t c = 0; c < lists.size(); ++c) {
      ASSERT_FALSE(lists[c].empty());
      if (c > 0) {
        EXPECT_LT(lists[c - 1].front(), lists[c].front());
      }
      for (int v : lists[c]) {
        EXPECT_EQ(number[v], static_cast<int>(c));
        ++seen[v];
      }
    }
    EXPECT_EQ(seen, std::vector<int>(node.size(), 1));
  }
  bool holds(const KyClusteringConstraint* c) const {
    std::set<int> nodes, used;
    for (KyNodeDListIter it(c->pNodeList()); it; ++it) {
      if (it.pNode()->pOwnerGraph() != &graph)
        return false;
      nodes.insert(it.pNode()->index());
      used.insert(number[it.pNode()->index()]);
    }
    switch (c->type()) {
    case CLUSTERING_CONSTRAINT_SAME_CLUSTER:
      return used.size() <= 1;
    case CLUSTERING_CONSTRAINT_DIFFERENT_CLUSTERS:
      return used.size() == nodes.size();
    default:
      return used.size() == 1 && lists[*used.begin()].size() == nodes.size();
    }
  }
  int fulfilled(KyClusteringConstraint* c) {
    return KyClusteringOutputTailor(&output).fulfilled(c);
  }

  KyClusteringInputTailor request;
  std::vector<std::vector<int>> lists;
  std::vector<int> number;
};

TEST(KyEngineClustering, RecoversPlantedGroupsAtEveryQuality) {
  const struct {
    int groups, size;
    KyClusteringQualityEnum quality;
    bool countFixed;
  } cases[] = {{3, 10, CLUSTERING_QUALITY_MEDIUM, false},
               {5, 8, CLUSTERING_QUALITY_MEDIUM, false},
               {4, 12, CLUSTERING_QUALITY_MEDIUM, true},
               {6, 10, CLUSTERING_QUALITY_PROOF, false},
               {4, 10, CLUSTERING_QUALITY_DRAFT, false}};
  for (const auto& p : cases)
    for (unsigned seed = 1; seed <= 3; ++seed) {
      SCOPED_TRACE(::testing::Message()
                   << p.groups << "x" << p.size << " quality " << p.quality << " seed " << seed);
      Clustering c(p.groups * p.size, planted(p.groups, p.size, 0.6, 0.02, seed));
      c.request.quality(p.quality);
      if (p.countFixed) {
        c.request.minNumberOfClusters(p.groups);
        c.request.maxNumberOfClusters(p.groups);
      }
      c.answer();
      std::vector<int> truth;
      for (int v = 0; v < p.groups * p.size; ++v)
        truth.push_back(v / p.size);
      EXPECT_GE(randIndex(truth, c.number), 0.95);
    }
}

TEST(KyEngineClustering, KeepsTheNumberOfClustersWithinTheBounds) {
  struct Bounds {
    int min, max, fewest, most;
  };
  // Four planted groups of six nodes.
  for (const Bounds b :
       {Bounds{1, 0, 4, 4}, Bounds{2, 2, 2, 2}, Bounds{6, 6, 6, 6}, Bounds{1, 3, 1, 3},
        Bounds{9, 0, 9, 24}, Bounds{30, 0, 24, 24}, Bounds{0, 0, 4, 4}}) {
    Clustering c(24, planted(4, 6, 0.7, 0.02, 7));
    c.request.minNumberOfClusters(b.min);
    c.request.maxNumberOfClusters(b.max);
    c.answer();
    EXPECT_GE(c.lists.size(), static_cast<std::size_t>(b.fewest)) << b.min << ".." << b.max;
    EXPECT_LE(c.lists.size(), static_cast<std::size_t>(b.most)) << b.min << ".." << b.max;
  }
}

TEST(KyEngineClustering, AnswersGraphsWithoutTies) {
  Clustering empty(0);
  empty.answer();
  EXPECT_TRUE(empty.lists.empty());

  Clustering one(1, {{0, 0}});
  one.request.minNumberOfClusters(3);
  one.answer();
  EXPECT_EQ(one.lists, (std::vector<std::vector<int>>{{0}}));

  // Isolated nodes share the fewest clusters evenly.
  Clustering isolated(7);
  isolated.request.minNumberOfClusters(2);
  isolated.answer();
  ASSERT_EQ(isolated.lists.size(), 2u);
  EXPECT_LE(std::abs(static_cast<int>(isolated.lists[0].size() - isolated.lists[1].size())), 1);

  // Isolated nodes beside groups add no cluster and even out the sizes.
  Edges edges = planted(2, 6, 1.0, 0.0, 1);
  Clustering mixed(14, edges);
  mixed.answer();
  ASSERT_EQ(mixed.lists.size(), 2u);
  EXPECT_EQ(mixed.lists[0].size(), 7u);
}

TEST(KyEngineClustering, BalanceAndSizeFactorShapeTheClusters) {
  // Two cliques of six and two nodes, joined by one edge, in two clusters.
  Edges edges = planted(1, 6, 1.0, 0.0, 1);
  edges.insert(edges.end(), {{6, 7}, {5, 6}});
  for (const double balance : {1.0, 0.0}) {
    Clustering c(8, edges);
    c.request.minNumberOfClusters(2);
    c.request.maxNumberOfClusters(2);
    c.request.balance(balance);
    c.answer();
    EXPECT_EQ(c.lists[0].size(), balance == 1.0 ? 4u : 6u);
  }
  // Node weights, not node counts, are balanced: 6 against 1 + 4.
  Clustering heavy(8, edges);
  heavy.request.minNumberOfClusters(2);
  heavy.request.maxNumberOfClusters(2);
  heavy.request.weight(heavy.node[7], 4);
  heavy.answer();
  EXPECT_EQ(heavy.lists[0].size(), 6u);

  // A larger size factor merges groups, a smaller one splits them.
  std::vector<std::size_t> counts;
  for (const double factor : {8.0, 1.0, 0.1}) {
    Clustering c(32, planted(4, 8, 0.6, 0.05, 3));
    c.request.clusterSizeFactor(factor);
    c.answer();
    counts.push_back(c.lists.size());
  }
  EXPECT_LT(counts[0], counts[1]);
  EXPECT_EQ(counts[1], 4u);
  EXPECT_GT(counts[2], counts[1]);
}

TEST(KyEngineClustering, ReportsEachConstraintAsTheClustersKeepIt) {
  std::mt19937 random(11);
  int fulfilled = 0, broken = 0;
  for (int round = 0; round < 30; ++round) {
    Clustering c(18, planted(3, 6, 0.6, 0.05, static_cast<unsigned>(round)));
    c.request.maxNumberOfClusters(round % 3 == 0 ? 3 : 0);
    std::vector<KyClusteringConstraint*> constraints;
    for (int i = 0; i < 4; ++i) {
      std::vector<int> at(std::uniform_int_distribution<std::size_t>(0, 4)(random));
      for (int& v : at)
        v = std::uniform_int_distribution<int>(0, 17)(random);
      constraints.push_back(c.add(static_cast<KyClusteringConstraintTypeEnum>(
                                      std::uniform_int_distribution<int>(0, 2)(random)),
                                  at));
    }
    c.answer();
    for (auto* constraint : constraints) {
      EXPECT_EQ(c.fulfilled(constraint), c.holds(constraint) ? 1 : 0) << "round " << round;
      (c.holds(constraint) ? fulfilled : broken) += 1;
    }
  }
  EXPECT_GT(fulfilled, 80);
  EXPECT_GT(broken, 0);
}

TEST(KyEngineClustering, KeepsFeasibleConstraintsAndAnswersContradictions) {
  Clustering c(18, planted(3, 6, 0.8, 0.02, 5));
  KyGraph other;
  KyClusteringConstraint* across = c.add(CLUSTERING_CONSTRAINT_SAME_CLUSTER, {0, 6, 12});
  KyClusteringConstraint* within = c.add(CLUSTERING_CONSTRAINT_DIFFERENT_CLUSTERS, {1, 2, 3, 4});
  KyClusteringConstraint* complete = c.add(CLUSTERING_CONSTRAINT_COMPLETE_CLUSTER, {13, 14});
  KyClusteringConstraint* together = c.add(CLUSTERING_CONSTRAINT_SAME_CLUSTER, {7, 8});
  KyClusteringConstraint* apart = c.add(CLUSTERING_CONSTRAINT_DIFFERENT_CLUSTERS, {8, 7});
  KyClusteringConstraint* foreign = c.add(CLUSTERING_CONSTRAINT_SAME_CLUSTER, {9});
  foreign->addNode(other.addNode());
  KyClusteringConstraint* emptyComplete = c.add(CLUSTERING_CONSTRAINT_COMPLETE_CLUSTER, {});
  KyClusteringConstraint* emptySame = c.add(CLUSTERING_CONSTRAINT_SAME_CLUSTER, {});
  c.answer();
  for (auto* kept : {across, within, complete, together, emptySame})
    EXPECT_EQ(c.fulfilled(kept), 1);
  for (auto* lost : {apart, foreign, emptyComplete})
    EXPECT_EQ(c.fulfilled(lost), 0);
  EXPECT_EQ(c.lists[c.number[13]], (std::vector<int>{13, 14}));

  // More nodes to keep apart than clusters allowed: answered, not kept.
  Clustering tight(6, planted(1, 6, 1.0, 0.0, 1));
  tight.request.maxNumberOfClusters(3);
  KyClusteringConstraint* tooMany =
      tight.add(CLUSTERING_CONSTRAINT_DIFFERENT_CLUSTERS, {0, 1, 2, 3});
  tight.answer();
  EXPECT_EQ(tight.lists.size(), 3u);
  EXPECT_EQ(tight.fulfilled(tooMany), 0);

  // A manager of another class reads as no constraints.
  Clustering wrong(4, {{0, 1}, {2, 3}});
  wrong.input.setValue(&wrong.graph, KyAnalysisKey::clustering::graphConstraintManager,
                       new KyInt(1), 1, 0);
  wrong.answer();
  EXPECT_EQ(wrong.lists.size(), 2u);
}

TEST(KyEngineClustering, RefusesOptionsItCannotWorkWith) {
  const std::vector<std::function<void(Clustering&)>> spoilers = {
      [](Clustering& c) { c.request.quality(static_cast<KyClusteringQualityEnum>(3)); },
      [](Clustering& c) { c.request.minNumberOfClusters(-1); },
      [](Clustering& c) { c.request.maxNumberOfClusters(-1); },
      [](Clustering& c) {
        c.request.minNumberOfClusters(3);
        c.request.maxNumberOfClusters(2);
      },
      [](Clustering& c) { c.request.balance(1.5); },
      [](Clustering& c) { c.request.balance(std::nan("")); },
      [](Clustering& c) { c.request.clusterSizeFactor(0.0); },
      [](Clustering& c) { c.request.clusterSizeFactor(std::numeric_limits<double>::infinity()); },
      [](Clustering& c) { c.request.weight(c.node[1], -1); },
      [](Clustering& c) { c.request.cost(c.edge[0], -1); },
  };
  for (std::size_t i = 0; i < spoilers.size(); ++i) {
    Clustering c(3, {{0, 1}, {1, 2}});
    spoilers[i](c);
    EXPECT_EQ(c.run(), ANALYSIS_ERROR_INVALID_OPTION) << "case " << i;
    EXPECT_EQ(c.output.numberOfValues(), 2) << "case " << i; // "errorCode", "errorOption"
  }
}

} // namespace
