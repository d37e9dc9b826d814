// The path analyses of the engine (shortest paths, all pairs, reachable
// nodes, path exists, unique path, disjoint paths) against independent
// answers on seeded random small graphs: Floyd-Warshall over walk costs,
// closure for reach, enumerated simple paths; then the edges of each.
#include <kyanalysis/KyAllPairsShortestPathsInputTailor.h>
#include <kyanalysis/KyAllPairsShortestPathsOutputTailor.h>
#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyDisjointPathsInputTailor.h>
#include <kyanalysis/KyDisjointPathsOutputTailor.h>
#include <kyanalysis/KyPathExistsTestInputTailor.h>
#include <kyanalysis/KyPathExistsTestOutputTailor.h>
#include <kyanalysis/KyReachableNodesInputTailor.h>
#include <kyanalysis/KyReachableNodesOutputTailor.h>
#include <kyanalysis/KyShortestPathsInputTailor.h>
#include <kyanalysis/KyShortestPathsOutputTailor.h>
#include <kyanalysis/KyUniquePathTestInputTailor.h>
#include <kyanalysis/KyUniquePathTestOutputTailor.h>
#include <kyplatform/KyEdgeDList.h>
#include <kyplatform/KyNodeDList.h>

#include "support/KyEngineTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <random>
#include <vector>

namespace {

using kytest::EngineCase;
using kytest::positions;
using Walk = std::vector<int>; // edge positions in order
constexpr std::int64_t kNone = std::numeric_limits<std::int64_t>::max();
constexpr int kMax = std::numeric_limits<int>::max();

// A random graph of up to six nodes: self-loops and parallel edges come by
// chance, some edges (or all) undirected, node costs 0..3, edge costs
// -2..4 on odd seeds (negative cycles included) and 0..4 on even ones.
struct Case : EngineCase {
  explicit Case(unsigned seed) : Case(std::mt19937(seed), seed % 2 == 1) {}
  Case(std::mt19937 seeded, bool negativeCosts)
      : EngineCase(std::uniform_int_distribution<int>(1, 6)(seeded)), random(seeded) {
    for (int e = draw(0, 2 * nodeCount() + 2); e > 0; --e)
      edge.push_back(graph.addEdge(node[draw(0, nodeCount() - 1)], node[draw(0, nodeCount() - 1)]));
    allUndirected = draw(0, 5) == 0;
    for (std::size_t e = 0; e < edge.size(); ++e) {
      undirected.push_back(draw(0, 3) == 0);
      edgeCost.push_back(draw(negativeCosts ? -2 : 0, 4));
    }
    for (int v = 0; v < nodeCount(); ++v)
      nodeCost.push_back(draw(0, 3));
    start = draw(0, nodeCount() - 1);
    finish = draw(0, 3) == 0 ? start : draw(0, nodeCount() - 1);
  }
  int draw(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
  int nodeCount() const { return static_cast<int>(node.size()); }
  bool twoWay(int e) const { return allUndirected || undirected[e]; }
  int from(int e) const { return edge[e]->pSourceNode()->index(); }
  int to(int e) const { return edge[e]->pTargetNode()->index(); }
  // Writes the graph, the switches and the costs through an input tailor.
  template <class Tailor> Tailor& withCosts(Tailor& request) {
    withSwitches(request);
    for (int v = 0; v < nodeCount(); ++v)
      request.cost(node[v], nodeCost[v]);
    for (std::size_t e = 0; e < edge.size(); ++e)
      request.cost(edge[e], edgeCost[e]);
    return request;
  }
  template <class Tailor> Tailor& withSwitches(Tailor& request) {
    kytest::ask(request, *this).undirected(allUndirected ? 1 : 0);
    for (std::size_t e = 0; e < edge.size(); ++e)
      request.undirected(edge[e], undirected[e] ? 1 : 0);
    return request;
  }

  std::mt19937 random;
  bool allUndirected = false;
  std::vector<char> undirected;
  std::vector<int> edgeCost, nodeCost;
  int start = 0, finish = 0;
};

// Walk costs by Floyd-Warshall: cost[u][v] is the least cost of a walk of
// at least one edge, paying its edges and the nodes it passes through.
struct Oracle {
  explicit Oracle(const Case& c, bool unitCosts = false)
      : n(c.nodeCount()), cost(n, std::vector<std::int64_t>(n, kNone)),
        reach(n, std::vector<char>(n, 0)) {
    const auto pass = [&](int v) { return unitCosts ? 0 : c.nodeCost[v]; };
    for (std::size_t e = 0; e < c.edge.size(); ++e)
      for (int way = 0; way < (c.twoWay(e) ? 2 : 1); ++way) {
        const int u = way ? c.to(e) : c.from(e), v = way ? c.from(e) : c.to(e);
        cost[u][v] = std::min<std::int64_t>(cost[u][v], unitCosts ? 1 : c.edgeCost[e]);
        reach[u][v] = 1;
      }
    for (int k = 0; k < n; ++k)
      for (int u = 0; u < n; ++u)
        for (int v = 0; v < n; ++v)
          if (cost[u][k] != kNone && cost[k][v] != kNone) {
            cost[u][v] = std::min(cost[u][v], cost[u][k] + pass(k) + cost[k][v]);
            reach[u][v] = 1;
          }
    for (int k = 0; k < n; ++k)
      negative.push_back(cost[k][k] != kNone && cost[k][k] + pass(k) < 0);
  }
  bool reaches(int u, int v) const { return u == v || reach[u][v]; }
  // Whether a negative cycle lies on a walk from u (to v, if given).
  bool negativeCycleOn(int u, int v = -1) const {
    for (int k = 0; k < n; ++k)
      if (negative[k] && reaches(u, k) && (v < 0 || reaches(k, v)))
        return true;
    return false;
  }
  std::int64_t cheapest(int u, int v) const {
    return u == v ? std::min<std::int64_t>(0, cost[u][u]) : cost[u][v];
  }

