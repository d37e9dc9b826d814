// Searches, topological sort and the three component analyses, read back
// through their output tailors: on seeded random small graphs against
// closures and brute force, and on small graphs with known answers.
#include <kyanalysis/KyBiconnectedComponentsInputTailor.h>
#include <kyanalysis/KyBiconnectedComponentsOutputTailor.h>
#include <kyanalysis/KyBreadthFirstSearchInputTailor.h>
#include <kyanalysis/KyBreadthFirstSearchOutputTailor.h>
#include <kyanalysis/KyConnectedComponentsInputTailor.h>
#include <kyanalysis/KyConnectedComponentsOutputTailor.h>
#include <kyanalysis/KyDepthFirstSearchInputTailor.h>
#include <kyanalysis/KyDepthFirstSearchOutputTailor.h>
#include <kyanalysis/KyStronglyConnectedComponentsInputTailor.h>
#include <kyanalysis/KyStronglyConnectedComponentsOutputTailor.h>
#include <kyanalysis/KyTopologicalSortInputTailor.h>
#include <kyanalysis/KyTopologicalSortOutputTailor.h>
#include <kyplatform/KyNodeDList.h>

#include "support/KyEngineTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

namespace {

using kytest::Edges;
using kytest::EngineCase;
using kytest::positionLists;
using kytest::positions;
using Lists = std::vector<std::vector<int>>;
using Reach = std::vector<std::vector<char>>;

// A seeded graph of up to 7 nodes (self-loops and parallel edges by
// chance); for searches, edge switches and the graph switch by the seed,
// and a start node unless the seed asks for the whole graph.
struct RandomGraph {
  explicit RandomGraph(unsigned seed) : random(seed), allBoth(seed % 5 == 0) {
    nodes = draw(0, 7);
    for (int e = nodes == 0 ? 0 : draw(0, 2 * nodes + 2); e > 0; --e) {
      edges.emplace_back(draw(0, nodes - 1), draw(0, nodes - 1));
      followBoth.push_back(allBoth || draw(0, 3) == 0);
    }
    start = nodes > 0 && seed % 3 != 0 ? draw(0, nodes - 1) : -1;
  }
  int draw(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
  bool follows(std::size_t e, int from) const {
    return edges[e].first == from || (edges[e].second == from && followBoth[e]);
  }
  // reach[u][v]: v is reached from u, edges followed as `both` says,
  // leaving out node `without`.
  Reach closure(int both /* 0 none, 1 switched, 2 all */, int without = -1) const {
    Reach reach(nodes, std::vector<char>(nodes, 0));
    for (int v = 0; v < nodes; ++v)
      reach[v][v] = v != without;
    for (std::size_t e = 0; e < edges.size(); ++e)
      if (edges[e].first != without && edges[e].second != without) {
        reach[edges[e].first][edges[e].second] = 1;
        reach[edges[e].second][edges[e].first] |= both == 2 || (both == 1 && followBoth[e]);
      }
    for (int via = 0; via < nodes; ++via)
      for (int u = 0; u < nodes; ++u)
        for (int v = 0; v < nodes; ++v)
          reach[u][v] |= reach[u][via] && reach[via][v];
    return reach;
  }
  template <class Input> void askSearch(EngineCase& c) const {
    Input request(&c.input);
    kytest::ask(request, c);
    request.undirected(allBoth ? 1 : 0);
    for (std::size_t e = 0; e < edges.size(); ++e)
      request.undirected(c.edge[e], followBoth[e] ? 1 : 0);
    if (start >= 0)
      request.pStartNode(c.node[start]);
  }
  bool visits(int v) const { return start < 0 || closure(1)[start][v]; }

  std::mt19937 random;
  bool allBoth;
  int nodes = 0, start = -1;
  Edges edges;
  std::vector<char> followBoth;
};

// Order numbers by node position (0: absent), checked against the list.
template <class Output> std::vector<int> orderNumbers(const Output& out, EngineCase& c) {
  KyNodeDList list;
  out.buildNodeOrderList(list);
  std::vector<int> at(c.node.size(), 0);
  const std::vector<int> order = positions(list);
  for (std::size_t i = 0; i < order.size(); ++i)
    at[order[i]] = static_cast<int>(i) + 1;
  for (std::size_t v = 0; v < c.node.size(); ++v)
    EXPECT_EQ(out.orderNumber(c.node[v]), at[v]) << "node " << v;
  return at;
}

TEST(KyEngineBreadthFirstSearch, VisitsWhatIsReachableNearestFirst) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE(seed);
    const RandomGraph g(seed);
    EngineCase c(g.nodes, g.edges);
    g.askSearch<KyBreadthFirstSearchInputTailor>(c);
    ASSERT_EQ(c.run(), ANALYSIS_ERROR_NONE);
    const std::vector<int> at = orderNumbers(KyBreadthFirstSearchOutputTailor(&c.output), c);
    // A node not starting a search is reached from the earliest node with
    // an edge to it, by the first such edge: those pairs rise in the order.
    std::vector<std::pair<int, std::size_t>> by(g.nodes, {g.nodes + 1, 0});
    for (std::size_t e = 0; e < g.edges.size(); ++e)
      for (const int from : {g.edges[e].first, g.edges[e].second}) {
        const int to = g.edges[e].first + g.edges[e].second - from;
        if (g.follows(e, from) && at[from] > 0 && at[from] < at[to])
          by[to] = std::min(by[to], std::make_pair(at[from], e));
      }
    std::vector<std::pair<int, std::size_t>> reachedBy(g.nodes);
    for (int v = 0; v < g.nodes; ++v) {
      EXPECT_EQ(at[v] > 0, g.visits(v)) << "node " << v;
      if (at[v] > 0 && by[v].first <= g.nodes)
        reachedBy[at[v] - 1] = by[v];
    }
    for (int i = 1; i < g.nodes; ++i)
      EXPECT_TRUE(reachedBy[i].first == 0 || reachedBy[i - 1] < reachedBy[i]) << "at " << i;
  }
}

