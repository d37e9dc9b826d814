// Sorted paths end to end: the engine's answer, walked by KySortedPathIter,
// against a brute-force enumeration of walks on seeded random small graphs.
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyPath.h>
#include <kyanalysis/KySortedPathIter.h>
#include <kyanalysis/KySortedPathsInputTailor.h>
#include <kyanalysis/KySortedPathsOutputTailor.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyEdgeDList.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

#include "support/KyEngineTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <random>
#include <vector>

namespace {

namespace k = KyAnalysisKey::sortedPaths;
using Walk = std::vector<int>; // edge positions, start to finish
constexpr std::int64_t kUnbounded = std::int64_t{1} << 60;
constexpr std::size_t kFirst = 30; // paths compared per graph

struct Case {
  int nodes = 0;
  std::vector<int> from, to, edgeCost, nodeCost;
  int start = 0, finish = 0;
};

// Up to six nodes and fifteen edges (self-loops and parallel edges come by
// chance). Costs by kind: 0 edge costs 0..4; 1 node costs too; 2 negative
// edge costs from node potentials, so no cycle is negative; 3 costs -2..4,
// negative cycles included.
Case randomCase(unsigned seed) {
  std::mt19937 random(seed);
  const auto draw = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  Case c;
  c.nodes = draw(1, 6);
  const int kind = static_cast<int>(seed % 4);
  std::vector<int> potential(c.nodes);
  for (int& p : potential)
    p = kind == 2 ? draw(0, 4) : 0;
  for (int v = 0; v < c.nodes; ++v)
    c.nodeCost.push_back(kind == 1 || kind == 2 ? draw(0, 3) : kind == 3 ? draw(0, 1) : 0);
  for (int e = draw(0, 2 * c.nodes + 3); e > 0; --e) {
    c.from.push_back(draw(0, c.nodes - 1));
    c.to.push_back(draw(0, c.nodes - 1));
    const int base = kind == 3 ? draw(-2, 4) : draw(0, 4);
    c.edgeCost.push_back(base + potential[c.from.back()] - potential[c.to.back()]);
  }
  c.start = draw(0, c.nodes - 1);
  c.finish = draw(0, 3) == 0 ? c.start : draw(0, c.nodes - 1);
  return c;
}

// Brute force over the walks of a case. A walk pays its edges and every
// node it passes through, at each pass; not its two ends.
class Oracle {
public:
  explicit Oracle(const Case& c) : c_(c), toFinish_(c.nodes, kUnbounded) {
    // Bellman-Ford in rounds among the nodes reachable from the start: a
    // change in round n means a negative cycle on a walk to the finish.
    std::vector<char> reached(c.nodes, 0);
    reached[c.start] = 1;
    for (int round = 0; round < c.nodes; ++round)
      for (std::size_t e = 0; e < c.from.size(); ++e)
        reached[c.to[e]] |= reached[c.from[e]];
    toFinish_[c.finish] = reached[c.finish] ? 0 : kUnbounded;
    for (int round = 0; round <= c.nodes; ++round)
      for (std::size_t e = 0; e < c.from.size(); ++e) {
        const int u = c.from[e], v = c.to[e];
        if (reached[u] && toFinish_[v] != kUnbounded &&
            toFinish_[v] + c.edgeCost[e] + c.nodeCost[v] < toFinish_[u]) {
          toFinish_[u] = toFinish_[v] + c.edgeCost[e] + c.nodeCost[v];
          negativeCycle_ |= round == c.nodes;
        }
      }
  }

  bool negativeCycle() const { return negativeCycle_; }
  bool pathExists() const { return toFinish_[c_.start] != kUnbounded; }

  std::int64_t cost(const Walk& walk) const {
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < walk.size(); ++i)
      sum += c_.edgeCost[walk[i]] + (i + 1 < walk.size() ? c_.nodeCost[c_.to[walk[i]]] : 0);
    return sum;
  }
  bool isWalk(const Walk& walk) const {
    int at = c_.start;
    for (int e : walk) {
      if (c_.from[e] != at)
        return false;
      at = c_.to[e];
    }
    return at == c_.finish;
  }

