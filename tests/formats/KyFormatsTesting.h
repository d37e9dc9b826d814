// Helpers of the formats tests: a graph with its values in plain values, to
// compare what was written with what was read back.
#pragma once

#include <kyformats/KyFormatText.h>
#include <kyformats/KyGraphData.h>
#include <kyformats/KyGraphNames.h>

#include <kyplatform/KyEdge.h>
#include <kyplatform/KyNode.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kytest {

/// A graph in plain values: node names in order, edges as positions, and
/// every column as name -> (position -> value).
struct PlainGraph {
  using Columns = std::map<std::string, std::map<int, int>>;
  std::vector<std::string> nodes;
  std::vector<std::pair<int, int>> edges;
  Columns nodeColumns, edgeColumns;
  bool undirected = false;
  bool operator==(const PlainGraph& other) const {
    return nodes == other.nodes && edges == other.edges && nodeColumns == other.nodeColumns &&
           edgeColumns == other.edgeColumns && undirected == other.undirected;
  }
};

inline PlainGraph plain(const KyGraphData& data) {
  PlainGraph result;
  for (KyNodeDListIter it(data.graph->pNodeList()); it; ++it)
    result.nodes.push_back(KyGraphNames::nameOf(it.pNode()));
  for (KyEdgeDListIter it(data.graph->pEdgeList()); it; ++it)
    result.edges.emplace_back(it.pEdge()->pSourceNode()->index(),
                              it.pEdge()->pTargetNode()->index());
  for (const KyValueColumn& column : data.nodeColumns)
    for (const auto& [at, value] : column.values)
      result.nodeColumns[column.names.front()][at] = value;
  for (const KyValueColumn& column : data.edgeColumns)
    for (const auto& [at, value] : column.values)
      result.edgeColumns[column.names.front()][at] = value;
  result.undirected = data.undirected;
  return result;
}

/// Adds a node named `name` (UTF-8) to `data`'s graph.
inline KyNode* addNamedNode(KyGraphData& data, const std::string& name) {
  std::wstring wide;
  KyFormatText::fromUtf8(name, wide);
  KyNode* node = data.graph->addNode();
  node->pName(wide.c_str());
  return node;
}

/// A copy of `data` without its document: the graph's nodes with their
/// names, its edges, the columns and the undirected mark.
inline KyGraphData copyOf(const KyGraphData& data) {
  KyGraphData copy;
  for (KyNodeDListIter it(data.graph->pNodeList()); it; ++it)
    copy.graph->addNode()->pName(it.pNode()->pName());
  for (KyEdgeDListIter it(data.graph->pEdgeList()); it; ++it)
    copy.graph->addEdge(copy.graph->pNodeAt(it.pEdge()->pSourceNode()->index()),
                        copy.graph->pNodeAt(it.pEdge()->pTargetNode()->index()));
  copy.nodeColumns = data.nodeColumns;
  copy.edgeColumns = data.edgeColumns;
  copy.undirected = data.undirected;
  return copy;
}

} // namespace kytest
