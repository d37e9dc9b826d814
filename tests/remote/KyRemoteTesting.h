// Requests for every analysis, and answers and requests written out as
// sorted text lines naming the caller's objects, so that a remote answer
// can be compared with the local engine's on the same objects.
#pragma once

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisOperation.h>
#include <kyanalysis/KyAnalysisOptionDescriptionManager.h>
#include <kyanalysis/KyAnalysisSerializer.h>
#include <kyanalysis/KyClusteringConstraint.h>
#include <kyanalysis/KyClusteringInputTailor.h>
#include <kyanalysis/KyPair.h>
#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyDList.h>
#include <kyplatform/KyDouble.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyGraphMember.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>
#include <kyplatform/KyObjectTable.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyText.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace kytest {

/// A graph of `nodes` nodes: a chain 0 -> 1 -> ... -> last, so that the
/// first node reaches the last, and `extra` random edges; and a request of
/// the analysis `operation` on it, every node option, edge number and node
/// list set as its name suggests (start and source on the first node,
/// finish, sink and target on the last), with two clustering constraints.
struct RemoteCase {
  RemoteCase(int operation, int nodes, int extra, unsigned seed) : operation(operation) {
    std::mt19937 random(seed);
    for (int i = 0; i < nodes; ++i)
      node.push_back(graph.addNode());
    for (int i = 0; i + 1 < nodes; ++i)
      edge.push_back(graph.addEdge(node[i], node[i + 1]));
    for (int e = 0; e < extra; ++e)
      edge.push_back(graph.addEdge(node[random() % nodes], node[random() % nodes]));
    input.storeReference(nullptr, KyAnalysisKey::all::noneGraph, &graph);
    input.storeOwned(nullptr, KyAnalysisKey::all::noneOperation, new KyInt(operation));
    setOptions(random);
  }

  KyGraph graph;
  std::vector<KyNode*> node;
  std::vector<KyEdge*> edge;
  KyServiceInputData input;
  int operation;

private:
  void setOptions(std::mt19937& random) {
    const std::wstring word = KyAnalysisOperation::word(operation);
    KyAnalysisOptionDescriptionManager descriptions;
    for (KyDListIter it(descriptions.pDescriptionList()); it; ++it) {
      const auto* option = KyServiceItemDescription::castDown(it.pObject());
      const std::wstring key = option->pKey();
      if (key.compare(0, word.size() + 1, word + L":") != 0)
        continue;
      const std::wstring owner = option->pOwnerType();
      const std::wstring type = option->pValueType();
      const std::wstring name = key.substr(key.rfind(L':') + 1);
      if (type == L"KyNode") {
        const bool first = name == L"startNode" || name == L"sourceNode";
        input.storeReference(&graph, option->pKey(), first ? node.front() : node.back());
      } else if (type == L"Integer" && owner == L"KyEdge") {
        for (KyEdge* e : edge)
          input.storeOwned(e, option->pKey(), new KyInt(1 + static_cast<int>(random() % 9)));
      } else if (type == L"Integer" && owner == L"KyNode" && name != L"capacity") {
        for (KyNode* n : node)
          input.storeOwned(n, option->pKey(), new KyInt(static_cast<int>(random() % 3)));
      } else if (name == L"desiredFlow") {
        input.storeOwned(&graph, option->pKey(), new KyInt(2));
      } else if (type == L"List<KyNode>") {
        auto* effects = new KyNodeDList;
        effects->appendNode(node.back());
        effects->appendNode(node[node.size() / 2]);
        input.storeOwned(&graph, option->pKey(), effects);
      } else if (type == L"KyConstraintManager") {
        KyClusteringInputTailor tailor(&input);
        KyNodeDList together, apart;
        together.appendNode(node[0]);
        together.appendNode(node[1]);
        apart.appendNode(node[0]);
        apart.appendNode(node.back());
        tailor.addSameClusterConstraint(&together);
        tailor.addDifferentClusterConstraint(&apart);
      }
    }
  }
};

