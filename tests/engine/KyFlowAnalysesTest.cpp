// Maximum flow, minimum-cost flow, minimum cut and minimum spanning tree,
// read through the output tailors, against brute force on seeded random
// small graphs, then at the edges of the options and of the integer range.
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyMaximumFlowInputTailor.h>
#include <kyanalysis/KyMaximumFlowOutputTailor.h>
#include <kyanalysis/KyMinimumCostFlowInputTailor.h>
#include <kyanalysis/KyMinimumCostFlowOutputTailor.h>
#include <kyanalysis/KyMinimumCutInputTailor.h>
#include <kyanalysis/KyMinimumCutOutputTailor.h>
#include <kyanalysis/KyMinimumSpanningTreeInputTailor.h>
#include <kyanalysis/KyMinimumSpanningTreeOutputTailor.h>
#include <kyplatform/KyEdgeDList.h>

#include "support/KyEngineTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

namespace {

using kytest::EngineCase;
using Amounts = std::vector<std::int64_t>;
constexpr int kMax = std::numeric_limits<int>::max();
constexpr int kMin = std::numeric_limits<int>::min();

// Seeded draws, and graphs of up to five nodes with self-loops and parallel
// edges by chance; the flows and cuts go from node 0 to node 1.
struct Random {
  explicit Random(unsigned seed) : engine(seed) {}
  int operator()(int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(engine);
  }
  std::unique_ptr<EngineCase> graph(int minNodes, int maxEdges) {
    const int n = (*this)(minNodes, 5);
    return std::make_unique<EngineCase>(
        n, n == 0 ? kytest::Edges{} : kytest::randomEdges(engine, n, (*this)(0, maxEdges)));
  }
  std::mt19937 engine;
};

int from(const EngineCase& c, int e) { return c.edge[e]->pSourceNode()->index(); }
int to(const EngineCase& c, int e) { return c.edge[e]->pTargetNode()->index(); }

// What a flow sending `value` passes through each node (what leaves the
// source, what arrives anywhere else); empty when it breaks a capacity or
// conservation, or sends another value.
Amounts through(const EngineCase& c, const Amounts& flow, const Amounts& edgeCapacity,
                const Amounts& nodeCapacity, int value) {
  Amounts in(c.node.size(), 0), out(c.node.size(), 0);
  for (std::size_t e = 0; e < flow.size(); ++e) {
    if (flow[e] < 0 || flow[e] > edgeCapacity[e])
      return {};
    out[from(c, e)] += flow[e];
    in[to(c, e)] += flow[e];
  }
  in[0] += value; // what leaves the source
  out[1] += value;
  if (in != out)
    return {};
  for (std::size_t v = 0; v < in.size(); ++v)
    if (in[v] > nodeCapacity[v])
      return {};
  return in;
}

TEST(KyEngineFlows, MaximumAndMinimumCostFlowsMatchEveryIntegralFlow) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    Random draw(seed);
    auto c = draw.graph(2, 6);
    KyMaximumFlowInputTailor most(&c->input);
    most.pGraph(&c->graph);
    most.pSourceNode(c->node[0]);
    most.pSinkNode(c->node[1]);
    KyMinimumCostFlowInputTailor cheapest(&c->input);
    cheapest.pSourceNode(c->node[0]);
    cheapest.pSinkNode(c->node[1]);
    Amounts edgeCapacity, nodeCapacity, edgeCost, nodeCost;
    for (KyEdge* edge : c->edge) {
      edgeCapacity.push_back(most.capacity(edge, cheapest.capacity(edge, draw(0, 2))));
      edgeCost.push_back(cheapest.cost(edge, draw(-2, 3)));
    }
    for (KyNode* node : c->node) {
      const int capacity = draw(0, 2) == 0 ? draw(0, 3) : kMax;
      nodeCapacity.push_back(most.capacity(node, cheapest.capacity(node, capacity)));
      nodeCost.push_back(cheapest.cost(node, draw(0, 2) == 0 ? draw(-1, 2) : 0));
    }
    const int desired = cheapest.desiredFlow(draw(0, 4));
    const auto costOf = [&](const Amounts& flow, const Amounts& passing) {
      return std::inner_product(flow.begin(), flow.end(), edgeCost.begin(), std::int64_t{0}) +
             std::inner_product(passing.begin(), passing.end(), nodeCost.begin(), std::int64_t{0});
    };