  // Every walk costing at most `limit`; false when there are more than
  // `cap` of them or one is longer than 400 edges.
  bool walksUpTo(std::int64_t limit, std::size_t cap, std::vector<Walk>& walks) const {
    Walk walk;
    return collect(c_.start, 0, limit, cap, walk, walks);
  }

  int acyclic() const { return hasCycle(false) ? 0 : 1; }
  // 0 without a walk, -1 when the walks pass a cycle, else their number.
  int numberOfWalks() const {
    if (!pathExists())
      return 0;
    if (hasCycle(true))
      return -1;
    std::vector<Walk> walks;
    walksUpTo(kUnbounded, 100000, walks);
    return static_cast<int>(walks.size());
  }

private:
  std::int64_t bound(int node, std::int64_t paid) const {
    return paid + toFinish_[node] - c_.nodeCost[c_.finish];
  }
  template <class Step> void forSteps(int node, std::int64_t paid, Step step) const {
    for (std::size_t e = 0; e < c_.from.size(); ++e)
      if (c_.from[e] == node && toFinish_[c_.to[e]] != kUnbounded)
        step(static_cast<int>(e), c_.to[e], paid + c_.edgeCost[e] + c_.nodeCost[c_.to[e]]);
  }
  bool collect(int node, std::int64_t paid, std::int64_t limit, std::size_t cap, Walk& walk,
               std::vector<Walk>& walks) const {
    if (walks.size() > cap || walk.size() > 400)
      return false;
    if (node == c_.finish && (walk.empty() ? 0 : paid - c_.nodeCost[c_.finish]) <= limit)
      walks.push_back(walk);
    bool complete = true;
    forSteps(node, paid, [&](int e, int to, std::int64_t after) {
      if (complete && bound(to, after) <= limit) {
        walk.push_back(e);
        complete = collect(to, after, limit, cap, walk, walks);
        walk.pop_back();
      }
    });
    return complete;
  }
  // Whether the graph has a cycle, among the edges of walks if asked.
  bool hasCycle(bool onWalksOnly) const {
    kytest::Edges edges;
    for (std::size_t e = 0; e < c_.from.size(); ++e)
      if (!onWalksOnly ||
          (toFinish_[c_.from[e]] != kUnbounded && toFinish_[c_.to[e]] != kUnbounded))
        edges.emplace_back(c_.from[e], c_.to[e]);
    return kytest::hasCycle(c_.nodes, edges);
  }

  const Case& c_;
  std::vector<std::int64_t> toFinish_;
  bool negativeCycle_ = false;
};

struct Answer {
  int code = -1;
  std::vector<Walk> walks;
  std::vector<std::int64_t> lengths;
  int pathExists = 0, numberOfPaths = 0, acyclic = 0;
};

// Runs the engine on the case and takes up to `count` paths off the iterator.
Answer runEngine(const Case& c, std::size_t count) {
  kytest::Edges edges;
  for (std::size_t e = 0; e < c.from.size(); ++e)
    edges.emplace_back(c.from[e], c.to[e]);
  kytest::EngineCase run(c.nodes, edges);
  KySortedPathsInputTailor request(&run.input);
  kytest::ask(request, run).pStartNode(run.node[c.start]);
  request.pFinishNode(run.node[c.finish]);
  for (int v = 0; v < c.nodes; ++v)
    if (c.nodeCost[v] != 0) // the others read the default, 0
      request.cost(run.node[v], c.nodeCost[v]);
  for (std::size_t e = 0; e < edges.size(); ++e)
    request.cost(run.edge[e], c.edgeCost[e]);
  Answer answer;
  answer.code = run.run();
  const KySortedPathsOutputTailor result(&run.output);
  answer.pathExists = run.output.getValueAsInteger(nullptr, k::nonePathExists);
  answer.numberOfPaths = result.numberOfPaths();
  answer.acyclic = result.acyclic();
  for (KySortedPathIter paths(&result); paths && answer.walks.size() < count; ++paths) {
    KyPath* path = paths.pPath();
    answer.walks.push_back(kytest::positions(*path->pEdgeList()));
    answer.lengths.push_back(path->length());
    path->vRelease();
  }
  return answer;
}

