// KyGraphMLReader: graphs with per-node and per-edge values from GraphML.
#pragma once

#include <kyformats/KyFormatsExport.h>
#include <kyformats/KyGraphData.h>
#include <kyformats/KyGraphReadOptions.h>

#include <string>
#include <string_view>

/// Reads GraphML documents. Nodes come in document order, named by their
/// "name" data (a key with attr.name="name"), else by their id. A key is
/// known by its id within its domain (for="node", "edge" or "all", the
/// default): a node key and an edge key may share an id. Node and edge
/// data whose key's attr.name is a per-node or per-edge option (cost,
/// capacity, weight, undirected; in any case), or is mapped to one by the
/// options' columns, become columns, a key's <default> filling in for
/// members without data; other keys are left out and named in a note of
/// the data read. Values are read as KyValueColumn::parse() reads them,
/// with the options' scale. A graph whose edges are all undirected
/// (edgedefault="undirected" and no directed="true") is marked undirected
/// as a whole; otherwise its undirected edges get the per-edge option
/// undirected. DTDs, documents without a graph, nested graphs, hyperedges
/// and data whose key is declared for another domain are refused. Holds
/// only its options. A read sets the Xerces platform up and tears it down
/// around itself, which Xerces does not guard against other threads: read
/// GraphML on one thread at a time, and not while another thread reads or
/// writes XML.
class KYFORMATS_EXPORT KyGraphMLReader {
public:
  explicit KyGraphMLReader(const KyGraphReadOptions& options = KyGraphReadOptions());

  /// Reads the document `bytes`; `where` names it in messages. On success
  /// `data` holds the graph read and nothing else; false, with "WHERE: line
  /// L, column C: ..." in `error`, when it cannot be read, and `data` is as
  /// it was. O(length) time, plus O(log k) a datum for k keys.
  bool read(std::string_view bytes, const std::string& where, KyGraphData& data,
            std::string& error) const;

private:
  KyGraphReadOptions options_;
};
