// The tailor frames, driven through test tailors built from their helpers.
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyanalysis/KyBaseAnalysisOutputTailor.h>
#include <kyanalysis/KyEdge.h>
#include <kyanalysis/KyGeneralAnalysisInputTailor.h>
#include <kyanalysis/KyInt.h>
#include <kyanalysis/KyNode.h>
#include <kyanalysis/KyServiceData.h>

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace key = KyAnalysisKey;
namespace sp = KyAnalysisKey::shortestPaths;

namespace {
// Shaped like a shortest-paths input tailor, with the raw reads on top.
class ProbeInputTailor : public KyGeneralAnalysisInputTailor {
public:
  using KyGeneralAnalysisInputTailor::getValueAsDouble;
  using KyGeneralAnalysisInputTailor::getValueAsInteger;
  using KyGeneralAnalysisInputTailor::KyGeneralAnalysisInputTailor;

  void select(KyAnalysisOperationEnum code) { selectOperation(code); }
  int undirected() const { return graphOption(sp::graphUndirected); }
  int undirected(int value) { return graphOption(sp::graphUndirected, value); }
  int cost(KyEdge* edge) const { return memberOption(edge, sp::edgeCost); }
  int cost(KyEdge* edge, int value) { return memberOption(edge, sp::edgeCost, value); }
  int cost(KyNode* node) const { return memberOption(node, sp::nodeCost); }
  int cost(KyNode* node, int value) { return memberOption(node, sp::nodeCost, value); }
  double balance() const { return doubleGraphOption(key::clustering::graphBalance); }
  double balance(double value) { return doubleGraphOption(key::clustering::graphBalance, value); }
  KyNode* pStartNode() const { return objectGraphOption<KyNode>(sp::graphStartNode); }
  KyNode* pStartNode(KyNode* node) { return objectGraphOption(sp::graphStartNode, node); }
};

// One accessor of every result pattern.
class ProbeOutputTailor : public KyBaseAnalysisOutputTailor {
public:
  using KyBaseAnalysisOutputTailor::KyBaseAnalysisOutputTailor;

