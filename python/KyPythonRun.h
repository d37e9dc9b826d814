// KyPythonRun: one request of the Python package, from its options to its
// answer, on the local engine or a remote service.
#pragma once

#include "KyPythonGraph.h"

#include <kyplatform/KyServiceData.h>
#include <kyremote/KyRemoteAnalysisService.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class KyClusteringConstraint;
class KyGraph;
class KyNode;

/// A request for one analysis on a KyPythonGraph and, once execute() has
/// run, its answer. With `twins` the request runs on a graph of its own
/// that adds, after the m edges of the shared graph, edge m + i against
/// edge i, so that an analysis without an undirected switch follows every
/// edge both ways; per-edge options given for the m edges reach the twins
/// too. The setters store under option keys as the descriptions give them;
/// positions are the graph's. Not copyable; a worker thread shares it with
/// the caller through a shared_ptr, so that either may drop it first.
class KyPythonRun {
public:
  KyPythonRun(std::shared_ptr<const KyPythonGraph> graph, int operation, bool twins);
  ~KyPythonRun();
  KyPythonRun(const KyPythonRun&) = delete;
  KyPythonRun& operator=(const KyPythonRun&) = delete;

  /// Node positions outside the graph throw std::out_of_range, a
  /// constraint type outside the three std::invalid_argument.
  void setInteger(const wchar_t* key, int value);
  void setDouble(const wchar_t* key, double value);
  void setNode(const wchar_t* key, int position);
  void setNodeList(const wchar_t* key, const std::vector<int>& positions);
  /// `values` by position of the m nodes or edges of the shared graph.
  void setMemberIntegers(const wchar_t* key, bool edges, const std::vector<int>& values);
  /// A clustering constraint of `type` on the nodes at `positions`.
  void addConstraint(int type, const std::vector<int>& positions);

  /// Has the local engine, or `service` when given, answer; returns the
  /// answer code. Takes the shared graph's lock while it works; touches no
  /// Python object, so it runs on any thread. O(the analysis).
  int execute(const std::optional<KyRemoteAnalysisService>& service);

  /// The graph the request runs on: the shared one, or its twin graph.
  const KyGraph& graph() const { return *graph_; }
  const KyPythonGraph& shared() const { return *shared_; }
  /// The edges of the shared graph; positions from here on are twins.
  int originalEdges() const { return shared_->edges(); }
  int operation() const { return operation_; }
  KyServiceInputData& input() { return input_; }
  KyServiceOutputData& output() { return output_; }
  /// The constraints added, in order; the request's store owns them.
  const std::vector<KyClusteringConstraint*>& constraints() const { return constraints_; }

private:
  KyNode* node(int position) const;

  std::shared_ptr<const KyPythonGraph> shared_;
  // Declared before the stores, which refer to the graphs and go first.
  std::unique_ptr<KyGraph> twinGraph_;
  KyGraph* graph_;
  int operation_;
  KyServiceInputData input_;
  KyServiceOutputData output_;
  std::vector<KyClusteringConstraint*> constraints_;
};