    // Every integral flow, counted up edge by edge: the largest value, and
    // the least cost of each value.
    int best = 0;
    Amounts leastCost(13, std::numeric_limits<std::int64_t>::max());
    for (Amounts flow(c->edge.size(), 0);;) {
      for (int value = 0; value < 13; ++value) {
        const Amounts passing = through(*c, flow, edgeCapacity, nodeCapacity, value);
        if (!passing.empty())
          best = std::max(best, value),
          leastCost[value] = std::min(leastCost[value], costOf(flow, passing));
      }
      std::size_t e = 0;
      while (e < flow.size() && flow[e] == edgeCapacity[e])
        flow[e++] = 0;
      if (e == flow.size())
        break;
      ++flow[e];
    }

    SCOPED_TRACE(seed);
    Amounts flow(c->edge.size());
    most.setAsCurrentOperation();
    ASSERT_EQ(c->run(), ANALYSIS_ERROR_NONE);
    const KyMaximumFlowOutputTailor maximum(&c->output);
    EXPECT_EQ(maximum.totalFlow(), best);
    std::transform(c->edge.begin(), c->edge.end(), flow.begin(),
                   [&](KyEdge* e) { return maximum.flow(e); });
    EXPECT_FALSE(through(*c, flow, edgeCapacity, nodeCapacity, best).empty());

    cheapest.setAsCurrentOperation();
    ASSERT_EQ(c->run(), ANALYSIS_ERROR_NONE);
    const KyMinimumCostFlowOutputTailor answer(&c->output);
    const int sent = std::min(desired, best);
    EXPECT_EQ(answer.totalFlow(), sent);
    EXPECT_EQ(answer.totalCost(), leastCost[sent]);
    std::transform(c->edge.begin(), c->edge.end(), flow.begin(),
                   [&](KyEdge* e) { return answer.flow(e); });
    const Amounts passing = through(*c, flow, edgeCapacity, nodeCapacity, sent);
    ASSERT_FALSE(passing.empty());
    EXPECT_EQ(costOf(flow, passing), answer.totalCost());
  }
}

TEST(KyEngineMinimumCut, IsTheCheapestCutNearestTheSource) {
  for (unsigned seed = 1; seed <= 200; ++seed) {
    Random draw(seed);
    auto c = draw.graph(2, 9);
    KyMinimumCutInputTailor request(&c->input);
    kytest::ask(request, *c).pSourceNode(c->node[0]);
    request.pSinkNode(c->node[1]);
    for (KyEdge* edge : c->edge)
      request.cost(edge, draw(0, 3));

    // Source sides hold node 0, not node 1; the least cuts' sides meet in
    // the nearest one.
    const auto cutOf = [&](int side, std::int64_t& cost) {
      std::vector<int> cut;
      cost = 0;
      for (std::size_t e = 0; e < c->edge.size(); ++e)
        if ((side >> from(*c, e) & 1) && !(side >> to(*c, e) & 1))
          cut.push_back(static_cast<int>(e)), cost += request.cost(c->edge[e]);
      return cut;
    };
    std::int64_t least = std::numeric_limits<std::int64_t>::max(), cost = 0;
    int nearest = 0;
    for (int side = 1; side < (1 << c->node.size()); side += 4) {
      cutOf(side, cost);
      nearest = cost < least ? side : cost == least ? nearest & side : nearest;
      least = std::min(least, cost);
    }

    SCOPED_TRACE(seed);
    ASSERT_EQ(c->run(), ANALYSIS_ERROR_NONE);
    const KyMinimumCutOutputTailor answer(&c->output);
    KyEdgeDList cut;
    answer.buildEdgeList(cut);
    EXPECT_EQ(answer.totalCost(), least);
    EXPECT_EQ(kytest::positions(cut), cutOf(nearest, cost));
  }
}

