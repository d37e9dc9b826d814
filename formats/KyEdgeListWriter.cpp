#include <kyformats/KyEdgeListWriter.h>

#include "KyColumnNames_p.h"

#include <kyformats/KyGraphNames.h>
#include <kyformats/KyInputFile.h>

#include <kyplatform/KyEdge.h>
#include <kyplatform/KyNode.h>

#include <fstream>
#include <unordered_map>

namespace {

/// Whether a reader would take `name` at the start of a first line for a
/// header word: "source" or "node", in any case.
bool headerWord(const std::string& name) {
  if (name.size() != 6 && name.size() != 4)
    return false;
  const std::string lower = KyColumnNames::lowered(name);
  return lower == "source" || lower == "node";
}

/// The cells of each member's row for `columns`, by position; empty when unset.
std::vector<std::vector<std::string>> cells(const std::vector<KyValueColumn>& columns, int count) {
  std::vector<std::vector<std::string>> rows(static_cast<std::size_t>(count),
                                             std::vector<std::string>(columns.size()));
  for (std::size_t c = 0; c < columns.size(); ++c)
    for (const auto& [position, value] : columns[c].values)
      rows[static_cast<std::size_t>(position)][c] = std::to_string(value);
  return rows;
}

bool writeFile(const std::string& path, const std::string& text, std::string& error) {
  std::ofstream file(path, std::ios::binary);
  file << text;
  file.close();
  if (!file)
    error = KyInputFile::shownPath(path) + ": cannot be written";
  return static_cast<bool>(file);
}

} // namespace

KyEdgeListWriter::KyEdgeListWriter(char delimiter) : delimiter_(delimiter) {}

bool KyEdgeListWriter::write(const KyGraphData& data, std::string& edges, std::string* nodeTable,
                             std::string& error) const {
  const KyGraph& graph = *data.graph;
  const KyGraphNames names(graph);
  std::unordered_map<std::string, int> uses;
  for (KyNodeDListIter it(graph.pNodeList()); it; ++it)
    if (it.pNode()->pName() != nullptr)
      ++uses[KyGraphNames::nameOf(it.pNode())];
  std::vector<std::string> written;
  for (KyNodeDListIter it(graph.pNodeList()); it; ++it) {
    const KyNode* node = it.pNode();
    std::string name = node->pName() != nullptr && uses[KyGraphNames::nameOf(node)] == 1
                           ? KyGraphNames::nameOf(node)
                           : names.node(node);
    if (name.find_first_of("\r\n") != std::string::npos) {
      error = "the name of node " + std::to_string(node->index()) +
              " holds a line break, which an edge list cannot carry";
      return false;
    }
    // Quoted: what would split, end or start something, and names a header
    // uses. Commas, semicolons and bars are quoted whatever the delimiter,
    // as a reader that detects the delimiter takes one in the first line for
    // it, and refuses a line that holds another; so is a leading byte-order
    // mark, which a reader skips at the start of a text.
    if (name.empty() ||
        name.find_first_of(std::string(" \t#\",;|") + delimiter_) != std::string::npos ||
        name.compare(0, 3, "\xEF\xBB\xBF") == 0 || headerWord(name)) {
      std::string quoted = "\"";
      for (char c : name)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
      name = quoted + "\"";
    }
    written.push_back(std::move(name));
  }
  const std::string separator(1, delimiter_);
  auto row = [&](const std::vector<std::string>& fields) {
    std::string line;
    for (const std::string& field : fields)
      line += (line.empty() ? "" : separator) + field;
    return line + "\n";
  };

  edges.clear();
  if (!data.edgeColumns.empty()) {
    std::vector<std::string> header{"source", "target"};
    for (const KyValueColumn& column : data.edgeColumns)
      header.push_back(column.names.front());
    edges += row(header);
  }
  const auto edgeCells = cells(data.edgeColumns, graph.numberOfEdges());
  std::vector<char> linked(written.size(), 0);
  for (KyEdgeDListIter it(graph.pEdgeList()); it; ++it) {
    const KyEdge* edge = it.pEdge();
    const auto source = static_cast<std::size_t>(edge->pSourceNode()->index());
    const auto target = static_cast<std::size_t>(edge->pTargetNode()->index());
    linked[source] = linked[target] = 1;
    std::vector<std::string> fields{written[source], written[target]};
    for (const std::string& cell : edgeCells[static_cast<std::size_t>(edge->index())])
      fields.push_back(cell.empty() && delimiter_ == ' ' ? "\"\"" : cell);
    while (fields.size() > 2 && (fields.back().empty() || fields.back() == "\"\""))
      fields.pop_back();
    edges += row(fields);
  }
  for (std::size_t i = 0; i < written.size(); ++i)
    if (!linked[i])
      edges += written[i] + "\n";
  if (nodeTable == nullptr)
    return true;

  std::vector<std::string> header{"node"};
  for (const KyValueColumn& column : data.nodeColumns)
    header.push_back(column.names.front());
  *nodeTable = row(header);
  const auto nodeCells = cells(data.nodeColumns, graph.numberOfNodes());
  for (std::size_t i = 0; i < written.size(); ++i) {
    std::vector<std::string> fields{written[i]};
    for (const std::string& cell : nodeCells[i])
      fields.push_back(cell);
    while (fields.size() > 1 && fields.back().empty())
      fields.pop_back();
    if (fields.size() > 1)
      *nodeTable += row(fields);
  }
  return true;
}

bool KyEdgeListWriter::writeFiles(const KyGraphData& data, const std::string& path,
                                  const std::string& nodesPath, std::string& error) const {
  std::string edges, table;
  if (!write(data, edges, nodesPath.empty() ? nullptr : &table, error)) {
    error = KyInputFile::shownPath(path) + ": " + error;
    return false;
  }
  return writeFile(path, edges, error) && (nodesPath.empty() || writeFile(nodesPath, table, error));
}
