// AnalysisRequest: a request for the local engine, built from the command line.
#pragma once

#include "GraphInput.h"
#include "GraphNames.h"

#include <kyplatform/KyServiceData.h>

#include <memory>
#include <string>
#include <vector>

class KyGraph;

namespace kyanalyze {

/// A request for one analysis with the graph it runs on. It is built in the
/// generic store under the keys the option descriptions give, so that one
/// code path serves every analysis: the graph and the operation under the
/// shared keys, the columns of the graph file under the analysis's
/// per-node and per-edge options of their names, `--set NAME=VALUE` under
/// its graph option NAME. Not copyable.
class AnalysisRequest {
public:
  AnalysisRequest() = default;
  AnalysisRequest(const AnalysisRequest&) = delete;
  AnalysisRequest& operator=(const AnalysisRequest&) = delete;

  /// A new request for the analysis `operation` on the graph `input`, which
  /// the request takes over with its columns (the options of a document's
  /// request are not taken). Columns that name no option of the analysis
  /// are left out and listed by unusedColumns(). A graph that says its
  /// edges are undirected makes the request undirected (undirected()).
  /// False, with one line in `error`, when that cannot be.
  bool start(int operation, GraphInput input, std::string& error);
  /// The request saved in the analysis document `path`, as it is. False,
  /// with one line in `error`, when the document cannot be read.
  bool readDocument(const std::string& path, std::string& error);
  /// The request of the analysis document `input` came from, as it is.
  void adopt(GraphInput input);
  /// Sets a graph-scope option of the request's analysis from "NAME=VALUE":
  /// numbers in decimal, Booleans as 0, 1, true or false, enumerations by
  /// name or code, nodes by name, node lists as names separated by commas.
  /// False, with one line in `error`, when the option is unknown or the
  /// value does not fit it.
  bool set(const std::string& assignment, std::string& error);
  /// Makes the analysis follow every edge both ways: through its graph
  /// option "undirected" where it has one ("directed" 0 for treeTest);
  /// nothing for the analyses that read edges as undirected anyway;
  /// otherwise by adding to each edge a twin that runs against it, with the
  /// edge's per-edge options (originalEdges() tells the twins apart). False,
  /// with one line in `error`, for the analyses that a twin would give a
  /// cycle of every edge (topological sort, acyclic test, cycle breaking).
  bool undirected(std::string& error);

  /// The operation code the request holds; OPERATION_NONE when it has none
  /// or one outside the service's codes.
  int operation() const;
  KyGraph& graph() const { return *graph_; }
  KyServiceInputData& input() const { return *input_; }
  /// The labels of the graph's nodes, made on the first call, O(n), and
  /// kept until the request takes another graph; they take no notice of
  /// nodes added after that call.
  const GraphNames& names() const;
  /// The number of edges the graph had before twins were added: edges from
  /// that position on are twins, edge i + originalEdges() of edge i.
  int originalEdges() const { return originalEdges_; }
  /// The column names the analysis has no option for, as "node cost".
  const std::vector<std::string>& unusedColumns() const { return unused_; }

private:
  void applyColumns(const std::vector<Column>& columns, const char* scope);

  GraphInput graphInput_;
  // Refers to the graph above, so it is declared after it.
  KyServiceInputData fresh_;
  KyGraph* graph_ = nullptr;
  KyServiceInputData* input_ = nullptr;
  int originalEdges_ = 0;
  std::vector<std::string> unused_;
  mutable std::unique_ptr<GraphNames> names_; // made by names()
};

} // namespace kyanalyze
