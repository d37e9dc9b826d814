// The bounds on an answer's size, from a request and from its text before
// it is read.
#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisSerializer.h>
#include <kyanalysis/KyAnalysisWorkEstimate.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyplatform/KyObjectTable.h>
#include <kyplatform/KyXMLPlatformHold.h>
#include <kyplatform/KyXMLUtilities.h>

#include "remote/KyRemoteTesting.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using kytest::RemoteCase;

std::string base64(const std::string& text) {
  unsigned long length = 0;
  const std::unique_ptr<unsigned char[]> encoded(KyXMLUtilities::encodeBase64(
      reinterpret_cast<const unsigned char*>(text.data()), text.size(), &length));
  return std::string(reinterpret_cast<const char*>(encoded.get()), length);
}

std::uint64_t ofText(const std::string& text) {
  return KyAnalysisWorkEstimate::answerValues(reinterpret_cast<const unsigned char*>(text.c_str()));
}

TEST(AnalysisWorkEstimate, TheTextTellsWhatTheRequestTellsForEveryAnalysis) {
  const KyXMLPlatformHold xml;
  for (int operation = OPERATION_BREADTH_FIRST_SEARCH; operation <= OPERATION_ROOT_CAUSE;
       ++operation) {
    SCOPED_TRACE(operation);
    RemoteCase c(operation, 12, 9, static_cast<unsigned>(operation));
    const std::uint64_t values = KyAnalysisWorkEstimate::answerValues(c.input);
    EXPECT_EQ(ofText(kytest::requestString(c)), values);
    // The bound holds for what the engine answers.
    KyServiceOutputData answer;
    KyLocalAnalysisService().run(&c.input, &answer);
    EXPECT_LE(answer.numberOfValues(), values);
  }
}

TEST(AnalysisWorkEstimate, BoundsGrowAsTheirAnalysesDo) {
  using E = KyAnalysisWorkEstimate;
  EXPECT_EQ(E::answerValues(OPERATION_ALL_PAIRS_SHORTEST_PATHS, 100000, 0), 20000100000u);
  EXPECT_EQ(E::answerValues(OPERATION_ALL_PAIRS_SHORTEST_PATHS, 0, 0), 0u);
  EXPECT_EQ(E::answerValues(OPERATION_SHORTEST_PATHS, 10, 20), 136u);
  EXPECT_EQ(E::answerValues(OPERATION_SORTED_PATHS, 1, 0), 4u * 1 * 3);
  EXPECT_GT(E::answerValues(OPERATION_SORTED_PATHS, 1000, 4000),
            E::answerValues(OPERATION_SHORTEST_PATHS, 1000, 4000));
}

TEST(AnalysisWorkEstimate, ATextThatHidesItsAnalysisOrIsNotBase64) {
  const KyXMLPlatformHold xml;
  const std::string nodes = "<node id=\"n0\"/><node id=\"n1\"/><edge id=\"e0\"/>";
  struct Case {
    const char* name;
    std::string text;
    std::uint64_t values;
  };
  const Case cases[] = {
      {"no operation", base64(nodes), 4 * 3 + 16},
      {"all pairs", base64(nodes + "<option key=\"all:none:operation\"><entry value=\"11\"/>"),
       2 * 2 * 2 + 3},
      {"the value after the option's end",
       base64(nodes + "<option key=\"all:none:operation\"></option><entry value=\"11\"/>"),
       4 * 3 + 16},
      {"a value that is no number",
       base64(nodes + "<option key=\"all:none:operation\"><entry value=\"x\"/>"), 4 * 3 + 16},
      {"not base 64", "<document/>", 0},
      {"nothing: no graph, the least bound", "", 16},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    EXPECT_EQ(ofText(test.text), test.values);
  }
}

} // namespace
