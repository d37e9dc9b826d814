// A small graph, a request on it and the local engine's answer, for the
// engine's tests.
#pragma once

#include <kyanalysis/KyDList.h>
#include <kyanalysis/KyEdge.h>
#include <kyanalysis/KyGraph.h>
#include <kyanalysis/KyGraphMember.h>
#include <kyanalysis/KyLocalAnalysisService.h>
#include <kyanalysis/KyNode.h>
#include <kyanalysis/KyServiceData.h>

#include <utility>
#include <vector>

namespace kytest {

/// A graph of `nodes` nodes and the given edges (source and target by node
/// position), an empty request and an empty answer. Input tailors take
/// &input; output tailors take &output after run().
struct EngineCase {
  explicit EngineCase(int nodes, const std::vector<std::pair<int, int>>& edges = {}) {
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

} // namespace kytest
