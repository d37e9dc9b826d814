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

void checkNodes(int nodes) {
  if (nodes < 0)
    throw std::invalid_argument("the number of nodes is negative");
}

} // namespace

KyPythonGraph::KyPythonGraph(int nodes, const std::int64_t* sources, const std::int64_t* targets,
                             std::size_t edges) {
  checkNodes(nodes);
  if (edges > static_cast<std::size_t>(std::numeric_limits<int>::max()))
    throw std::invalid_argument("more edges than a graph can hold");
  for (std::size_t i = 0; i < edges; ++i) {
    checkEnd(sources[i], nodes, i, "source");
    checkEnd(targets[i], nodes, i, "target");
  }
  sources_.assign(sources, sources + edges);
  targets_.assign(targets, targets + edges);
  build(nodes);
}

KyPythonGraph::KyPythonGraph(int nodes, std::vector<int> sources, std::vector<int> targets)
    : sources_(std::move(sources)), targets_(std::move(targets)) {
  checkNodes(nodes);
  if (sources_.size() != targets_.size())
    throw std::invalid_argument("as many sources as targets are needed");
  if (sources_.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
    throw std::invalid_argument("more edges than a graph can hold");
  for (std::size_t i = 0; i < sources_.size(); ++i) {
    checkEnd(sources_[i], nodes, i, "source");
    checkEnd(targets_[i], nodes, i, "target");
  }
  build(nodes);
}

void KyPythonGraph::build(int nodes) {
  auto graph = std::make_unique<KyGraph>();
  for (int i = 0; i < nodes; ++i)
    graph->addNode();
  for (std::size_t i = 0; i < sources_.size(); ++i)
    graph->addEdge(graph->pNodeAt(sources_[i]), graph->pNodeAt(targets_[i]));
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
