// KyPythonGraph: a graph the Python package built, shared by the runs on it.
#pragma once

#include <kyplatform/KyGraph.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

/// A KyGraph made once from edge arrays (or taken over from a graph file)
/// and never changed after: nodes 0 to n - 1, edge i from sources[i] to
/// targets[i]. Runs share it through a shared_ptr, so a run that outlives
/// the Python object (one abandoned on an interrupt) still has its graph;
/// `busy` keeps two runs from reading it at once. The graph's own lists are
/// made up front, so reading it makes nothing. O(n + m) to build.
class KyPythonGraph {
public:
  /// Throws std::invalid_argument naming the first end outside 0..n - 1.
  KyPythonGraph(int nodes, const std::int64_t* sources, const std::int64_t* targets,
                std::size_t edges);
  /// The same from ends already narrowed to int, taken over without a
  /// copy.
  KyPythonGraph(int nodes, std::vector<int> sources, std::vector<int> targets);
  /// Takes `graph` over as it is.
  explicit KyPythonGraph(std::unique_ptr<KyGraph> graph);

  KyGraph& graph() const { return *graph_; }
  int nodes() const { return graph_->numberOfNodes(); }
  int edges() const { return graph_->numberOfEdges(); }
  int source(int edge) const { return sources_[static_cast<std::size_t>(edge)]; }
  int target(int edge) const { return targets_[static_cast<std::size_t>(edge)]; }
  std::mutex& busy() const { return busy_; }

private:
  /// Makes the graph from the ends kept, which build() checks first.
  void build(int nodes);
  void keepEnds();

  std::unique_ptr<KyGraph> graph_;
  std::vector<int> sources_;
  std::vector<int> targets_;
  mutable std::mutex busy_;
};
