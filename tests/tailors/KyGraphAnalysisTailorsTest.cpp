// The search, cycle and tree test, component, flow, cut and spanning-tree
// tailors. Every operation selector, option accessor, list builder and
// result getter is one row of a table, driven through member-function
// pointers. The rows of a table share one data store, so an accessor that
// reads or writes another's key shows up in the rows after it.
#include <kyanalysis/kyanalysis.h>

#include <gtest/gtest.h>

#include <functional>
#include <type_traits>
#include <typeinfo>
#include <variant>
#include <vector>

namespace {

namespace k = KyAnalysisKey;
namespace bfs = KyAnalysisKey::breadthFirstSearch;
namespace dfs = KyAnalysisKey::depthFirstSearch;
namespace topo = KyAnalysisKey::topologicalSort;
namespace breaking = KyAnalysisKey::cycleBreakingEdgeDetection;
namespace scc = KyAnalysisKey::stronglyConnectedComponents;
namespace mst = KyAnalysisKey::minimumSpanningTree;
namespace maxFlow = KyAnalysisKey::maximumFlow;
namespace costFlow = KyAnalysisKey::minimumCostFlow;
namespace cut = KyAnalysisKey::minimumCut;

// An option or result value: an integer (Boolean, enumeration) or a node.
using Value = std::variant<int, KyNode*>;

template <class V> Value toValue(V value) {
  if constexpr (std::is_pointer_v<V>)
    return value;
  else
    return static_cast<int>(value);
}

enum class Owner { none, graph, node, edge };

// Owner [0] is the one a row writes to; owner [1] must keep reading as before.
struct Graph {
  KyGraph graph;
  KyNode* nodes[3] = {graph.addNode(), graph.addNode(), graph.addNode()};
  KyEdge* edges[3] = {graph.addEdge(nodes[0], nodes[1]), graph.addEdge(nodes[1], nodes[2]),
                      graph.addEdge(nodes[2], nodes[0])};

