// Biconnected components and articulation nodes of the analysed graph with
// direction ignored, by LEMON's biNodeConnectedComponents and
// biNodeConnectedCutNodes.
//
// A component is a maximal set of nodes that stays connected when any one
// of them is taken away: two nodes joined by an edge that lies on no cycle,
// or the nodes of a block of cycles. A node with no edge to another node is
// a component of its own, so every node lies in one component at least and
// an articulation node in several. Self-loops join no two nodes and are
// left out: LEMON would make each a component of its own and call its node
// an articulation node. Parallel edges count as one.
//
// Components are listed in order of their nodes' positions (compared as
// sorted lists, which two components never share beyond one node), each
// with its nodes in node order; articulation nodes in node order.
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineNetwork_p.h"

#include <lemon/connectivity.h>
#include <lemon/smart_graph.h>

#include <algorithm>
#include <vector>

namespace {

namespace key = KyAnalysisKey::biconnectedComponents;

// The network without its self-loops as a LEMON undirected graph: node id
// i is the node at position i.
struct LoopFreeGraph {
  explicit LoopFreeGraph(const KyEngineNetwork& net) {
    graph.reserveNode(net.nodeCount());
    for (int i = 0; i < net.nodeCount(); ++i)
      graph.addNode();
    for (int e = 0; e < net.edgeCount(); ++e)
      if (net.source(e) != net.target(e))
        graph.addEdge(graph.nodeFromId(net.source(e)), graph.nodeFromId(net.target(e)));
  }
  lemon::SmartGraph graph;
};

// The node positions of each component, sorted within and among.
std::vector<std::vector<int>> componentNodes(const LoopFreeGraph& loopFree, int nodeCount) {
  const lemon::SmartGraph& g = loopFree.graph;
  lemon::SmartGraph::EdgeMap<int> number(g);
  const int count = lemon::biNodeConnectedComponents(g, number);
  std::vector<int> edgeComponent(static_cast<std::size_t>(g.edgeNum()));
  for (lemon::SmartGraph::EdgeIt edge(g); edge != lemon::INVALID; ++edge)
    edgeComponent[g.id(edge)] = number[edge];
  std::vector<int> start, edges;
  groupByKey(count, edgeComponent, start, edges);

  std::vector<std::vector<int>> components(static_cast<std::size_t>(count));
  // lastIn[v]: the last component v was added to, so each is added once.
  std::vector<int> lastIn(static_cast<std::size_t>(nodeCount), -1);
  for (int c = 0; c < count; ++c)
    for (int i = start[c]; i < start[c + 1]; ++i) {
      const lemon::SmartGraph::Edge edge = g.edgeFromId(edges[i]);
      for (const int v : {g.id(g.u(edge)), g.id(g.v(edge))})
        if (lastIn[v] != c) {
          lastIn[v] = c;
          components[c].push_back(v);
        }
    }
  for (int v = 0; v < nodeCount; ++v)
    if (lastIn[v] < 0)
      components.push_back({v});
  for (auto& component : components)
    std::sort(component.begin(), component.end());
  std::sort(components.begin(), components.end());
  return components;
}

} // namespace

int runBiconnectedComponentsAnalysis(KyServiceInputData&, KyGraph& graph, KyEngineAnswer& answer) {
  const KyEngineNetwork net = readNetwork(graph);
  const LoopFreeGraph loopFree(net);

  std::vector<std::vector<KyNode*>> lists;
  for (const auto& component : componentNodes(loopFree, net.nodeCount())) {
    lists.emplace_back();
    for (const int v : component)
      lists.back().push_back(net.node(v));
  }
  answer.listOfLists<KyNodeDList>(key::noneComponentList, lists);

  lemon::SmartGraph::NodeMap<bool> cut(loopFree.graph, false);
  lemon::biNodeConnectedCutNodes(loopFree.graph, cut);
  std::vector<KyNode*> articulation;
  for (int v = 0; v < net.nodeCount(); ++v)
    if (cut[loopFree.graph.nodeFromId(v)])
      articulation.push_back(net.node(v));
  answer.nodeList(nullptr, key::noneArticulationNodeList, articulation);
  return ANALYSIS_ERROR_NONE;
}
