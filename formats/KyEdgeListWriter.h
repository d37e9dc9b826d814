// KyEdgeListWriter: a graph as an edge list and a node table, as
// KyEdgeListReader reads them back.
#pragma once

#include <kyformats/KyFormatsExport.h>
#include <kyformats/KyGraphData.h>

#include <string>

/// Writes edge lists and node tables: a header "source target NAME..."
/// when there are edge columns, then one edge a line in graph order, then
/// the nodes without edges one a line; fields separated by the delimiter
/// (' ': one blank). Nodes are written by their names, or, when their name
/// is missing or shared, by their labels ("node 2", "a#3"); names that
/// need it are quoted. The node table has a header "node NAME..." and a
/// line for each node with a value. Holds only its delimiter.
class KYFORMATS_EXPORT KyEdgeListWriter {
public:
  explicit KyEdgeListWriter(char delimiter = ' ');

  /// The edge list of `data` into `edges` and, unless `nodeTable` is null,
  /// its node table into `*nodeTable`. O(n + m). False, with one line in
  /// `error` and the texts unspecified, when a name holds a line break,
  /// which no line can carry.
  bool write(const KyGraphData& data, std::string& edges, std::string* nodeTable,
             std::string& error) const;
  /// The same into the file `path` and, unless `nodesPath` is empty, the
  /// node table into the file `nodesPath`. False, with "PATH: ..." in
  /// `error`, when a name cannot be written or a file cannot be; nothing is
  /// written for a name that cannot be.
  bool writeFiles(const KyGraphData& data, const std::string& path, const std::string& nodesPath,
                  std::string& error) const;

private:
  char delimiter_;
};
