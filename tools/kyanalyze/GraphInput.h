// GraphInput: a graph read from a file with the per-node and per-edge values
// it carries, whatever the file's format.
#pragma once

#include "Document.h"

#include <kyplatform/KyGraph.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kyanalyze {

/// How the values of a column read.
enum class ValueKind { integer, boolean };

/// The values of one per-node or per-edge option that a file gives.
struct Column {
  /// The option names the values go to, the first one the analysis has
  /// winning: the name from a header or a GraphML key, or "cost" then
  /// "capacity" for the third column of an edge list without a header.
  std::vector<std::string> names;
  ValueKind kind = ValueKind::integer;
  /// (position of the node or edge, value), in the order read.
  std::vector<std::pair<int, int>> values;
};

/// A graph read from a file. Nodes and edges come in file order.
struct GraphInput {
  std::unique_ptr<KyGraph> graph{new KyGraph};
  std::vector<Column> nodeColumns;
  std::vector<Column> edgeColumns;
  /// The file says its edges run both ways (GraphML edgedefault="undirected").
  bool undirected = false;
  /// The request of an analysis document, when the graph came from one (its
  /// graph moved to `graph` above). Declared last: it refers to the graph.
  std::unique_ptr<LoadedRequest> document;
};

/// Where a graph comes from: `path` ("-": standard input), optionally a node
/// table, and the delimiter of text tables (0: detected; ' ': blanks).
struct GraphSource {
  std::string path;
  std::string nodes;
  char delimiter = 0;
};

/// Reads the graph of `source` into `input`: an analysis document when the
/// path ends in ".xml", GraphML when it ends in ".graphml", else by content
/// (XML whose root is "graphml" or not, else an edge list); then the node
/// table. False, with one line in `error`, when a file cannot be read or
/// is malformed; `input` is then unspecified.
bool readGraph(const GraphSource& source, GraphInput& input, std::string& error);

/// The names of the per-node ("node") or per-edge ("edge") options of all
/// analyses, sorted, as columns may name them.
std::vector<std::string> columnNames(const std::string& scope);
/// The kind of the column `name` of `scope`; false when no option of any
/// analysis has that name and scope.
bool columnKind(const std::string& scope, const std::string& name, ValueKind& kind);
/// Parses a value of a column; false, with "the NAME 'TEXT' is not ..." in
/// `error`, when it does not fit the kind. Integers are 32-bit decimal;
/// Booleans 0, 1, true or false.
bool parseValue(ValueKind kind, std::string_view name, std::string_view text, int& value,
                std::string& error);

} // namespace kyanalyze
