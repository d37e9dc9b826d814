#include "KyAnswerModel_p.h"

#include "KyVocabulary_p.h"

#include <kyformats/KyFormatText.h>
#include <kyformats/KyGraphNames.h>

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisOperation.h>
#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyanalysis/KyClusteringConstraint.h>
#include <kyanalysis/KyPair.h>
#include <kyanalysis/KyPath.h>
#include <kyanalysis/KySortedPathsOutputTailor.h>
#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyDouble.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstring>
#include <functional>
#include <unordered_set>
#include <utility>

namespace KyAnswerModel {

using KyFormatText::toUtf8;
using KyVocabulary::codeName;
using KyVocabulary::Shape;
using KyVocabulary::Term;
using KyVocabulary::termOf;

namespace {

/// True when `value` is, or refers to, a graph other than `graph`.
bool foreign(const KyObject* value, const KyGraph& graph) {
  if (dynamic_cast<const KyGraph*>(value) != nullptr)
    return true;
  const auto* member = dynamic_cast<const KyGraphMember*>(value);
  return member != nullptr && member->pOwnerGraph() != &graph;
}

/// A stored value as JSON: KyInt as a number (a Boolean as true or false),
/// nodes and edges as objects (twins as their originals), lists as arrays.
/// Walks are made by walkJson().
Json valueJson(const KyObject* value, bool boolean, const AnsweredGraph& graph) {
  if (value == nullptr)
    return nullptr;
  if (const auto* integer = dynamic_cast<const KyInt*>(value))
    return boolean ? Json(integer->value() != 0) : Json(integer->value());
  if (const auto* real = dynamic_cast<const KyDouble*>(value))
    return real->value();
  if (const auto* edge = dynamic_cast<const KyEdge*>(value))
    return edgeJson(graph.original(edge));
  if (const auto* node = dynamic_cast<const KyNode*>(value))
    return nodeJson(node);
  if (const auto* list = dynamic_cast<const KyDList*>(value)) {
    // An edge and its twin are one edge: a list of edges names it once.
    Json items = Json::array();
    std::unordered_set<int> edges;
    for (KyDListIter it(list); it; ++it) {
      Json item = valueJson(it.pObject(), boolean, graph);
      if (!item.is_object() || !item.contains("index") ||
          edges.insert(item.at("index").get<int>()).second)
        items.push_back(std::move(item));
    }
    return items;
  }
  return nullptr;
}

/// The walk an edge list makes from `start`: {"nodes", "edges"}. Each edge
/// leads on from where the one before ended, from its source or, walked
/// against its direction, from its target. When the edges do not chain so,
/// "nodes" is empty; an empty list gives an empty walk.
Json walkJson(const KyDList* list, const KyNode* start, const AnsweredGraph& graph) {
  Json walk{{"nodes", Json::array()}, {"edges", Json::array()}};
  const KyNode* at = start;
  std::vector<const KyNode*> nodes{start};
  for (KyDListIter it(list); it; ++it) {
    const auto* edge = dynamic_cast<const KyEdge*>(it.pObject());
    if (edge == nullptr)
      continue;
    edge = graph.original(edge);
    walk["edges"].push_back(edgeJson(edge));
    if (at == nullptr)
      continue;
    at = edge->pSourceNode() == at   ? edge->pTargetNode()
         : edge->pTargetNode() == at ? edge->pSourceNode()
                                     : nullptr;
    nodes.push_back(at);
  }
  if (at != nullptr && !walk["edges"].empty())
    for (const KyNode* node : nodes)
      walk["nodes"].push_back(nodeJson(node));
  return walk;
}

/// A clustering constraint as {"index": position, "type": word, "nodes": [...]}.
Json constraintJson(const KyObject* constraint, int position) {
  Json nodes = Json::array();
  const auto* clustering = dynamic_cast<const KyClusteringConstraint*>(constraint);
  if (clustering != nullptr)
    for (KyNodeDListIter it(clustering->pNodeList()); it; ++it)
      nodes.push_back(nodeJson(it.pNode()));
  return Json{
      {"index", position},
      {"type", clustering != nullptr ? KyGraphNames::constraintType(clustering->type()) : "?"},
      {"nodes", std::move(nodes)}};
}

/// Calls `visit` with every owner a result of `scope` may have, in graph
/// order, and the owner's JSON form under its member name.
void visitOwners(const std::string& scope, const AnsweredGraph& graph,
                 const KyServiceInputData& input,
                 const std::function<void(const KyObject*, Json)>& visit) {
  if (scope == "node") {
    for (const KyNode* node : graph.nodes())
      visit(node, Json{{"node", nodeJson(node)}});
  } else if (scope == "edge") {
    for (const KyEdge* edge : graph.edges())
      visit(edge, Json{{"edge", edgeJson(edge)}});
  } else if (scope == "(KyNode,KyNode)") {
    for (KyNode* from : graph.nodes())
      for (KyNode* to : graph.nodes()) {
        const KyPair pair(from, to);
        visit(&pair, Json{{"from", nodeJson(from)}, {"to", nodeJson(to)}});
      }
  } else if (scope == "constraint") {
    input.visitValues([&](const KyObject*, const wchar_t*, KyObject* value) {
      if (const auto* manager = dynamic_cast<const KyConstraintManager*>(value)) {
        int position = 0;
        for (KyDListIter it(manager->pConstraintList()); it; ++it)
          visit(it.pObject(), Json{{"constraint", constraintJson(it.pObject(), position++)}});
      }
    });
  }
}

/// The start node of the walks of a result, from the request's graph option.
const KyNode* walkStart(int operation, const Term& term, const KyGraph& graph,
                        const KyServiceInputData& input) {
  const std::wstring key = std::wstring(KyAnalysisOperation::word(operation)) + L":graph:" +
                           std::wstring(term.start, term.start + std::strlen(term.start));
  return dynamic_cast<const KyNode*>(input.pValue(&graph, key.c_str()));
}

} // namespace

AnsweredGraph::AnsweredGraph(const KyGraph& graph, int originalEdges) : graph_(graph) {
  // By position, the order of the graph's lists: walking the lists would
  // make a cell for every member.
  const int nodes = graph.numberOfNodes();
  const int edges = graph.numberOfEdges();
  nodes_.reserve(static_cast<std::size_t>(nodes));
  for (int v = 0; v < nodes; ++v)
    nodes_.push_back(graph.pNodeAt(v));
  edges_.reserve(static_cast<std::size_t>(std::min(edges, originalEdges)));
  twins_.reserve(static_cast<std::size_t>(std::max(0, edges - originalEdges)));
  for (int e = 0; e < edges; ++e)
    (e < originalEdges ? edges_ : twins_).push_back(graph.pEdgeAt(e));
}

const KyEdge* AnsweredGraph::twin(const KyEdge* edge) const {
  const auto index = static_cast<std::size_t>(edge->index());
  return index < twins_.size() && edge == edges_[index] ? twins_[index] : nullptr;
}

const KyEdge* AnsweredGraph::original(const KyEdge* edge) const {
  const auto index = static_cast<std::size_t>(edge->index());
  return index >= edges_.size() && edge->pOwnerGraph() == &graph_ ? edges_[index - edges_.size()]
                                                                  : edge;
}

Json nodeJson(const KyNode* node) {
  return Json{{"id", node->index()},
              {"name", node->pName() != nullptr ? Json(toUtf8(node->pName())) : Json(nullptr)}};
}

Json edgeJson(const KyEdge* edge) {
  return Json{{"index", edge->index()},
              {"source", nodeJson(edge->pSourceNode())},
              {"target", nodeJson(edge->pTargetNode())}};
}

std::vector<ResultItem> resultsOf(int operation) {
  std::vector<ResultItem> items;
  if (KyAnalysisOperation::word(operation) == nullptr)
    return items; // a request that names no analysis has no results
  const std::wstring prefix = std::wstring(KyAnalysisOperation::word(operation)) + L":";
  KyAnalysisServiceName service;
  for (KyDListIter it(service.pOutputDescription()->pDescriptionList()); it; ++it) {
    const auto* description = KyServiceItemDescription::castDown(it.pObject());
    const std::wstring key = description->pKey();
    if (key.rfind(prefix, 0) != 0)
      continue;
    const std::size_t colon = key.find(L':', prefix.size());
    items.push_back({key, toUtf8(key.substr(colon + 1).c_str()),
                     toUtf8(key.substr(prefix.size(), colon - prefix.size()).c_str()),
                     toUtf8(description->pValueType())});
  }
  return items;
}

int operationOf(const Json& answer) {
  const std::string word = answer.at("analysis").get<std::string>();
  for (int code = 0; code < KyAnalysisOperation::count(); ++code)
    if (toUtf8(KyAnalysisOperation::word(code)) == word)
      return code;
  return OPERATION_NONE;
}

Json answerJson(int operation, const AnsweredGraph& graph, const KyServiceInputData& input,
                KyServiceOutputData& output, int pathLimit) {
  Json results = Json::object();
  for (const ResultItem& item : resultsOf(operation)) {
    const Term& term = termOf(toUtf8(item.key.c_str()));
    if (term.shape == Shape::helper)
      continue;
    const bool boolean = item.valueType == "Boolean";
    if (item.scope == "none") {
      const KyObject* value = output.pValue(nullptr, item.key.c_str());
      const auto* list = dynamic_cast<const KyDList*>(value);
      if (list != nullptr && (term.shape == Shape::walk || term.shape == Shape::walks)) {
        const KyNode* start = walkStart(operation, term, graph.graph(), input);
        if (term.shape == Shape::walk) {
          results[item.name] = walkJson(list, start, graph);
        } else {
          Json walks = Json::array();
          for (KyDListIter it(list); it; ++it)
            walks.push_back(walkJson(dynamic_cast<const KyDList*>(it.pObject()), start, graph));
          results[item.name] = std::move(walks);
        }
        continue;
      }
      results[item.name] = valueJson(value, boolean, graph);
      continue;
    }
    Json entries = Json::array();
    visitOwners(item.scope, graph, input, [&](const KyObject* owner, Json entry) {
      const KyObject* value = output.pValue(owner, item.key.c_str());
      const auto* edge = dynamic_cast<const KyEdge*>(owner);
      const KyEdge* twin = edge != nullptr ? graph.twin(edge) : nullptr;
      const auto* against = twin != nullptr
                                ? dynamic_cast<const KyInt*>(output.pValue(twin, item.key.c_str()))
                                : nullptr;
      if ((value == nullptr && against == nullptr) || foreign(value, graph.graph()))
        return;
      if (against != nullptr) {
        const auto* along = dynamic_cast<const KyInt*>(value);
        entry["value"] = (along != nullptr ? along->value() : 0) - against->value();
      } else {
        entry["value"] = valueJson(value, boolean, graph);
      }
      if (term.shape == Shape::named && entry["value"].is_number_integer())
        entry["valueName"] = codeName(term, entry["value"].get<int>());
      entries.push_back(std::move(entry));
    });
    results[item.name] = std::move(entries);
  }
  Json answer{{"analysis", toUtf8(KyAnalysisOperation::word(operation))},
              {"results", std::move(results)}};
  if (operation == OPERATION_SORTED_PATHS) {
    const auto* start = dynamic_cast<const KyNode*>(
        input.pValue(&graph.graph(), KyAnalysisKey::sortedPaths::graphStartNode));
    answer["paths"] = pathsJson(output, start, graph, pathLimit);
  }
  return answer;
}

Json pathsJson(KyServiceOutputData& output, const KyNode* start, const AnsweredGraph& graph,
               int limit) {
  // The list owns the paths buildPathList() appends; they go with it.
  struct Paths : KyDList {
    ~Paths() override { deleteAllCellsAndObjects(); }
  } paths;
  KySortedPathsOutputTailor(&output).buildPathList(paths, limit);
  Json result = Json::array();
  for (KyDListIter it(&paths); it; ++it) {
    const KyPath* path = KyPath::castDown(it.pObject());
    const KyEdgeDList empty;
    Json walk = walkJson(path->pEdgeList() != nullptr ? path->pEdgeList() : &empty, start, graph);
    if (walk["edges"].empty() && start != nullptr)
      walk["nodes"].push_back(nodeJson(start));
    walk["cost"] = path->length();
    result.push_back(std::move(walk));
  }
  return result;
}

void unscale(Json& answer, int scale, int costScale, int capacityScale) {
  if (scale == 1)
    return;
  const auto divided = [](Json& number, double by) {
    if (by != 1 && number.is_number_integer() && number.get<long long>() != INT_MAX)
      number = static_cast<double>(number.get<long long>()) / by;
  };
  Json& results = answer.at("results");
  for (const ResultItem& item : resultsOf(operationOf(answer))) {
    double by = 1;
    switch (KyVocabulary::unitOf(toUtf8(item.key.c_str()))) {
    case KyVocabulary::Unit::cost:
      by = costScale;
      break;
    case KyVocabulary::Unit::capacity:
      by = capacityScale;
      break;
    case KyVocabulary::Unit::costTimesCapacity:
      by = static_cast<double>(costScale) * capacityScale;
      break;
    case KyVocabulary::Unit::none:
      continue;
    }
    const auto found = results.find(item.name);
    if (found == results.end())
      continue;
    if (found->is_array())
      for (Json& entry : *found)
        divided(entry.at("value"), by);
    else
      divided(*found, by);
  }
  if (const auto paths = answer.find("paths"); paths != answer.end())
    for (Json& path : *paths)
      divided(path.at("cost"), costScale);
  Json scaled{{"analysis", answer.at("analysis")}, {"scale", scale}};
  for (auto& member : answer.items())
    if (member.key() != "analysis")
      scaled[member.key()] = std::move(member.value());
  answer = std::move(scaled);
}

std::string numberText(const Json& number) {
  if (!number.is_number_float())
    return number.dump();
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, number.get<double>()).ptr;
  return std::string(text, end);
}

} // namespace KyAnswerModel
