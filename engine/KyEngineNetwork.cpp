#include "KyEngineNetwork_p.h"

#include <kyplatform/KyDList.h>

void groupByKey(int groups, const std::vector<int>& key, std::vector<int>& start,
                std::vector<int>& items) {
  start.assign(static_cast<std::size_t>(groups) + 1, 0);
  for (int k : key)
    ++start[k + 1];
  for (int g = 0; g < groups; ++g)
    start[g + 1] += start[g];
  items.resize(key.size());
  std::vector<int> next(start.begin(), start.end() - 1);
  for (std::size_t i = 0; i < key.size(); ++i)
    items[next[key[i]]++] = static_cast<int>(i);
}

void linkNetwork(KyEngineNetwork& net) {
  const bool twoWays = [&] {
    for (int e = 0; e < net.edgeCount(); ++e)
      if (net.undirected[e] && net.source[e] != net.target[e])
        return true;
    return false;
  }();
  if (!twoWays) {
    groupByKey(net.nodeCount(), net.source, net.outStart, net.outEdges);
    groupByKey(net.nodeCount(), net.target, net.inStart, net.inEdges);
    return;
  }
  // Each way an edge may be followed is one (node, edge) pair; an undirected
  // edge adds the reverse way unless it is a self-loop.
  std::vector<int> outKey, outEdge, inKey, inEdge;
  for (int e = 0; e < net.edgeCount(); ++e) {
    outKey.push_back(net.source[e]);
    outEdge.push_back(e);
    inKey.push_back(net.target[e]);
    inEdge.push_back(e);
    if (net.undirected[e] && net.source[e] != net.target[e]) {
      outKey.push_back(net.target[e]);
      outEdge.push_back(e);
      inKey.push_back(net.source[e]);
      inEdge.push_back(e);
    }
  }
  groupByKey(net.nodeCount(), outKey, net.outStart, net.outEdges);
  for (int& item : net.outEdges)
    item = outEdge[item];
  groupByKey(net.nodeCount(), inKey, net.inStart, net.inEdges);
  for (int& item : net.inEdges)
    item = inEdge[item];
}

KyEngineNetwork readNetwork(const KyGraph& graph) {
  KyEngineNetwork net = readUnlinkedNetwork(graph);
  linkNetwork(net);
  return net;
}

KyEngineNetwork readUnlinkedNetwork(const KyGraph& graph) {
  KyEngineNetwork net;
  net.nodes.resize(graph.numberOfNodes());
  for (KyDListIter it(graph.pNodeList()); it; ++it) {
    KyNode* node = KyNode::castDown(it.pObject());
    net.nodes[node->index()] = node;
  }
  const std::size_t m = graph.numberOfEdges();
  net.edges.resize(m);
  net.source.resize(m);
  net.target.resize(m);
  net.undirected.assign(m, 0);
  for (KyDListIter it(graph.pEdgeList()); it; ++it) {
    KyEdge* edge = KyEdge::castDown(it.pObject());
    const int e = edge->index();
    net.edges[e] = edge;
    net.source[e] = edge->pSourceNode()->index();
    net.target[e] = edge->pTargetNode()->index();
  }
  return net;
}