TEST(KyEngineDepthFirstSearch, NumbersParentsAndEdgeKindsFormADepthFirstForest) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE(seed);
    const RandomGraph g(seed);
    EngineCase c(g.nodes, g.edges);
    g.askSearch<KyDepthFirstSearchInputTailor>(c);
    ASSERT_EQ(c.run(), ANALYSIS_ERROR_NONE);
    const KyDepthFirstSearchOutputTailor out(&c.output);
    const std::vector<int> pre = orderNumbers(out, c);
    std::vector<int> post(g.nodes), parent(g.nodes, -1), done;
    for (int v = 0; v < g.nodes; ++v) {
      post[v] = out.completionNumber(c.node[v]);
      parent[v] = out.pParentNode(c.node[v]) ? out.pParentNode(c.node[v])->index() : -1;
      EXPECT_EQ(pre[v] > 0, g.visits(v)) << "node " << v;
      EXPECT_EQ(post[v] > 0, pre[v] > 0) << "node " << v;
      if (post[v] > 0)
        done.push_back(post[v]);
    }
    std::sort(done.begin(), done.end());
    for (std::size_t i = 0; i < done.size(); ++i)
      EXPECT_EQ(done[i], static_cast<int>(i) + 1);
    const auto ancestor = [&](int u, int v) {
      for (; v >= 0 && v != u; v = parent[v]) {
      }
      return v == u;
    };
    // Parenthesis property: ancestors (by parents) are exactly the nodes
    // whose numbers enclose the node's.
    for (int u = 0; u < g.nodes; ++u)
      for (int v = 0; v < g.nodes; ++v)
        EXPECT_TRUE(pre[u] == 0 || pre[v] == 0 ||
                    ancestor(u, v) == (pre[u] <= pre[v] && post[v] <= post[u]))
            << u << ", " << v;
    // An edge that may be followed out of a visited node has a kind that
    // fits one way of following it; other edges have none.
    for (std::size_t e = 0; e < g.edges.size(); ++e) {
      const KyAnalysisEdgeTypeEnum type = out.edgeType(c.edge[e]);
      const auto fits = [&](int u, int w) {
        const bool oneWay = !g.followBoth[e];
        return g.follows(e, u) && pre[u] > 0 &&
               ((type == EDGE_TYPE_TREE && parent[w] == u) ||
                (type == EDGE_TYPE_BACK && ancestor(w, u)) ||
                (type == EDGE_TYPE_FORWARD && oneWay && u != w && ancestor(u, w)) ||
                (type == EDGE_TYPE_CROSS && oneWay && !ancestor(u, w) && !ancestor(w, u) &&
                 pre[w] < pre[u]));
      };
      const auto [s, t] = g.edges[e];
      if ((g.follows(e, s) && pre[s] > 0) || (g.follows(e, t) && pre[t] > 0))
        EXPECT_TRUE(fits(s, t) || fits(t, s)) << "edge " << e << " type " << type;
      else
        EXPECT_EQ(type, EDGE_TYPE_NONE) << "edge " << e;
    }
  }
}

