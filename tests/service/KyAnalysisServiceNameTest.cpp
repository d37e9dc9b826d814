// The analysis service name: its descriptions, built once, and their ownership.
#include <kyanalysis/KyAnalysisOptionDescriptionManager.h>
#include <kyanalysis/KyAnalysisResultDescriptionManager.h>
#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyplatform/KyServiceData.h>

#include <gtest/gtest.h>

namespace {
TEST(KyAnalysisServiceNameTest, BuildsEachDescriptionOncePerName) {
  for (auto get :
       {&KyAnalysisServiceName::pInputDescription, &KyAnalysisServiceName::pOutputDescription}) {
    KyAnalysisServiceName name;
    KyAnalysisServiceName other;
    KyServiceItemDescriptionManager* manager = (name.*get)();
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ((name.*get)(), manager);
    EXPECT_NE((other.*get)(), manager);
  }
  KyAnalysisServiceName name;
  EXPECT_NE(dynamic_cast<KyAnalysisOptionDescriptionManager*>(name.pInputDescription()), nullptr);
  EXPECT_NE(dynamic_cast<KyAnalysisResultDescriptionManager*>(name.pOutputDescription()), nullptr);
}

// Whatever was built goes with the name, also when a data store owns it.
TEST(KyAnalysisServiceNameTest, DestructionReleasesWhateverWasBuilt) {
  for (int asked = 0; asked < 4; ++asked) {
    KyServiceInputData input;
    KyServiceName* name = input.pServiceName(new KyAnalysisServiceName);
    if (asked & 1)
      name->pInputDescription();
    if (asked & 2)
      name->pOutputDescription();
  }
}

// Writers write integers and pairs themselves only for names whose
// converters are known: a subclass may convert its own way.
TEST(KyAnalysisServiceNameTest, OnlyTheLibrarysOwnNamesLetWritersWriteTextsThemselves) {
  class OtherName : public KyServiceName {};
  class OtherAnalysisName : public KyAnalysisServiceName {};
  KyServiceName base;
  OtherName other;
  KyAnalysisServiceName analysis;
  OtherAnalysisName otherAnalysis;
  const struct {
    const char* name;
    KyServiceName& serviceName;
    int plain;
  } cases[] = {
      {"the base", base, KyServiceName::kIntegerTexts},
      {"a subclass of the base", other, 0},
      {"the analysis name", analysis, KyServiceName::kIntegerTexts | KyServiceName::kPairTexts},
      {"a subclass of the analysis name", otherAnalysis, 0},
  };
  for (const auto& test : cases)
    EXPECT_EQ(test.serviceName.plainTexts(), test.plain) << test.name;
}
} // namespace
