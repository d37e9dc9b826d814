// Option and result tables of the path-query, reachable-nodes and root-cause
// tailors, checked through member-function pointers.
#include <kyanalysis/KyAllPairsShortestPathsInputTailor.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyDisjointPathsInputTailor.h>
#include <kyanalysis/KyDisjointPathsOutputTailor.h>
#include <kyanalysis/KyDouble.h>
#include <kyanalysis/KyEdge.h>
#include <kyanalysis/KyGraph.h>
#include <kyanalysis/KyInt.h>
#include <kyanalysis/KyNode.h>
#include <kyanalysis/KyPathExistsTestInputTailor.h>
#include <kyanalysis/KyPathExistsTestOutputTailor.h>
#include <kyanalysis/KyReachableNodesInputTailor.h>
#include <kyanalysis/KyReachableNodesOutputTailor.h>
#include <kyanalysis/KyRootCauseInputTailor.h>
#include <kyanalysis/KyRootCauseOutputTailor.h>
#include <kyanalysis/KyServiceData.h>
#include <kyanalysis/KyShortestPathsInputTailor.h>
#include <kyanalysis/KyShortestPathsOutputTailor.h>
#include <kyanalysis/KyUniquePathTestInputTailor.h>
#include <kyanalysis/KyUniquePathTestOutputTailor.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <functional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

namespace k = KyAnalysisKey;

// "shortestPaths:edge:cost" gives the test name "shortestPaths_edge_cost".
std::string nameOf(const wchar_t* key) {
  std::string name;
  for (; *key != L'\0'; ++key)
    name += std::iswalnum(static_cast<wint_t>(*key)) ? static_cast<char>(*key) : '_';
  return name;
}

// Two nodes joined both ways, a node list of the caller, and an input data
// holding the graph. The input data goes first, so that a list it wrongly
// took over would be freed twice.
struct Request {
  KyGraph graph;
  KyNode *node = graph.addNode(), *otherNode = graph.addNode();
  KyEdge *edge = graph.addEdge(node, otherNode), *otherEdge = graph.addEdge(otherNode, node);
  KyNodeDList nodeList;
  KyServiceInputData input;
};

std::pair<KyNode*, KyNode*> owners(Request& r, KyNode*) { return {r.node, r.otherNode}; }
std::pair<KyEdge*, KyEdge*> owners(Request& r, KyEdge*) { return {r.edge, r.otherEdge}; }
KyNode* objectFor(Request& r, KyNode*) { return r.node; }
KyNodeDList* objectFor(Request& r, KyNodeDList*) { return &r.nodeList; }
int valueOf(const KyObject* value, int) {
  const auto* stored = dynamic_cast<const KyInt*>(value);
  return stored != nullptr ? stored->value() : -12345;
}
double valueOf(const KyObject* value, double) {
  const auto* stored = dynamic_cast<const KyDouble*>(value);
  return stored != nullptr ? stored->value() : -12345.0;
}

struct OptionCase {
  std::string name;
  std::function<void(Request&)> check;
};

template <class Tailor> OptionCase operation(KyAnalysisOperationEnum code) {
  return {"operation" + std::to_string(code), [=](Request& r) {
            Tailor tailor(&r.input);
            tailor.setAsCurrentOperation();
            EXPECT_EQ(tailor.operationType(), code);
          }};
}

// Integer, Boolean and double options of the graph. The value set is outside
// 0..1 on purpose: setters check nothing.
template <class Tailor, class V>
OptionCase graphOption(const wchar_t* key, V (Tailor::*get)() const, V (Tailor::*set)(V),
                       V byDefault) {
  return {nameOf(key), [=](Request& r) {
            Tailor tailor(&r.input);
            tailor.pGraph(&r.graph);
            const V value = byDefault - 5;
            EXPECT_EQ((tailor.*get)(), byDefault);
            EXPECT_EQ((tailor.*set)(value), value);
            EXPECT_EQ((tailor.*get)(), value);
            EXPECT_EQ(valueOf(r.input.pValue(&r.graph, key), value), value);
          }};
}