TEST(KyEngineTopologicalSort, PlacesEveryNodeOnceAndEveryEdgeOffACycleForward) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE(seed);
    const RandomGraph g(seed);
    EngineCase c(g.nodes, g.edges);
    kytest::ask(KyTopologicalSortInputTailor(&c.input), c);
    ASSERT_EQ(c.run(), ANALYSIS_ERROR_NONE);
    const KyTopologicalSortOutputTailor out(&c.output);
    const std::vector<int> at = orderNumbers(out, c);
    const Reach reach = g.closure(0);
    bool acyclic = true;
    for (const auto& [u, v] : g.edges) {
      acyclic = acyclic && !reach[v][u];
      EXPECT_TRUE(reach[v][u] || at[u] < at[v]) << u << " -> " << v;
    }
    EXPECT_EQ(out.acyclic(), acyclic ? 1 : 0);
    // Every node is placed, and the nodes of a cycle stand together.
    for (int u = 0; u < g.nodes; ++u)
      for (int w = 0; w < g.nodes; ++w)
        for (int v = 0; v < g.nodes; ++v)
          EXPECT_TRUE(at[u] > 0 &&
                      (!(reach[u][v] && reach[v][u] && at[u] < at[w] && at[w] < at[v]) ||
                       (reach[u][w] && reach[w][u])));
  }
}

// Component numbers and lists against same(u, v): numbers from 1 in order
// of first node, list i holding the nodes numbered i + 1 in node order.
template <class Output, class Same>
void expectPartition(const Output& out, EngineCase& c, Same same) {
  Lists expected;
  for (int v = 0; v < static_cast<int>(c.node.size()); ++v) {
    std::size_t k = 0;
    while (k < expected.size() && !same(expected[k].front(), v))
      ++k;
    if (k == expected.size())
      expected.emplace_back();
    expected[k].push_back(v);
    EXPECT_EQ(out.componentNumber(c.node[v]), static_cast<int>(k) + 1) << "node " << v;
  }
  KyDList lists;
  out.buildComponentList(lists);
  EXPECT_EQ(positionLists(lists), expected);
  lists.deleteAllCellsAndObjects();
}

// Connected and strongly connected components against the closures,
// biconnected ones and articulation nodes against removing each node.
TEST(KyEngineComponents, MatchClosuresAndNodeRemovals) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE(seed);
    const RandomGraph g(seed);
    const Reach both = g.closure(2), one = g.closure(0);
    EngineCase weak(g.nodes, g.edges), strong(g.nodes, g.edges);
    kytest::ask(KyConnectedComponentsInputTailor(&weak.input), weak);
    kytest::ask(KyStronglyConnectedComponentsInputTailor(&strong.input), strong);
    ASSERT_EQ(weak.run(), ANALYSIS_ERROR_NONE);
    ASSERT_EQ(strong.run(), ANALYSIS_ERROR_NONE);
    expectPartition(KyConnectedComponentsOutputTailor(&weak.output), weak,
                    [&](int u, int v) { return both[u][v] != 0; });
    const KyStronglyConnectedComponentsOutputTailor strongly(&strong.output);
    expectPartition(strongly, strong, [&](int u, int v) { return one[u][v] && one[v][u]; });
    KyDList edgeLists;
    strongly.buildEdgeComponentList(edgeLists);
    Lists edgeComponents(static_cast<std::size_t>(edgeLists.length()));
    for (std::size_t e = 0; e < g.edges.size(); ++e)
      if (one[g.edges[e].second][g.edges[e].first])
        edgeComponents.at(strongly.componentNumber(strong.node[g.edges[e].first]) - 1)
            .push_back(static_cast<int>(e));
    EXPECT_EQ(positionLists(edgeLists), edgeComponents);
    edgeLists.deleteAllCellsAndObjects();
    const int n = g.nodes;
    const auto connected = [&](unsigned set) { // grown from its lowest node
      unsigned seen = set & (~set + 1);
      for (int round = 0; round < n; ++round)
        for (const auto& [a, b] : g.edges)
          if ((set >> a & 1) && (set >> b & 1) && ((seen >> a | seen >> b) & 1))
            seen |= 1u << a | 1u << b;
      return seen == set;
    };
    // A block: two nodes or more, connected with any one of them removed.
    std::vector<unsigned> blocks;
    for (unsigned set = 1; set < (1u << n); ++set) {
      bool block = __builtin_popcount(set) >= 2 && connected(set);
      for (int v = 0; v < n && block; ++v)
        block = !(set >> v & 1) || connected(set & ~(1u << v));
      if (block)
        blocks.push_back(set);
    }
    Lists expected;
    for (int v = 0; v < n; ++v) // lone nodes first, as sets of one
      if (std::none_of(blocks.begin(), blocks.end(), [&](unsigned set) { return set >> v & 1; }))
        blocks.push_back(1u << v);
    for (unsigned set : blocks)
      if (std::none_of(blocks.begin(), blocks.end(),
                       [&](unsigned other) { return other != set && (other & set) == set; })) {
        expected.emplace_back();
        for (int v = 0; v < n; ++v)
          if (set >> v & 1)
            expected.back().push_back(v);
      }
    std::sort(expected.begin(), expected.end());
    // An articulation node leaves more pieces behind than the graph has.
    const auto pieces = [&](int without) {
      const Reach reach = g.closure(2, without);
      int count = 0;
      for (int v = 0; v < n; ++v)
        count += v != without && std::none_of(reach.begin(), reach.begin() + v,
                                              [&](const auto& from) { return from[v] != 0; });
      return count;
    };
    std::vector<int> articulation;
    for (int v = 0; v < n; ++v)
      if (pieces(v) > pieces(-1))
        articulation.push_back(v);

    EngineCase c(n, g.edges);
    kytest::ask(KyBiconnectedComponentsInputTailor(&c.input), c);
    ASSERT_EQ(c.run(), ANALYSIS_ERROR_NONE);
    const KyBiconnectedComponentsOutputTailor out(&c.output);
    KyDList lists;
    out.buildComponentList(lists);
    EXPECT_EQ(positionLists(lists), expected);
    lists.deleteAllCellsAndObjects();
    KyNodeDList nodes;
    out.buildArticulationNodeList(nodes);
    EXPECT_EQ(positions(nodes), articulation);
  }
}