// Self-loops carry nothing and cut nothing, wherever they are: a flow or a
// cut on a graph with loops is the one on the same graph without them.
TEST(KyEngineFlows, SelfLoopsChangeNoFlowAndNoCut) {
  const kytest::Edges edges = {{0, 2}, {2, 1}, {0, 3}, {3, 1}, {2, 3}};
  for (const int loopAt : {0, 1, 2, 3}) {
    SCOPED_TRACE(loopAt);
    kytest::Edges withLoops = edges;
    withLoops.insert(withLoops.end(), 2, {loopAt, loopAt});
    EngineCase plain(4, edges), looped(4, withLoops);
    int totals[2][2] = {};
    std::vector<int> cuts[2];
    for (EngineCase* c : {&plain, &looped}) {
      const int which = c == &plain ? 0 : 1;
      KyMaximumFlowInputTailor most(&c->input);
      kytest::ask(most, *c).pSourceNode(c->node[0]);
      most.pSinkNode(c->node[1]);
      KyMinimumCutInputTailor cut(&c->input);
      cut.pSourceNode(c->node[0]);
      cut.pSinkNode(c->node[1]);
      for (std::size_t e = 0; e < c->edge.size(); ++e) {
        most.capacity(c->edge[e], static_cast<int>(e % 3) + 2);
        cut.cost(c->edge[e], static_cast<int>(e % 3) + 2);
      }
      most.setAsCurrentOperation();
      ASSERT_EQ(c->run(), ANALYSIS_ERROR_NONE);
      const KyMaximumFlowOutputTailor flow(&c->output);
      totals[which][0] = flow.totalFlow();
      for (std::size_t e = edges.size(); e < c->edge.size(); ++e)
        EXPECT_EQ(flow.flow(c->edge[e]), 0);
      cut.setAsCurrentOperation();
      ASSERT_EQ(c->run(), ANALYSIS_ERROR_NONE);
      const KyMinimumCutOutputTailor least(&c->output);
      totals[which][1] = least.totalCost();
      KyEdgeDList list;
      least.buildEdgeList(list);
      cuts[which] = kytest::positions(list);
    }
    EXPECT_EQ(totals[1][0], totals[0][0]);
    EXPECT_EQ(totals[1][1], totals[0][1]);
    EXPECT_EQ(cuts[1], cuts[0]);
  }
}

// Three chains of 1,500 edges each from node 0 to node 1, made one after
// the other, so that the edges out of the source and into the sink lie
// blocks of links apart; chain c carries c + 1 on every edge.
TEST(KyEngineFlows, LongChainsWhoseEndsLieBlocksApart) {
  constexpr int kChains = 3, kLength = 1500;
  kytest::Edges edges;
  int nodes = 2;
  for (int c = 0; c < kChains; ++c) {
    int at = 0;
    for (int i = 0; i + 1 < kLength; ++i, at = nodes++)
      edges.emplace_back(at, nodes);
    edges.emplace_back(at, 1);
  }
  EngineCase c(nodes, edges);
  const auto amount = [](int e) { return e / kLength + 1; };

  KyMaximumFlowInputTailor most(&c.input);
  kytest::ask(most, c).pSourceNode(c.node[0]);
  most.pSinkNode(c.node[1]);
  for (std::size_t e = 0; e < c.edge.size(); ++e)
    most.capacity(c.edge[e], amount(static_cast<int>(e)));
  ASSERT_EQ(c.run(), ANALYSIS_ERROR_NONE);
  const KyMaximumFlowOutputTailor flow(&c.output);
  EXPECT_EQ(flow.totalFlow(), 6);
  for (std::size_t e = 0; e < c.edge.size(); ++e)
    ASSERT_EQ(flow.flow(c.edge[e]), amount(static_cast<int>(e))) << e;

  // The cut nearest the source: each chain's first edge.
  KyMinimumCutInputTailor cut(&c.input);
  kytest::ask(cut, c).pSourceNode(c.node[0]);
  cut.pSinkNode(c.node[1]);
  for (std::size_t e = 0; e < c.edge.size(); ++e)
    cut.cost(c.edge[e], amount(static_cast<int>(e)));
  ASSERT_EQ(c.run(), ANALYSIS_ERROR_NONE);
  const KyMinimumCutOutputTailor least(&c.output);
  EXPECT_EQ(least.totalCost(), 6);
  KyEdgeDList list;
  least.buildEdgeList(list);
  EXPECT_EQ(kytest::positions(list), (std::vector<int>{0, kLength, 2 * kLength}));
}

