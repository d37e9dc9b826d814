// A server answers as the local engine does, on the caller's own objects,
// with the engine's codes for requests it cannot answer.
#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyPath.h>
#include <kyanalysis/KySortedPathIter.h>
#include <kyanalysis/KySortedPathsOutputTailor.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyplatform/KyEdgeDList.h>
#include <kyremote/KyRemoteAnalysisService.h>

#include "remote/KyRemoteTesting.h"
#include "support/KyServiceInProcess.h"

#include <gtest/gtest.h>

namespace {

using kytest::RemoteCase;
using kytest::Renderer;
using kytest::RequestSnapshot;

class RemoteAnswers : public testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(service.ok()) << service.started(); }

  KyRemoteAnalysisService remote() const {
    return KyRemoteAnalysisService(service.wideUrl().c_str());
  }

  static KyAnalysisServerOptions twoWorkers() {
    KyAnalysisServerOptions options;
    options.threads = 2;
    return options;
  }

  kytest::ServiceInProcess service{twoWorkers()};
};

TEST_F(RemoteAnswers, EveryAnalysisAnswersAsTheLocalEngineOnTheCallersObjects) {
  for (int operation = 0; operation < KyAnalysisOperation::count(); ++operation) {
    SCOPED_TRACE(std::string("operation ") + std::to_string(operation));
    RemoteCase c(operation, 10, 16, 40u + static_cast<unsigned>(operation));
    const RequestSnapshot before(c);
    KyServiceOutputData local, remote;
    const int localCode = KyLocalAnalysisService().run(&c.input, &local);
    const int remoteCode = this->remote().run(&c.input, &remote);
    EXPECT_EQ(remoteCode, localCode);
    const Renderer renderer(c.graph, c.input);
    const auto lines = renderer.lines(remote);
    EXPECT_EQ(lines, renderer.lines(local));
    EXPECT_GT(lines.size(), 1u) << "an answer with results";
    for (const std::string& line : lines)
      EXPECT_EQ(line.find('?'), std::string::npos) << line;
    EXPECT_TRUE(RequestSnapshot(c) == before) << "the request is left as it was";
    EXPECT_NE(remote.pServiceName(), nullptr);
  }
}

TEST_F(RemoteAnswers, EngineErrorsTravelAsTheirCodeAlone) {
  struct Case {
    const char* name;
    void (*spoil)(RemoteCase&);
    int code;
    int operation = OPERATION_SHORTEST_PATHS;
  };
  const Case cases[] = {
      {"no finish node",
       [](RemoteCase& c) {
         c.input.removeValue(&c.graph, KyAnalysisKey::shortestPaths::graphFinishNode);
       },
       ANALYSIS_ERROR_NO_FINISH_NODE},
      {"a negative capacity, named beside the code",
       [](RemoteCase& c) {
         c.input.storeOwned(c.edge[1], KyAnalysisKey::maximumFlow::edgeCapacity, new KyInt(-1));
       },
       ANALYSIS_ERROR_INVALID_OPTION, OPERATION_MAXIMUM_FLOW},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    RemoteCase c(test.operation, 6, 4, 7u);
    test.spoil(c);
    KyServiceOutputData local, remote;
    ASSERT_EQ(KyLocalAnalysisService().run(&c.input, &local), test.code);
    EXPECT_EQ(this->remote().run(&c.input, &remote), test.code);
    const Renderer renderer(c.graph, c.input);
    EXPECT_EQ(renderer.lines(remote), renderer.lines(local));
    EXPECT_EQ(remote.getValueAsInteger(nullptr, KyAnalysisKey::errorCode), test.code);
  }
}