TEST(KyEngineDepthFirstSearch, GivesTheExpectedForests) {
  struct Known {
    int undirected, start;
    std::vector<int> order, completion, parent, types;
  };
  // Edges 0->1, 1->2, 2->0, 0->2, 3->1 and a self-loop on 1.
  for (const Known& k :
       {Known{0, -1, {1, 2, 3, 4}, {3, 2, 1, 4}, {-1, 0, 1, -1}, {1, 1, 2, 3, 4, 2}},
        Known{1, 2, {3, 2, 1, 4}, {1, 3, 4, 2}, {1, 2, -1, 1}, {1, 1, 2, 2, 1, 2}},
        Known{0, 1, {3, 1, 2, 0}, {1, 3, 2, 0}, {2, -1, 1, -1}, {2, 1, 1, 2, 0, 2}}}) {
    EngineCase c(4, {{0, 1}, {1, 2}, {2, 0}, {0, 2}, {3, 1}, {1, 1}});
    KyDepthFirstSearchInputTailor request(&c.input);
    kytest::ask(request, c);
    request.undirected(k.undirected);
    if (k.start >= 0)
      request.pStartNode(c.node[k.start]);
    ASSERT_EQ(c.run(), ANALYSIS_ERROR_NONE);
    const KyDepthFirstSearchOutputTailor out(&c.output);
    EXPECT_EQ(orderNumbers(out, c), k.order);
    for (int v = 0; v < 4; ++v) {
      EXPECT_EQ(out.completionNumber(c.node[v]), k.completion[v]) << v;
      KyNode* parent = out.pParentNode(c.node[v]);
      EXPECT_EQ(parent != nullptr ? parent->index() : -1, k.parent[v]) << v;
    }
    for (int e = 0; e < 6; ++e)
      EXPECT_EQ(out.edgeType(c.edge[e]), k.types[e]) << "start " << k.start << " edge " << e;
  }
}

TEST(KyEngineDepthFirstSearch, WalksALongPathWithoutRecursion) {
  constexpr int kNodes = 200000;
  Edges path;
  for (int v = 0; v + 1 < kNodes; ++v)
    path.emplace_back(v, v + 1);
  EngineCase c(kNodes, path);
  kytest::ask(KyDepthFirstSearchInputTailor(&c.input), c);
  ASSERT_EQ(c.run(), ANALYSIS_ERROR_NONE);
  const KyDepthFirstSearchOutputTailor out(&c.output);
  EXPECT_EQ(out.orderNumber(c.node.back()), kNodes);
  EXPECT_EQ(out.completionNumber(c.node.front()), kNodes);
}

TEST(KyEngineTopologicalSort, TakesTheLowestReadyNodeAndKeepsCyclesTogether) {
  struct Known {
    int nodes;
    Edges edges;
    std::vector<int> order;
    int acyclic;
  };
  for (const Known& k : {Known{4, {{3, 1}, {2, 0}}, {2, 0, 3, 1}, 1},
                         Known{5, {{4, 0}, {0, 1}, {1, 0}, {1, 2}, {3, 3}}, {3, 4, 0, 1, 2}, 0}}) {
    EngineCase c(k.nodes, k.edges);
    kytest::ask(KyTopologicalSortInputTailor(&c.input), c);
    ASSERT_EQ(c.run(), ANALYSIS_ERROR_NONE);
    const KyTopologicalSortOutputTailor out(&c.output);
    KyNodeDList list;
    out.buildNodeOrderList(list);
    EXPECT_EQ(positions(list), k.order);
    EXPECT_EQ(out.acyclic(), k.acyclic);
  }
}

} // namespace
