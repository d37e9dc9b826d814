// What every tailor inherits from the frames: the service name it attaches,
// defaults, raw reads, the operation code, list builders and null data.
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyanalysis/KyBreadthFirstSearchInputTailor.h>
#include <kyanalysis/KyClusteringInputTailor.h>
#include <kyanalysis/KyConnectedComponentsOutputTailor.h>
#include <kyanalysis/KyDepthFirstSearchOutputTailor.h>
#include <kyanalysis/KyMaximumFlowOutputTailor.h>
#include <kyanalysis/KyRootCauseInputTailor.h>
#include <kyanalysis/KyShortestPathsInputTailor.h>
#include <kyanalysis/KyShortestPathsOutputTailor.h>
#include <kyplatform/KyDouble.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyServiceData.h>

#include "platform/KyProbe.h"
#include "support/KyDataTesting.h"
#include "support/KyTailorTesting.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace key = KyAnalysisKey;
namespace sp = KyAnalysisKey::shortestPaths;

namespace {
// The raw reads of the input frame, opened up.
class RawReads : public KyGeneralAnalysisInputTailor {
public:
  using KyGeneralAnalysisInputTailor::getValueAsDouble;
  using KyGeneralAnalysisInputTailor::getValueAsInteger;
  using KyGeneralAnalysisInputTailor::KyGeneralAnalysisInputTailor;
  using KyGeneralAnalysisInputTailor::memberOption;
};

// Writable key storage outside the stack and the heap.
wchar_t staticKey[32];

using kytest::contents;
using Objects = std::vector<KyObject*>;

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
  KyShortestPathsInputTailor first(&input);
  KyServiceName* attached = input.pServiceName();
  EXPECT_NE(dynamic_cast<KyAnalysisServiceName*>(attached), nullptr);
  KyClusteringInputTailor second(&input);
  EXPECT_EQ(input.pServiceName(), attached);

  KyShortestPathsOutputTailor result(&output);
  attached = output.pServiceName();
  EXPECT_NE(dynamic_cast<KyAnalysisServiceName*>(attached), nullptr);
  KyMaximumFlowOutputTailor again(&output);
  EXPECT_EQ(output.pServiceName(), attached);
}

// A foreign name hands out no descriptions: defaults read as 0.
TEST_F(TailorFrameTest, KeepsAForeignServiceNameAndReadsDefaultsAsZero) {
  KyServiceName* foreign = input.pServiceName(new KyServiceName);
  KyShortestPathsInputTailor tailor(&input);
  tailor.pGraph(&graph);
  EXPECT_EQ(input.pServiceName(), foreign);
  EXPECT_EQ(tailor.cost(ab), 0);
  EXPECT_EQ(KyClusteringInputTailor(&input).balance(), 0.0);
  EXPECT_EQ(tailor.cost(ab, 4), 4);
  EXPECT_EQ(tailor.cost(ab), 4);

  foreign = output.pServiceName(new KyServiceName);
  KyShortestPathsOutputTailor result(&output);
  EXPECT_EQ(output.pServiceName(), foreign);
}

TEST_F(TailorFrameTest, OperationTypeIsNoneUntilSelectedThenTheStoredCode) {
  KyShortestPathsInputTailor tailor(&input);
  EXPECT_EQ(tailor.operationType(), OPERATION_NONE);
  KyBreadthFirstSearchInputTailor(&input).setAsCurrentOperation();
  EXPECT_EQ(tailor.operationType(), OPERATION_BREADTH_FIRST_SEARCH);
  // A request read from elsewhere may hold any code; it reads back unchanged.
  input.setValue(nullptr, key::all::noneOperation, new KyInt(1000), 1, 0);
  EXPECT_EQ(tailor.operationType(), 1000);
}

// Options without a default, undescribed keys and values of another type.
TEST_F(TailorFrameTest, NumericReadsOfNonNumericOptionsGiveZero) {
  RawReads tailor(&input);
  tailor.pGraph(&graph);
  KyShortestPathsInputTailor(&input).pStartNode(a);
  for (const wchar_t* name : {key::all::noneOperation, sp::graphStartNode,
                              key::maximumFlow::graphSinkNode, L"no:graph:such"}) {
    EXPECT_EQ(tailor.getValueAsInteger(&graph, name), 0) << name;
    EXPECT_EQ(tailor.getValueAsDouble(&graph, name), 0.0) << name;
  }
}

