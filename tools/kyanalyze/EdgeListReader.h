// EdgeListReader: graphs from text tables, an edge list and a node table.
#pragma once

#include "GraphInput.h"

#include <string>

namespace kyanalyze {

/// Reads the edge list `text` into `input`, which holds an empty graph.
///
/// One edge a line, "source target [cost]", or, after a header line
/// "source target NAME...", one column per NAME, each a per-edge option
/// by its short name (cost, capacity, undirected). A line with one name (or
/// with empty fields after it) adds a lone node; "#" outside quotes starts a
/// comment; blank lines are skipped; a UTF-8 byte-order mark is skipped.
/// Names in double quotes may hold blanks, delimiters and "#" ("" is a
/// quote). Fields are separated by `delimiter`: ' ' for runs of blanks, any
/// other character for itself, 0 to detect (a comma outside quotes in the
/// first line: commas; else tabs but no blanks: tabs; else blanks). Nodes
/// are made in order of first mention. `where` names the text in messages.
///
/// Works in place: quoted fields are unquoted inside `text`, which is
/// otherwise only read; no line costs an allocation. O(length) time on
/// average. False, with "WHERE:LINE: ..." in `error`, at the first
/// malformed line; `input` is then unspecified.
bool readEdgeList(std::string& text, const std::string& where, char delimiter, GraphInput& input,
                  std::string& error);

/// Reads the node table `text` into `input`: a header "node NAME...", then
/// one node a line with its per-node options (cost, weight, capacity); an
/// empty field leaves an option unset. A node is found by its name (made
/// when the graph has none of that name). The text is split as by
/// readEdgeList().
bool readNodeTable(std::string& text, const std::string& where, char delimiter, GraphInput& input,
                   std::string& error);

} // namespace kyanalyze