TEST(KyEngineMinimumSpanningTree, IsASpanningForestOfLeastCost) {
  for (unsigned seed = 1; seed <= 200; ++seed) {
    Random draw(seed);
    auto c = draw.graph(0, 8);
    KyMinimumSpanningTreeInputTailor request(&c->input);
    kytest::ask(request, *c);
    for (KyEdge* edge : c->edge)
      request.cost(edge, draw(-3, 5));

    // The size of an edge set, -1 when it closes a cycle, and its cost.
    const auto forest = [&](unsigned set, std::int64_t& cost) {
      std::vector<int> root(c->node.size());
      std::iota(root.begin(), root.end(), 0);
      const std::function<int(int)> find = [&](int v) { return root[v] == v ? v : find(root[v]); };
      int size = 0;
      cost = 0;
      for (std::size_t e = 0; e < c->edge.size(); ++e)
        if (set >> e & 1) {
          const int a = find(from(*c, e)), b = find(to(*c, e));
          if (a == b)
            return -1;
          root[a] = b, ++size, cost += request.cost(c->edge[e]);
        }
      return size;
    };
    int largest = 0;
    std::int64_t least = 0, cost = 0;
    for (unsigned set = 0; set < (1u << c->edge.size()); ++set) {
      const int size = forest(set, cost);
      if (size > largest || (size == largest && cost < least))
        largest = size, least = cost;
    }

    SCOPED_TRACE(seed);
    ASSERT_EQ(c->run(), ANALYSIS_ERROR_NONE);
    const KyMinimumSpanningTreeOutputTailor answer(&c->output);
    KyEdgeDList list;
    answer.buildTreeEdgeList(list);
    unsigned set = 0;
    for (int e : kytest::positions(list))
      set |= 1u << e;
    for (std::size_t e = 0; e < c->edge.size(); ++e)
      EXPECT_EQ(answer.treeEdge(c->edge[e]), static_cast<int>(set >> e & 1));
    EXPECT_EQ(forest(set, cost), largest);
    EXPECT_EQ(cost, least);
    EXPECT_EQ(answer.totalCost(), least);
  }
}

TEST(KyEngineMinimumSpanningTree, TakesEqualCostsInOrderOfPosition) {
  EngineCase c(3, {{0, 1}, {1, 2}, {0, 2}, {2, 0}, {1, 1}});
  KyMinimumSpanningTreeInputTailor request(&c.input);
  kytest::ask(request, c).cost(c.edge[0], 2);
  request.cost(c.edge[4], -5);
  ASSERT_EQ(c.run(), ANALYSIS_ERROR_NONE);
  KyEdgeDList list;
  KyMinimumSpanningTreeOutputTailor(&c.output).buildTreeEdgeList(list);
  EXPECT_EQ(kytest::positions(list), (std::vector<int>{1, 2}));
}

// Sets the graph, the operation and the end nodes of a request; returns the
// tailor, which may be a temporary of the caller's expression.
template <class Tailor> Tailor& ask(Tailor&& tailor, EngineCase& c, KyNode* source, KyNode* sink) {
  kytest::ask(tailor, c).pSourceNode(source);
  tailor.pSinkNode(sink);
  return tailor;
}