  int n;
  std::vector<std::vector<std::int64_t>> cost;
  std::vector<std::vector<char>> reach;
  std::vector<char> negative;
};

// The cost of `walk` from u to v in the case, or nullopt when it is none.
std::optional<std::int64_t> walkCost(const Case& c, const Walk& walk, int u, int v,
                                     bool directed = false) {
  std::int64_t sum = 0;
  for (std::size_t i = 0; i < walk.size(); ++i) {
    const int e = walk[i];
    if (c.from(e) != u && (directed || !c.twoWay(e) || c.to(e) != u))
      return std::nullopt;
    u = c.from(e) == u ? c.to(e) : c.from(e);
    sum += c.edgeCost[e] + (i + 1 < walk.size() ? c.nodeCost[u] : 0);
  }
  return u == v ? std::optional<std::int64_t>(sum) : std::nullopt;
}

// Checks a cheapest walk from u to v: its cost, and the path given for it.
void expectCheapest(const Case& c, const Oracle& oracle, int u, int v, int cost,
                    const KyEdgeDList& path) {
  const bool exists = oracle.reaches(u, v);
  EXPECT_EQ(cost, exists ? oracle.cheapest(u, v) : kMax) << u << "->" << v;
  if (exists)
    EXPECT_EQ(walkCost(c, positions(path), u, v), cost) << u << "->" << v;
  else
    EXPECT_EQ(path.length(), 0);
}

// The simple paths (no node twice) from u to v, as edge lists; directed
// ignores the undirected switches.
std::vector<Walk> simplePaths(const Case& c, int u, int v, bool directed) {
  std::vector<Walk> paths;
  std::vector<char> visited(c.node.size(), 0);
  Walk walk;
  std::function<void(int)> extend = [&](int at) {
    if (at == v) {
      paths.push_back(walk);
      return;
    }
    visited[at] = 1;
    for (int e = 0; e < static_cast<int>(c.edge.size()); ++e) {
      const bool forward = c.from(e) == at, backward = !directed && c.twoWay(e) && c.to(e) == at;
      const int next = forward ? c.to(e) : c.from(e);
      if ((forward || backward) && !visited[next]) {
        walk.push_back(e);
        extend(next);
        walk.pop_back();
      }
    }
    visited[at] = 0;
  };
  extend(u);
  return paths;
}

// Whether two paths share an edge, or with `nodes` an inner node.
bool overlap(const Case& c, const Walk& a, const Walk& b, bool nodes) {
  for (int e : a)
    for (int f : b)
      if (e == f || (nodes && c.to(e) != c.finish && c.to(e) == c.to(f)))
        return true;
  return false;
}

// The most pairwise disjoint paths among `paths`, by search over subsets.
int mostDisjoint(const Case& c, const std::vector<Walk>& paths, bool nodes, std::size_t from = 0,
                 std::vector<const Walk*> chosen = {}) {
  int best = static_cast<int>(chosen.size());
  for (std::size_t i = from; i < paths.size(); ++i)
    if (std::none_of(chosen.begin(), chosen.end(),
                     [&](const Walk* p) { return overlap(c, *p, paths[i], nodes); })) {
      chosen.push_back(&paths[i]);
      best = std::max(best, mostDisjoint(c, paths, nodes, i + 1, chosen));
      chosen.pop_back();
    }
  return best;
}

// One random case per seed, asked for each path analysis in turn.
TEST(KyEnginePathAnalyses, MatchBruteForceOnRandomSmallGraphs) {
  int negative = 0, unreachable = 0, unique = 0, several = 0, disjoint = 0;
  for (unsigned seed = 1; seed <= 400; ++seed) {
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    Case c(seed);
    const Oracle oracle(c);
    const bool reaches = oracle.reaches(c.start, c.finish);
    unreachable += reaches ? 0 : 1;

    // Shortest paths and all pairs: cheapest walks, or the negative cycle.
    KyShortestPathsInputTailor request(&c.input);
    c.withCosts(request).pStartNode(c.node[c.start]);
    request.pFinishNode(c.node[c.finish]);
    const bool negativeOnWalks = oracle.negativeCycleOn(c.start, c.finish);
    negative += negativeOnWalks ? 1 : 0;
    ASSERT_EQ(c.run(), negativeOnWalks ? ANALYSIS_ERROR_NEGATIVE_CYCLE : ANALYSIS_ERROR_NONE);
    const KyShortestPathsOutputTailor answer(&c.output);
    KyEdgeDList path;
    answer.buildEdgeList(path);
    if (!negativeOnWalks) {
      EXPECT_EQ(answer.pathExists(), reaches ? 1 : 0);
      expectCheapest(c, oracle, c.start, c.finish, answer.totalCost(), path);
    }
    KyAllPairsShortestPathsInputTailor allPairs(&c.input);
    c.withCosts(allPairs);
    const bool anyNegative = std::count(oracle.negative.begin(), oracle.negative.end(), 1) > 0;
    ASSERT_EQ(c.run(), anyNegative ? ANALYSIS_ERROR_NEGATIVE_CYCLE : ANALYSIS_ERROR_NONE);
    const KyAllPairsShortestPathsOutputTailor pairs(&c.output);
    for (int u = 0; u < c.nodeCount() && !anyNegative; ++u)
      for (int v = 0; v < c.nodeCount(); ++v) {
        pairs.buildShortestPathEdgeList(c.node[u], c.node[v], path);
        expectCheapest(c, oracle, u, v, pairs.computeLengthOfShortestPath(c.node[u], c.node[v]),
                       path);
      }

    // Reachable nodes within a range (a level stands in for it, 0 meaning
    // none), cheapest first; a negative cycle matters only with a range.
    KyReachableNodesInputTailor reachable(&c.input);
    c.withCosts(reachable).pStartNode(c.node[c.start]);
    const int range = c.draw(-1, 6);
    if (seed % 3 == 0)
      reachable.level(range);
    else
      reachable.range(range);
    const int bound = reachable.range();
    if (bound >= 0 && oracle.negativeCycleOn(c.start)) {
      EXPECT_EQ(c.run(), ANALYSIS_ERROR_NEGATIVE_CYCLE);
    } else {
      ASSERT_EQ(c.run(), ANALYSIS_ERROR_NONE);
      std::vector<int> expected;
      for (int v = 0; v < c.nodeCount(); ++v)
        if (oracle.reaches(c.start, v) &&
            (bound < 0 || v == c.start || oracle.cost[c.start][v] <= bound))
          expected.push_back(v);
      KyNodeDList reached;
      KyReachableNodesOutputTailor(&c.output).buildReachableNodeList(reached);
      std::vector<int> found = positions(reached);
      // With a bound: cheapest first, ties by position; else in any order.
      if (bound >= 0)
        std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
          return oracle.cheapest(c.start, a) < oracle.cheapest(c.start, b);
        });
      else
        std::sort(found.begin(), found.end());
      EXPECT_EQ(found, expected);
    }

