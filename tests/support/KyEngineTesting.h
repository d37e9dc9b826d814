// A small graph, a request on it and the local engine's answer, for the
// engine's tests.
#pragma once

#include <kyengine/KyLocalAnalysisService.h>
#include <kyplatform/KyDList.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyGraphMember.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyServiceData.h>

#include <random>
#include <utility>
#include <vector>

namespace kytest {

using Edges = std::vector<std::pair<int, int>>;

/// A graph of `nodes` nodes and the given edges (source and target by node
/// position), an empty request and an empty answer. Input tailors take
/// &input; output tailors take &output after run().
struct EngineCase {
  explicit EngineCase(int nodes, const Edges& edges = {}) {
    for (int i = 0; i < nodes; ++i)
      node.push_back(graph.addNode());
    for (const auto& [from, to] : edges)
      edge.push_back(graph.addEdge(node.at(from), node.at(to)));
  }
  /// Runs the engine on the request; returns its code.
  int run() { return KyLocalAnalysisService().run(&input, &output); }

  KyGraph graph;
  std::vector<KyNode*> node;
  std::vector<KyEdge*> edge;
  KyServiceInputData input;
  KyServiceOutputData output;
};

/// The positions of the nodes or edges of `list`, in order; -1 for an item
/// that is neither.
inline std::vector<int> positions(const KyDList& list) {
  std::vector<int> result;
  for (KyDListIter it(&list); it; ++it) {
    const auto* member = dynamic_cast<const KyGraphMember*>(it.pObject());
    result.push_back(member != nullptr ? member->index() : -1);
  }
  return result;
}

/// positions() of each list in a list of lists.
inline std::vector<std::vector<int>> positionLists(const KyDList& lists) {
  std::vector<std::vector<int>> result;
  for (KyDListIter it(&lists); it; ++it)
    result.push_back(positions(*KyDList::castDown(it.pObject())));
  return result;
}

/// `count` edges between nodes drawn from `nodes`; self-loops and parallel
/// edges come by chance.
inline Edges randomEdges(std::mt19937& random, int nodes, int count) {
  Edges edges;
  for (int e = 0; e < count; ++e)
    edges.emplace_back(random() % nodes, random() % nodes);
  return edges;
}

/// Whether the directed graph has a cycle, self-loops included: Kahn's
/// algorithm leaves the nodes of cycles unplaced.
inline bool hasCycle(int nodes, const Edges& edges) {
  std::vector<int> inDegree(nodes, 0), ready;
  std::vector<std::vector<int>> out(nodes);
  for (const auto& [from, to] : edges) {
    out[from].push_back(to);
    ++inDegree[to];
  }
  for (int v = 0; v < nodes; ++v)
    if (inDegree[v] == 0)
      ready.push_back(v);
  int placed = 0;
  for (; !ready.empty(); ++placed) {
    const int v = ready.back();
    ready.pop_back();
    for (int to : out[v])
      if (--inDegree[to] == 0)
        ready.push_back(to);
  }
  return placed != nodes;
}

/// Points `request` at the case's graph and makes its analysis the current
/// operation; returns it for the analysis's own options.
template <class Tailor> Tailor& ask(Tailor&& request, EngineCase& c) {
  request.pGraph(&c.graph);
  request.setAsCurrentOperation();
  return request;
}

} // namespace kytest
