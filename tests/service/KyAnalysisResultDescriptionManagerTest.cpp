// The result descriptions: count, scopes, value types and the odd keys.
#include "support/KyDescriptionTesting.h"

#include <kyanalysis/KyAnalysisOperation.h>
#include <kyanalysis/KyAnalysisResultDescriptionManager.h>

#include <gtest/gtest.h>

#include <set>

using kytest::keyPart;

namespace {
class ResultDescriptionsTest : public ::testing::Test {
protected:
  KyAnalysisResultDescriptionManager manager;
  const std::vector<const KyServiceResultDescription*> results =
      kytest::descriptionsOf<KyServiceResultDescription>(manager);
};

TEST_F(ResultDescriptionsTest, RegistersSixtyFiveResultsScopesMatchingOwnersErrorCodeLast) {
  const std::set<std::wstring> valueTypes = {
      L"Integer",           L"Boolean",      L"KyNode",       L"KyEdge",
      L"KyGraph",           L"List<KyNode>", L"List<KyEdge>", L"List<List<KyNode>>",
      L"List<List<KyEdge>>"};
  ASSERT_EQ(results.size(), 65u);
  for (std::size_t i = 0; i + 1 < results.size(); ++i) { // all but "errorCode"
    ASSERT_NE(results[i], nullptr) << i;
    const wchar_t* key = results[i]->pKey();
    EXPECT_EQ(manager.pOption(key), results[i]) << key;
    EXPECT_NE(KyAnalysisOperation::fromWord(keyPart(key, 0).c_str()), OPERATION_NONE) << key;
    EXPECT_EQ(kytest::ownerTypeOfScope(keyPart(key, 1)), results[i]->pOwnerType()) << key;
    EXPECT_EQ(valueTypes.count(results[i]->pValueType()), 1u) << key;
  }
  EXPECT_STREQ(results.back()->pKey(), L"errorCode");
  EXPECT_STREQ(results.back()->pOwnerType(), L"none");
  EXPECT_STREQ(results.back()->pValueType(), L"Integer");
}

TEST_F(ResultDescriptionsTest, OddResultsHaveTheirOwnerAndValueTypes) {
  const struct {
    const wchar_t* key;
    const wchar_t* ownerType;
    const wchar_t* valueType;
  } kCases[] = {
      {L"clustering:constraint:fulfilled", L"KyClusteringConstraint", L"Boolean"},
      {L"stronglyConnectedComponents:none:edgeComponentList", L"none", L"List<List<KyEdge>>"},
      {L"disjointPaths:none:pathList", L"none", L"List<List<KyEdge>>"},
      {L"allPairsShortestPaths:(KyNode,KyNode):lastEdge", L"KyPair", L"KyEdge"},
      {L"allPairsShortestPaths:(KyNode,KyNode):totalCost", L"KyPair", L"Integer"},
  };
  for (const auto& expected : kCases) {
    const KyServiceItemDescription* found = manager.pOption(expected.key);
    ASSERT_NE(found, nullptr) << expected.key;
    EXPECT_STREQ(found->pOwnerType(), expected.ownerType);
    EXPECT_STREQ(found->pValueType(), expected.valueType);
  }
  EXPECT_NE(manager.pOption(kCases[3].key), manager.pOption(kCases[4].key));
  EXPECT_EQ(manager.pOption(L"shortestPaths:graph:startNode"), nullptr);
  EXPECT_EQ(manager.pOption(L"all:none:operation"), nullptr);
}
} // namespace