TEST_F(RemoteAnswers, ChecksThatMeetInOneRequestGiveTheEnginesFirstFailure) {
  using Spoil = void (*)(RemoteCase&);
  const Spoil keep = [](RemoteCase&) {};
  const Spoil noGraph = [](RemoteCase& c) {
    c.input.removeValue(nullptr, KyAnalysisKey::all::noneGraph);
  };
  const Spoil noGraphButANumber = [](RemoteCase& c) {
    c.input.storeOwned(nullptr, KyAnalysisKey::all::noneGraph, new KyInt(1));
  };
  const Spoil noOperation = [](RemoteCase& c) {
    c.input.removeValue(nullptr, KyAnalysisKey::all::noneOperation);
  };
  const Spoil operationNone = [](RemoteCase& c) {
    c.input.storeOwned(nullptr, KyAnalysisKey::all::noneOperation, new KyInt(OPERATION_NONE));
  };
  const Spoil operationAsText = [](RemoteCase& c) {
    c.input.storeOwned(nullptr, KyAnalysisKey::all::noneOperation, new KyText(L"10"));
  };
  const Spoil operation99 = [](RemoteCase& c) {
    c.input.storeOwned(nullptr, KyAnalysisKey::all::noneOperation, new KyInt(99));
  };
  const Spoil operationMinus2 = [](RemoteCase& c) {
    c.input.storeOwned(nullptr, KyAnalysisKey::all::noneOperation, new KyInt(-2));
  };
  const Spoil operation23 = [](RemoteCase& c) {
    c.input.storeOwned(nullptr, KyAnalysisKey::all::noneOperation,
                       new KyInt(KyAnalysisOperation::count()));
  };
  struct Case {
    const char* name;
    Spoil operation;
    Spoil graph;
    int code;
  };
  const Case cases[] = {
      {"nothing missing", keep, keep, ANALYSIS_ERROR_NONE},
      {"no operation", noOperation, keep, ANALYSIS_ERROR_NO_OPERATION},
      {"OPERATION_NONE", operationNone, keep, ANALYSIS_ERROR_NO_OPERATION},
      {"operation 99", operation99, keep, ANALYSIS_ERROR_OPERATION_NOT_SUPPORTED},
      {"operation 23, one past the last", operation23, keep,
       ANALYSIS_ERROR_OPERATION_NOT_SUPPORTED},
      {"no graph", keep, noGraph, ANALYSIS_ERROR_NO_GRAPH},
      {"a number for a graph", keep, noGraphButANumber, ANALYSIS_ERROR_NO_GRAPH},
      {"no operation and no graph", noOperation, noGraph, ANALYSIS_ERROR_NO_OPERATION},
      {"OPERATION_NONE and no graph", operationNone, noGraph, ANALYSIS_ERROR_NO_OPERATION},
      {"an operation as text and no graph", operationAsText, noGraph, ANALYSIS_ERROR_NO_OPERATION},
      {"operation 99 and no graph", operation99, noGraph, ANALYSIS_ERROR_OPERATION_NOT_SUPPORTED},
      {"operation -2 and a number for a graph", operationMinus2, noGraphButANumber,
       ANALYSIS_ERROR_OPERATION_NOT_SUPPORTED},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    RemoteCase c(OPERATION_SHORTEST_PATHS, 6, 4, 7u);
    test.operation(c);
    test.graph(c);
    const RequestSnapshot before(c);
    KyServiceOutputData local, remote;
    EXPECT_EQ(KyLocalAnalysisService().run(&c.input, &local), test.code);
    EXPECT_EQ(this->remote().run(&c.input, &remote), test.code);
    EXPECT_EQ(remote.getValueAsInteger(nullptr, KyAnalysisKey::errorCode), test.code);
    if (test.code != ANALYSIS_ERROR_NONE) {
      EXPECT_EQ(remote.numberOfValues(), 1);
    }
    EXPECT_TRUE(RequestSnapshot(c) == before);
  }
}

TEST_F(RemoteAnswers, TheSortedPathIteratorWalksARemoteAnswerAsALocalOne) {
  RemoteCase c(OPERATION_SORTED_PATHS, 12, 30, 5u);
  KyServiceOutputData local, remote;
  ASSERT_EQ(KyLocalAnalysisService().run(&c.input, &local), ANALYSIS_ERROR_NONE);
  ASSERT_EQ(this->remote().run(&c.input, &remote), ANALYSIS_ERROR_NONE);
  KySortedPathsOutputTailor localTailor(&local), remoteTailor(&remote);
  KySortedPathIter localPaths(&localTailor), remotePaths(&remoteTailor);
  const Renderer renderer(c.graph, c.input);
  int compared = 0;
  for (; localPaths && compared < 40; ++localPaths, ++remotePaths, ++compared) {
    ASSERT_TRUE(remotePaths) << "path " << compared;
    const KyPath* want = localPaths.pPath();
    const KyPath* got = remotePaths.pPath();
    EXPECT_EQ(got->length(), want->length()) << "path " << compared;
    EXPECT_EQ(renderer.text(got->pEdgeList()), renderer.text(want->pEdgeList()));
    const_cast<KyPath*>(want)->vRelease();
    const_cast<KyPath*>(got)->vRelease();
  }
  EXPECT_GT(compared, 5);
}

TEST_F(RemoteAnswers, AnAnswerReplacesWhatTheOutputDataHeld) {
  RemoteCase first(OPERATION_SORTED_PATHS, 8, 10, 3u);
  RemoteCase second(OPERATION_CONNECTED_COMPONENTS, 8, 10, 4u);
  KyServiceOutputData output, local;
  ASSERT_EQ(remote().run(&first.input, &output), ANALYSIS_ERROR_NONE);
  ASSERT_EQ(remote().run(&second.input, &output), ANALYSIS_ERROR_NONE);
  KyLocalAnalysisService().run(&second.input, &local);
  const Renderer renderer(second.graph, second.input);
  EXPECT_EQ(renderer.lines(output), renderer.lines(local));
}

} // namespace
