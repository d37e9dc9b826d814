// A run of the local engine stopped from another thread: before it starts,
// in the middle of its loops, and never.
#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyengine/KyAnalysisStop.h>
#include <kyengine/KyLocalAnalysisService.h>

#include "remote/KyRemoteTesting.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using kytest::RemoteCase;

TEST(AnalysisStop, TheFirstReasonAskedIsKept) {
  KyAnalysisStop stop;
  EXPECT_FALSE(stop.requested());
  EXPECT_EQ(stop.reason(), KyAnalysisStop::NOT_ASKED);
  stop.request(KyAnalysisStop::WITHDRAWN);
  stop.request(KyAnalysisStop::TIME_LIMIT);
  EXPECT_TRUE(stop.requested());
  EXPECT_EQ(stop.reason(), KyAnalysisStop::WITHDRAWN);
}

TEST(AnalysisStop, ARunAskedToStopAnswersStoppedAloneAndOthersAsBefore) {
  // The analyses with loops of their own, and one answered in one step.
  for (const int operation :
       {OPERATION_ALL_PAIRS_SHORTEST_PATHS, OPERATION_SORTED_PATHS, OPERATION_CLUSTERING,
        OPERATION_CYCLE_BREAKING_EDGE_DETECTION, OPERATION_BREADTH_FIRST_SEARCH}) {
    SCOPED_TRACE(operation);
    RemoteCase c(operation, 40, 80, 7u);
    const kytest::Renderer renderer(c.graph, c.input);
    KyServiceOutputData plain, unasked, stopped;
    const int code = KyLocalAnalysisService().run(&c.input, &plain);
    const KyAnalysisStop notAsked;
    EXPECT_EQ(KyLocalAnalysisService().run(&c.input, &unasked, &notAsked), code);
    EXPECT_EQ(renderer.lines(unasked), renderer.lines(plain));
    EXPECT_EQ(KyLocalAnalysisService().run(&c.input, &unasked, nullptr), code);

    KyAnalysisStop asked;
    asked.request(KyAnalysisStop::TIME_LIMIT);
    EXPECT_EQ(KyLocalAnalysisService().run(&c.input, &stopped, &asked), ANALYSIS_ERROR_STOPPED);
    ASSERT_EQ(stopped.numberOfValues(), 1u);
    EXPECT_EQ(stopped.getValueAsInteger(nullptr, KyAnalysisKey::errorCode), ANALYSIS_ERROR_STOPPED);
  }
}

TEST(AnalysisStop, ALongRunStopsSoonAfterTheRequestFromAnotherThread) {
  RemoteCase c(OPERATION_ALL_PAIRS_SHORTEST_PATHS, 2000, 8000, 3u);
  KyAnalysisStop stop;
  KyServiceOutputData answer;
  int code = -1;
  std::thread run([&] { code = KyLocalAnalysisService().run(&c.input, &answer, &stop); });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  stop.request(KyAnalysisStop::WITHDRAWN);
  run.join();
  EXPECT_EQ(code, ANALYSIS_ERROR_STOPPED);
  EXPECT_EQ(answer.numberOfValues(), 1u);
}

} // namespace
