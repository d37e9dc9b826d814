// GraphML: graphs with per-node and per-edge values in the GraphML format.
#pragma once

#include "GraphInput.h"

#include <string>

namespace kyanalyze {

/// Reads the GraphML document `bytes` into `input`, which holds an empty
/// graph. Nodes come in document order, named by their "name" data (a key
/// with attr.name="name"), else by their id. Node and edge data whose key's
/// attr.name is a per-node or per-edge option (cost, capacity, weight,
/// undirected) become columns, a key's <default> filling in for members
/// without data; other keys are ignored. A graph whose edges are all
/// undirected (edgedefault="undirected", no directed="true") sets
/// input.undirected; otherwise undirected edges get the per-edge option
/// undirected. DTDs, nested graphs and hyperedges are refused. False, with
/// "WHERE: line L, column C: ..." in `error`, when it cannot be read.
bool readGraphML(const std::string& bytes, const std::string& where, GraphInput& input,
                 std::string& error);

/// Writes `input` as GraphML into `path`: node ids "n0", "n1"... by
/// position, names as "name" data, each column as a key named by its first
/// name. False, with one line in `error`, when a name holds a character
/// XML cannot carry or the file cannot be written.
bool writeGraphML(const std::string& path, const GraphInput& input, std::string& error);

} // namespace kyanalyze
