// KyAnalysisRequest: a request for one analysis built from a graph file's
// values and from options given by name, as people give them.
#pragma once

#include <kyformats/KyFormatsExport.h>
#include <kyformats/KyGraphData.h>
#include <kyformats/KyGraphNames.h>

#include <kyplatform/KyServiceData.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

class KyGraph;

/// A request for one analysis with the graph it runs on, both owned here.
/// It is built in the generic store under the keys the option descriptions
/// give, so that one code path serves every analysis: the graph and the
/// operation under the shared keys, the columns of the graph file under
/// the analysis's per-node and per-edge options of their names,
/// set("NAME=VALUE") under its graph option NAME. Not copyable.
class KYFORMATS_EXPORT KyAnalysisRequest {
public:
  /// An empty request on an empty graph, naming no analysis.
  KyAnalysisRequest();
  ~KyAnalysisRequest();
  KyAnalysisRequest(const KyAnalysisRequest&) = delete;
  KyAnalysisRequest& operator=(const KyAnalysisRequest&) = delete;

  /// A new request for the analysis `operation` on the graph of `data`,
  /// which the request takes over with its columns and notes (the options
  /// of a document's request are not taken: notes() says so when there are
  /// options of this analysis among them). Columns that name no option of
  /// the analysis are left out and listed by unusedColumns(). Where a column
  /// was read with a scale, the members without a value get the option's
  /// default times the scale (but defaults of 0 and 2147483647, which mean
  /// none and no bound), so that all values are in one unit. A graph that
  /// says its edges are undirected makes the request undirected
  /// (undirected()). Whatever the request held before goes. False, with one
  /// line in `error`, when the request cannot be undirected; it is then
  /// built without that.
  bool start(int operation, KyGraphData data, std::string& error);
  /// The request saved in the analysis document `path`, as it is. False,
  /// with one line in `error` and the request as it was, when the document
  /// cannot be read.
  bool readDocument(const std::string& path, std::string& error);
  /// The request of the analysis document `data` came from, as it is;
  /// `data` must hold a document. Whatever the request held before goes.
  void adopt(KyGraphData data);
  /// Sets a graph-scope option of the request's analysis from "NAME=VALUE":
  /// numbers in decimal, Booleans as 0, 1, true or false, enumerations by
  /// name or code, nodes by label or name (names()), node lists as such
  /// separated by commas. False, with one line in `error` and the request
  /// unchanged, when the option is unknown or the value does not fit it.
  /// A bound given in the unit of a scaled column (the range of
  /// reachableNodes and rootCause, the level, the desired flow) is scaled
  /// as the column was, and may then be fractional; a negative one, which
  /// means no bound, is kept as given.
  bool set(const std::string& assignment, std::string& error);
  /// Makes the analysis follow every edge both ways: through its graph
  /// option "undirected" where it has one ("directed" 0 for treeTest);
  /// nothing for the analyses that read edges as undirected anyway;
  /// otherwise by adding to each edge a twin that runs against it, with the
  /// edge's per-edge options (originalEdges() tells the twins apart). False,
  /// with one line in `error` and the request unchanged, for the analyses
  /// that a twin would give a cycle of every edge (topological sort,
  /// acyclic test, cycle breaking).
  bool undirected(std::string& error);

  /// The operation code the request holds; OPERATION_NONE when it has none
  /// or one outside the service's codes.
  int operation() const;
  KyGraph& graph() const { return *graph_; }
  KyServiceInputData& input() const { return *input_; }
  /// The labels of the graph's nodes, made on the first call, O(n), and
  /// kept until the request takes another graph; they take no notice of
  /// nodes added after that call.
  const KyGraphNames& names() const;
  /// The number of edges the graph had before twins were added: edges from
  /// that position on are twins, edge i + originalEdges() of edge i.
  int originalEdges() const { return originalEdges_; }
  /// The column names the analysis has no option for, as "node cost".
  const std::vector<std::string>& unusedColumns() const { return unused_; }
  /// What a person should hear of how the request was built, one line
  /// each: the notes of the files read (KyGraphData::notes), and that the
  /// options of an analysis document read as a graph were not taken.
  const std::vector<std::string>& notes() const { return notes_; }
  /// What the values of the per-node and per-edge options named `name`
  /// ("cost") were multiplied by as they were read; 1 when they were not.
  int scaleOf(const std::string& name) const;
  /// The scale the request's columns were read with; 1 when none was.
  int scale() const;

  /// The operation code `input` holds, as operation() reads it.
  static int operationOf(const KyServiceInputData& input);

private:
  /// Drops the values, labels and notes of the request held so far.
  void forget();
  void applyColumns(const std::vector<KyValueColumn>& columns, const char* scope);
  /// Gives the members without a value of a scaled option its scaled default.
  void scaleDefaults();

  KyGraphData data_;
  // Refers to the graph above, so it is declared after it.
  KyServiceInputData fresh_;
  KyGraph* graph_ = nullptr;
  KyServiceInputData* input_ = nullptr;
  int originalEdges_ = 0;
  std::vector<std::string> unused_;
  std::vector<std::string> notes_;
  std::map<std::string, int> scales_;           // option name -> scale, for scaled columns
  mutable std::unique_ptr<KyGraphNames> names_; // made by names()
};
