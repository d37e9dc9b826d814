// Root cause: causes on constructed fault-propagation graphs, reach against
// a brute-force cheapest-walk table (edge and passed-node costs, range) on
// seeded random graphs, and every invalid request.
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyRootCauseInputTailor.h>
#include <kyanalysis/KyRootCauseOutputTailor.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNodeDList.h>

#include "support/KyEngineTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace {

using kytest::Edges;
using Nodes = std::vector<int>;

// A root-cause request on a graph of `nodes` nodes; effects by position.
struct RootCause : kytest::EngineCase {
  RootCause(int nodes, const Edges& edges, const Nodes& effects)
      : EngineCase(nodes, edges), request(&input) {
    kytest::ask(request, *this);
    for (int e : effects)
      effectList.appendObject(node.at(e));
    request.pEffectNodeList(&effectList);
  }
  Nodes causes() {
    EXPECT_EQ(run(), ANALYSIS_ERROR_NONE);
    KyNodeDList list;
    KyRootCauseOutputTailor(&output).buildCauseNodeList(list);
    return kytest::positions(list);
  }
  Nodes reached(int v) const {
    KyNodeDList list;
    KyRootCauseOutputTailor(const_cast<KyServiceOutputData*>(&output))
        .buildReachedNodeList(node.at(v), list);
    return kytest::positions(list);
  }

  KyNodeDList effectList;
  KyRootCauseInputTailor request;
};

// 0 -> 1 -> effects 2, 3, 4; noise: 5 -> 2 and 6 -> 7.
const Edges kOneCause{{0, 1}, {1, 2}, {1, 3}, {1, 4}, {5, 2}, {6, 7}};

TEST(RootCause, OneHiddenCauseBeatsItsAncestorAndTheNoise) {
  RootCause c(8, kOneCause, {2, 3, 4});
  EXPECT_EQ(c.causes(), (Nodes{1})); // 0 reaches as much, at more cost
}

TEST(RootCause, ThresholdAndWeightsDecideTheCauses) {
  // 0 -> effects 2, 3, 4; 1 -> effects 5, 6; 7 -> 2 is noise.
  const Edges twoCauses{{0, 2}, {0, 3}, {0, 4}, {1, 5}, {1, 6}, {7, 2}};
  const struct {
    double threshold;
    int heavyWeight; // of effect 5
    Nodes causes;
  } rows[] = {
      {1.0, 1, {}},     // no single node explains every effect
      {0.4, 1, {0, 1}}, // both weigh 2/5 or more, the heavier first
      {0.5, 1, {0}},    // 2/5 is too little for node 1
      {0.5, 10, {1}},   // effect 5 outweighs the others
      {0.0, 1, {0, 1}}, // every reaching node qualifies; two cover all
  };
  for (const auto& row : rows) {
    RootCause c(8, twoCauses, {2, 3, 4, 5, 6, 3});
    c.request.threshold(row.threshold);
    c.request.weight(c.node[5], row.heavyWeight);
    EXPECT_EQ(c.causes(), row.causes) << row.threshold << ", weight " << row.heavyWeight;
  }
}

TEST(RootCause, UnreachedEffectsStayUncoveredOrExplainThemselves) {
  // Effect 3 has no incoming edge.
  RootCause strict(4, {{0, 1}, {0, 2}}, {1, 2, 3});
  EXPECT_EQ(strict.causes(), Nodes{});
  RootCause loose(4, {{0, 1}, {0, 2}}, {1, 2, 3});
  loose.request.threshold(0.0);
  EXPECT_EQ(loose.causes(), (Nodes{0, 3}));
}

TEST(RootCause, UndirectedEdgesAreFollowedBothWays) {
  RootCause c(3, {{2, 0}, {1, 2}}, {0}); // 1 -> 2 -> 0; 0 is the effect
  c.request.undirected(c.edge[0], 1);
  c.causes();
  EXPECT_EQ(c.reached(1), Nodes{0});
  RootCause all(2, {{0, 1}}, {0});
  all.request.undirected(1);
  all.causes();
  EXPECT_EQ(all.reached(1), Nodes{0});
}

