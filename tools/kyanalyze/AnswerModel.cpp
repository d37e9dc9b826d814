#include "AnswerModel.h"

#include "GraphNames.h"
#include "Utf8.h"

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisOperation.h>
#include <kyanalysis/KyAnalysisServiceName.h>
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

#include <functional>
#include <utility>

namespace kyanalyze {
namespace {

Json edgeJson(const KyEdge* edge) {
  return Json{{"source", memberName(edge->pSourceNode())},
              {"target", memberName(edge->pTargetNode())},
              {"index", edge->index()}};
}

/// True when `value` is, or refers to, a graph other than `graph`.
bool foreign(const KyObject* value, const KyGraph& graph) {
  if (dynamic_cast<const KyGraph*>(value) != nullptr)
    return true;
  const auto* member = dynamic_cast<const KyGraphMember*>(value);
  return member != nullptr && member->pOwnerGraph() != &graph;
}

/// A stored value as JSON: KyInt as a number (a Boolean as true or false),
/// nodes by name, edges as objects, lists as arrays.
Json valueJson(const KyObject* value, bool boolean) {
  if (value == nullptr)
    return nullptr;
  if (const auto* integer = dynamic_cast<const KyInt*>(value))
    return boolean ? Json(integer->value() != 0) : Json(integer->value());
  if (const auto* real = dynamic_cast<const KyDouble*>(value))
    return real->value();
  if (const auto* edge = dynamic_cast<const KyEdge*>(value))
    return edgeJson(edge);
  if (const auto* list = dynamic_cast<const KyDList*>(value)) {
    Json items = Json::array();
    for (KyDListIter it(list); it; ++it)
      items.push_back(valueJson(it.pObject(), boolean));
    return items;
  }
  return memberName(value);
}

/// Calls `visit` with every owner a result of `scope` may have, in graph
/// order, and the owner's JSON form under its member name.
void visitOwners(const std::string& scope, const KyGraph& graph, const KyServiceInputData& input,
                 const std::function<void(const KyObject*, Json)>& visit) {
  if (scope == "node") {
    for (KyNodeDListIter it(graph.pNodeList()); it; ++it)
      visit(it.pNode(), Json{{"node", memberName(it.pNode())}});
  } else if (scope == "edge") {
    for (KyEdgeDListIter it(graph.pEdgeList()); it; ++it)
      visit(it.pEdge(), Json{{"edge", edgeJson(it.pEdge())}});
  } else if (scope == "(KyNode,KyNode)") {
    for (KyNodeDListIter from(graph.pNodeList()); from; ++from)
      for (KyNodeDListIter to(graph.pNodeList()); to; ++to) {
        const KyPair pair(from.pNode(), to.pNode());
        visit(&pair, Json{{"from", memberName(from.pNode())}, {"to", memberName(to.pNode())}});
      }
  } else if (scope == "constraint") {
    input.visitValues([&](const KyObject*, const wchar_t*, KyObject* value) {
      if (const auto* manager = dynamic_cast<const KyConstraintManager*>(value))
        for (KyDListIter it(manager->pConstraintList()); it; ++it)
          visit(it.pObject(), Json{{"constraint", constraintName(it.pObject())}});
    });
  }
}

} // namespace

std::vector<ResultItem> resultsOf(int operation) {
  const std::wstring prefix = std::wstring(KyAnalysisOperation::word(operation)) + L":";
  KyAnalysisServiceName service;
  std::vector<ResultItem> items;
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

Json answerJson(int operation, const KyGraph& graph, const KyServiceInputData& input,
                KyServiceOutputData& output, int pathLimit) {
  Json results = Json::object();
  for (const ResultItem& item : resultsOf(operation)) {
    const bool boolean = item.valueType == "Boolean";
    if (item.scope == "none") {
      const KyObject* value = output.pValue(nullptr, item.key.c_str());
      if (!foreign(value, graph))
        results[item.name] = valueJson(value, boolean);
      continue;
    }
    Json entries = Json::array();
    visitOwners(item.scope, graph, input, [&](const KyObject* owner, Json entry) {
      const KyObject* value = output.pValue(owner, item.key.c_str());
      if (value == nullptr || foreign(value, graph))
        return;
      entry["value"] = valueJson(value, boolean);
      entries.push_back(std::move(entry));
    });
    results[item.name] = std::move(entries);
  }
  Json answer{{"analysis", toUtf8(KyAnalysisOperation::word(operation))},
              {"results", std::move(results)}};
  if (operation == OPERATION_SORTED_PATHS) {
    const auto* start = dynamic_cast<const KyNode*>(
        input.pValue(&graph, KyAnalysisKey::sortedPaths::graphStartNode));
    answer["paths"] = pathsJson(output, start, pathLimit);
  }
  return answer;
}

Json pathsJson(KyServiceOutputData& output, const KyNode* start, int limit) {
  // The list owns the paths buildPathList() appends; they go with it.
  struct Paths : KyDList {
    ~Paths() override { deleteAllCellsAndObjects(); }
  } paths;
  KySortedPathsOutputTailor(&output).buildPathList(paths, limit);
  Json result = Json::array();
  for (KyDListIter it(&paths); it; ++it) {
    const KyPath* path = KyPath::castDown(it.pObject());
    Json edges = path->pEdgeList() != nullptr ? valueJson(path->pEdgeList(), false) : Json::array();
    std::vector<std::string> nodes = chainedNodes(edges);
    if (nodes.empty())
      nodes.push_back(memberName(start));
    result.push_back(Json{{"nodes", nodes}, {"edges", std::move(edges)}, {"cost", path->length()}});
  }
  return result;
}

std::vector<std::string> chainedNodes(const Json& edges) {
  if (!edges.is_array() || edges.empty() || !edges.front().is_object())
    return {};
  auto ends = [](const Json& edge) {
    return std::make_pair(edge.at("source").get<std::string>(),
                          edge.at("target").get<std::string>());
  };
  // The walk starts at the end of the first edge that the second does not touch.
  const auto [source, target] = ends(edges.front());
  std::vector<std::string> nodes{source};
  if (edges.size() > 1 && edges[1].is_object()) {
    const auto [nextSource, nextTarget] = ends(edges[1]);
    if (source == nextSource || source == nextTarget)
      nodes.front() = target;
  }
  for (const Json& edge : edges) {
    if (!edge.is_object())
      return {};
    const auto [from, to] = ends(edge);
    if (nodes.back() == from)
      nodes.push_back(to);
    else if (nodes.back() == to)
      nodes.push_back(from);
    else
      return {};
  }
  return nodes;
}

} // namespace kyanalyze
