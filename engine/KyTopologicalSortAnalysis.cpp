// Topological sort of the analysed graph, every edge directed.
//
// The nodes are sorted by their strongly connected components (Tarjan's
// search): Kahn's algorithm over the components, the
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
#include <kyplatform/KyNodeDList.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineComponents_p.h"
#include "KyEngineNetwork_p.h"

#include <functional>
#include <queue>
#include <utility>
#include <vector>

namespace {

namespace key = KyAnalysisKey::topologicalSort;

// The node positions in topological order of their components.
std::vector<int> componentOrder(const KyEngineNetwork& net, const KyEngineComponents& components) {
  // The edges between components, as the component each leads to, grouped
  // by the component it leaves (a counting sort over two passes along the
  // edge arrays): the components are then ordered without walking the
  // graph again.
  const auto count = static_cast<std::size_t>(components.count);
  std::vector<int> waiting(count, 0);
  std::vector<int> crossStart(count + 1, 0);
  for (int e = 0; e < net.edgeCount(); ++e) {
    const int from = components.of[net.source(e)];
    const int to = components.of[net.target(e)];
    if (from != to) {
      ++waiting[to];
      ++crossStart[from + 1];
    }
  }
  for (std::size_t c = 0; c < count; ++c)
    crossStart[c + 1] += crossStart[c];
  std::vector<int> crossTo(static_cast<std::size_t>(crossStart[count]));
  {
    std::vector<int> next(crossStart.begin(), crossStart.end() - 1);
    for (int e = 0; e < net.edgeCount(); ++e) {
      const int from = components.of[net.source(e)];
      const int to = components.of[net.target(e)];
      if (from != to)
        crossTo[next[from]++] = to;
    }
  }
  std::vector<int> start, members;
  groupByKey(components.count, components.of, start, members);
  // Ready components: numbered in order of their first node, so the least
  // number is the one whose first node has the lowest position.
  std::priority_queue<int, std::vector<int>, std::greater<int>> ready;
  for (int c = 0; c < components.count; ++c)
    if (waiting[c] == 0)
      ready.push(c);
  std::vector<int> order;
  order.reserve(static_cast<std::size_t>(net.nodeCount()));
  while (!ready.empty()) {
    const int c = ready.top();
    ready.pop();
    order.insert(order.end(), members.begin() + start[c], members.begin() + start[c + 1]);
    for (int i = crossStart[c]; i < crossStart[c + 1]; ++i)
      if (--waiting[crossTo[i]] == 0)
        ready.push(crossTo[i]);
  }
  return order;
}

} // namespace

int runTopologicalSortAnalysis(KyServiceInputData&, KyGraph& graph, KyEngineAnswer& answer) {
  const KyEngineNetwork net(graph);
  std::vector<int> order;
  bool acyclic = false;
  {
    const KyEngineComponents components = stronglyConnectedComponents(net);
    acyclic = components.count == net.nodeCount();
    for (int e = 0; e < net.edgeCount() && acyclic; ++e)
      acyclic = net.source(e) != net.target(e);
    order = componentOrder(net, components);
  }

  std::vector<KyObject*> sorted(order.size());
  for (std::size_t i = 0; i < order.size(); ++i)
    sorted[i] = net.node(order[i]);
  answer.list<KyNodeDList>(nullptr, key::noneNodeList, std::move(sorted));
  std::vector<int> number(order.size());
  for (std::size_t i = 0; i < order.size(); ++i)
    number[order[i]] = static_cast<int>(i) + 1;
  order = std::vector<int>();
  answer.nodeIntegers(graph, key::nodeOrderNumber, number, 0);
  answer.integer(nullptr, key::noneAcyclic, acyclic ? 1 : 0);
  return ANALYSIS_ERROR_NONE;
}
