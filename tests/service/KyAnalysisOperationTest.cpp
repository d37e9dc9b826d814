// The two names of every operation code and the lookups between them, and
// the names of the outcome codes.
#include <kyanalysis/KyAnalysisError.h>
#include <kyanalysis/KyAnalysisOperation.h>

#include <gtest/gtest.h>

#include <climits>
#include <cwctype>
#include <string>

namespace {
// "shortestPaths" -> "OPERATION_SHORTEST_PATHS".
std::wstring mapNameOfWord(const std::wstring& word) {
  std::wstring name = L"OPERATION_";
  for (wchar_t c : word) {
    if (std::iswupper(c))
      name += L'_';
    name += static_cast<wchar_t>(std::towupper(c));
  }
  return name;
}

TEST(KyAnalysisOperationTest, WordAndMapNameAgreeAndRoundTripForEveryCode) {
  EXPECT_EQ(KyAnalysisOperation::count(), OPERATION_ROOT_CAUSE + 1);
  for (int code = 0; code < KyAnalysisOperation::count(); ++code) {
    const wchar_t* word = KyAnalysisOperation::word(code);
    ASSERT_NE(word, nullptr) << code;
    ASSERT_NE(KyAnalysisOperation::mapName(code), nullptr) << code;
    EXPECT_EQ(KyAnalysisOperation::mapName(code), mapNameOfWord(word));
    EXPECT_EQ(KyAnalysisOperation::fromWord(word), code) << word;
  }
  EXPECT_STREQ(KyAnalysisOperation::word(OPERATION_SHORTEST_PATHS), L"shortestPaths");
}

TEST(KyAnalysisOperationTest, CodesOutsideTheRangeHaveNoNames) {
  for (int code : {INT_MIN, -1, KyAnalysisOperation::count(), INT_MAX}) {
    EXPECT_EQ(KyAnalysisOperation::word(code), nullptr) << code;
    EXPECT_EQ(KyAnalysisOperation::mapName(code), nullptr) << code;
  }
}

TEST(KyAnalysisOperationTest, UnknownWordsGiveNoOperation) {
  for (const wchar_t* word : {static_cast<const wchar_t*>(nullptr), L"", L"all", L"ShortestPaths",
                              L"shortestPath", L"shortestPathsX", L"OPERATION_SHORTEST_PATHS"})
    EXPECT_EQ(KyAnalysisOperation::fromWord(word), OPERATION_NONE)
        << (word != nullptr ? word : L"(null)");
}
TEST(KyAnalysisErrorTest, EveryCodeIsNamedAsItsEnumeratorAndNoOtherIs) {
  const struct {
    int code;
    const char* name;
  } named[] = {
      {ANALYSIS_ERROR_NONE, "ANALYSIS_ERROR_NONE"},
      {ANALYSIS_ERROR_NO_OPERATION, "ANALYSIS_ERROR_NO_OPERATION"},
      {ANALYSIS_ERROR_START_NODE_NOT_IN_GRAPH, "ANALYSIS_ERROR_START_NODE_NOT_IN_GRAPH"},
      {ANALYSIS_ERROR_FINISH_NODE_NOT_IN_GRAPH, "ANALYSIS_ERROR_FINISH_NODE_NOT_IN_GRAPH"},
      {ANALYSIS_ERROR_INVALID_OPTION, "ANALYSIS_ERROR_INVALID_OPTION"},
      {ANALYSIS_ERROR_CANNOT_CONNECT, "ANALYSIS_ERROR_CANNOT_CONNECT"},
      {ANALYSIS_ERROR_REQUEST_REFUSED, "ANALYSIS_ERROR_REQUEST_REFUSED"},
      {ANALYSIS_ERROR_STOPPED, "ANALYSIS_ERROR_STOPPED"},
  };
  for (const auto& test : named)
    EXPECT_STREQ(KyAnalysisError::name(test.code), test.name) << test.code;
  EXPECT_EQ(KyAnalysisError::count(), ANALYSIS_ERROR_STOPPED + 1);
  for (int code = 0; code < KyAnalysisError::count(); ++code)
    EXPECT_EQ(std::string(KyAnalysisError::name(code)).rfind("ANALYSIS_ERROR_", 0), 0u) << code;
  for (const int code : {INT_MIN, -1, KyAnalysisError::count(), INT_MAX})
    EXPECT_EQ(KyAnalysisError::name(code), nullptr) << code;
}

} // namespace
