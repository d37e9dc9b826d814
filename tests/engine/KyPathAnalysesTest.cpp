// The path analyses of the engine (shortest paths, all pairs, reachable
// nodes, path exists, unique path, disjoint paths) against independent
// answers on seeded random small graphs: Floyd-Warshall over walk costs,
// closure for reach, enumerated simple paths; then the edges of each.
#include <kyanalysis/KyAllPairsShortestPathsInputTailor.h>
#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyInt.h>
#include <kyanalysis/KyAllPairsShortestPathsOutputTailor.h>
#include <kyanalysis/KyDisjointPathsInputTailor.h>
#include <kyanalysis/KyDisjointPathsOutputTailor.h>
#include <kyanalysis/KyEdgeDList.h>
#include <kyanalysis/KyNodeDList.h>
#include <kyanalysis/KyPathExistsTestInputTailor.h>
#include <kyanalysis/KyPathExistsTestOutputTailor.h>
#include <kyanalysis/KyReachableNodesInputTailor.h>
#include <kyanalysis/KyReachableNodesOutputTailor.h>
#include <kyanalysis/KyShortestPathsInputTailor.h>
#include <kyanalysis/KyShortestPathsOutputTailor.h>
#include <kyanalysis/KyUniquePathTestInputTailor.h>
#include <kyanalysis/KyUniquePathTestOutputTailor.h>

