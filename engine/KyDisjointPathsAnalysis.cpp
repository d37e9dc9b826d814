// Disjoint paths: the most paths from the start node to the finish node
// that share no edge, or, with nodeDisjointPaths, no node other than the
// two ends. Edges are followed from source to target. Parallel edges, and
// several edges straight from start to finish, make distinct paths. When
// start is finish the empty path is the one path.
//
// Suurballe's successive shortest paths on unit lengths give the largest
// number of such paths with the fewest edges in all; for node-disjoint
// paths every node v but the two ends is split into v_in -> v_out, which
// one path at most can use. O(k m log n) for k paths.
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyDisjointPathsInputTailor.h>
#include <kyplatform/KyEdgeDList.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineLemon_p.h"
#include "KyEngineNetwork_p.h"
#include "KyEngineRequest_p.h"

#include <lemon/suurballe.h>

#include <vector>

namespace {

namespace key = KyAnalysisKey::disjointPaths;
using Graph = KyEngineDigraph::Graph;

// The network with every node v but `start` and `finish` split into
// v_in = v and v_out = n + v, joined by an edge placed after the graph's
// edges, which keep their positions and leave from v_out.
KyEngineNetwork splitNetwork(const KyEngineNetwork& net, int start, int finish) {
  const int n = net.nodeCount();
  KyEngineNetwork split;
  split.nodes.assign(2 * static_cast<std::size_t>(n), nullptr);
  split.edges = net.edges;
  split.source = net.source;
  split.target = net.target;
  for (int& from : split.source)
    from = from == start || from == finish ? from : n + from;
  for (int v = 0; v < n; ++v)
    if (v != start && v != finish) {
      split.edges.push_back(nullptr);
      split.source.push_back(v);
      split.target.push_back(n + v);
    }
  split.undirected.assign(split.edges.size(), 0);
  linkNetwork(split);
  return split;
}

} // namespace

int runDisjointPathsAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer) {
  const KyDisjointPathsInputTailor request(&input);
  KyNode* start = request.pStartNode();
  KyNode* finish = request.pFinishNode();
  if (const int code = checkEndNodes(start, finish, graph); code != ANALYSIS_ERROR_NONE)
    return code;

  const bool splitNodes = request.nodeDisjointPaths() != 0;
  const KyEngineNetwork net = readNetwork(graph);
  std::vector<std::vector<KyEdge*>> paths;
  if (start == finish) {
    paths.emplace_back();
  } else {
    const KyEngineDigraph flow(splitNodes ? splitNetwork(net, start->index(), finish->index())
                                          : net);
    Graph::ArcMap<int> length(flow.graph);
    int most = 0; // no more paths than edges leave the start
    for (Graph::ArcIt a(flow.graph); a != lemon::INVALID; ++a) {
      length[a] = flow.edge(a) < net.edgeCount() ? 1 : 0;
      most += flow.graph.source(a) == flow.node(start->index()) ? 1 : 0;
    }
    lemon::Suurballe<Graph, Graph::ArcMap<int>> suurballe(flow.graph, length);
    suurballe.run(flow.node(start->index()), flow.node(finish->index()), most);
    for (int i = 0; i < suurballe.pathNum(); ++i) {
      std::vector<KyEdge*>& edges = paths.emplace_back();
      for (int k = 0; k < suurballe.path(i).length(); ++k)
        if (const int e = flow.edge(suurballe.path(i).nth(k)); e < net.edgeCount())
          edges.push_back(net.edges[e]);
    }
  }
  answer.integer(nullptr, key::noneNumberOfDisjointPaths, static_cast<int>(paths.size()));
  answer.listOfLists<KyEdgeDList>(key::nonePathList, paths);
  return ANALYSIS_ERROR_NONE;
}
