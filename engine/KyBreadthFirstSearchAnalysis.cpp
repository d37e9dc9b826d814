// Breadth-first search from the start node, or over the whole graph when
// the request names none: nodes numbered from 1 in the order they are
// reached, the edges of a node taken in order of making.
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyBreadthFirstSearchInputTailor.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineForwardStar_p.h"
#include "KyEngineNetwork_p.h"
#include "KyEngineSearch_p.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace {

namespace key = KyAnalysisKey::breadthFirstSearch;

// The positions of the nodes in the order the search reaches them. The
// search walks the ways of each node side by side, a run of memory, rather
// than the graph's links.
std::vector<int> visitOrder(const KyEngineNetwork& net, int start) {
  const KyEngineForwardStar ways(net, [](int) { return true; });
  std::vector<int> order;
  order.reserve(static_cast<std::size_t>(net.nodeCount()));
  std::vector<char> reached(static_cast<std::size_t>(net.nodeCount()), 0);
  forSearchRoots(start, net.nodeCount(), [&](int root) {
    if (reached[root])
      return;
    reached[root] = 1;
    // `order` doubles as the queue: its unvisited tail is what waits.
    std::size_t head = order.size();
    order.push_back(root);
    while (head < order.size()) {
      const int node = order[head++];
      ways.forOut(node, [&](int way) {
        const int to = ways.slot(way).target;
        if (!reached[to]) {
          reached[to] = 1;
          order.push_back(to);
        }
      });
    }
  });
  return order;
}

} // namespace

int runBreadthFirstSearchAnalysis(KyServiceInputData& input, KyGraph& graph,
                                  KyEngineAnswer& answer) {
  const KyBreadthFirstSearchInputTailor request(&input);
  int start = kWholeGraph;
  if (const int code = readSearchStart(request.pStartNode(), graph, start);
      code != ANALYSIS_ERROR_NONE)
    return code;
  const KyEngineNetwork net = readSearchNetwork(input, graph, request, key::edgeUndirected);

  const std::vector<int> order = visitOrder(net, start);
  std::vector<KyObject*> visited(order.size());
  std::vector<int> number(static_cast<std::size_t>(net.nodeCount()), 0);
  for (std::size_t i = 0; i < order.size(); ++i) {
    visited[i] = net.node(order[i]);
    number[order[i]] = static_cast<int>(i) + 1;
  }
  answer.list<KyNodeDList>(nullptr, key::noneNodeList, std::move(visited));
  answer.nodeIntegers(graph, key::nodeOrderNumber, number, 0);
  return ANALYSIS_ERROR_NONE;
}