#include "support/KyEngineTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <type_traits>
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
  bool negativeCycleFrom(int u) const {
    for (int k = 0; k < n; ++k)
      if (negative[k] && reaches(u, k))
        return true;
    return false;
  }
  bool negativeCycleBetween(int u, int v) const {
    for (int k = 0; k < n; ++k)
      if (negative[k] && reaches(u, k) && reaches(k, v))
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

TEST(KyEnginePathAnalyses, ShortestPathsAndAllPairsMatchFloydWarshall) {
  int negative = 0, unreachable = 0;
  for (unsigned seed = 1; seed <= 400; ++seed) {
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    Case c(seed);
    const Oracle oracle(c);
    KyShortestPathsInputTailor request(&c.input);
    c.withCosts(request).pStartNode(c.node[c.start]);
    request.pFinishNode(c.node[c.finish]);
    const bool negativeOnWalks = oracle.negativeCycleBetween(c.start, c.finish);
    negative += negativeOnWalks ? 1 : 0;
    ASSERT_EQ(c.run(), negativeOnWalks ? ANALYSIS_ERROR_NEGATIVE_CYCLE : ANALYSIS_ERROR_NONE);
    const KyShortestPathsOutputTailor answer(&c.output);
    KyEdgeDList path;
    answer.buildEdgeList(path);
    unreachable += oracle.reaches(c.start, c.finish) ? 0 : 1;
    if (!negativeOnWalks) {
      EXPECT_EQ(answer.pathExists(), oracle.reaches(c.start, c.finish) ? 1 : 0);
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
  }
  EXPECT_GT(negative, 20);
  EXPECT_GT(unreachable, 20);
}

TEST(KyEnginePathAnalyses, ReachableNodesMatchClosureWithinTheRange) {
  for (unsigned seed = 1; seed <= 400; ++seed) {
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    Case c(seed);
    KyReachableNodesInputTailor request(&c.input);
    c.withCosts(request).pStartNode(c.node[c.start]);
    const int range = c.draw(-1, 6);
    if (seed % 3 == 0)
      request.level(range); // stands in for the range, 0 meaning none
    else
      request.range(range);
    const int bound = request.range();
    const Oracle oracle(c);
    const int code = c.run();
    if (bound >= 0 && oracle.negativeCycleFrom(c.start)) {
      EXPECT_EQ(code, ANALYSIS_ERROR_NEGATIVE_CYCLE);
      continue;
    }
    ASSERT_EQ(code, ANALYSIS_ERROR_NONE);
    std::vector<int> expected;
    for (int v = 0; v < c.nodeCount(); ++v)
      if (oracle.reaches(c.start, v) &&
          (bound < 0 || v == c.start || oracle.cost[c.start][v] <= bound))
        expected.push_back(v);
    KyNodeDList reached;
    KyReachableNodesOutputTailor(&c.output).buildReachableNodeList(reached);
    std::vector<int> found = positions(reached);
    if (bound >= 0) { // cheapest first
      EXPECT_TRUE(std::is_sorted(found.begin(), found.end(), [&](int a, int b) {
        return oracle.cheapest(c.start, a) < oracle.cheapest(c.start, b);
      }));
    }
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, expected);
  }
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

TEST(KyEnginePathAnalyses, PathExistsAndUniquePathMatchEnumeratedPaths) {
  int unique = 0, several = 0;
  for (unsigned seed = 1; seed <= 400; ++seed) {
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    Case c(seed);
    KyPathExistsTestInputTailor exists(&c.input);
    c.withSwitches(exists).pStartNode(c.node[c.start]);
    exists.pFinishNode(c.node[c.finish]);
    ASSERT_EQ(c.run(), ANALYSIS_ERROR_NONE);
    const Oracle hops(c, true);
    const bool reaches = hops.reaches(c.start, c.finish);
    KyEdgeDList path;
    const KyPathExistsTestOutputTailor existsAnswer(&c.output);
    existsAnswer.buildEdgeList(path);
    EXPECT_EQ(existsAnswer.pathExists(), reaches ? 1 : 0);
    if (reaches) { // fewest edges: its cost under unit costs
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
  }
  EXPECT_GT(unique, 50);
  EXPECT_GT(several, 30);
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

TEST(KyEnginePathAnalyses, DisjointPathsMatchTheMostDisjointEnumeratedPaths) {
  int checked = 0;
  for (unsigned seed = 1; seed <= 600; ++seed) {
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    Case c(seed);
    const std::vector<Walk> paths = simplePaths(c, c.start, c.finish, true);
    if (paths.size() > 40)
      continue;
    const bool nodes = seed % 3 == 0;
    KyDisjointPathsInputTailor request(&c.input);
    kytest::ask(request, c).pStartNode(c.node[c.start]);
    request.pFinishNode(c.node[c.finish]);
    request.nodeDisjointPaths(nodes ? 1 : 0);
    ASSERT_EQ(c.run(), ANALYSIS_ERROR_NONE);
    const KyDisjointPathsOutputTailor answer(&c.output);
    KyDList found;
    answer.buildPathList(found);
    const std::vector<Walk> walks = kytest::positionLists(found);
    found.deleteAllCellsAndObjects();
    EXPECT_EQ(answer.numberOfDisjointPaths(), static_cast<int>(walks.size()));
    EXPECT_EQ(answer.numberOfDisjointPaths(), mostDisjoint(c, paths, nodes));
    for (std::size_t i = 0; i < walks.size(); ++i) {
      EXPECT_NE(std::find(paths.begin(), paths.end(), walks[i]), paths.end()) << "path " << i;
      for (std::size_t j = 0; j < i; ++j)
        EXPECT_FALSE(overlap(c, walks[i], walks[j], nodes)) << i << " and " << j;
    }
    ++checked;
  }
  EXPECT_GT(checked, 400);
}

// A chain a -> b -> c, a request on it and the code the engine must return.
struct CodeCase {
  const char* name;
  std::function<void(EngineCase&)> request;
  int code;
};
void PrintTo(const CodeCase& c, std::ostream* out) { *out << c.name; }

class KyEnginePathCodes : public ::testing::TestWithParam<CodeCase> {};

TEST_P(KyEnginePathCodes, AnswerWithTheirCode) {
  EngineCase c(3, {{0, 1}, {1, 2}});
  GetParam().request(c);
  EXPECT_EQ(c.run(), GetParam().code);
}

template <class T> struct Given { using type = T; }; // keeps T out of deduction

// A shortest-paths (or all-pairs) request from a to `to` with edge costs.
template <class Tailor = KyShortestPathsInputTailor>
std::function<void(EngineCase&)>
costs(int ab, int bc, int to = 2,
      typename Given<std::function<void(EngineCase&, Tailor&)>>::type more = {}) {
  return [=](EngineCase& c) {
    Tailor request(&c.input);
    kytest::ask(request, c).cost(c.edge[0], ab);
    request.cost(c.edge[1], bc);
    if constexpr (std::is_same_v<Tailor, KyShortestPathsInputTailor>) {
      request.pStartNode(c.node[0]);
      request.pFinishNode(c.node[to]);
    }
    if (more)
      more(c, request);
  };
}
std::function<void(EngineCase&)> reachable(std::function<void(EngineCase&, KyReachableNodesInputTailor&)> more) {
  return [=](EngineCase& c) {
    KyReachableNodesInputTailor request(&c.input);
    kytest::ask(request, c).pStartNode(c.node[0]);
    more(c, request);
  };
}
const auto negativeLoopAtC = [](EngineCase& c, auto& request) {
  request.cost(c.graph.addEdge(c.node[2], c.node[2]), -1);
};

const CodeCase kCodeCases[] = {
    {"ShortestCostPast32Bits", costs(kMax, 1), ANALYSIS_ERROR_COST_OVERFLOW},
    {"ShortestCostBelow32Bits", costs(-kMax - 1, -1), ANALYSIS_ERROR_COST_OVERFLOW},
    {"AllPairsCostPast32Bits", costs<KyAllPairsShortestPathsInputTailor>(kMax, 1),
     ANALYSIS_ERROR_COST_OVERFLOW},
    {"ShortestNegativeCycleOnTheWalk", costs(1, 1, 2, negativeLoopAtC),
     ANALYSIS_ERROR_NEGATIVE_CYCLE},
    {"ShortestNegativeCyclePastTheFinish", costs(1, 1, 1, negativeLoopAtC), ANALYSIS_ERROR_NONE},
    {"UndirectedNegativeEdgeIsACycle",
     costs(1, -1, 2, [](EngineCase& c, auto& request) { request.undirected(c.edge[1], 1); }),
     ANALYSIS_ERROR_NEGATIVE_CYCLE},
    {"UndirectedNegativeEdgeWithCostlyEnds",
     costs(1, -1, 2,
           [](EngineCase& c, auto& request) {
             request.undirected(1);
             request.cost(c.node[1], 1);
             request.cost(c.node[2], 1);
           }),
     ANALYSIS_ERROR_NONE},
    {"AllPairsNegativeCycleAnywhere",
     costs<KyAllPairsShortestPathsInputTailor>(1, 1, 2, negativeLoopAtC),
     ANALYSIS_ERROR_NEGATIVE_CYCLE},
    {"ReachableRangeBelowMinusOne", reachable([](EngineCase&, auto& r) { r.range(-2); }),
     ANALYSIS_ERROR_INVALID_OPTION},
    {"ReachableLevelBelowMinusOne", reachable([](EngineCase&, auto& r) { r.level(-3); }),
     ANALYSIS_ERROR_INVALID_OPTION},
    {"ReachableNegativeCycleWithoutRange", reachable(negativeLoopAtC), ANALYSIS_ERROR_NONE},
    {"ReachableNegativeCycleWithRange",
     reachable([](EngineCase& c, auto& r) {
       r.range(100);
       negativeLoopAtC(c, r);
     }),
     ANALYSIS_ERROR_NEGATIVE_CYCLE},
    {"ReachableNegativeCycleOutOfReach",
     reachable([](EngineCase& c, auto& r) {
       r.range(0);
       r.pStartNode(c.node[1]);
       r.cost(c.graph.addEdge(c.node[0], c.node[0]), -1);
     }),
     ANALYSIS_ERROR_NONE},
};
INSTANTIATE_TEST_SUITE_P(Engine, KyEnginePathCodes, ::testing::ValuesIn(kCodeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Every analysis with end nodes checks them, missing before foreign.
TEST(KyEnginePathAnalyses, CheckTheirEndNodes) {
  struct Ends {
    int operation;
    const wchar_t *start, *finish;
  };
  namespace k = KyAnalysisKey;
  const Ends analyses[] = {
      {OPERATION_SHORTEST_PATHS, k::shortestPaths::graphStartNode, k::shortestPaths::graphFinishNode},
      {OPERATION_PATH_EXISTS_TEST, k::pathExistsTest::graphStartNode,
       k::pathExistsTest::graphFinishNode},
      {OPERATION_UNIQUE_PATH_TEST, k::uniquePathTest::graphStartNode,
       k::uniquePathTest::graphFinishNode},
      {OPERATION_DISJOINT_PATHS, k::disjointPaths::graphStartNode, k::disjointPaths::graphFinishNode},
      {OPERATION_REACHABLE_NODES, k::reachableNodes::graphStartNode, nullptr}};
  for (const Ends& analysis : analyses) {
    SCOPED_TRACE(analysis.operation);
    KyGraph elsewhere;
    KyNode* foreign = elsewhere.addNode();
    for (int spoil = 0; spoil < 4; ++spoil) {
      EngineCase c(2, {{0, 1}});
      c.input.setValue(nullptr, k::all::noneGraph, &c.graph, 0, 0);
      c.input.setValue(nullptr, k::all::noneOperation, new KyInt(analysis.operation), 1, 0);
      KyNode* start = spoil == 0 ? nullptr : spoil == 2 ? foreign : c.node[0];
      KyNode* finish = spoil == 1 ? nullptr : spoil == 3 ? foreign : c.node[1];
      c.input.setValue(&c.graph, analysis.start, start, 0, 0);
      if (analysis.finish == nullptr && (spoil == 1 || spoil == 3))
        continue;
      if (analysis.finish != nullptr)
        c.input.setValue(&c.graph, analysis.finish, finish, 0, 0);
      EXPECT_EQ(c.run(), ANALYSIS_ERROR_NO_START_NODE + spoil) << "case " << spoil;
    }
  }
}

} // namespace
