#include "KyAnswerDrawing_p.h"

#include "KyVocabulary_p.h"

#include <kyformats/KyFormatText.h>
#include <kyformats/KyGraphNames.h>

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

namespace KyAnswerDrawing {

using KyAnswerModel::AnsweredGraph;
using KyAnswerModel::Json;
using KyAnswerModel::ResultItem;
using KyFormatText::toUtf8;
using KyVocabulary::Shape;
using KyVocabulary::Term;

namespace {

const char* const kFillColours[] = {"#8dd3c7", "#ffffb3", "#bebada", "#fb8072",
                                    "#80b1d3", "#fdb462", "#b3de69", "#fccde5"};
const char* const kLineColours[] = {"#e41a1c", "#377eb8", "#4daf4a", "#984ea3",
                                    "#ff7f00", "#a65628", "#f781bf", "#999999"};
constexpr std::size_t kColours = 8;

/// `text` as a Graphviz quoted string. Labels come escaped already.
std::string dotString(const std::string& text) {
  std::string result = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\')
      result += '\\';
    result += c;
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

/// The last part of a key: "cost" of "maximumFlow:edge:cost".
std::string shortName(const wchar_t* key) {
  const std::string text = toUtf8(key);
  return text.substr(text.rfind(':') + 1);
}

} // namespace

void write(std::ostream& out, const AnsweredGraph& graph, const KyServiceInputData& input,
           const Json& answer, const KyGraphNames& names) {
  const std::string analysis = answer.at("analysis").get<std::string>();
  std::vector<NodeLook> nodes(graph.nodes().size());
  std::vector<EdgeLook> edges(graph.edges().size());
  bool undirected = graph.edges().size() != static_cast<std::size_t>(graph.graph().numberOfEdges());

  KyServiceName* service = input.pServiceName();
  // The request's numbers are scaled as its columns were read; shown divided back.
  const auto scaled = answer.find("scale");
  const double scale = scaled != answer.end() ? scaled->get<double>() : 1;
  std::map<std::pair<int, std::string>, std::string> requestLabels; // sorted by edge, name
  input.visitValues([&](const KyObject* owner, const wchar_t* key, KyObject* value) {
    const auto* integer = dynamic_cast<const KyInt*>(value);
    const std::string name = shortName(key);
    if (owner == &graph.graph()) {
      if (const auto* node = dynamic_cast<const KyNode*>(value))
        nodes[static_cast<std::size_t>(node->index())].named = true;
      if (integer != nullptr && name == "undirected")
        undirected = undirected || integer->value() != 0;
    }
    const auto* edge = dynamic_cast<const KyEdge*>(owner);
    const KyServiceItemDescription* description =
        service != nullptr ? service->pInputDescription()->pOption(key) : nullptr;
    if (edge != nullptr && graph.original(edge) == edge && integer != nullptr &&
        description != nullptr && std::wstring(description->pValueType()) == L"Integer")
      requestLabels[{edge->index(), name}] =
          name + " " +
          KyAnswerModel::numberText(scale == 1 ? Json(integer->value())
                                               : Json(integer->value() / scale));
  });
  for (const auto& [where, label] : requestLabels)
    edges[static_cast<std::size_t>(where.first)].labels.push_back(label);

  auto colourEdge = [&](const Json& edge, const char* colour, bool bold, bool dashed) {
    EdgeLook& look = edges[edge.at("index").get<std::size_t>()];
    if (look.colour.empty()) {
      look.colour = colour;
      look.bold = bold;
      look.dashed = dashed;
    }
  };
  auto fillNode = [&](const Json& node, const char* colour) {
    NodeLook& look = nodes[node.at("id").get<std::size_t>()];
    if (look.fill.empty())
      look.fill = colour;
  };
  // Edges of a walk, an edge list or a list of both.
  auto colourEdges = [&](const Json& value, const char* colour, bool bold, bool dashed) {
    const Json& list = value.is_object() ? value.at("edges") : value;
    for (const Json& edge : list)
      colourEdge(edge, colour, bold, dashed);
  };

  const Json& results = answer.at("results");
  for (const ResultItem& item : KyAnswerModel::resultsOf(KyAnswerModel::operationOf(answer))) {
    const auto found = results.find(item.name);
    if (found == results.end())
      continue;
    const Json& value = *found;
    const Term& term = KyVocabulary::termOf(toUtf8(item.key.c_str()));
    if (item.scope == "edge" && item.valueType == "Integer") {
      for (const Json& entry : value)
        edges[entry.at("edge").at("index").get<std::size_t>()].labels.push_back(
            item.name + " " +
            (entry.contains("valueName") ? entry.at("valueName").get<std::string>()
                                         : KyAnswerModel::numberText(entry.at("value"))));
    } else if (item.scope != "none") {
      continue;
    } else if (term.shape == Shape::walks || item.valueType.rfind("List<List<", 0) == 0) {
      for (std::size_t group = 0; group < value.size(); ++group) {
        if (item.valueType == "List<List<KyNode>>")
          for (const Json& member : value[group])
            fillNode(member, kFillColours[group % kColours]);
        else
          colourEdges(value[group], kLineColours[group % kColours], true, false);
      }
    } else if (item.valueType == "List<KyEdge>") {
      colourEdges(value, kLineColours[0], true, term.shape == Shape::cut);
    } else if (item.valueType == "List<KyNode>") {
      for (const Json& node : value)
        fillNode(node, "gold");
    }
  }
  const auto paths = answer.find("paths");
  if (paths != answer.end())
    for (std::size_t rank = 0; rank < paths->size(); ++rank)
      colourEdges((*paths)[rank], kLineColours[rank % kColours], rank == 0, false);

  out << "digraph " << dotString(analysis) << " {\n";
  out << "  node [shape=ellipse, style=filled, fillcolor=white];\n";
  if (undirected)
    out << "  edge [dir=none];\n";
  for (const KyNode* node : graph.nodes()) {
    const NodeLook& look = nodes[static_cast<std::size_t>(node->index())];
    out << "  " << dotString(names.node(node));
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
  for (const KyEdge* edge : graph.edges()) {
    out << "  " << dotString(names.node(edge->pSourceNode())) << " -> "
        << dotString(names.node(edge->pTargetNode()));
    const EdgeLook& look = edges[static_cast<std::size_t>(edge->index())];
    std::vector<std::string> attributes;
    if (!look.colour.empty())
      attributes.push_back("color=" + dotString(look.colour) + (look.bold ? ", penwidth=2.5" : ""));
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
    out << ";\n";
  }
  out << "}\n";
}

} // namespace KyAnswerDrawing
