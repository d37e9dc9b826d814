// The local engine against the bare algorithm: for shortest paths, the
// searches, topological sort, the components, minimum spanning tree and
// maximum flow on a seeded graph of 1,000,000 edges, the time of run()
// (reading the request, converting the graph, the algorithm, storing the
// answer) as a ratio to
// LEMON's algorithm alone on its own graph structure, built beforehand, in
// the same binary; and the peak heap growth of each. The ratios are printed
// after the benchmark table.
#include "KyEngineBench.h"

#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyBiconnectedComponentsInputTailor.h>
#include <kyanalysis/KyBreadthFirstSearchInputTailor.h>
#include <kyanalysis/KyConnectedComponentsInputTailor.h>
#include <kyanalysis/KyDepthFirstSearchInputTailor.h>
#include <kyanalysis/KyMaximumFlowInputTailor.h>
#include <kyanalysis/KyMinimumSpanningTreeInputTailor.h>
#include <kyanalysis/KyShortestPathsInputTailor.h>
#include <kyanalysis/KyStronglyConnectedComponentsInputTailor.h>
#include <kyanalysis/KyTopologicalSortInputTailor.h>
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
#include <lemon/connectivity.h>
#include <lemon/dfs.h>
#include <lemon/dijkstra.h>
#include <lemon/kruskal.h>
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

constexpr int kNodes = 250000;
constexpr int kEdges = 1000000;

// Seeded edges: uniform endpoints, weights 1..100 (costs and capacities).
struct Edges {
  std::vector<int> from, to, weight;
};
const Edges& edges() {
  static const Edges made = [] {
    Edges e;
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> node(0, kNodes - 1), weight(1, 100);
    for (int i = 0; i < kEdges; ++i) {
      e.from.push_back(node(random));
      e.to.push_back(node(random));
      e.weight.push_back(weight(random));
    }
    return e;
  }();
  return made;
}

// The caller's graph, as an application holds it.
struct CallerGraph {
  CallerGraph() {
    for (int i = 0; i < kNodes; ++i)
      nodes.push_back(graph.addNode());
    for (int i = 0; i < kEdges; ++i)
      edges.push_back(graph.addEdge(nodes[::edges().from[i]], nodes[::edges().to[i]]));
  }
  KyGraph graph;
  std::vector<KyNode*> nodes;
  std::vector<KyEdge*> edges;
};
CallerGraph& callerGraph() {
  static CallerGraph graph;
  return graph;
}

// The same graph in LEMON's structures, directed and undirected.
struct LemonGraphs {
  LemonGraphs() : weight(digraph), undirectedWeight(graph) {
    digraph.reserveNode(kNodes);
    graph.reserveNode(kNodes);
    for (int i = 0; i < kNodes; ++i) {
      digraph.addNode();
      graph.addNode();
    }
    for (int i = 0; i < kEdges; ++i) {
      const auto arc =
          digraph.addArc(digraph.nodeFromId(edges().from[i]), digraph.nodeFromId(edges().to[i]));
      weight[arc] = edges().weight[i];
      const auto edge =
          graph.addEdge(graph.nodeFromId(edges().from[i]), graph.nodeFromId(edges().to[i]));
      undirectedWeight[edge] = edges().weight[i];
    }
  }
  lemon::SmartDigraph digraph;
  lemon::SmartGraph graph;
  lemon::SmartDigraph::ArcMap<std::int64_t> weight;
  lemon::SmartGraph::EdgeMap<std::int64_t> undirectedWeight;
};
LemonGraphs& lemonGraphs() {
  static LemonGraphs graphs;
  return graphs;
}

