// EdgeListWriter: a graph as an edge list and a node table, as EdgeListReader
// reads them back.
#pragma once

#include "GraphInput.h"

#include <string>

namespace kyanalyze {

/// Writes the edges of `input` into `path`: a header "source target NAME..."
/// when there are edge columns, then one edge a line in graph order, then
/// the nodes without edges one a line; fields separated by `delimiter`
/// (' ' for one blank). Nodes are written by their names, or, when their
/// name is missing or shared, by their labels ("node 2", "a#3"); names that
/// need it are quoted. With `nodesPath` not empty, the node columns go
/// there as a node table. False, with one line in `error`, when a name
/// holds a line break or a file cannot be written.
bool writeEdgeList(const std::string& path, const std::string& nodesPath, char delimiter,
                   const GraphInput& input, std::string& error);

} // namespace kyanalyze