TEST(KyEngineSortedPaths, MatchesBruteForceOnRandomSmallGraphs) {
  int negativeCycles = 0, unreachable = 0, endless = 0;
  for (unsigned seed = 1; seed <= 400; ++seed) {
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    const Case c = randomCase(seed);
    const Oracle oracle(c);
    const Answer answer = runEngine(c, kFirst);
    if (oracle.negativeCycle()) {
      ++negativeCycles;
      EXPECT_EQ(answer.code, ANALYSIS_ERROR_NEGATIVE_CYCLE);
      continue;
    }
    ASSERT_EQ(answer.code, ANALYSIS_ERROR_NONE);
    unreachable += oracle.pathExists() ? 0 : 1;
    endless += oracle.numberOfWalks() < 0 ? 1 : 0;
    EXPECT_EQ(answer.pathExists, oracle.pathExists() ? 1 : 0);
    EXPECT_EQ(answer.numberOfPaths, oracle.numberOfWalks());
    EXPECT_EQ(answer.acyclic, oracle.acyclic());

    for (std::size_t i = 0; i < answer.walks.size(); ++i) {
      EXPECT_TRUE(oracle.isWalk(answer.walks[i])) << "path " << i;
      EXPECT_EQ(oracle.cost(answer.walks[i]), answer.lengths[i]) << "path " << i;
    }

    // Taken cheapest first, each walk once; below the last length taken,
    // the walks taken are all the walks there are.
    EXPECT_TRUE(std::is_sorted(answer.lengths.begin(), answer.lengths.end()));
    std::vector<Walk> taken = answer.walks, expected, below;
    std::sort(taken.begin(), taken.end());
    EXPECT_EQ(std::adjacent_find(taken.begin(), taken.end()), taken.end());
    const std::int64_t limit =
        answer.walks.size() < kFirst ? kUnbounded : answer.lengths.back() - 1;
    ASSERT_TRUE(oracle.walksUpTo(limit, kFirst, expected));
    for (std::size_t i = 0; i < answer.walks.size(); ++i)
      if (answer.lengths[i] <= limit)
        below.push_back(answer.walks[i]);
    std::sort(expected.begin(), expected.end());
    std::sort(below.begin(), below.end());
    EXPECT_EQ(below, expected);
  }
  // The seeds cover every kind of answer.
  EXPECT_GT(negativeCycles, 10);
  EXPECT_GT(unreachable, 10);
  EXPECT_GT(endless, 100);
}

TEST(KyEngineSortedPaths, KeepsAWalkOf32BitsAndLeavesOutOneLonger) {
  // 0 -> 1 costs 10, 0 -> 2 -> 1 costs the first edge's cost plus 1: its
  // sidetrack's detour lies exactly at the limit, then one past it.
  const struct {
    int cost;
    std::vector<std::int64_t> lengths;
  } cases[] = {
      {2147483646, {10, 2147483647}},
      {2147483647, {10}},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.cost);
    Case c;
    c.nodes = 3;
    c.nodeCost = {0, 0, 0};
    c.from = {0, 0, 2};
    c.to = {1, 2, 1};
    c.edgeCost = {10, test.cost, 1};
    c.finish = 1;
    const Answer answer = runEngine(c, kFirst);
    ASSERT_EQ(answer.code, ANALYSIS_ERROR_NONE);
    EXPECT_EQ(answer.lengths, test.lengths);
    EXPECT_EQ(answer.numberOfPaths, 2);
  }
}

