// AnalysisRequest: a request for the local engine, built from the command line.
#pragma once

#include "EdgeListReader.h"
#include "ShowCommand.h"

#include <kyplatform/KyServiceData.h>

#include <iosfwd>
#include <string>

class KyGraph;

namespace kyanalyze {

/// A request for one analysis with the graph it runs on. It is built in the
/// generic store under the keys the option descriptions give, so that one
/// code path serves every analysis: the graph and the operation under the
/// shared keys, `--set NAME=VALUE` under the analysis's graph-scope key
/// NAME, and the edge list's costs under its edge cost option (or, for
/// analyses without one, its edge capacity option). Not copyable.
class AnalysisRequest {
public:
  AnalysisRequest() = default;
  AnalysisRequest(const AnalysisRequest&) = delete;
  AnalysisRequest& operator=(const AnalysisRequest&) = delete;

  /// A new request for the analysis `operation` on the graph in `path`: the
  /// graph of an analysis document when the name ends in ".xml" (its
  /// options are not taken), else an edge list whose costs are applied.
  /// False, with one line on `err`, when the file cannot be read.
  bool readGraph(int operation, const std::string& path, std::ostream& err);
  /// The request saved in the analysis document `path`, as it is. False,
  /// with one line on `err`, when the document cannot be read.
  bool readDocument(const std::string& path, std::ostream& err);
  /// Sets a graph-scope option of the request's analysis from "NAME=VALUE":
  /// numbers in decimal, Booleans as 0, 1, true or false, enumerations by
  /// name or code, nodes by name, node lists as names separated by commas.
  /// False, with one line on `err`, when the option is unknown or the value
  /// does not fit it.
  bool set(const std::string& assignment, std::ostream& err);

  /// The operation code the request holds; OPERATION_NONE when it has none
  /// or one outside the service's codes.
  int operation() const;
  KyGraph& graph() const { return *graph_; }
  KyServiceInputData& input() const { return *input_; }

private:
  /// Stores the graph, the operation and the edge costs in the fresh request.
  void start(int operation, KyGraph& graph, const EdgeList* edges);

  LoadedRequest document_;
  EdgeList edges_;
  // Refers to the graph of one of the two above, so it is declared after them.
  KyServiceInputData fresh_;
  KyGraph* graph_ = nullptr;
  KyServiceInputData* input_ = nullptr;
};

} // namespace kyanalyze