template <class Tailor, class Member>
OptionCase memberOption(const wchar_t* key, int (Tailor::*get)(Member*) const,
                        int (Tailor::*set)(Member*, int), int byDefault) {
  return {nameOf(key), [=](Request& r) {
            Tailor tailor(&r.input);
            const auto [owner, other] = owners(r, static_cast<Member*>(nullptr));
            const int value = byDefault - 5;
            EXPECT_EQ((tailor.*get)(owner), byDefault);
            EXPECT_EQ((tailor.*set)(owner, value), value);
            EXPECT_EQ((tailor.*get)(owner), value);
            EXPECT_EQ((tailor.*get)(other), byDefault);
            EXPECT_EQ(valueOf(r.input.pValue(owner, key), value), value);
          }};
}

// Nodes and node lists: no default, stored as the caller's object itself.
template <class Tailor, class T>
OptionCase objectOption(const wchar_t* key, T* (Tailor::*get)() const, T* (Tailor::*set)(T*)) {
  return {nameOf(key), [=](Request& r) {
            Tailor tailor(&r.input);
            tailor.pGraph(&r.graph);
            T* object = objectFor(r, static_cast<T*>(nullptr));
            EXPECT_EQ((tailor.*get)(), nullptr);
            EXPECT_EQ((tailor.*set)(object), object);
            EXPECT_EQ((tailor.*get)(), object);
            EXPECT_EQ(r.input.pValue(&r.graph, key), object);
          }};
}

using PE = KyPathExistsTestInputTailor;
using UP = KyUniquePathTestInputTailor;
using DP = KyDisjointPathsInputTailor;
using SP = KyShortestPathsInputTailor;
using AP = KyAllPairsShortestPathsInputTailor;
using RN = KyReachableNodesInputTailor;
using RC = KyRootCauseInputTailor;
namespace pe = k::pathExistsTest;
namespace up = k::uniquePathTest;
namespace dp = k::disjointPaths;
namespace sp = k::shortestPaths;
namespace ap = k::allPairsShortestPaths;
namespace rn = k::reachableNodes;
namespace rc = k::rootCause;

