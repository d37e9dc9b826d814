#include <kyformats/KyGraphMLWriter.h>

#include <kyformats/KyFormatText.h>
#include <kyformats/KyInputFile.h>

#include <kyplatform/KyEdge.h>
#include <kyplatform/KyNode.h>

#include <fstream>

namespace {

/// `text` with the characters XML gives meaning escaped, and carriage
/// returns as references, as a reader turns a raw one into a line feed;
/// false when it holds a character XML 1.0 cannot carry (a control
/// character other than tab, line feed and carriage return, U+FFFE, U+FFFF).
bool xmlText(const std::string& text, std::string& out) {
  out.clear();
  if (text.find("\xEF\xBF\xBE") != std::string::npos ||
      text.find("\xEF\xBF\xBF") != std::string::npos)
    return false;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r')
      return false;
    switch (c) {
    case '\r':
      out += "&#13;";
      break;
    case '&':
      out += "&amp;";
      break;
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    case '"':
      out += "&quot;";
      break;
    default:
      out += c;
    }
  }
  return true;
}

} // namespace

bool KyGraphMLWriter::write(const KyGraphData& data, std::string& out, std::string& error) const {
  out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<graphml xmlns=\"http://graphml.graphdrawing.org/xmlns\">\n"
        "  <key id=\"name\" for=\"node\" attr.name=\"name\" attr.type=\"string\"/>\n";
  auto keys = [&](const std::vector<KyValueColumn>& columns, const char* scope) {
    for (const KyValueColumn& column : columns)
      out += std::string("  <key id=\"") + scope + "-" + column.names.front() + "\" for=\"" +
             scope + "\" attr.name=\"" + column.names.front() + "\" attr.type=\"" +
             (column.kind == KyValueKind::boolean ? "boolean" : "int") + "\"/>\n";
  };
  keys(data.nodeColumns, "node");
  keys(data.edgeColumns, "edge");
  out += std::string("  <graph id=\"G\" edgedefault=\"") +
         (data.undirected ? "undirected" : "directed") + "\">\n";

  // The data of each member, by position: "<data .../>" lines.
  auto dataLines = [](const std::vector<KyValueColumn>& columns, const char* scope, int count) {
    std::vector<std::string> lines(static_cast<std::size_t>(count));
    for (const KyValueColumn& column : columns)
      for (const auto& [position, value] : column.values)
        lines[static_cast<std::size_t>(position)] +=
            std::string("      <data key=\"") + scope + "-" + column.names.front() + "\">" +
            (column.kind == KyValueKind::boolean ? (value != 0 ? "true" : "false")
                                                 : std::to_string(value)) +
            "</data>\n";
    return lines;
  };
  const KyGraph& graph = *data.graph;
  const auto nodeData = dataLines(data.nodeColumns, "node", graph.numberOfNodes());
  const auto edgeData = dataLines(data.edgeColumns, "edge", graph.numberOfEdges());
  std::string text;
  for (KyNodeDListIter it(graph.pNodeList()); it; ++it) {
    const KyNode* node = it.pNode();
    const std::string id = "n" + std::to_string(node->index());
    std::string body = nodeData[static_cast<std::size_t>(node->index())];
    if (node->pName() != nullptr) {
      if (!xmlText(KyFormatText::toUtf8(node->pName()), text)) {
        error = "the name of node " + std::to_string(node->index()) +
                " holds a character XML cannot carry";
        return false;
      }
      body = "      <data key=\"name\">" + text + "</data>\n" + body;
    }
    out += "    <node id=\"" + id + (body.empty() ? "\"/>\n" : "\">\n" + body + "    </node>\n");
  }
  for (KyEdgeDListIter it(graph.pEdgeList()); it; ++it) {
    const KyEdge* edge = it.pEdge();
    const std::string& body = edgeData[static_cast<std::size_t>(edge->index())];
    out += "    <edge id=\"e" + std::to_string(edge->index()) + "\" source=\"n" +
           std::to_string(edge->pSourceNode()->index()) + "\" target=\"n" +
           std::to_string(edge->pTargetNode()->index()) + "\"" +
           (body.empty() ? "/>\n" : ">\n" + body + "    </edge>\n");
  }
  out += "  </graph>\n</graphml>\n";
  return true;
}

bool KyGraphMLWriter::writeFile(const KyGraphData& data, const std::string& path,
                                std::string& error) const {
  std::string out;
  if (!write(data, out, error)) {
    error = KyInputFile::shownPath(path) + ": " + error;
    return false;
  }
  std::ofstream file(path, std::ios::binary);
  file << out;
  file.close();
  if (!file) {
    error = KyInputFile::shownPath(path) + ": cannot be written";
    return false;
  }
  return true;
}
