#include "EdgeListWriter.h"

#include "GraphNames.h"
#include "InputFile.h"
#include "Text.h"

#include <kyplatform/KyEdge.h>
#include <kyplatform/KyNode.h>

#include <fstream>
#include <unordered_map>

namespace kyanalyze {
namespace {

/// The cells of each member's row for `columns`, by position; empty when unset.
std::vector<std::vector<std::string>> cells(const std::vector<Column>& columns, int count) {
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
    error = shownPath(path) + ": cannot be written";
  return static_cast<bool>(file);
}

} // namespace

bool writeEdgeList(const std::string& path, const std::string& nodesPath, char delimiter,
                   const GraphInput& input, std::string& error) {
  const KyGraph& graph = *input.graph;
  const GraphNames names(graph);
  std::unordered_map<std::string, int> uses;
  for (KyNodeDListIter it(graph.pNodeList()); it; ++it)
    if (it.pNode()->pName() != nullptr)
      ++uses[nodeName(it.pNode())];
  std::vector<std::string> written;
  for (KyNodeDListIter it(graph.pNodeList()); it; ++it) {
    const KyNode* node = it.pNode();
    std::string name =
        node->pName() != nullptr && uses[nodeName(node)] == 1 ? nodeName(node) : names.node(node);
    if (name.find_first_of("\r\n") != std::string::npos) {
      error = shownPath(path) + ": the name of node " + std::to_string(node->index()) +
              " holds a line break, which an edge list cannot carry";
      return false;
    }
    // Quoted: what would split, end or start something, and names a header uses.
    if (name.empty() ||
        name.find_first_of(std::string(" \t#\"") + delimiter) != std::string::npos ||
        name == "source" || name == "node") {
      std::string quoted = "\"";
      for (char c : name)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
      name = quoted + "\"";
    }
    written.push_back(std::move(name));
  }
  const std::string separator(1, delimiter);
  auto row = [&](const std::vector<std::string>& fields) {
    std::string line;
    for (const std::string& field : fields)
      line += (line.empty() ? "" : separator) + field;
    return line + "\n";
  };

  std::string text;
  if (!input.edgeColumns.empty()) {
    std::vector<std::string> header{"source", "target"};
    for (const Column& column : input.edgeColumns)
      header.push_back(column.names.front());
    text += row(header);
  }
  const auto edgeCells = cells(input.edgeColumns, graph.numberOfEdges());
  std::vector<char> linked(written.size(), 0);
  for (KyEdgeDListIter it(graph.pEdgeList()); it; ++it) {
    const KyEdge* edge = it.pEdge();
    const auto source = static_cast<std::size_t>(edge->pSourceNode()->index());
    const auto target = static_cast<std::size_t>(edge->pTargetNode()->index());
    linked[source] = linked[target] = 1;
    std::vector<std::string> fields{written[source], written[target]};
    for (const std::string& cell : edgeCells[static_cast<std::size_t>(edge->index())])
      fields.push_back(cell.empty() && delimiter == ' ' ? "\"\"" : cell);
    while (fields.size() > 2 && (fields.back().empty() || fields.back() == "\"\""))
      fields.pop_back();
    text += row(fields);
  }
  for (std::size_t i = 0; i < written.size(); ++i)
    if (!linked[i])
      text += written[i] + "\n";
  if (!writeFile(path, text, error))
    return false;
  if (nodesPath.empty())
    return true;

  std::vector<std::string> header{"node"};
  for (const Column& column : input.nodeColumns)
    header.push_back(column.names.front());
  std::string table = row(header);
  const auto nodeCells = cells(input.nodeColumns, graph.numberOfNodes());
  for (std::size_t i = 0; i < written.size(); ++i) {
    std::vector<std::string> fields{written[i]};
    for (const std::string& cell : nodeCells[i])
      fields.push_back(cell);
    while (fields.size() > 1 && fields.back().empty())
      fields.pop_back();
    if (fields.size() > 1)
      table += row(fields);
  }
  return writeFile(nodesPath, table, error);
}

} // namespace kyanalyze