  KyObject* owner(Owner kind, int which) {
    if (kind == Owner::node)
      return nodes[which];
    if (kind == Owner::edge)
      return edges[which];
    return kind == Owner::graph ? &graph : nullptr;
  }
};

std::vector<KyObject*> contents(const KyDList& list) {
  std::vector<KyObject*> objects;
  for (KyDListIter it(&list); it; ++it)
    objects.push_back(it.pObject());
  return objects;
}

struct OptionRow {
  const wchar_t* key;
  Owner owner;
  Value byDefault, value;
  std::function<Value(KyServiceInputData*, KyObject*)> get;
  std::function<Value(KyServiceInputData*, KyObject*, const Value&)> set;
};

template <class T, class V>
OptionRow graphOption(const wchar_t* key, V (T::*get)() const, V (T::*set)(V), Value byDefault,
                      Value value) {
  return {key,
          Owner::graph,
          byDefault,
          value,
          [get](KyServiceInputData* data, KyObject*) { return toValue((T(data).*get)()); },
          [set](KyServiceInputData* data, KyObject*, const Value& v) {
            T tailor(data);
            if constexpr (std::is_pointer_v<V>)
              return toValue((tailor.*set)(std::get<KyNode*>(v)));
            else
              return toValue((tailor.*set)(static_cast<V>(std::get<int>(v))));
          }};
}

template <class M, class T>
OptionRow memberOption(const wchar_t* key, int (T::*get)(M*) const, int (T::*set)(M*, int),
                       int byDefault, int value) {
  return {key,
          std::is_same_v<M, KyNode> ? Owner::node : Owner::edge,
          byDefault,
          value,
          [get](KyServiceInputData* data, KyObject* owner) {
            return Value((T(data).*get)(static_cast<M*>(owner)));
          },
          [set](KyServiceInputData* data, KyObject* owner, const Value& v) {
            T tailor(data);
            return Value((tailor.*set)(static_cast<M*>(owner), std::get<int>(v)));
          }};
}

// What a row's option holds under (owner, key): the node itself, or the
// number of a KyInt (-999 for anything else).
Value storedOption(const KyServiceInputData& input, const OptionRow& row, KyObject* owner) {
  const KyObject* stored = input.pValue(owner, row.key);
  if (std::holds_alternative<KyNode*>(row.value))
    return KyNode::castDown(stored);
  const auto* number = dynamic_cast<const KyInt*>(stored);
  return number != nullptr ? number->value() : -999;
}

using Bfs = KyBreadthFirstSearchInputTailor;
using Dfs = KyDepthFirstSearchInputTailor;
using NewCycle = KyNewCycleTestInputTailor;
using CycleBreaking = KyCycleBreakingEdgeDetectionInputTailor;
using Tree = KyTreeTestInputTailor;
using Mst = KyMinimumSpanningTreeInputTailor;
using MaxFlow = KyMaximumFlowInputTailor;
using CostFlow = KyMinimumCostFlowInputTailor;
using Cut = KyMinimumCutInputTailor;

TEST(GraphAnalysisTailors, OptionsReadDefaultsThenTheValueSetUnderTheirOwnKeyAndOwner) {
  Graph g;
  KyNode* const none = nullptr;
  KyNode* const node = g.nodes[2];
  const int unbounded = 2147483647;
  const OptionRow rows[] = {
      graphOption(bfs::graphUndirected, &Bfs::undirected, &Bfs::undirected, 0, 1),
      memberOption<KyEdge>(bfs::edgeUndirected, &Bfs::undirected, &Bfs::undirected, 0, 1),
      graphOption(bfs::graphStartNode, &Bfs::pStartNode, &Bfs::pStartNode, none, node),
      graphOption(dfs::graphUndirected, &Dfs::undirected, &Dfs::undirected, 0, 1),
      memberOption<KyEdge>(dfs::edgeUndirected, &Dfs::undirected, &Dfs::undirected, 0, 1),
      graphOption(dfs::graphStartNode, &Dfs::pStartNode, &Dfs::pStartNode, none, node),
      graphOption(k::newCycleTest::graphSourceNode, &NewCycle::pSourceNode, &NewCycle::pSourceNode,
                  none, node),
      graphOption(k::newCycleTest::graphTargetNode, &NewCycle::pTargetNode, &NewCycle::pTargetNode,
                  none, node),
      graphOption(breaking::graphQuality, &CycleBreaking::quality, &CycleBreaking::quality,
                  CYCLEBREAKING_QUALITY_MEDIUM, CYCLEBREAKING_QUALITY_PROOF),
      graphOption(k::treeTest::graphDirected, &Tree::directed, &Tree::directed, 0, 1),
      memberOption<KyEdge>(mst::edgeCost, &Mst::cost, &Mst::cost, 1, 7),
      graphOption(maxFlow::graphSourceNode, &MaxFlow::pSourceNode, &MaxFlow::pSourceNode, none,
                  node),
      graphOption(maxFlow::graphSinkNode, &MaxFlow::pSinkNode, &MaxFlow::pSinkNode, none, node),
      // A capacity of 0 is a value like any other, not "unset".
      memberOption<KyNode>(maxFlow::nodeCapacity, &MaxFlow::capacity, &MaxFlow::capacity, unbounded,
                           0),
      memberOption<KyEdge>(maxFlow::edgeCapacity, &MaxFlow::capacity, &MaxFlow::capacity, 1, 5),
      graphOption(costFlow::graphDesiredFlow, &CostFlow::desiredFlow, &CostFlow::desiredFlow, 0,
                  12),
      graphOption(costFlow::graphSourceNode, &CostFlow::pSourceNode, &CostFlow::pSourceNode, none,
                  node),
      graphOption(costFlow::graphSinkNode, &CostFlow::pSinkNode, &CostFlow::pSinkNode, none, node),
      memberOption<KyNode>(costFlow::nodeCost, &CostFlow::cost, &CostFlow::cost, 0, 3),
      // Negative amounts are stored unchanged: nothing is validated.
      memberOption<KyEdge>(costFlow::edgeCost, &CostFlow::cost, &CostFlow::cost, 1, -4),
      memberOption<KyNode>(costFlow::nodeCapacity, &CostFlow::capacity, &CostFlow::capacity,
                           unbounded, 0),
      memberOption<KyEdge>(costFlow::edgeCapacity, &CostFlow::capacity, &CostFlow::capacity, 1, 6),
      graphOption(cut::graphSourceNode, &Cut::pSourceNode, &Cut::pSourceNode, none, node),
      graphOption(cut::graphSinkNode, &Cut::pSinkNode, &Cut::pSinkNode, none, node),
      memberOption<KyEdge>(cut::edgeCost, &Cut::cost, &Cut::cost, 1, 9),
  };
  KyGraph otherGraph;
  KyServiceInputData input;
  for (const OptionRow& row : rows) {
    SCOPED_TRACE(row.key);
    Bfs(&input).pGraph(&g.graph);
    KyObject* owner = g.owner(row.owner, 0);
    EXPECT_EQ(row.get(&input, owner), row.byDefault);
    EXPECT_EQ(row.set(&input, owner, row.value), row.value);
    EXPECT_EQ(row.get(&input, owner), row.value);
    EXPECT_EQ(storedOption(input, row, owner), row.value);
    // Another owner of the kind still reads the default; for graph options
    // that is another graph made the request's graph.
    if (row.owner == Owner::graph)
      Bfs(&input).pGraph(&otherGraph);
    EXPECT_EQ(row.get(&input, g.owner(row.owner, 1)), row.byDefault);
  }
}

struct OperationRow {
  std::function<void(KyServiceInputData*)> select;
  KyAnalysisOperationEnum code;
};

template <class T> OperationRow operation(void (T::*select)(), KyAnalysisOperationEnum code) {
  return {[select](KyServiceInputData* data) { (T(data).*select)(); }, code};
}

TEST(GraphAnalysisTailors, EachSelectorStoresItsCodeAndTheLastOneWins) {
  const OperationRow rows[] = {
      operation(&Bfs::setAsCurrentOperation, OPERATION_BREADTH_FIRST_SEARCH),
      operation(&Dfs::setAsCurrentOperation, OPERATION_DEPTH_FIRST_SEARCH),
      operation(&KyTopologicalSortInputTailor::setAsCurrentOperation, OPERATION_TOPOLOGICAL_SORT),
      operation(&KyConnectedComponentsInputTailor::setAsCurrentOperation,
                OPERATION_CONNECTED_COMPONENTS),
      operation(&KyBiconnectedComponentsInputTailor::setAsCurrentOperation,
                OPERATION_BICONNECTED_COMPONENTS),
      operation(&KyStronglyConnectedComponentsInputTailor::setAsCurrentOperation,
                OPERATION_STRONGLY_CONNECTED_COMPONENTS),
      operation(&KyAcyclicTestInputTailor::setAsCurrentOperation, OPERATION_ACYCLIC_TEST),
      operation(&NewCycle::setAsCurrentOperation, OPERATION_NEW_CYCLE_TEST),
      operation(&CycleBreaking::setAsCurrentOperation, OPERATION_CYCLE_BREAKING_EDGE_DETECTION),
      operation(&Tree::setAsCurrentOperation, OPERATION_TREE_TEST),
      operation(&Mst::setAsCurrentOperation, OPERATION_MINIMUM_SPANNING_TREE),
      operation(&MaxFlow::setAsCurrentOperation, OPERATION_MAXIMUM_FLOW),
      operation(&CostFlow::setAsCurrentOperation, OPERATION_MINIMUM_COST_FLOW),
      operation(&Cut::setAsCurrentOperation, OPERATION_MINIMUM_CUT),
      operation(&Bfs::setAsCurrentOperation, OPERATION_BREADTH_FIRST_SEARCH), // 0 replaces 19
  };
  KyServiceInputData input; // one request throughout
  for (const OperationRow& row : rows) {
    SCOPED_TRACE(row.code);
    row.select(&input);
    EXPECT_EQ(Bfs(&input).operationType(), row.code);
  }
}

struct ListRow {
  const wchar_t* key;
  Owner items;
  std::function<void(KyServiceOutputData*, KyDList&)> build;
};

template <class T, class L> ListRow listBuilder(const wchar_t* key, void (T::*build)(L&) const) {
  return {key, std::is_same_v<L, KyEdgeDList> ? Owner::edge : Owner::node,
          [build](KyServiceOutputData* data, KyDList& list) {
            (T(data).*build)(static_cast<L&>(list));
          }};
}

TEST(GraphAnalysisTailors, ListBuildersReplaceTheCallersListWithACopyOfTheStoredOne) {
  const ListRow rows[] = {
      listBuilder(bfs::noneNodeList, &KyBreadthFirstSearchOutputTailor::buildNodeOrderList),
      listBuilder(dfs::noneNodeList, &KyDepthFirstSearchOutputTailor::buildNodeOrderList),
      listBuilder(topo::noneNodeList, &KyTopologicalSortOutputTailor::buildNodeOrderList),
      listBuilder(breaking::noneEdgeList, &KyCycleBreakingEdgeDetectionOutputTailor::buildEdgeList),
      listBuilder(breaking::noneReflexiveEdgeList,
                  &KyCycleBreakingEdgeDetectionOutputTailor::buildReflexiveEdgeList),
      listBuilder(k::biconnectedComponents::noneArticulationNodeList,
                  &KyBiconnectedComponentsOutputTailor::buildArticulationNodeList),
      listBuilder(mst::noneTreeEdgeList, &KyMinimumSpanningTreeOutputTailor::buildTreeEdgeList),
      listBuilder(cut::noneEdgeList, &KyMinimumCutOutputTailor::buildEdgeList),
  };
  // One list of each kind goes through every builder of its kind, so each
  // call finds the last one's result in it.
  Graph g;
  KyNodeDList nodeList;
  KyEdgeDList edgeList;
  KyServiceOutputData output;
  for (const ListRow& row : rows) {
    SCOPED_TRACE(row.key);
    const bool edges = row.items == Owner::edge;
    KyDList& list = edges ? static_cast<KyDList&>(edgeList) : nodeList;
    KyObject* const first = g.owner(row.items, 0);
    KyObject* const third = g.owner(row.items, 2);
    list.appendObject(first);
    row.build(&output, list);
    EXPECT_TRUE(contents(list).empty()); // no result yet: emptied all the same

    KyDList* stored = edges ? static_cast<KyDList*>(new KyEdgeDList) : new KyNodeDList;
    stored->appendObject(third);
    stored->appendObject(first);
    output.setValue(nullptr, row.key, stored, 1, 0); // as a service answers
    list.appendObject(g.owner(row.items, 1));
    for (int call = 0; call < 2; ++call) {
      row.build(&output, list);
      EXPECT_EQ(contents(list), (std::vector<KyObject*>{third, first}));
    }
    EXPECT_EQ(contents(*stored), (std::vector<KyObject*>{third, first}));
  }
}

struct ResultRow {
  const wchar_t* key;
  Owner owner;
  Value value;
  std::function<Value(KyServiceOutputData*, KyObject*)> get;
};

template <class T, class V> ResultRow scalarResult(const wchar_t* key, V (T::*get)() const) {
  return {key, Owner::none, 1,
          [get](KyServiceOutputData* data, KyObject*) { return toValue((T(data).*get)()); }};
}

template <class M, class T, class V>
ResultRow memberResult(const wchar_t* key, V (T::*get)(M*) const, Value value) {
  return {key, std::is_same_v<M, KyNode> ? Owner::node : Owner::edge, value,
          [get](KyServiceOutputData* data, KyObject* owner) {
            return toValue((T(data).*get)(static_cast<M*>(owner)));
          }};
}

TEST(GraphAnalysisTailors, ResultGettersReadTheirOwnKeyAndOwner) {
  Graph g;
  using DfsAnswer = KyDepthFirstSearchOutputTailor;
  using MstAnswer = KyMinimumSpanningTreeOutputTailor;
  using CostFlowAnswer = KyMinimumCostFlowOutputTailor;
  const ResultRow rows[] = {
      memberResult<KyNode>(bfs::nodeOrderNumber, &KyBreadthFirstSearchOutputTailor::orderNumber, 4),
      memberResult<KyNode>(dfs::nodeOrderNumber, &DfsAnswer::orderNumber, 5),
      memberResult<KyNode>(dfs::nodeCompletionNumber, &DfsAnswer::completionNumber, 6),
      memberResult<KyNode>(dfs::nodeParent, &DfsAnswer::pParentNode, g.nodes[2]),
      memberResult<KyEdge>(dfs::edgeType, &DfsAnswer::edgeType, EDGE_TYPE_CROSS),
      memberResult<KyNode>(topo::nodeOrderNumber, &KyTopologicalSortOutputTailor::orderNumber, 7),
      scalarResult(topo::noneAcyclic, &KyTopologicalSortOutputTailor::acyclic),
      scalarResult(k::acyclicTest::noneAcyclic, &KyAcyclicTestOutputTailor::acyclic),
      scalarResult(k::newCycleTest::noneWillCreateCycle,
                   &KyNewCycleTestOutputTailor::willCreateCycle),
      memberResult<KyEdge>(breaking::edgeBackward,
                           &KyCycleBreakingEdgeDetectionOutputTailor::backwardEdge, 1),
      scalarResult(k::treeTest::noneTree, &KyTreeTestOutputTailor::isTree),
      scalarResult(k::treeTest::noneForest, &KyTreeTestOutputTailor::isForest),
      memberResult<KyNode>(k::connectedComponents::nodeComponentNumber,
                           &KyConnectedComponentsOutputTailor::componentNumber, 8),
      memberResult<KyNode>(scc::nodeComponentNumber,
                           &KyStronglyConnectedComponentsOutputTailor::componentNumber, 9),
      scalarResult(mst::noneTotalCost, &MstAnswer::totalCost),
      memberResult<KyEdge>(mst::edgeTreeEdge, &MstAnswer::treeEdge, 1),
      memberResult<KyEdge>(maxFlow::edgeFlow, &KyMaximumFlowOutputTailor::flow, 10),
      scalarResult(maxFlow::noneTotalFlow, &KyMaximumFlowOutputTailor::totalFlow),
      memberResult<KyEdge>(costFlow::edgeFlow, &CostFlowAnswer::flow, 11),
      scalarResult(costFlow::noneTotalFlow, &CostFlowAnswer::totalFlow),
      scalarResult(costFlow::noneTotalCost, &CostFlowAnswer::totalCost),
      scalarResult(cut::noneTotalCost, &KyMinimumCutOutputTailor::totalCost),
  };
  KyServiceOutputData output;
  for (const ResultRow& row : rows) {
    SCOPED_TRACE(row.key);
    const bool nodeValued = std::holds_alternative<KyNode*>(row.value);
    const Value absent = nodeValued ? Value(static_cast<KyNode*>(nullptr)) : Value(0);
    KyObject* owner = g.owner(row.owner, 0);
    EXPECT_EQ(row.get(&output, owner), absent);
    if (nodeValued)
      output.setValue(owner, row.key, std::get<KyNode*>(row.value), 0, 0);
    else
      output.setValue(owner, row.key, new KyInt(std::get<int>(row.value)), 1, 0);
    EXPECT_EQ(row.get(&output, owner), row.value);
    if (row.owner != Owner::none) {
      EXPECT_EQ(row.get(&output, g.owner(row.owner, 1)), absent);
    }
  }
}

TEST(GraphAnalysisTailors, QualityNumbersOutsideTheNamedLevelsTravelUnchanged) {
  KyServiceInputData input;
  KyCycleBreakingEdgeDetectionInputTailor tailor(&input);
  for (const int number : {0, 1, 2, -1, 7}) {
    const auto quality = static_cast<KyCycleBreakingQualityEnum>(number);
    EXPECT_EQ(tailor.quality(quality), quality);
    EXPECT_EQ(tailor.quality(), quality);
  }
}

using Lists = std::vector<std::vector<KyObject*>>;

// The objects of each list that `lists` holds.
Lists contentsOf(const KyDList& lists) {
  Lists result;
  for (KyDListIter outer(&lists); outer; ++outer) {
    result.emplace_back();
    for (KyDListIter inner(KyDList::castDown(outer.pObject())); inner; ++inner)
      result.back().push_back(inner.pObject());
  }
  return result;
}

// A list that owns what it holds, as a service's list of components does.
class OwningList : public KyDList {
public:
  ~OwningList() override { deleteAllCellsAndObjects(); }
};

template <class T>
ListRow listsBuilder(const wchar_t* key, void (T::*build)(KyDList&) const, Owner items) {
  return {key, items,
          [build](KyServiceOutputData* data, KyDList& lists) { (T(data).*build)(lists); }};
}

TEST(GraphAnalysisTailors, ComponentListsAreFreshCopiesOfTheirItemClassThatTheCallerOwns) {
  using Strongly = KyStronglyConnectedComponentsOutputTailor;
  const ListRow rows[] = {
      listsBuilder(k::connectedComponents::noneComponentList,
                   &KyConnectedComponentsOutputTailor::buildComponentList, Owner::node),
      listsBuilder(k::biconnectedComponents::noneComponentList,
                   &KyBiconnectedComponentsOutputTailor::buildComponentList, Owner::node),
      listsBuilder(scc::noneComponentList, &Strongly::buildComponentList, Owner::node),
      listsBuilder(scc::noneEdgeComponentList, &Strongly::buildEdgeComponentList, Owner::edge),
  };
  Graph g;
  for (const ListRow& row : rows) {
    SCOPED_TRACE(row.key);
    const bool edges = row.items == Owner::edge;
    KyServiceOutputData output;
    OwningList lists;
    lists.appendObject(new KyNodeDList); // the caller's own: the builder frees it
    row.build(&output, lists);
    EXPECT_EQ(lists.length(), 0); // no result yet

    // The service's answer: components {2 0}, {1} and an empty one.
    auto* components = new OwningList;
    for (const Lists::value_type& members :
         Lists{{g.owner(row.items, 2), g.owner(row.items, 0)}, {g.owner(row.items, 1)}, {}}) {
      KyDList* component = edges ? static_cast<KyDList*>(new KyEdgeDList) : new KyNodeDList;
      for (KyObject* object : members)
        component->appendObject(object);
      components->appendObject(component);
    }
    output.setValue(nullptr, row.key, components, 1, 0);
    const Lists stored = contentsOf(*components);

    // Three lists after each call, not six: a call frees the lists of the
    // one before, and dropping them leaves the stored components intact.
    for (int call = 0; call < 2; ++call) {
      row.build(&output, lists);
      EXPECT_EQ(contentsOf(lists), stored);
      for (KyDListIter it(&lists); it; ++it)
        EXPECT_EQ(typeid(*it.pObject()), edges ? typeid(KyEdgeDList) : typeid(KyNodeDList));
    }
    lists.deleteAllCellsAndObjects();
    EXPECT_EQ(contentsOf(*components), stored);
  }
}

} // namespace
