#include "DotWriter.h"

#include "AnalysisWords.h"
#include "GraphNames.h"

#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyServiceName.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace kyanalyze {
namespace {

const char* const kFillColours[] = {"#8dd3c7", "#ffffb3", "#bebada", "#fb8072",
                                    "#80b1d3", "#fdb462", "#b3de69", "#fccde5"};
const char* const kLineColours[] = {"#e41a1c", "#377eb8", "#4daf4a", "#984ea3",
                                    "#ff7f00", "#a65628", "#f781bf", "#999999"};
constexpr std::size_t kColours = 8;

/// `text` as a Graphviz quoted string; control characters become blanks.
std::string dotString(const std::string& text) {
  std::string result = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\')
      result += '\\';
    result += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
  }
  return result + '"';
}

struct NodeLook {
  std::string fill;
  bool named = false;
};

struct EdgeLook {
  std::string colour;
  bool bold = false;
  bool dashed = false;
  std::vector<std::string> labels;
};

/// The analyses whose edge list is a set of edges to cut, not a path or tree.
bool cutsEdges(const std::string& analysis) {
  return analysis == "minimumCut" || analysis == "cycleBreakingEdgeDetection";
}

} // namespace

void writeDot(std::ostream& out, const KyGraph& graph, const KyServiceInputData& input,
              const Json& answer) {
  const std::string analysis = answer.at("analysis").get<std::string>();
  std::map<std::string, NodeLook> nodes;
  std::map<int, EdgeLook> edges;
  bool undirected = false;

  KyServiceName* service = input.pServiceName();
  input.visitValues([&](const KyObject* owner, const wchar_t* key, KyObject* value) {
    const std::wstring text = key;
    const auto* integer = dynamic_cast<const KyInt*>(value);
    if (owner == &graph && dynamic_cast<const KyNode*>(value) != nullptr)
      nodes[memberName(value)].named = true;
    if (owner == &graph && integer != nullptr && text.size() > 11 &&
        text.compare(text.size() - 11, 11, L":undirected") == 0)
      undirected = integer->value() != 0;
    const auto* edge = dynamic_cast<const KyEdge*>(owner);
    const KyServiceItemDescription* description =
        service != nullptr ? service->pInputDescription()->pOption(key) : nullptr;
    if (edge != nullptr && integer != nullptr && description != nullptr &&
        std::wstring(description->pValueType()) == L"Integer")
      edges[edge->index()].labels.push_back(std::to_string(integer->value()));
  });

  auto colourEdge = [&](const Json& edge, const char* colour, bool bold) {
    EdgeLook& look = edges[edge.at("index").get<int>()];
    if (look.colour.empty()) {
      look.colour = colour;
      look.bold = bold;
    }
  };
  auto fillNode = [&](const Json& node, const char* colour) {
    if (node.is_string() && nodes[node.get<std::string>()].fill.empty())
      nodes[node.get<std::string>()].fill = colour;
  };

  const Json& results = answer.at("results");
  for (const ResultItem& item : resultsOf(analysisCode(analysis))) {
    const auto found = results.find(item.name);
    if (found == results.end() || !found->is_array())
      continue;
    const Json& value = *found;
    if (item.scope == "edge" && item.valueType == "Integer") {
      for (const Json& entry : value)
        edges[entry.at("edge").at("index").get<int>()].labels.push_back(item.name + " " +
                                                                        entry.at("value").dump());
    } else if (item.scope == "none" && item.valueType.rfind("List<List<", 0) == 0) {
      for (std::size_t group = 0; group < value.size(); ++group)
        for (const Json& member : value[group]) {
          if (member.is_object())
            colourEdge(member, kLineColours[group % kColours], true);
          else
            fillNode(member, kFillColours[group % kColours]);
        }
    } else if (item.scope == "none" && item.valueType == "List<KyEdge>") {
      for (const Json& edge : value) {
        colourEdge(edge, kLineColours[0], true);
        edges[edge.at("index").get<int>()].dashed = cutsEdges(analysis);
      }
    } else if (item.scope == "none" && item.valueType == "List<KyNode>") {
      for (const Json& node : value)
        fillNode(node, "gold");
    }
  }
  const auto paths = answer.find("paths");
  if (paths != answer.end())
    for (std::size_t rank = 0; rank < paths->size(); ++rank)
      for (const Json& edge : (*paths)[rank].at("edges"))
        colourEdge(edge, kLineColours[rank % kColours], rank == 0);

  out << "digraph " << dotString(analysis) << " {\n";
  out << "  node [shape=ellipse, style=filled, fillcolor=white];\n";
  if (undirected)
    out << "  edge [dir=none];\n";
  for (KyNodeDListIter it(graph.pNodeList()); it; ++it) {
    const std::string name = memberName(it.pNode());
    const NodeLook& look = nodes[name];
    out << "  " << dotString(name);
    if (!look.fill.empty() || look.named) {
      out << " [";
      if (!look.fill.empty())
        out << "fillcolor=" << dotString(look.fill) << (look.named ? ", " : "");
      if (look.named)
        out << "penwidth=2.5";
      out << ']';
    }
    out << ";\n";
  }
  for (KyEdgeDListIter it(graph.pEdgeList()); it; ++it) {
    const KyEdge* edge = it.pEdge();
    out << "  " << dotString(memberName(edge->pSourceNode())) << " -> "
        << dotString(memberName(edge->pTargetNode()));
    const auto found = edges.find(edge->index());
    if (found != edges.end()) {
      const EdgeLook& look = found->second;
      std::vector<std::string> attributes;
      if (!look.colour.empty())
        attributes.push_back("color=" + dotString(look.colour) +
                             (look.bold ? ", penwidth=2.5" : ""));
      if (look.dashed)
        attributes.push_back("style=dashed");
      std::string label;
      for (const std::string& part : look.labels)
        label += (label.empty() ? "" : ", ") + part;
      if (!label.empty())
        attributes.push_back("label=" + dotString(label));
      std::string joined;
      for (const std::string& attribute : attributes)
        joined += (joined.empty() ? "" : ", ") + attribute;
      if (!joined.empty())
        out << " [" << joined << ']';
    }
    out << ";\n";
  }
  out << "}\n";
}

} // namespace kyanalyze