    // Path exists: a path of fewest edges. Unique path: the one simple path.
    KyPathExistsTestInputTailor exists(&c.input);
    c.withSwitches(exists).pStartNode(c.node[c.start]);
    exists.pFinishNode(c.node[c.finish]);
    ASSERT_EQ(c.run(), ANALYSIS_ERROR_NONE);
    const Oracle hops(c, true);
    const KyPathExistsTestOutputTailor existsAnswer(&c.output);
    existsAnswer.buildEdgeList(path);
    EXPECT_EQ(existsAnswer.pathExists(), reaches ? 1 : 0);
    if (reaches) {
      EXPECT_EQ(static_cast<std::int64_t>(path.length()), hops.cheapest(c.start, c.finish));
      EXPECT_TRUE(walkCost(c, positions(path), c.start, c.finish).has_value());
    }
    KyUniquePathTestInputTailor uniqueRequest(&c.input);
    c.withSwitches(uniqueRequest).pStartNode(c.node[c.start]);
    uniqueRequest.pFinishNode(c.node[c.finish]);
    ASSERT_EQ(c.run(), ANALYSIS_ERROR_NONE);
    const std::vector<Walk> paths = simplePaths(c, c.start, c.finish, false);
    const KyUniquePathTestOutputTailor uniqueAnswer(&c.output);
    uniqueAnswer.buildEdgeList(path);
    EXPECT_EQ(uniqueAnswer.uniquePathExists(), paths.size() == 1 ? 1 : 0);
    EXPECT_EQ(positions(path), paths.size() == 1 ? paths[0] : Walk{});
    unique += paths.size() == 1 ? 1 : 0;
    several += paths.size() > 1 ? 1 : 0;

