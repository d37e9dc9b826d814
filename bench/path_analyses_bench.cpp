// The engine's path analyses against LEMON's algorithm alone on its own
// graph, built beforehand, in the same binary: reachable nodes within a
// range (a bounded Dijkstra), the unique-path test (one breadth-first
// search), disjoint paths (Suurballe) on a seeded graph of 400,000 edges,
// and all-pairs shortest paths (one Dijkstra per node into an n x n table)
// on 1,000 nodes, with the peak heap growth of each. The ratios, and the
// heap per stored pair, are printed after the benchmark table.
#include "KyEngineBench.h"

#include <kyanalysis/KyAllPairsShortestPathsInputTailor.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyDisjointPathsInputTailor.h>
#include <kyanalysis/KyReachableNodesInputTailor.h>
#include <kyanalysis/KyUniquePathTestInputTailor.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyServiceData.h>

#include <benchmark/benchmark.h>
// LEMON's graphs append default-made cells before filling them in, which
// GCC reports as maybe-uninitialized at every inlined addNode().
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <lemon/bfs.h>
#include <lemon/dijkstra.h>
#include <lemon/smart_graph.h>
#include <lemon/suurballe.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using Digraph = lemon::SmartDigraph;

// Seeded edges between uniform endpoints, costs 1..100; the caller's graph
// and LEMON's copy of it.
struct Network {
  Network(int nodeCount, int edgeCount) : cost(digraph) {
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> node(0, nodeCount - 1), weight(1, 100);
    for (int i = 0; i < nodeCount; ++i) {
      nodes.push_back(graph.addNode());
      digraph.addNode();
    }
    for (int i = 0; i < edgeCount; ++i) {
      const int from = node(random), to = node(random), w = weight(random);
      edges.push_back(graph.addEdge(nodes[from], nodes[to]));
      costs.push_back(w);
      cost.set(digraph.addArc(Digraph::nodeFromId(from), Digraph::nodeFromId(to)), w);
    }
  }
  KyGraph graph;
  std::vector<KyNode*> nodes;
  std::vector<KyEdge*> edges;
  std::vector<int> costs;
  Digraph digraph;
  Digraph::ArcMap<std::int64_t> cost;
};
Network& large() {
  static Network network(100000, 400000);
  return network;
}
Network& dense() {
  static Network network(1000, 8000);
  return network;
}
constexpr int kRange = 400;

struct Case {
  const char* name;
  std::function<void(Network&, KyServiceInputData&)> request;
  std::function<void(Network&)> bare;
  Network& (*network)();
};

const std::vector<Case>& cases() {
  static const std::vector<Case> all = {
      {"reachableNodes/range",
       [](Network& n, KyServiceInputData& input) {
         KyReachableNodesInputTailor tailor(&input);
         tailor.pGraph(&n.graph);
         tailor.setAsCurrentOperation();
         tailor.pStartNode(n.nodes[0]);
         tailor.range(kRange);
         for (std::size_t e = 0; e < n.edges.size(); ++e)
           tailor.cost(n.edges[e], n.costs[e]);
       },
       [](Network& n) {
         lemon::Dijkstra<Digraph, Digraph::ArcMap<std::int64_t>> dijkstra(n.digraph, n.cost);
         dijkstra.init();
         dijkstra.addSource(Digraph::nodeFromId(0));
         while (!dijkstra.emptyQueue() && dijkstra.currentDist(dijkstra.nextNode()) <= kRange)
           dijkstra.processNextNode();
       },
       large},
      {"uniquePathTest",
       [](Network& n, KyServiceInputData& input) {
         KyUniquePathTestInputTailor tailor(&input);
         tailor.pGraph(&n.graph);
         tailor.setAsCurrentOperation();
         tailor.pStartNode(n.nodes[0]);
         tailor.pFinishNode(n.nodes[1]);
       },
       [](Network& n) {
         lemon::Bfs<Digraph> bfs(n.digraph);
         bfs.run(Digraph::nodeFromId(0), Digraph::nodeFromId(1));
       },
       large},
      {"disjointPaths",
       [](Network& n, KyServiceInputData& input) {
         KyDisjointPathsInputTailor tailor(&input);
         tailor.pGraph(&n.graph);
         tailor.setAsCurrentOperation();
         tailor.pStartNode(n.nodes[0]);
         tailor.pFinishNode(n.nodes[1]);
       },
       [](Network& n) {
         Digraph::ArcMap<int> unit(n.digraph, 1);
         lemon::Suurballe<Digraph, Digraph::ArcMap<int>> suurballe(n.digraph, unit);
         suurballe.run(Digraph::nodeFromId(0), Digraph::nodeFromId(1), 16);
       },
       large},
      {"allPairsShortestPaths",
       [](Network& n, KyServiceInputData& input) {
         KyAllPairsShortestPathsInputTailor tailor(&input);
         tailor.pGraph(&n.graph);
         tailor.setAsCurrentOperation();
         for (std::size_t e = 0; e < n.edges.size(); ++e)
           tailor.cost(n.edges[e], n.costs[e]);
       },
       [](Network& n) {
         const int count = lemon::countNodes(n.digraph);
         std::vector<std::int64_t> cost(static_cast<std::size_t>(count) * count);
         std::vector<int> lastArc(cost.size());
         lemon::Dijkstra<Digraph, Digraph::ArcMap<std::int64_t>> dijkstra(n.digraph, n.cost);
         for (int from = 0; from < count; ++from) {
           dijkstra.run(Digraph::nodeFromId(from));
           for (int to = 0; to < count; ++to) {
             cost[from * count + to] = dijkstra.dist(Digraph::nodeFromId(to));
             lastArc[from * count + to] = Digraph::id(dijkstra.predArc(Digraph::nodeFromId(to)));
           }
         }
         benchmark::DoNotOptimize(cost.data());
       },
       dense},
  };
  return all;
}

} // namespace

int main(int argc, char** argv) {
  std::vector<kybench::EngineCase> engineCases;
  for (const Case& a : cases())
    engineCases.push_back({a.name,
                           [&a](KyServiceInputData& input) { a.request(a.network(), input); },
                           [&a] { a.bare(a.network()); }});
  return kybench::runEngineCases(argc, argv, engineCases, "seeded graphs");
}