  int totalCost() const { return scalarResult(sp::noneTotalCost); }
  int flow(KyEdge* edge) const { return memberResult(edge, key::maximumFlow::edgeFlow); }
  KyNode* pParent(KyNode* node) const {
    return objectResult<KyNode>(node, key::depthFirstSearch::nodeParent);
  }
  void buildEdgeList(KyEdgeDList& list) const { buildList(nullptr, sp::noneEdgeList, list); }
  void buildComponentList(KyDList& lists) const {
    buildListOfLists<KyNodeDList>(key::connectedComponents::noneComponentList, lists);
  }
};

std::vector<const KyObject*> contents(const KyObject* list) {
  std::vector<const KyObject*> objects;
  for (KyDListIter it(dynamic_cast<const KyDList*>(list)); it; ++it)
    objects.push_back(it.pObject());
  return objects;
}

class TailorFrameTest : public ::testing::Test {
protected:
  KyGraph graph;
  KyNode* a = graph.addNode();
  KyNode* b = graph.addNode();
  KyNode* c = graph.addNode();
  KyEdge* ab = graph.addEdge(a, b);
  KyEdge* bc = graph.addEdge(b, c);
  KyServiceInputData input;
  KyServiceOutputData output;
};

TEST_F(TailorFrameTest, AttachesOneAnalysisServiceName) {
  ProbeInputTailor first(&input);
  KyServiceName* attached = input.pServiceName();
  EXPECT_NE(dynamic_cast<KyAnalysisServiceName*>(attached), nullptr);
  ProbeInputTailor second(&input);
  EXPECT_EQ(input.pServiceName(), attached);

  ProbeOutputTailor result(&output);
  attached = output.pServiceName();
  EXPECT_NE(dynamic_cast<KyAnalysisServiceName*>(attached), nullptr);
  ProbeOutputTailor again(&output);
  EXPECT_EQ(output.pServiceName(), attached);
}

// A foreign name hands out no descriptions: defaults read as 0.
TEST_F(TailorFrameTest, KeepsAForeignServiceNameAndReadsDefaultsAsZero) {
  KyServiceName* foreign = input.pServiceName(new KyServiceName);
  ProbeInputTailor tailor(&input);
  tailor.pGraph(&graph);
  EXPECT_EQ(input.pServiceName(), foreign);
  EXPECT_EQ(tailor.cost(ab), 0);
  EXPECT_EQ(tailor.balance(), 0.0);
  EXPECT_EQ(tailor.cost(ab, 4), 4);
  EXPECT_EQ(tailor.cost(ab), 4);

  foreign = output.pServiceName(new KyServiceName);
  ProbeOutputTailor result(&output);
  EXPECT_EQ(output.pServiceName(), foreign);
}

TEST_F(TailorFrameTest, GraphIsNullUntilSetThenSeenByLaterTailors) {
  ProbeInputTailor first(&input);
  EXPECT_EQ(first.pGraph(), nullptr);
  EXPECT_EQ(first.pGraph(&graph), &graph);
  EXPECT_EQ(first.pGraph(), &graph);
  EXPECT_EQ(ProbeInputTailor(&input).pGraph(), &graph);
}

TEST_F(TailorFrameTest, SettersStoreExactlyTheValueForTheirOwnerOnly) {
  ProbeInputTailor tailor(&input);
  tailor.pGraph(&graph);
  for (int value : {INT_MIN, -1, 0, 2, INT_MAX}) {
    EXPECT_EQ(tailor.undirected(value), value);
    EXPECT_EQ(tailor.undirected(), value);
    EXPECT_EQ(tailor.cost(ab, value), value);
    EXPECT_EQ(tailor.cost(ab), value);
    EXPECT_EQ(tailor.cost(a, value), value);
    EXPECT_EQ(tailor.cost(a), value);
  }
  for (double value : {-2.5, 0.0, 1e308})
    EXPECT_EQ(tailor.balance(value), value);
  EXPECT_EQ(tailor.balance(), 1e308);
  EXPECT_EQ(tailor.cost(bc), 1);
  EXPECT_EQ(tailor.cost(b), 0);
}

TEST_F(TailorFrameTest, OperationTypeIsNoneUntilSelectedThenTheStoredCode) {
  ProbeInputTailor tailor(&input);
  EXPECT_EQ(tailor.operationType(), OPERATION_NONE);
  tailor.select(OPERATION_BREADTH_FIRST_SEARCH);
  EXPECT_EQ(ProbeInputTailor(&input).operationType(), OPERATION_BREADTH_FIRST_SEARCH);
  // A request read from elsewhere may hold any code; it reads back unchanged.
  input.setValue(nullptr, key::all::noneOperation, new KyInt(1000), 1, 0);
  EXPECT_EQ(tailor.operationType(), 1000);
}

// Options without a default, undescribed keys and values of another type.
TEST_F(TailorFrameTest, NumericReadsOfNonNumericOptionsGiveZero) {
  ProbeInputTailor tailor(&input);
  tailor.pGraph(&graph);
  tailor.pStartNode(a);
  for (const wchar_t* name : {key::all::noneOperation, sp::graphStartNode,
                              key::maximumFlow::graphSinkNode, L"no:graph:such"}) {
    EXPECT_EQ(tailor.getValueAsInteger(&graph, name), 0) << name;
    EXPECT_EQ(tailor.getValueAsDouble(&graph, name), 0.0) << name;
  }
}

// The caller's list may hold anything: the builder must only drop cells.
TEST_F(TailorFrameTest, ListBuilderReplacesCellsAndReleasesNothing) {
  ProbeOutputTailor tailor(&output);
  KyInt held(9);
  held.vClaim();
  KyEdgeDList list;
  list.appendObject(&held);
  tailor.buildEdgeList(list);
  EXPECT_EQ(list.length(), 0);
  ASSERT_EQ(held.claims(), 2);

  KyEdgeDList stored;
  stored.appendEdge(ab);
  stored.appendEdge(bc);
  output.setValue(nullptr, sp::noneEdgeList, &stored, 0, 0);
  list.appendObject(&held);
  tailor.buildEdgeList(list);
  EXPECT_EQ(contents(&list), contents(&stored));
  EXPECT_EQ(held.claims(), 2);
  tailor.buildEdgeList(stored);
  EXPECT_EQ(contents(&stored), (std::vector<const KyObject*>{ab, bc}));
}

TEST_F(TailorFrameTest, ListOfListsBuilderHandsOutFreshListsTheCallerOwns) {
  ProbeOutputTailor tailor(&output);
  KyDList lists;
  lists.appendObject(new KyNodeDList);
  tailor.buildComponentList(lists);
  EXPECT_EQ(lists.length(), 0);

  KyNodeDList first;
  first.appendNode(a);
  first.appendNode(b);
  KyNodeDList second;
  second.appendNode(c);
  KyDList stored;
  stored.appendObject(&first);
  stored.appendObject(&second);
  output.setValue(nullptr, key::connectedComponents::noneComponentList, &stored, 0, 0);
  tailor.buildComponentList(lists);
  tailor.buildComponentList(lists);
  ASSERT_EQ(lists.length(), 2);
  EXPECT_NE(dynamic_cast<KyNodeDList*>(lists.pFirstCell()->pObject()), nullptr);
  EXPECT_NE(lists.pFirstCell()->pObject(), &first);
  EXPECT_EQ(contents(lists.pFirstCell()->pObject()), contents(&first));
  EXPECT_EQ(contents(lists.pLastCell()->pObject()), contents(&second));

  lists.deleteAllCellsAndObjects();
  tailor.buildComponentList(stored);
  EXPECT_EQ(contents(&stored), (std::vector<const KyObject*>{&first, &second}));
  EXPECT_EQ(contents(&first), (std::vector<const KyObject*>{a, b}));
}

TEST_F(TailorFrameTest, OutputTailorOnNullDataReadsNothing) {
  ProbeOutputTailor tailor(nullptr);
  EXPECT_EQ(tailor.pServiceOutputData(), nullptr);
  EXPECT_EQ(tailor.totalCost(), 0);
  EXPECT_EQ(tailor.flow(ab), 0);
  EXPECT_EQ(tailor.pParent(b), nullptr);
  KyEdgeDList list;
  list.appendEdge(ab);
  tailor.buildEdgeList(list);
  EXPECT_EQ(list.length(), 0);
  KyDList lists;
  lists.appendObject(new KyEdgeDList);
  tailor.buildComponentList(lists);
  EXPECT_EQ(lists.length(), 0);
}
} // namespace
