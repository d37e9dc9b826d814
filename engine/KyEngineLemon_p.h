// The analysed graph in LEMON's structures, for the analyses whose
// algorithm LEMON provides. Internal to the engine; not installed.
#pragma once

#include "KyEngineNetwork_p.h"

#include <lemon/smart_graph.h>

#include <vector>

/// The network as a LEMON digraph: node id i is the node at position i, and
/// each way an edge may be followed is one arc (an undirected edge gives
/// two, an undirected self-loop one), arcs in the order of the network's
/// outgoing lists. edgeOf[arc id] is the position of the arc's edge.
/// Building costs O(n + m); not copyable.
class KyEngineDigraph {
public:
  using Graph = lemon::SmartDigraph;

  explicit KyEngineDigraph(const KyEngineNetwork& net);
  KyEngineDigraph(const KyEngineDigraph&) = delete;
  KyEngineDigraph& operator=(const KyEngineDigraph&) = delete;

  Graph::Node node(int position) const { return Graph::nodeFromId(position); }
  int position(Graph::Node node) const { return Graph::id(node); }
  int edge(Graph::Arc arc) const { return edgeOf[Graph::id(arc)]; }

  Graph graph;
  std::vector<int> edgeOf;
};

/// The network as a LEMON undirected graph, ignoring direction: node id i
/// is the node at position i and edge id e the edge at position e. Building
/// costs O(n + m); not copyable.
class KyEngineUndirectedGraph {
public:
  using Graph = lemon::SmartGraph;

  explicit KyEngineUndirectedGraph(const KyEngineNetwork& net);
  KyEngineUndirectedGraph(const KyEngineUndirectedGraph&) = delete;
  KyEngineUndirectedGraph& operator=(const KyEngineUndirectedGraph&) = delete;

  Graph::Node node(int position) const { return Graph::nodeFromId(position); }
  int position(Graph::Node node) const { return Graph::id(node); }
  int edge(Graph::Edge edge) const { return Graph::id(edge); }

  Graph graph;
};
