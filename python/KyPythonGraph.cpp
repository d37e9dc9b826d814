#include "KyPythonGraph.h"

#include <limits>
#include <stdexcept>
#include <string>

namespace {

void checkEnd(std::int64_t end, int nodes, std::size_t edge, const char* which) {
  if (end < 0 || end >= nodes)
    throw std::invalid_argument("edge " + std::to_string(edge) + ": " + which + " " +
                                std::to_string(end) + " is no node of a graph of " +
                                std::to_string(nodes) + " nodes");
}

} // namespace

KyPythonGraph::KyPythonGraph(int nodes, const std::int64_t* sources, const std::int64_t* targets,
                             std::size_t edges) {
  if (nodes < 0)
    throw std::invalid_argument("the number of nodes is negative");
  if (edges > static_cast<std::size_t>(std::numeric_limits<int>::max()))
    throw std::invalid_argument("more edges than a graph can hold");
  for (std::size_t i = 0; i < edges; ++i) {
    checkEnd(sources[i], nodes, i, "source");
    checkEnd(targets[i], nodes, i, "target");
  }
  auto graph = std::make_unique<KyGraph>();
  for (int i = 0; i < nodes; ++i)
    graph->addNode();
  sources_.reserve(edges);
  targets_.reserve(edges);
  for (std::size_t i = 0; i < edges; ++i) {
    sources_.push_back(static_cast<int>(sources[i]));
    targets_.push_back(static_cast<int>(targets[i]));
    graph->addEdge(graph->pNodeAt(sources_.back()), graph->pNodeAt(targets_.back()));
  }
  graph_ = std::move(graph);
  graph_->pNodeList();
  graph_->pEdgeList();
}

KyPythonGraph::KyPythonGraph(std::unique_ptr<KyGraph> graph) : graph_(std::move(graph)) {
  keepEnds();
  graph_->pNodeList();
  graph_->pEdgeList();
}

void KyPythonGraph::keepEnds() {
  const int edges = graph_->numberOfEdges();
  sources_.resize(static_cast<std::size_t>(edges));
  targets_.resize(static_cast<std::size_t>(edges));
  for (int i = 0; i < edges; ++i) {
    const KyGraph::EdgeLinks& links = graph_->edgeLinks(i);
    sources_[static_cast<std::size_t>(i)] = links.source;
    targets_[static_cast<std::size_t>(i)] = links.target;
  }
}