const OptionCase kOptionCases[] = {
    operation<PE>(OPERATION_PATH_EXISTS_TEST),
    operation<UP>(OPERATION_UNIQUE_PATH_TEST),
    operation<DP>(OPERATION_DISJOINT_PATHS),
    operation<SP>(OPERATION_SHORTEST_PATHS),
    operation<AP>(OPERATION_ALL_PAIRS_SHORTEST_PATHS),
    operation<RN>(OPERATION_REACHABLE_NODES),
    operation<RC>(OPERATION_ROOT_CAUSE),
    graphOption<PE>(pe::graphUndirected, &PE::undirected, &PE::undirected, 0),
    memberOption<PE, KyEdge>(pe::edgeUndirected, &PE::undirected, &PE::undirected, 0),
    objectOption<PE>(pe::graphStartNode, &PE::pStartNode, &PE::pStartNode),
    objectOption<PE>(pe::graphFinishNode, &PE::pFinishNode, &PE::pFinishNode),
    graphOption<UP>(up::graphUndirected, &UP::undirected, &UP::undirected, 0),
    memberOption<UP, KyEdge>(up::edgeUndirected, &UP::undirected, &UP::undirected, 0),
    objectOption<UP>(up::graphStartNode, &UP::pStartNode, &UP::pStartNode),
    objectOption<UP>(up::graphFinishNode, &UP::pFinishNode, &UP::pFinishNode),
    graphOption<DP>(dp::graphNodeDisjointPaths, &DP::nodeDisjointPaths, &DP::nodeDisjointPaths, 0),
    objectOption<DP>(dp::graphStartNode, &DP::pStartNode, &DP::pStartNode),
    objectOption<DP>(dp::graphFinishNode, &DP::pFinishNode, &DP::pFinishNode),
    graphOption<SP>(sp::graphUndirected, &SP::undirected, &SP::undirected, 0),
    memberOption<SP, KyEdge>(sp::edgeUndirected, &SP::undirected, &SP::undirected, 0),
    memberOption<SP, KyNode>(sp::nodeCost, &SP::cost, &SP::cost, 0),
    memberOption<SP, KyEdge>(sp::edgeCost, &SP::cost, &SP::cost, 1),
    objectOption<SP>(sp::graphStartNode, &SP::pStartNode, &SP::pStartNode),
    objectOption<SP>(sp::graphFinishNode, &SP::pFinishNode, &SP::pFinishNode),
    graphOption<AP>(ap::graphUndirected, &AP::undirected, &AP::undirected, 0),
    memberOption<AP, KyEdge>(ap::edgeUndirected, &AP::undirected, &AP::undirected, 0),
    memberOption<AP, KyNode>(ap::nodeCost, &AP::cost, &AP::cost, 0),
    memberOption<AP, KyEdge>(ap::edgeCost, &AP::cost, &AP::cost, 1),
    graphOption<RN>(rn::graphUndirected, &RN::undirected, &RN::undirected, 0),
    memberOption<RN, KyEdge>(rn::edgeUndirected, &RN::undirected, &RN::undirected, 0),
    memberOption<RN, KyNode>(rn::nodeCost, &RN::cost, &RN::cost, 0),
    memberOption<RN, KyEdge>(rn::edgeCost, &RN::cost, &RN::cost, 1),
    objectOption<RN>(rn::graphStartNode, &RN::pStartNode, &RN::pStartNode),
    graphOption<RN>(rn::graphRange, &RN::range, &RN::range, -1),
    graphOption<RN>(rn::graphLevel, &RN::level, &RN::level, 0),
    graphOption<RC>(rc::graphUndirected, &RC::undirected, &RC::undirected, 0),
    memberOption<RC, KyEdge>(rc::edgeUndirected, &RC::undirected, &RC::undirected, 0),
    memberOption<RC, KyNode>(rc::nodeCost, &RC::cost, &RC::cost, 0),
    memberOption<RC, KyEdge>(rc::edgeCost, &RC::cost, &RC::cost, 1),
    objectOption<RC>(rc::graphEffectNodeList, &RC::pEffectNodeList, &RC::pEffectNodeList),
    graphOption<RC>(rc::graphRange, &RC::range, &RC::range, -1),
    graphOption<RC>(rc::graphThreshold, &RC::threshold, &RC::threshold, 1.0),
    memberOption<RC, KyNode>(rc::nodeWeight, &RC::weight, &RC::weight, 1),
};

class PathQueryOptionTable : public ::testing::TestWithParam<OptionCase> {};

TEST_P(PathQueryOptionTable, DefaultSetterGetterOwnerAndKey) {
  Request request;
  GetParam().check(request);
}

INSTANTIATE_TEST_SUITE_P(All, PathQueryOptionTable, ::testing::ValuesIn(kOptionCases),
                         [](const auto& info) { return info.param.name; });

std::vector<KyObject*> contents(const KyDList& list) {
  std::vector<KyObject*> objects;
  for (KyDListIter it(&list); it; ++it)
    objects.push_back(it.pObject());
  return objects;
}

struct BuilderCase {
  std::string name;
  const wchar_t* key;
  bool ofEdges, onNode; // a list of edges, else of nodes; stored on a node, else on no owner
  // Runs the builder for `node` on a caller's list that held `stray`.
  std::function<std::vector<KyObject*>(KyServiceOutputData*, KyNode* node, KyObject* stray)> build;
};

template <class Tailor, class List>
BuilderCase builder(const wchar_t* key, void (Tailor::*build)(List&) const) {
  return {nameOf(key), key, std::is_same_v<List, KyEdgeDList>, false,
          [=](KyServiceOutputData* output, KyNode*, KyObject* stray) {
            List list;
            list.appendObject(stray);
            (Tailor(output).*build)(list);
            return contents(list);
          }};
}