    // Disjoint paths: as many as the best choice among the directed simple
    // paths, each one of them, pairwise disjoint.
    const std::vector<Walk> directed = simplePaths(c, c.start, c.finish, true);
    if (directed.size() > 40)
      continue;
    const bool nodes = seed % 3 == 1;
    KyDisjointPathsInputTailor disjointRequest(&c.input);
    kytest::ask(disjointRequest, c).pStartNode(c.node[c.start]);
    disjointRequest.pFinishNode(c.node[c.finish]);
    disjointRequest.nodeDisjointPaths(nodes ? 1 : 0);
    ASSERT_EQ(c.run(), ANALYSIS_ERROR_NONE);
    const KyDisjointPathsOutputTailor disjointAnswer(&c.output);
    KyDList found;
    disjointAnswer.buildPathList(found);
    const std::vector<Walk> walks = kytest::positionLists(found);
    found.deleteAllCellsAndObjects();
    EXPECT_EQ(disjointAnswer.numberOfDisjointPaths(), static_cast<int>(walks.size()));
    EXPECT_EQ(disjointAnswer.numberOfDisjointPaths(), mostDisjoint(c, directed, nodes));
    for (std::size_t i = 0; i < walks.size(); ++i) {
      EXPECT_NE(std::find(directed.begin(), directed.end(), walks[i]), directed.end()) << i;
      for (std::size_t j = 0; j < i; ++j)
        EXPECT_FALSE(overlap(c, walks[i], walks[j], nodes)) << i << " and " << j;
    }
    ++disjoint;
  }
  // The seeds cover every kind of answer.
  EXPECT_GT(negative, 20);
  EXPECT_GT(unreachable, 20);
  EXPECT_GT(unique, 50);
  EXPECT_GT(several, 30);
  EXPECT_GT(disjoint, 300);
}

using SP = KyShortestPathsInputTailor;
using AP = KyAllPairsShortestPathsInputTailor;
using RN = KyReachableNodesInputTailor;