// The frame trusts key addresses only for its own constants: a subclass
// that reuses one writable buffer for several keys reads what each text
// names, whether the buffer is static, on the stack or on the heap.
TEST_F(TailorFrameTest, MemberReadsThroughAReusedKeyBufferFollowItsText) {
  RawReads tailor(&input);
  tailor.pGraph(&graph);
  wchar_t stackKey[32];
  const auto heapKey = std::make_unique<wchar_t[]>(32);
  for (wchar_t* buffer : {staticKey, stackKey, heapKey.get()}) {
    KyServiceInputData fresh;
    RawReads writer(&fresh);
    const auto write = [&](const wchar_t* text) { return std::wcsncpy(buffer, text, 32); };
    writer.memberOption(ab, write(L"x:edge:one"), 1);
    writer.memberOption(ab, write(L"x:edge:two"), 2);
    for (int round = 0; round < 2; ++round) {
      EXPECT_EQ(writer.memberOption(ab, write(L"x:edge:one")), 1);
      EXPECT_EQ(writer.memberOption(ab, write(L"x:edge:two")), 2);
      EXPECT_EQ(writer.memberOption(ab, write(L"x:edge:three")), 0);
    }
  }
  // The library's own keys read as they were stored, before and after a
  // read through a copy of the same text.
  KyShortestPathsInputTailor(&input).cost(bc, 7);
  const std::wstring copy = sp::edgeCost;
  EXPECT_EQ(KyShortestPathsInputTailor(&input).cost(bc), 7);
  EXPECT_EQ(tailor.memberOption(bc, copy.c_str()), 7);
  EXPECT_EQ(KyShortestPathsInputTailor(&input).cost(bc), 7);
  EXPECT_EQ(KyShortestPathsInputTailor(&input).cost(ab), 1);
}

// Object-valued options are read checked: a value of another class under
// their key reads as unset, never as an object of the wrong class.
TEST_F(TailorFrameTest, ObjectOptionsOfAnotherClassReadAsUnset) {
  KyShortestPathsInputTailor tailor(&input);
  tailor.pGraph(&graph);
  for (const wchar_t* name :
       {sp::graphStartNode, sp::graphFinishNode, key::rootCause::graphEffectNodeList,
        key::clustering::graphConstraintManager})
    input.setValue(&graph, name, new KyInt(7), 1, 0);
  EXPECT_EQ(tailor.pStartNode(), nullptr);
  EXPECT_EQ(tailor.pFinishNode(), nullptr);
  EXPECT_EQ(KyRootCauseInputTailor(&input).pEffectNodeList(), nullptr);
  EXPECT_EQ(KyClusteringInputTailor(&input).pConstraintManager(), nullptr);

  input.setValue(nullptr, key::all::noneGraph, new KyInt(7), 1, 0);
  EXPECT_EQ(KyShortestPathsInputTailor(&input).pGraph(), nullptr);
}

// KyInt and KyDouble are final: the input frame, the output data and the
// engine all read values by exact class, so a subclass could not read as
// one number on one side and another on the other.
static_assert(std::is_final<KyInt>::value && std::is_final<KyDouble>::value,
              "value classes are read by exact class");

// The caller's list may hold anything: the builder must only drop cells.
TEST_F(TailorFrameTest, ListBuilderReplacesCellsAndReleasesNothing) {
  const KyShortestPathsOutputTailor tailor(&output);
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
  EXPECT_EQ(contents(list), (Objects{ab, bc}));
  EXPECT_EQ(held.claims(), 2);
  tailor.buildEdgeList(stored);
  EXPECT_EQ(contents(stored), (Objects{ab, bc}));
}

// Values a setter makes and values a caller hands over or refers to share
// a key's entries: each replaces the other, and the input data releases
// exactly the values it holds.
TEST_F(TailorFrameTest, MadeAndHandedOverValuesReplaceEachOther) {
  {
    KyShortestPathsInputTailor tailor(&input);
    tailor.pGraph(&graph);
    tailor.cost(ab, 3);
    input.setValue(bc, sp::edgeCost, new KyProbe(1), 1, 0);
    EXPECT_EQ(tailor.cost(ab), 3);
    EXPECT_EQ(tailor.cost(bc), 0); // not an integer
    EXPECT_EQ(KyProbe::live, 1);

    tailor.cost(bc, 7);
    EXPECT_EQ(KyProbe::live, 0);
    EXPECT_EQ(tailor.cost(bc), 7);
    const KyObject* made = input.pValue(bc, sp::edgeCost);
    EXPECT_EQ(input.pValue(bc, sp::edgeCost), made);
    EXPECT_EQ(KyInt::castDown(made)->value(), 7);

    input.setValue(ab, sp::edgeCost, new KyProbe(2), 1, 0);
    EXPECT_EQ(tailor.cost(ab), 0);
    KyInt held(8);
    input.setValue(ab, sp::edgeCost, &held, 0, 0);
    EXPECT_EQ(KyProbe::live, 0);
    EXPECT_EQ(tailor.cost(ab), 8);
    tailor.cost(ab, 9);
    EXPECT_EQ(held.claims(), 1);
    EXPECT_EQ(tailor.cost(ab), 9);
    input.setValue(ab, sp::edgeCost, nullptr, 0, 0);
    EXPECT_EQ(tailor.cost(ab), 1); // the default
    EXPECT_EQ(tailor.cost(bc), 7);

    KyClusteringInputTailor clustering(&input);
    clustering.pGraph(&graph);
    clustering.balance(0.25);
    input.setValue(&graph, key::clustering::graphBalance, new KyProbe(3), 1, 0);
    EXPECT_EQ(clustering.balance(), 0.0);
    clustering.balance(0.5);
    EXPECT_EQ(clustering.balance(), 0.5);
    input.setValue(a, sp::nodeCost, new KyProbe(4), 1, 0);
  }
  EXPECT_EQ(KyProbe::live, 1);
  input.setValue(a, sp::nodeCost, nullptr, 0, 0);
  EXPECT_EQ(KyProbe::live, 0);
}