/// All pairs on 4,000 nodes: the engine stores 3.2 x 10^7 values, for
/// seconds even on a fast machine, so that a stop asked a second or two in
/// always finds the engine running (a run that ended first would have its
/// whole answer written, which no stop cuts short). A service takes it
/// when it allows kLongRunValues answer values (two for each pair, one for
/// each member) and 64 bytes of budget for each.
constexpr std::size_t kLongRunValues = 2 * 4000 * 4000 + 4000 + 19999;
inline RemoteCase longRun(unsigned seed) {
  return RemoteCase(OPERATION_ALL_PAIRS_SHORTEST_PATHS, 4000, 16000, seed);
}

/// The serializer's string for `c`'s request.
inline std::string requestString(RemoteCase& c) {
  KyObjectTable table;
  unsigned char* bytes = nullptr;
  unsigned long length = 0;
  EXPECT_EQ(KyAnalysisSerializer().pInputDataToString(&c.input, &table, bytes, &length), 1);
  const std::unique_ptr<unsigned char[]> held(bytes);
  return std::string(reinterpret_cast<const char*>(bytes), length);
}

/// Writes objects as text naming the request's own objects: "n3", "e7" and
/// "graph" for the request graph and its members, "pn3", "pe7" and
/// "pathGraph" for another graph (a path graph) and its members,
/// "(n1,n4)" for a pair, "c1" for the request's constraint at that
/// position, numbers in decimal, lists in brackets. Anything else is "?".
class Renderer {
public:
  Renderer(const KyGraph& graph, const KyServiceInputData& input) : graph_(graph) {
    input.visitValues([this](const KyObject*, const wchar_t*, KyObject* value) {
      if (const auto* manager = dynamic_cast<const KyConstraintManager*>(value))
        for (KyDListIter it(manager->pConstraintList()); it; ++it)
          constraints_.push_back(it.pObject());
    });
  }

  std::string text(const KyObject* object) const {
    if (object == nullptr)
      return "null";
    if (const auto* integer = dynamic_cast<const KyInt*>(object))
      return std::to_string(integer->value());
    if (const auto* real = dynamic_cast<const KyDouble*>(object))
      return std::to_string(real->value());
    if (const auto* text = dynamic_cast<const KyText*>(object))
      return std::string(text->pValue(), text->pValue() + std::wcslen(text->pValue()));
    if (const auto* graph = dynamic_cast<const KyGraph*>(object))
      return graph == &graph_ ? "graph" : "pathGraph";
    if (const auto* member = dynamic_cast<const KyGraphMember*>(object)) {
      const std::string prefix = member->pOwnerGraph() == &graph_ ? "" : "p";
      const char* kind = dynamic_cast<const KyNode*>(object) != nullptr ? "n" : "e";
      return prefix + kind + std::to_string(member->index());
    }
    if (const auto* pair = dynamic_cast<const KyPair*>(object))
      return "(" + text(pair->pFirstObject()) + "," + text(pair->pSecondObject()) + ")";
    if (const auto* list = dynamic_cast<const KyDList*>(object)) {
      std::string items = "[";
      for (KyDListIter it(list); it; ++it)
        items += text(it.pObject()) + " ";
      return items + "]";
    }
    const auto at = std::find(constraints_.begin(), constraints_.end(), object);
    return at != constraints_.end() ? "c" + std::to_string(at - constraints_.begin()) : "?";
  }

  /// One line "key owner = value" per stored value, sorted; a constraint
  /// manager is written as its number of constraints.
  std::vector<std::string> lines(const KyServiceData& data) const {
    std::vector<std::string> all;
    data.visitValues([&](const KyObject* owner, const wchar_t* key, KyObject* value) {
      const auto* manager = dynamic_cast<const KyConstraintManager*>(value);
      all.push_back(std::string(key, key + std::wcslen(key)) + " " + text(owner) + " = " +
                    (manager != nullptr
                         ? "manager of " + std::to_string(manager->pConstraintList()->length())
                         : text(value)));
    });
    std::sort(all.begin(), all.end());
    return all;
  }

private:
  const KyGraph& graph_;
  std::vector<const KyObject*> constraints_;
};

/// What a caller can see of its request: its values as text and its
/// service name.
struct RequestSnapshot {
  RequestSnapshot(const RemoteCase& c)
      : lines(Renderer(c.graph, c.input).lines(c.input)), name(c.input.pServiceName()) {}
  bool operator==(const RequestSnapshot& other) const {
    return lines == other.lines && name == other.name;
  }
  std::vector<std::string> lines;
  const void* name;
};

} // namespace kytest
