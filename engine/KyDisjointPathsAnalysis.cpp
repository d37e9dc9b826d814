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
#include "KyEngineFlatDigraph_p.h"
#include "KyEngineNetwork_p.h"
#include "KyEngineRequest_p.h"

#include <lemon/suurballe.h>

#include <utility>
#include <vector>

namespace {

namespace key = KyAnalysisKey::disjointPaths;
using Graph = KyEngineFlatDigraph;

// The graph as a built network (whose LEMON digraphs list a node's
// incoming arcs as a LEMON graph built arc by arc does, on which
// Suurballe's choice among equal paths rests). With `split`, every node v
// but `start` and `finish` is split into v_in = v and v_out = n + v, joined
// by an edge placed after the graph's edges, which keep their positions and
// leave from v_out.
KyEngineNetwork flowNetwork(const KyGraph& graph, bool split, int start, int finish) {
  const int n = graph.numberOfNodes();
  std::vector<int> source, target;
  for (int e = 0; e < graph.numberOfEdges(); ++e) {
    const int from = graph.edgeLinks(e).source;
    source.push_back(!split || from == start || from == finish ? from : n + from);
    target.push_back(graph.edgeLinks(e).target);
  }
  if (split)
    for (int v = 0; v < n; ++v)
      if (v != start && v != finish) {
        source.push_back(v);
        target.push_back(n + v);
      }
  return KyEngineNetwork(graph, split ? 2 * n : n, std::move(source), std::move(target), {});
}

} // namespace

int runDisjointPathsAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer) {
  const KyDisjointPathsInputTailor request(&input);
  KyNode* start = request.pStartNode();
  KyNode* finish = request.pFinishNode();
  if (const int code = checkEndNodes(start, finish, graph); code != ANALYSIS_ERROR_NONE)
    return code;

  std::vector<std::vector<KyEdge*>> paths;
  if (start == finish) {
    paths.emplace_back();
  } else {
    const KyEngineNetwork net =
        flowNetwork(graph, request.nodeDisjointPaths() != 0, start->index(), finish->index());
    // Suurballe walks every arc again for each path: on a flat copy.
    const Graph flow(net);
    const Graph::Node from = Graph::nodeFromId(start->index());
    Graph::ArcMap<int> length(flow);
    int most = 0; // no more paths than edges leave the start
    for (Graph::ArcIt a(flow); a != lemon::INVALID; ++a) {
      length[a] = flow.edge(a) < graph.numberOfEdges() ? 1 : 0;
      most += flow.source(a) == from ? 1 : 0;
    }
    lemon::Suurballe<Graph, Graph::ArcMap<int>> suurballe(flow, length);
    suurballe.run(from, Graph::nodeFromId(finish->index()), most);
    for (int i = 0; i < suurballe.pathNum(); ++i) {
      std::vector<KyEdge*>& edges = paths.emplace_back();
      for (int k = 0; k < suurballe.path(i).length(); ++k)
        if (const int e = flow.edge(suurballe.path(i).nth(k)); e < graph.numberOfEdges())
          edges.push_back(graph.pEdgeAt(e));
    }
  }
  answer.integer(nullptr, key::noneNumberOfDisjointPaths, static_cast<int>(paths.size()));
  answer.listOfLists<KyEdgeDList>(key::nonePathList, paths);
  return ANALYSIS_ERROR_NONE;
}