// A fingerprint of everything the answer holds but the iterator's order of
// equal paths hides: the tree edge of every node and the path graph, node by
// node and edge by edge with costs and types. FNV-1a over the values.
std::uint64_t answerFingerprint(const kytest::EngineCase& run) {
  std::uint64_t hash = 14695981039346656037ull;
  const auto mix = [&](std::int64_t value) {
    hash = (hash ^ static_cast<std::uint64_t>(value)) * 1099511628211ull;
  };
  const auto position = [](const KyObject* member) {
    const auto* edge = dynamic_cast<const KyEdge*>(member);
    return edge != nullptr ? edge->index() : -1;
  };
  for (const KyNode* node : run.node)
    mix(position(run.output.pValue(node, k::nodeTreeEdge)));
  const auto* pathGraph =
      dynamic_cast<const KyGraph*>(run.output.pValue(nullptr, k::nonePathGraph));
  if (pathGraph == nullptr)
    return hash;
  mix(pathGraph->numberOfNodes());
  for (int v = 0; v < pathGraph->numberOfNodes(); ++v)
    mix(position(run.output.pValue(pathGraph->pNodeAt(v), k::nodeSidetrackEdge)));
  for (int e = 0; e < pathGraph->numberOfEdges(); ++e) {
    mix(pathGraph->edgeLinks(e).source);
    mix(pathGraph->edgeLinks(e).target);
    mix(run.output.getValueAsInteger(pathGraph->pEdgeAt(e), k::edgeCost));
    mix(run.output.getValueAsInteger(pathGraph->pEdgeAt(e), k::edgeType));
  }
  return hash;
}

// Among walks of equal cost the answer picks its tree edges, and so its
// path graph, one way only; how it finds them must not change which. Seeded
// graphs of 6 to 29 nodes with costs 0..2, full of ties: node costs on odd
// seeds, negative edge costs from node potentials on every fourth (so found
// with potentials first). The fingerprints were taken from the answers of an
// earlier, independent search.
TEST(KyEngineSortedPaths, TiesResolveAsTheyAlwaysHave) {
  const std::uint64_t expected[] = {
      0x2074a975a9370c0cull, 0x501493fe754b34b1ull, 0x5caa1a35e8a8e954ull, 0xa1de6e88c807de73ull,
      0xcd7b15eb6c71d922ull, 0xb057e720e93f65a3ull, 0x4a58a14627b8c634ull, 0x3d3e2ada26abb8e3ull,
      0xb4a081b4c3d71c2cull, 0xc1b5fa4c560277b2ull, 0x1f09e72b726d3835ull, 0x2fc313a0d6f76c9cull,
      0x859dcbf78bac824eull, 0xcd5cfdcb9af253a9ull, 0x63c606e4f4366efaull, 0xcd7002e5144f023full,
      0xa42e2978cf93afa1ull, 0xe9513d145243f1ceull, 0x0cac8b4f78411242ull, 0xc7ab62be3d64e7f1ull,
      0x93fce2dbf6497f7cull, 0x355af79018f46240ull, 0x7411b43844a60882ull, 0x965a6f3e5cdd16afull};
  for (unsigned seed = 1; seed <= std::size(expected); ++seed) {
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    const int nodes = 6 + static_cast<int>(seed % 24);
    const kytest::Edges edges = kytest::randomEdges(random, nodes, 3 * nodes);
    std::vector<int> potential(static_cast<std::size_t>(nodes), 0);
    if (seed % 4 == 0)
      for (int& p : potential)
        p = static_cast<int>(random() % 4);
    kytest::EngineCase run(nodes, edges);
    KySortedPathsInputTailor request(&run.input);
    kytest::ask(request, run).pStartNode(run.node[random() % nodes]);
    request.pFinishNode(run.node[random() % nodes]);
    for (std::size_t e = 0; e < edges.size(); ++e)
      request.cost(run.edge[e], static_cast<int>(random() % 3) + potential[edges[e].first] -
                                    potential[edges[e].second]);
    if (seed % 2 == 1)
      for (int v = 0; v < nodes; ++v)
        request.cost(run.node[v], static_cast<int>(random() % 2));
    ASSERT_EQ(run.run(), ANALYSIS_ERROR_NONE);
    EXPECT_EQ(answerFingerprint(run), expected[seed - 1]);
  }
}

} // namespace
