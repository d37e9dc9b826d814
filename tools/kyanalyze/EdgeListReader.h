// EdgeListReader: a graph from a plain text list of edges.
#pragma once

#include <kyplatform/KyGraph.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

class KyEdge;

namespace kyanalyze {

/// A graph read from an edge list, with the numbers of its third column.
struct EdgeList {
  std::unique_ptr<KyGraph> graph{new KyGraph};
  /// Each edge that has a third column, with its number, in file order.
  std::vector<std::pair<KyEdge*, int>> costs;
};

/// Reads the edge list in the file `path` into `list`. One edge a line,
/// "source target [cost]", fields separated by blanks; a line with one
/// name adds a lone node; "#" starts a comment; blank lines are skipped.
/// Nodes are made in order of first mention and named by their UTF-8
/// names; the cost is a 32-bit integer. False, with one line in `error`
/// ("FILE: ..." or "FILE:LINE: ..."), when the file cannot be read or a
/// line is malformed.
bool readEdgeList(const std::string& path, EdgeList& list, std::string& error);

} // namespace kyanalyze