TEST(RootCause, ReachAgreesWithBruteForceOnRandomGraphs) {
  std::mt19937 random(3);
  constexpr std::int64_t kFar = std::int64_t{1} << 40;
  for (int round = 0; round < 60; ++round) {
    const int n = 1 + static_cast<int>(random() % 6);
    const Edges edges = kytest::randomEdges(random, n, static_cast<int>(random() % (2 * n + 2)));
    const Nodes effects{static_cast<int>(random() % n), static_cast<int>(random() % n)};
    RootCause c(n, edges, effects);
    const int range = static_cast<int>(random() % 8) - 1;
    c.request.range(range);
    std::vector<int> nodeCost(n);
    for (int v = 0; v < n; ++v)
      nodeCost[v] = c.request.cost(c.node[v], static_cast<int>(random() % 3));
    // Floyd-Warshall on cost(edge) + cost(target), less the target's cost.
    std::vector<std::vector<std::int64_t>> d(n, std::vector<std::int64_t>(n, kFar));
    for (std::size_t e = 0; e < edges.size(); ++e) {
      const int cost = c.request.cost(c.edge[e], static_cast<int>(random() % 4));
      auto& entry = d[edges[e].first][edges[e].second];
      entry = std::min(entry, std::int64_t{cost} + nodeCost[edges[e].second]);
    }
    for (int via = 0; via < n; ++via)
      for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
          d[i][j] = std::min(d[i][j], d[i][via] + d[via][j]);
    c.causes();
    for (int v = 0; v < n; ++v) {
      Nodes expected;
      for (int e : effects)
        if ((v == e || (d[v][e] < kFar && (range == -1 || d[v][e] - nodeCost[e] <= range))) &&
            std::find(expected.begin(), expected.end(), e) == expected.end())
          expected.push_back(e);
      EXPECT_EQ(c.reached(v), expected) << "round " << round << ", node " << v;
    }
  }
}

TEST(RootCause, InvalidRequestsAnswerOnlyTheirCode) {
  KyGraph other;
  KyNode* foreign = other.addNode();
  const struct {
    const char* what;
    void (*spoil)(RootCause&, KyNode*);
    int code;
  } rows[] = {
      {"no effect list", [](RootCause& c, KyNode*) { c.request.pEffectNodeList(nullptr); },
       ANALYSIS_ERROR_INVALID_OPTION},
      {"foreign effect", [](RootCause& c, KyNode* f) { c.effectList.appendObject(f); },
       ANALYSIS_ERROR_INVALID_OPTION},
      {"threshold above 1", [](RootCause& c, KyNode*) { c.request.threshold(1.5); },
       ANALYSIS_ERROR_INVALID_OPTION},
      {"negative threshold", [](RootCause& c, KyNode*) { c.request.threshold(-0.1); },
       ANALYSIS_ERROR_INVALID_OPTION},
      {"threshold as an integer",
       [](RootCause& c, KyNode*) {
         c.input.setValue(&c.graph, KyAnalysisKey::rootCause::graphThreshold, new KyInt(1), 1, 0);
       },
       ANALYSIS_ERROR_INVALID_OPTION},
      {"range below -1", [](RootCause& c, KyNode*) { c.request.range(-2); },
       ANALYSIS_ERROR_INVALID_OPTION},
      {"negative weight", [](RootCause& c, KyNode*) { c.request.weight(c.node[1], -1); },
       ANALYSIS_ERROR_INVALID_OPTION},
      {"negative cycle",
       [](RootCause& c, KyNode*) {
         c.request.cost(c.edge[0], -3);
         c.request.cost(c.edge[1], 1);
       },
       ANALYSIS_ERROR_NEGATIVE_CYCLE},
  };
  for (const auto& row : rows) {
    RootCause c(2, {{0, 1}, {1, 0}}, {1});
    row.spoil(c, foreign);
    EXPECT_EQ(c.run(), row.code) << row.what;
    EXPECT_EQ(c.reached(1), Nodes{}) << row.what;
  }
}

} // namespace
