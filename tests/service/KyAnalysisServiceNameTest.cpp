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
} // namespace