// Each analysis: how its request is set on the caller's graph, and the
// bare LEMON algorithm that answers the same question.
const std::vector<kybench::EngineCase>& analyses() {
  static const std::vector<kybench::EngineCase> list{
      {"shortestPaths",
       [](KyServiceInputData& input) {
         CallerGraph& g = callerGraph();
         KyShortestPathsInputTailor tailor(&input);
         tailor.pGraph(&g.graph);
         tailor.setAsCurrentOperation();
         tailor.pStartNode(g.nodes.front());
         tailor.pFinishNode(g.nodes.back());
         for (int i = 0; i < kEdges; ++i)
           tailor.cost(g.edges[i], edges().weight[i]);
       },
       [] {
         LemonGraphs& l = lemonGraphs();
         lemon::Dijkstra<lemon::SmartDigraph, lemon::SmartDigraph::ArcMap<std::int64_t>> dijkstra(
             l.digraph, l.weight);
         dijkstra.run(l.digraph.nodeFromId(0), l.digraph.nodeFromId(kNodes - 1));
         benchmark::DoNotOptimize(dijkstra.dist(l.digraph.nodeFromId(kNodes - 1)));
       }},
      {"stronglyConnectedComponents",
       [](KyServiceInputData& input) {
         CallerGraph& g = callerGraph();
         KyStronglyConnectedComponentsInputTailor tailor(&input);
         tailor.pGraph(&g.graph);
         tailor.setAsCurrentOperation();
       },
       [] {
         LemonGraphs& l = lemonGraphs();
         lemon::SmartDigraph::NodeMap<int> component(l.digraph);
         benchmark::DoNotOptimize(lemon::stronglyConnectedComponents(l.digraph, component));
       }},
      {"breadthFirstSearch",
       [](KyServiceInputData& input) {
         CallerGraph& g = callerGraph();
         KyBreadthFirstSearchInputTailor tailor(&input);
         tailor.pGraph(&g.graph);
         tailor.setAsCurrentOperation();
       },
       [] {
         LemonGraphs& l = lemonGraphs();
         lemon::Bfs<lemon::SmartDigraph> bfs(l.digraph);
         bfs.run();
         benchmark::DoNotOptimize(bfs.dist(l.digraph.nodeFromId(kNodes - 1)));
       }},
      {"depthFirstSearch",
       [](KyServiceInputData& input) {
         CallerGraph& g = callerGraph();
         KyDepthFirstSearchInputTailor tailor(&input);
         tailor.pGraph(&g.graph);
         tailor.setAsCurrentOperation();
       },
       [] {
         LemonGraphs& l = lemonGraphs();
         lemon::Dfs<lemon::SmartDigraph> dfs(l.digraph);
         dfs.run();
         benchmark::DoNotOptimize(dfs.dist(l.digraph.nodeFromId(kNodes - 1)));
       }},
      {"topologicalSort",
       [](KyServiceInputData& input) {
         CallerGraph& g = callerGraph();
         KyTopologicalSortInputTailor tailor(&input);
         tailor.pGraph(&g.graph);
         tailor.setAsCurrentOperation();
       },
       [] {
         LemonGraphs& l = lemonGraphs();
         lemon::SmartDigraph::NodeMap<int> order(l.digraph);
         lemon::topologicalSort(l.digraph, order);
         benchmark::DoNotOptimize(order[l.digraph.nodeFromId(0)]);
       }},
      {"connectedComponents",
       [](KyServiceInputData& input) {
         CallerGraph& g = callerGraph();
         KyConnectedComponentsInputTailor tailor(&input);
         tailor.pGraph(&g.graph);
         tailor.setAsCurrentOperation();
       },
       [] {
         LemonGraphs& l = lemonGraphs();
         lemon::SmartGraph::NodeMap<int> component(l.graph);
         benchmark::DoNotOptimize(lemon::connectedComponents(l.graph, component));
       }},
      {"biconnectedComponents",
       [](KyServiceInputData& input) {
         CallerGraph& g = callerGraph();
         KyBiconnectedComponentsInputTailor tailor(&input);
         tailor.pGraph(&g.graph);
         tailor.setAsCurrentOperation();
       },
       [] {
         LemonGraphs& l = lemonGraphs();
         lemon::SmartGraph::EdgeMap<int> component(l.graph);
         lemon::SmartGraph::NodeMap<bool> cut(l.graph, false);
         benchmark::DoNotOptimize(lemon::biNodeConnectedComponents(l.graph, component));
         benchmark::DoNotOptimize(lemon::biNodeConnectedCutNodes(l.graph, cut));
       }},
      {"minimumSpanningTree",
       [](KyServiceInputData& input) {
         CallerGraph& g = callerGraph();
         KyMinimumSpanningTreeInputTailor tailor(&input);
         tailor.pGraph(&g.graph);
         tailor.setAsCurrentOperation();
         for (int i = 0; i < kEdges; ++i)
           tailor.cost(g.edges[i], edges().weight[i]);
       },
       [] {
         LemonGraphs& l = lemonGraphs();
         lemon::SmartGraph::EdgeMap<bool> tree(l.graph);
         benchmark::DoNotOptimize(lemon::kruskal(l.graph, l.undirectedWeight, tree));
       }},
      {"maximumFlow",
       [](KyServiceInputData& input) {
         CallerGraph& g = callerGraph();
         KyMaximumFlowInputTailor tailor(&input);
         tailor.pGraph(&g.graph);
         tailor.setAsCurrentOperation();
         tailor.pSourceNode(g.nodes.front());
         tailor.pSinkNode(g.nodes.back());
         for (int i = 0; i < kEdges; ++i)
           tailor.capacity(g.edges[i], edges().weight[i]);
       },
       [] {
         LemonGraphs& l = lemonGraphs();
         lemon::Preflow<lemon::SmartDigraph, lemon::SmartDigraph::ArcMap<std::int64_t>> preflow(
             l.digraph, l.weight, l.digraph.nodeFromId(0), l.digraph.nodeFromId(kNodes - 1));
         preflow.run();
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