// On a chain 0 -> 1 -> 2: edge costs ab and bc for a shortest-paths request
// from 0 to `to`, or for an all-pairs one; a reachable-nodes request from 0.
void shortest(EngineCase& c, int ab, int bc, int to = 2) {
  SP request(&c.input);
  kytest::ask(request, c).cost(c.edge[0], ab);
  request.cost(c.edge[1], bc);
  request.pStartNode(c.node[0]);
  request.pFinishNode(c.node[to]);
}
void allPairs(EngineCase& c, int ab, int bc) {
  AP request(&c.input);
  kytest::ask(request, c).cost(c.edge[0], ab);
  request.cost(c.edge[1], bc);
}
RN& reachable(RN&& request, EngineCase& c) {
  kytest::ask(request, c).pStartNode(c.node[0]);
  return request;
}
KyEdge* loopAt(EngineCase& c, int v) { return c.graph.addEdge(c.node[v], c.node[v]); }

TEST(KyEnginePathAnalyses, AnswerRangeLimitsOverflowAndNegativeCyclesWithTheirCode) {
  const struct {
    const char* name;
    void (*request)(EngineCase&);
    int code;
  } cases[] = {
      {"shortest cost past 32 bits", [](EngineCase& c) { shortest(c, kMax, 1); },
       ANALYSIS_ERROR_COST_OVERFLOW},
      {"shortest cost below 32 bits", [](EngineCase& c) { shortest(c, -kMax - 1, -1); },
       ANALYSIS_ERROR_COST_OVERFLOW},
      {"all-pairs cost past 32 bits", [](EngineCase& c) { allPairs(c, kMax, 1); },
       ANALYSIS_ERROR_COST_OVERFLOW},
      {"negative cycle on the walk",
       [](EngineCase& c) {
         shortest(c, 1, 1);
         SP(&c.input).cost(loopAt(c, 2), -1);
       },
       ANALYSIS_ERROR_NEGATIVE_CYCLE},
      {"negative cycle past the finish",
       [](EngineCase& c) {
         shortest(c, 1, 1, 1);
         SP(&c.input).cost(loopAt(c, 2), -1);
       },
       ANALYSIS_ERROR_NONE},
      {"undirected negative edge is a cycle",
       [](EngineCase& c) {
         shortest(c, 1, -1);
         SP(&c.input).undirected(c.edge[1], 1);
       },
       ANALYSIS_ERROR_NEGATIVE_CYCLE},
      {"undirected negative edge with costly ends",
       [](EngineCase& c) {
         shortest(c, 1, -1);
         SP request(&c.input);
         request.undirected(1);
         request.cost(c.node[1], 1);
         request.cost(c.node[2], 1);
       },
       ANALYSIS_ERROR_NONE},
      {"all-pairs negative cycle anywhere",
       [](EngineCase& c) {
         allPairs(c, 1, 1);
         AP(&c.input).cost(loopAt(c, 2), -1);
       },
       ANALYSIS_ERROR_NEGATIVE_CYCLE},
      {"reachable range below -1", [](EngineCase& c) { reachable(RN(&c.input), c).range(-2); },
       ANALYSIS_ERROR_INVALID_OPTION},
      {"reachable level below -1", [](EngineCase& c) { reachable(RN(&c.input), c).level(-3); },
       ANALYSIS_ERROR_INVALID_OPTION},
      {"reachable negative cycle without range",
       [](EngineCase& c) { reachable(RN(&c.input), c).cost(loopAt(c, 2), -1); },
       ANALYSIS_ERROR_NONE},
      {"reachable negative cycle within range",
       [](EngineCase& c) {
         reachable(RN(&c.input), c).range(100);
         RN(&c.input).cost(loopAt(c, 2), -1);
       },
       ANALYSIS_ERROR_NEGATIVE_CYCLE},
      {"reachable negative cycle out of reach",
       [](EngineCase& c) {
         reachable(RN(&c.input), c).range(0);
         RN request(&c.input);
         request.pStartNode(c.node[1]);
         request.cost(loopAt(c, 0), -1);
       },
       ANALYSIS_ERROR_NONE},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    EngineCase c(3, {{0, 1}, {1, 2}});
    test.request(c);
    EXPECT_EQ(c.run(), test.code);
  }
}

} // namespace
