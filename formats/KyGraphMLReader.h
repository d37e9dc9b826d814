// KyGraphMLReader: graphs with per-node and per-edge values from GraphML.
#pragma once

#include <kyformats/KyFormatsExport.h>
#include <kyformats/KyGraphData.h>

#include <string>
#include <string_view>

/// Reads GraphML documents. Nodes come in document order, named by their
/// "name" data (a key with attr.name="name"), else by their id. Node and
/// edge data whose key's attr.name is a per-node or per-edge option (cost,
/// capacity, weight, undirected) become columns, a key's <default> filling
/// in for members without data; other keys are ignored. A graph whose
/// edges are all undirected (edgedefault="undirected" and no
/// directed="true") is marked undirected as a whole; otherwise its
/// undirected edges get the per-edge option undirected. DTDs, nested
/// graphs and hyperedges are refused. Holds nothing. A read sets the
/// Xerces platform up and tears it down around itself, which Xerces does not
/// guard against other threads: read GraphML on one thread at a time, and
/// not while another thread reads or writes XML.
class KYFORMATS_EXPORT KyGraphMLReader {
public:
  /// Reads the document `bytes`; `where` names it in messages. On success
  /// `data` holds the graph read and nothing else; false, with "WHERE: line
  /// L, column C: ..." in `error`, when it cannot be read, and `data` is as
  /// it was. O(length) time, plus O(log k) a datum for k keys.
  bool read(std::string_view bytes, const std::string& where, KyGraphData& data,
            std::string& error) const;
};