template <class Tailor>
BuilderCase builder(const wchar_t* key, void (Tailor::*build)(KyNode*, KyNodeDList&) const) {
  return {nameOf(key), key, false, true,
          [=](KyServiceOutputData* output, KyNode* node, KyObject* stray) {
            KyNodeDList list;
            list.appendObject(stray);
            (Tailor(output).*build)(node, list);
            return contents(list);
          }};
}

const BuilderCase kBuilderCases[] = {
    builder(pe::noneEdgeList, &KyPathExistsTestOutputTailor::buildEdgeList),
    builder(up::noneEdgeList, &KyUniquePathTestOutputTailor::buildEdgeList),
    builder(sp::noneEdgeList, &KyShortestPathsOutputTailor::buildEdgeList),
    builder(rn::noneNodeList, &KyReachableNodesOutputTailor::buildReachableNodeList),
    builder(rc::noneCauseNodeList, &KyRootCauseOutputTailor::buildCauseNodeList),
    builder(rc::nodeReachedNodeList, &KyRootCauseOutputTailor::buildReachedNodeList),
};

// Results are filled as a service fills them: lists handed over to the
// output data.
struct Answer {
  KyGraph graph;
  KyNode *a = graph.addNode(), *b = graph.addNode();
  KyEdge *ab = graph.addEdge(a, b), *ba = graph.addEdge(b, a);
  KyServiceOutputData output;
};

class PathQueryBuilderTable : public ::testing::TestWithParam<BuilderCase>, protected Answer {};
class DisjointPathsBuilder : public ::testing::Test, protected Answer {};

TEST_P(PathQueryBuilderTable, CopiesTheStoredListInOrderReplacingTheCallersList) {
  const BuilderCase& c = GetParam();
  const auto stored = c.ofEdges ? std::vector<KyObject*>{ba, ab} : std::vector<KyObject*>{b, a};
  KyDList* list = c.ofEdges ? static_cast<KyDList*>(new KyEdgeDList) : new KyNodeDList;
  for (KyObject* item : stored)
    list->appendObject(item);
  output.setValue(c.onNode ? a : nullptr, c.key, list, 1, 0);

  EXPECT_EQ(c.build(&output, a, stored[0]), stored);
  EXPECT_EQ(c.build(&output, a, stored[0]), stored); // the stored list is left as it was
  EXPECT_EQ(c.build(&output, b, stored[0]), c.onNode ? std::vector<KyObject*>{} : stored);
}

TEST_P(PathQueryBuilderTable, AbsentResultLeavesTheListEmpty) {
  EXPECT_TRUE(GetParam().build(&output, a, a).empty());
}

INSTANTIATE_TEST_SUITE_P(All, PathQueryBuilderTable, ::testing::ValuesIn(kBuilderCases),
                         [](const auto& info) { return info.param.name; });

TEST_F(DisjointPathsBuilder, BuildsOneNewEdgeListPerPathAndDeletesTheFormerOnes) {
  KyEdgeDList first, second; // the service's own path lists
  first.appendEdge(ab);
  first.appendEdge(ba);
  second.appendEdge(ba);
  auto* stored = new KyDList;
  stored->appendObject(&first);
  stored->appendObject(&second);
  output.setValue(nullptr, dp::nonePathList, stored, 1, 0);
  const KyDisjointPathsOutputTailor tailor(&output);

  KyDList paths;
  tailor.buildPathList(paths);
  tailor.buildPathList(paths); // deletes the lists of the first call
  std::vector<std::vector<KyObject*>> built;
  for (KyDListIter it(&paths); it; ++it) {
    const auto* path = dynamic_cast<const KyEdgeDList*>(it.pObject());
    ASSERT_NE(path, nullptr);
    EXPECT_TRUE(path != &first && path != &second);
    built.push_back(contents(*path));
  }
  EXPECT_EQ(built, (std::vector<std::vector<KyObject*>>{contents(first), contents(second)}));
  KyServiceOutputData empty;
  KyDisjointPathsOutputTailor(&empty).buildPathList(paths);
  EXPECT_EQ(paths.length(), 0);
}

} // namespace
