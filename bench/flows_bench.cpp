// Flows and cuts on the local engine against LEMON alone: a maximum flow
// through bounded nodes (against Preflow on a digraph split beforehand), a
// minimum-cost flow (against NetworkSimplex with the amount known) and a
// minimum cut (against Preflow's first phase and its cut), on a seeded
// graph of 250,000 edges. Every figure is a ratio of CPU time and of peak
// heap growth to the baseline measured in the same run, printed after the
// benchmark table.
#include "KyEngineBench.h"

#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyMaximumFlowInputTailor.h>
#include <kyanalysis/KyMinimumCostFlowInputTailor.h>
#include <kyanalysis/KyMinimumCutInputTailor.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyServiceData.h>

#include <benchmark/benchmark.h>
// LEMON's graphs append default-made cells before filling them in, which
// GCC reports as maybe-uninitialized at every inlined addNode().
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <lemon/network_simplex.h>
#include <lemon/preflow.h>
#include <lemon/smart_graph.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kNodes = 50000;
constexpr int kEdges = 250000;
constexpr int kNodeCapacity = 120; // bounds about half the nodes' flow
constexpr int kDesiredFlow = 200;

using Digraph = lemon::SmartDigraph;
using Amounts = Digraph::ArcMap<std::int64_t>;

// Seeded edges: uniform ends, capacities 1..100, costs 1..100.
struct Network {
  Network() {
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> node(0, kNodes - 1), amount(1, 100);
    for (int i = 0; i < kNodes; ++i)
      nodes.push_back(graph.addNode());
    for (int i = 0; i < kEdges; ++i) {
      edges.push_back(graph.addEdge(nodes[node(random)], nodes[node(random)]));
      capacity.push_back(amount(random));
      cost.push_back(amount(random));
    }
  }
  KyGraph graph;
  std::vector<KyNode*> nodes;
  std::vector<KyEdge*> edges;
  std::vector<int> capacity, cost;
};
Network& network() {
  static Network made;
  return made;
}

// The network in LEMON, plain and with every node split, built beforehand.
struct Lemon {
  Lemon() : capacity(plain), cost(plain), splitCapacity(split) {
    const Network& n = network();
    for (int i = 0; i < kNodes; ++i) {
      plain.addNode();
      const Digraph::Node entry = split.addNode();
      splitCapacity[split.addArc(entry, split.addNode())] = kNodeCapacity;
    }
    for (int e = 0; e < kEdges; ++e) {
      const int from = n.edges[e]->pSourceNode()->index(), to = n.edges[e]->pTargetNode()->index();
      const Digraph::Arc arc = plain.addArc(plain.nodeFromId(from), plain.nodeFromId(to));
      capacity[arc] = n.capacity[e];
      cost[arc] = n.cost[e];
      splitCapacity[split.addArc(split.nodeFromId(2 * from + 1), split.nodeFromId(2 * to))] =
          n.capacity[e];
    }
    lemon::Preflow<Digraph, Amounts> preflow(plain, capacity, source(), sink());
    preflow.runMinCut();
    sent = std::min<std::int64_t>(kDesiredFlow, preflow.flowValue());
  }
  Digraph::Node source() const { return plain.nodeFromId(0); }
  Digraph::Node sink() const { return plain.nodeFromId(kNodes - 1); }
  Digraph plain, split;
  Amounts capacity, cost, splitCapacity;
  std::int64_t sent = 0;
};
Lemon& lemonGraphs() {
  static Lemon made;
  return made;
}

// Each analysis: how its request is set on the caller's graph, and the
// bare LEMON algorithm that answers the same question.
const std::vector<kybench::EngineCase>& analyses() {
  static const std::vector<kybench::EngineCase> list{
      {"maximumFlow/boundedNodes",
       [](KyServiceInputData& input) {
         Network& n = network();
         KyMaximumFlowInputTailor tailor(&input);
         tailor.pGraph(&n.graph);
         tailor.setAsCurrentOperation();
         tailor.pSourceNode(n.nodes.front());
         tailor.pSinkNode(n.nodes.back());
         for (KyNode* node : n.nodes)
           tailor.capacity(node, kNodeCapacity);
         for (int e = 0; e < kEdges; ++e)
           tailor.capacity(n.edges[e], n.capacity[e]);
       },
       [] {
         Lemon& l = lemonGraphs();
         lemon::Preflow<Digraph, Amounts> preflow(l.split, l.splitCapacity, l.split.nodeFromId(0),
                                                  l.split.nodeFromId(2 * kNodes - 1));
         preflow.run();
         benchmark::DoNotOptimize(preflow.flowValue());
       }},
      {"minimumCostFlow",
       [](KyServiceInputData& input) {
         Network& n = network();
         KyMinimumCostFlowInputTailor tailor(&input);
         tailor.pGraph(&n.graph);
         tailor.setAsCurrentOperation();
         tailor.pSourceNode(n.nodes.front());
         tailor.pSinkNode(n.nodes.back());
         tailor.desiredFlow(kDesiredFlow);
         for (int e = 0; e < kEdges; ++e) {
           tailor.capacity(n.edges[e], n.capacity[e]);
           tailor.cost(n.edges[e], n.cost[e]);
         }
       },
       [] {
         Lemon& l = lemonGraphs();
         lemon::NetworkSimplex<Digraph, std::int64_t, std::int64_t> simplex(l.plain);
         simplex.upperMap(l.capacity).costMap(l.cost).stSupply(l.source(), l.sink(), l.sent);
         benchmark::DoNotOptimize(simplex.run());
       }},
      {"minimumCut",
       [](KyServiceInputData& input) {
         Network& n = network();
         KyMinimumCutInputTailor tailor(&input);
         tailor.pGraph(&n.graph);
         tailor.setAsCurrentOperation();
         tailor.pSourceNode(n.nodes.front());
         tailor.pSinkNode(n.nodes.back());
         for (int e = 0; e < kEdges; ++e)
           tailor.cost(n.edges[e], n.capacity[e]);
       },
       [] {
         Lemon& l = lemonGraphs();
         lemon::Preflow<Digraph, Amounts> preflow(l.plain, l.capacity, l.source(), l.sink());
         preflow.runMinCut();
         Digraph::NodeMap<bool> side(l.plain);
         preflow.minCutMap(side);
         benchmark::DoNotOptimize(preflow.flowValue());
       }},
  };
  return list;
}

} // namespace

int main(int argc, char** argv) {
  return kybench::runEngineCases(argc, argv, analyses(),
                                 std::to_string(kNodes) + " nodes, " + std::to_string(kEdges) +
                                     " edges");
}