// Every setter of a tailor stores through the input data's setValue(): a
// subclass that keeps values elsewhere sees each write and its tailors read
// back what was set, not the defaults.
TEST_F(TailorFrameTest, EverySetterStoresThroughASubclassesSetValue) {
  kytest::MirroringData mirror;
  KyShortestPathsInputTailor paths(&mirror);
  paths.pGraph(&graph);
  KyClusteringInputTailor clustering(&mirror);
  const struct {
    const char* what;
    std::function<void()> set;
    std::function<bool()> readBack;
  } setters[] = {
      {"operation", [&] { paths.setAsCurrentOperation(); },
       [&] { return paths.operationType() == OPERATION_SHORTEST_PATHS; }},
      {"Boolean", [&] { paths.undirected(1); }, [&] { return paths.undirected() == 1; }},
      {"enumeration", [&] { clustering.quality(CLUSTERING_QUALITY_PROOF); },
       [&] { return clustering.quality() == CLUSTERING_QUALITY_PROOF; }},
      {"double", [&] { clustering.balance(0.125); }, [&] { return clustering.balance() == 0.125; }},
      {"edge integer", [&] { paths.cost(ab, 17); }, [&] { return paths.cost(ab) == 17; }},
      {"node integer", [&] { paths.cost(b, 19); }, [&] { return paths.cost(b) == 19; }},
      {"node", [&] { paths.pStartNode(c); }, [&] { return paths.pStartNode() == c; }},
  };
  for (const auto& setter : setters) {
    SCOPED_TRACE(setter.what);
    const int before = mirror.writes;
    setter.set();
    EXPECT_EQ(mirror.writes, before + 1);
    EXPECT_TRUE(setter.readBack());
  }
  EXPECT_EQ(mirror.numberOfValues(), 0);
}

// A value a setter made and a caller claimed keeps its value through later
// setters of the same option, and the caller's release frees it.
TEST_F(TailorFrameTest, ClaimedValuesOfSettersOutliveLaterSetters) {
  KyShortestPathsInputTailor paths(&input);
  paths.pGraph(&graph);
  KyClusteringInputTailor clustering(&input);
  paths.cost(ab, 5);
  KyObject* cost = input.pValue(ab, sp::edgeCost);
  cost->vClaim();
  paths.cost(ab, 9);
  paths.cost(ab, 11);
  EXPECT_EQ(KyInt::castDown(cost)->value(), 5);
  EXPECT_EQ(paths.cost(ab), 11);
  cost->vRelease();

  clustering.balance(0.5);
  KyObject* balance = input.pValue(&graph, key::clustering::graphBalance);
  balance->vClaim();
  clustering.clusterSizeFactor(3.0);
  clustering.balance(0.75);
  EXPECT_EQ(KyDouble::castDown(balance)->value(), 0.5);
  EXPECT_EQ(clustering.balance(), 0.75);
  balance->vRelease();
}

TEST_F(TailorFrameTest, OutputTailorsOnNullDataReadNothing) {
  const KyShortestPathsOutputTailor tailor(nullptr);
  EXPECT_EQ(tailor.pServiceOutputData(), nullptr);
  EXPECT_EQ(tailor.totalCost(), 0);
  EXPECT_EQ(KyMaximumFlowOutputTailor(nullptr).flow(ab), 0);
  EXPECT_EQ(KyDepthFirstSearchOutputTailor(nullptr).pParentNode(b), nullptr);
  KyEdgeDList list;
  list.appendEdge(ab);
  tailor.buildEdgeList(list);
  EXPECT_EQ(list.length(), 0);
  KyDList lists;
  lists.appendObject(new KyEdgeDList);
  KyConnectedComponentsOutputTailor(nullptr).buildComponentList(lists);
  EXPECT_EQ(lists.length(), 0);
}
} // namespace
