// LEMON's graphs append default-made cells before filling them in, which
// GCC reports as maybe-uninitialized wherever addNode() is inlined.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "KyEngineLemon_p.h"

KyEngineDigraph::KyEngineDigraph(const KyEngineNetwork& net) {
  graph.reserveNode(net.nodeCount());
  graph.reserveArc(static_cast<int>(net.outEdges.size()));
  for (int i = 0; i < net.nodeCount(); ++i)
    graph.addNode();
  edgeOf.reserve(net.outEdges.size());
  for (int from = 0; from < net.nodeCount(); ++from)
    net.forOut(from, [&](int e) {
      graph.addArc(node(from), node(net.other(e, from)));
      edgeOf.push_back(e);
    });
}

KyEngineUndirectedGraph::KyEngineUndirectedGraph(const KyEngineNetwork& net) {
  graph.reserveNode(net.nodeCount());
  graph.reserveEdge(net.edgeCount());
  for (int i = 0; i < net.nodeCount(); ++i)
    graph.addNode();
  for (int e = 0; e < net.edgeCount(); ++e)
    graph.addEdge(node(net.source[e]), node(net.target[e]));
}
