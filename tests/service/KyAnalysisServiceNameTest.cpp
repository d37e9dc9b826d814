// The analysis service name: lazily built descriptions and their ownership.
#include <kyanalysis/KyAnalysisOptionDescriptionManager.h>
#include <kyanalysis/KyAnalysisResultDescriptionManager.h>
#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyanalysis/KyServiceData.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

// Every allocation of this test program is counted, so that a test can tell
// whether a call built anything.
namespace {
std::size_t allocations = 0;

void* countedAllocation(std::size_t size) noexcept {
  ++allocations;
  return std::malloc(size != 0 ? size : 1);
}

// Kept out of line: inlined into a delete expression, free() would look
// mismatched with the operator new that made the object.
[[gnu::noinline]] void release(void* memory) noexcept { std::free(memory); }
} // namespace

void* operator new(std::size_t size) {
  if (void* memory = countedAllocation(size))
    return memory;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return countedAllocation(size);
}
void operator delete(void* memory) noexcept { release(memory); }
void operator delete(void* memory, std::size_t) noexcept { release(memory); }

namespace {
TEST(KyAnalysisServiceNameTest, BuildsEachDescriptionOnFirstDemandOnly) {
  const struct {
    KyServiceItemDescriptionManager* (KyAnalysisServiceName::*get)();
    int descriptions;
  } kGetters[] = {{&KyAnalysisServiceName::pInputDescription, 75},
                  {&KyAnalysisServiceName::pOutputDescription, 65}};
  for (const auto& getter : kGetters) {
    SCOPED_TRACE(getter.descriptions);
    KyAnalysisServiceName name;
    KyAnalysisServiceName other;
    const std::size_t before = allocations;
    name.pDefaultName();
    name.pServiceClassName();
    EXPECT_EQ(allocations, before);

    KyServiceItemDescriptionManager* manager = (name.*getter.get)();
    EXPECT_GT(allocations, before);
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->pDescriptionList()->length(), getter.descriptions);
    const std::size_t built = allocations;
    EXPECT_EQ((name.*getter.get)(), manager);
    EXPECT_EQ(allocations, built);
    EXPECT_NE((other.*getter.get)(), manager);
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
