// The option descriptions: their order, scopes and enumeration maps.
#include "support/KyDescriptionTesting.h"

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisOperation.h>
#include <kyanalysis/KyAnalysisOptionDescriptionManager.h>
#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyplatform/KyHashMap.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyText.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using kytest::keyPart;

namespace {
class OptionDescriptionsTest : public ::testing::Test {
protected:
  KyAnalysisOptionDescriptionManager manager;
  const std::vector<const KyServiceOptionDescription*> options =
      kytest::descriptionsOf<KyServiceOptionDescription>(manager);
};

TEST_F(OptionDescriptionsTest, RegistersSeventyFiveOptionsSharedTwoFirstScopesMatchingOwners) {
  const std::set<std::wstring> valueTypes = {L"Integer",
                                             L"Boolean",
                                             L"Double",
                                             L"KyGraph",
                                             L"KyNode",
                                             L"List<KyNode>",
                                             L"KyConstraintManager"};
  ASSERT_EQ(options.size(), 75u);
  EXPECT_STREQ(options[0]->pKey(), L"all:none:graph");
  EXPECT_STREQ(options[1]->pKey(), L"all:none:operation");
  for (std::size_t i = 0; i < options.size(); ++i) {
    ASSERT_NE(options[i], nullptr) << i;
    SCOPED_TRACE(options[i]->pKey());
    const int shared = i < 2 ? 1 : 0;
    EXPECT_EQ(options[i]->required(), shared);
    EXPECT_EQ(options[i]->specific(), 1 - shared);
    EXPECT_EQ(manager.pOption(options[i]->pKey()), options[i]);
    const std::wstring scope = keyPart(options[i]->pKey(), 1);
    EXPECT_TRUE(scope != L"constraint" && scope.find(L'(') == std::wstring::npos);
    EXPECT_EQ(kytest::ownerTypeOfScope(scope), options[i]->pOwnerType());
    EXPECT_EQ(valueTypes.count(options[i]->pValueType()), 1u);
  }
}

TEST_F(OptionDescriptionsTest, GroupsAnalysesAlphabeticallyButForTheIrregularTwo) {
  std::vector<std::wstring> words; // in order of first appearance
  for (const auto* each : options)
    if (words.empty() || words.back() != keyPart(each->pKey(), 0))
      words.push_back(keyPart(each->pKey(), 0));
  // "all" and the 18 analyses with options of their own, each one block.
  ASSERT_EQ(words.size(), 19u);
  EXPECT_EQ(std::set<std::wstring>(words.begin(), words.end()).size(), words.size());
  for (std::size_t i = 1; i < words.size(); ++i)
    EXPECT_NE(KyAnalysisOperation::fromWord(words[i].c_str()), OPERATION_NONE) << words[i];

  EXPECT_EQ(words.back(), L"cycleBreakingEdgeDetection");
  const auto sorted = std::find(words.begin(), words.end(), L"sortedPaths");
  ASSERT_TRUE(sorted != words.begin() && sorted + 1 < words.end());
  EXPECT_EQ(sorted[-1], L"disjointPaths");
  EXPECT_EQ(sorted[1], L"maximumFlow");
  words.erase(sorted);
  words.pop_back();
  EXPECT_TRUE(std::is_sorted(words.begin(), words.end()));
}

TEST_F(OptionDescriptionsTest, EnumerationMapsNameTheirCodesInOrder) {
  const struct {
    const wchar_t* key;
    std::vector<std::wstring> names; // indexed by code
  } kMaps[] = {
      {L"all:none:operation", {}},
      {L"clustering:graph:quality",
       {L"CLUSTERING_QUALITY_DRAFT", L"CLUSTERING_QUALITY_MEDIUM", L"CLUSTERING_QUALITY_PROOF"}},
      {L"cycleBreakingEdgeDetection:graph:quality",
       {L"CYCLEBREAKING_QUALITY_DRAFT", L"CYCLEBREAKING_QUALITY_MEDIUM",
        L"CYCLEBREAKING_QUALITY_PROOF"}},
  };
  EXPECT_EQ(std::count_if(options.begin(), options.end(),
                          [](const auto* each) { return each->pEnumeration() != nullptr; }),
            3);
  for (auto expected : kMaps) {
    SCOPED_TRACE(expected.key);
    if (expected.names.empty())
      for (int code = 0; code < KyAnalysisOperation::count(); ++code)
        expected.names.emplace_back(KyAnalysisOperation::mapName(code));
    const auto* option =
        dynamic_cast<const KyServiceOptionDescription*>(manager.pOption(expected.key));
    ASSERT_TRUE(option != nullptr && option->pEnumeration() != nullptr);
    const KyHashMap& map = *option->pEnumeration();
    ASSERT_EQ(static_cast<std::size_t>(map.length()), expected.names.size());
    for (int code = 0; code < map.length(); ++code) {
      const KyText name(expected.names[static_cast<std::size_t>(code)].c_str());
      EXPECT_TRUE(name.equals(map.pKeyAt(code))) << code;
      const auto* value = dynamic_cast<const KyInt*>(map.pValue(&name));
      ASSERT_NE(value, nullptr) << code;
      EXPECT_EQ(value->value(), code);
    }
  }
}

TEST_F(OptionDescriptionsTest, ResultKeysAreNotOptions) {
  EXPECT_EQ(manager.pOption(L"clustering:node:clusterNumber"), nullptr);
  EXPECT_EQ(manager.pOption(L"errorCode"), nullptr);
}
// A request's defaults come from the descriptions its service name looks
// keys up in: the library's own name shares one set built for the process
// until its own are made (and may then be changed); another name's are
// its own.
TEST(OptionDefaults, ARequestReadsTheDefaultsItsNameLooksUp) {
  const wchar_t* own = L"custom:graph:weight";
  const wchar_t* known = KyAnalysisKey::allPairsShortestPaths::edgeCost;
  const auto* built =
      dynamic_cast<const KyInt*>(dynamic_cast<const KyServiceOptionDescription*>(
                                     KyAnalysisOptionDescriptionManager::built().pOption(known))
                                     ->pDefaultValue());
  ASSERT_NE(built, nullptr);
  const int knownDefault = built->value();
  struct OtherName : KyAnalysisServiceName {
    KyServiceItemDescriptionManager* pInputDescription() override { return &descriptions; }
    KyServiceItemDescriptionManager descriptions;
  };

  KyServiceInputData unnamed;
  EXPECT_EQ(KyAnalysisOptionDescriptionManager::defaultInteger(unnamed, known), 0);

  KyServiceInputData request;
  auto* name = new KyAnalysisServiceName;
  request.pServiceName(name);
  EXPECT_EQ(KyAnalysisOptionDescriptionManager::defaultInteger(request, known), knownDefault);
  EXPECT_EQ(KyAnalysisOptionDescriptionManager::defaultInteger(request, own), 0);
  EXPECT_EQ(name->pInputDescriptionForLookup(), &KyAnalysisOptionDescriptionManager::built());
  name->pInputDescription()->pOption(new KyServiceOptionDescription(
      own, L"KyGraph", L"Integer", nullptr, 0, 1, nullptr, new KyInt(7)));
  EXPECT_EQ(name->pInputDescriptionForLookup(), name->pInputDescription());
  EXPECT_EQ(KyAnalysisOptionDescriptionManager::defaultInteger(request, own), 7);
  EXPECT_EQ(KyAnalysisOptionDescriptionManager::defaultInteger(request, known), knownDefault);
  EXPECT_EQ(KyAnalysisOptionDescriptionManager::built().pOption(own), nullptr)
      << "the shared set is not changed";

  KyServiceInputData other;
  auto* otherName = new OtherName;
  other.pServiceName(otherName);
  otherName->descriptions.pOption(new KyServiceOptionDescription(
      known, L"KyEdge", L"Integer", nullptr, 0, 1, nullptr, new KyInt(knownDefault + 1)));
  EXPECT_EQ(KyAnalysisOptionDescriptionManager::defaultInteger(other, known), knownDefault + 1);
}

} // namespace
