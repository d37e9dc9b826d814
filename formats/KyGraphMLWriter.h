// KyGraphMLWriter: graphs with per-node and per-edge values as GraphML.
#pragma once

#include <kyformats/KyFormatsExport.h>
#include <kyformats/KyGraphData.h>

#include <string>

/// Writes GraphML as KyGraphMLReader reads it back: node ids "n0", "n1"...
/// by position, names as "name" data, each column as a key named by its
/// first name, edgedefault="undirected" for a graph marked undirected.
/// Holds nothing.
class KYFORMATS_EXPORT KyGraphMLWriter {
public:
  /// The document of `data` into `out`. O(n + m). False, with one line in
  /// `error` and `out` unspecified, when a name holds a character XML 1.0
  /// cannot carry.
  bool write(const KyGraphData& data, std::string& out, std::string& error) const;
  /// The same into the file `path`, which is not made when a name cannot
  /// be written. False, with "PATH: ..." in `error`, when a name or the
  /// file cannot be written.
  bool writeFile(const KyGraphData& data, const std::string& path, std::string& error) const;
};
