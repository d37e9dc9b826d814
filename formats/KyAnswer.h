// KyAnswer: an analysis's answer rendered for people and programs: as text,
// JSON, CSV tables or a Graphviz drawing of the graph.
#pragma once

#include <kyformats/KyFormatsExport.h>

#include <iosfwd>
#include <memory>
#include <string>

class KyAnalysisRequest;
class KyGraph;
class KyGraphNames;
class KyServiceInputData;
class KyServiceOutputData;

/// The answer a service gave to a request, read once through the result
/// descriptions into a model that every rendering writes from. Results are
/// named by their key's last part ("edgeList"); nodes by their labels
/// (KyGraphNames); walks as chains of nodes from the node they start at;
/// named codes by name; results that refer to the engine's own helper
/// graph are left out. A sorted-paths answer also lists its cheapest paths.
/// Edges a request added to follow edges both ways (twins) are shown as
/// their originals, per-edge integers of a twin counting against its
/// original's (a flow against the edge is negative). When the request's
/// columns were read with a scale, costs and flows are divided back by it
/// and every rendering says the scale ("scale": N, "scale: N (...)", a row
/// "scale,N").
///
/// The request, its graph and the names must outlive the answer; the
/// answer store may go once the answer is made. Not copyable.
class KYFORMATS_EXPORT KyAnswer {
public:
  /// The answer `output` holds to `request`, with at most `pathLimit`
  /// paths of a sorted-paths answer. O(size of the answer).
  KyAnswer(const KyAnalysisRequest& request, KyServiceOutputData& output, int pathLimit);
  /// The same for a request an application built itself on `graph`, which
  /// has no twins; `names` label the graph's nodes.
  KyAnswer(const KyGraph& graph, const KyServiceInputData& request, KyServiceOutputData& output,
           const KyGraphNames& names, int pathLimit);
  ~KyAnswer();
  KyAnswer(const KyAnswer&) = delete;
  KyAnswer& operator=(const KyAnswer&) = delete;

  /// {"analysis": word, "results": {name: value, ...}}, indented by two,
  /// without a final line break. A result of scope none is its value; one
  /// of another scope an array of {"node"|"edge"|"from","to"|"constraint":
  /// owner, "value": value} for the owners that have a value, in graph
  /// order ("valueName" beside the value for named codes). Nodes are
  /// {"id": position, "name": name or null}, edges {"index", "source",
  /// "target"}, walks {"nodes": [...], "edges": [...]}, absent values null;
  /// a sorted-paths answer also has "paths".
  std::string json() const;
  /// One "name: value" line per result of scope none (lists of lists one
  /// item a line below it), then one table per kind of owner with a column
  /// per result, aligned by display width, then the paths.
  void writeText(std::ostream& out) const;
  /// CSV tables separated by blank lines: "result,value" for the results
  /// of scope none, then one table per kind of owner ("id,node,...",
  /// "index,source,target,...", "from,to,...", "constraint,...").
  void writeCsv(std::ostream& out) const;
  /// The graph as a Graphviz digraph with the answer drawn on it: walks and
  /// edge lists in red, cuts red and dashed, each list of a list of lists
  /// in a colour of its own, other node lists filled in gold, the paths of
  /// a sorted-paths answer in colours from the cheapest on, per-edge
  /// numbers of the request and the answer as edge labels, nodes the
  /// request names with a bold outline, edges without arrows for an
  /// undirected request; twins are not drawn.
  void writeDot(std::ostream& out) const;

private:
  struct Model;
  std::unique_ptr<Model> model_;
};