// A source that is the sink, or a negative amount, is an invalid option.
TEST(KyEngineFlows, RefuseOptionsTheyCannotWorkWith) {
  using Most = KyMaximumFlowInputTailor;
  using Cheapest = KyMinimumCostFlowInputTailor;
  using Cut = KyMinimumCutInputTailor;
  const std::function<void(EngineCase&)> spoilers[] = {
      [](EngineCase& c) { ask(Most(&c.input), c, c.node[1], c.node[1]); },
      [](EngineCase& c) { ask(Cheapest(&c.input), c, c.node[1], c.node[1]); },
      [](EngineCase& c) { ask(Cut(&c.input), c, c.node[1], c.node[1]); },
      [](EngineCase& c) { ask(Most(&c.input), c, c.node[0], c.node[1]).capacity(c.edge[0], -1); },
      [](EngineCase& c) { ask(Most(&c.input), c, c.node[0], c.node[1]).capacity(c.node[2], -1); },
      [](EngineCase& c) {
        ask(Cheapest(&c.input), c, c.node[0], c.node[1]).capacity(c.edge[1], -1);
      },
      [](EngineCase& c) {
        ask(Cheapest(&c.input), c, c.node[0], c.node[1]).capacity(c.node[2], -1);
      },
      [](EngineCase& c) { ask(Cheapest(&c.input), c, c.node[0], c.node[1]).desiredFlow(-1); },
      [](EngineCase& c) { ask(Cut(&c.input), c, c.node[0], c.node[1]).cost(c.edge[1], -1); }};
  for (const auto& spoil : spoilers) {
    EngineCase c(3, {{0, 1}, {2, 2}});
    spoil(c);
    EXPECT_EQ(c.run(), ANALYSIS_ERROR_INVALID_OPTION) << "case " << &spoil - spoilers;
  }
}

TEST(KyEngineFlows, AddInSixtyFourBitsAndRefuseTotalsPast32Bits) {
  // Two ways in and out of node 2, whose default capacity bounds nothing.
  EngineCase c(3, {{0, 2}, {0, 2}, {2, 1}, {2, 1}});
  KyMaximumFlowInputTailor most(&c.input);
  ask(most, c, c.node[0], c.node[1]);
  for (KyEdge* edge : c.edge)
    most.capacity(edge, 1500000000);
  EXPECT_EQ(c.run(), ANALYSIS_ERROR_COST_OVERFLOW);
  most.capacity(c.edge[1], 647483647);
  ASSERT_EQ(c.run(), ANALYSIS_ERROR_NONE);
  EXPECT_EQ(KyMaximumFlowOutputTailor(&c.output).totalFlow(), kMax);

  KyMinimumCutInputTailor cut(&c.input);
  ask(cut, c, c.node[0], c.node[1]);
  for (KyEdge* edge : c.edge)
    cut.cost(edge, kMax);
  EXPECT_EQ(c.run(), ANALYSIS_ERROR_COST_OVERFLOW);

  // A cost on node 2 makes it split with a stand-in for its capacity.
  KyMinimumCostFlowInputTailor cheapest(&c.input);
  ask(cheapest, c, c.node[0], c.node[1]);
  for (KyEdge* edge : c.edge)
    cheapest.cost(edge, 0), cheapest.capacity(edge, 1073741824);
  cheapest.cost(c.node[2], 1);
  cheapest.desiredFlow(kMax);
  ASSERT_EQ(c.run(), ANALYSIS_ERROR_NONE);
  EXPECT_EQ(KyMinimumCostFlowOutputTailor(&c.output).totalFlow(), kMax);
  EXPECT_EQ(KyMinimumCostFlowOutputTailor(&c.output).totalCost(), kMax);
  for (int cost : {kMax, kMin}) {
    cheapest.cost(c.node[2], cost);
    EXPECT_EQ(c.run(), ANALYSIS_ERROR_COST_OVERFLOW);
  }

  KyMinimumSpanningTreeInputTailor tree(&c.input);
  tree.setAsCurrentOperation();
  for (int cost : {kMax, kMin}) {
    for (KyEdge* edge : c.edge)
      tree.cost(edge, cost);
    EXPECT_EQ(c.run(), ANALYSIS_ERROR_COST_OVERFLOW);
  }
}

} // namespace
