// Topological sort of the analysed graph, every edge directed.
//
// The nodes are sorted by their strongly connected components (LEMON's
// stronglyConnectedComponents): Kahn's algorithm over the components, the
// ready component whose first node has the lowest position going first,
// each component's nodes in node order. On an acyclic graph every
// component is one node: each step places the ready node of lowest
// position, which gives the least topological order. On a graph with cycles
// every node is still placed once, and every edge that lies on no cycle
// leads forward in the order.
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineComponents_p.h"
#include "KyEngineLemon_p.h"
#include "KyEngineNetwork_p.h"


#include <functional>
#include <queue>
#include <vector>

namespace {

namespace key = KyAnalysisKey::topologicalSort;

std::vector<int> componentOrder(const KyEngineNetwork& net, const KyEngineComponents& components) {
  std::vector<int> waiting(static_cast<std::size_t>(components.count), 0);
  for (int e = 0; e < net.edgeCount(); ++e) {
    const int to = components.of[net.target(e)];
    if (components.of[net.source(e)] != to)
      ++waiting[to];
  }
  // Ready components, keyed by their first node's position.
  std::priority_queue<int, std::vector<int>, std::greater<int>> ready;
  for (int c = 0; c < components.count; ++c)
    if (waiting[c] == 0)
      ready.push(components.nodes[components.start[c]]);
  std::vector<int> order;
  order.reserve(static_cast<std::size_t>(net.nodeCount()));
  while (!ready.empty()) {
    const int c = components.of[ready.top()];
    ready.pop();
    for (int i = components.start[c]; i < components.start[c + 1]; ++i) {
      const int node = components.nodes[i];
      order.push_back(node);
      net.forOut(node, [&](int e) {
        const int to = components.of[net.target(e)];
        if (to != c && --waiting[to] == 0)
          ready.push(components.nodes[components.start[to]]);
      });
    }
  }
  return order;
}

} // namespace

int runTopologicalSortAnalysis(KyServiceInputData&, KyGraph& graph, KyEngineAnswer& answer) {
  const KyEngineNetwork net = readNetwork(graph);
  const KyEngineDigraph digraph(net);
  const KyEngineComponents components = stronglyConnectedComponents(net, digraph);

  bool acyclic = components.count == net.nodeCount();
  for (int e = 0; e < net.edgeCount() && acyclic; ++e)
    acyclic = net.source(e) != net.target(e);

  const std::vector<int> order = componentOrder(net, components);
  std::vector<KyNode*> sorted;
  sorted.reserve(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    KyNode* node = net.node(order[i]);
    answer.integer(node, key::nodeOrderNumber, static_cast<int>(i) + 1);
    sorted.push_back(node);
  }
  answer.nodeList(nullptr, key::noneNodeList, sorted);
  answer.integer(nullptr, key::noneAcyclic, acyclic ? 1 : 0);
  return ANALYSIS_ERROR_NONE;
}
