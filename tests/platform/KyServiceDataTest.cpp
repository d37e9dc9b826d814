// The (owner, key) value store behind service input and output data.
#include "platform/KyProbe.h"

#include <kyplatform/KyDouble.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceName.h>

#include <map>
#include <random>
#include <string>

namespace {

class KyCountedName : public KyServiceName {
public:
  KyCountedName() { ++live; }
  ~KyCountedName() override { --live; }
  static inline int live = 0;
};

int keyOf(const KyObject* probe) {
  return probe != nullptr ? static_cast<const KyProbe*>(probe)->key() : -1;
}

using KyServiceDataTest = KyProbeTest;

TEST_F(KyServiceDataTest, OwnedValuesAreReleasedOnReplaceAndRemoveReferencesNever) {
  KyProbe reference(7);
  KyProbe owner(1);
  KyServiceInputData data;
  data.setValue(&owner, L"k:graph:a", new KyProbe(10), 1, 0);
  data.setValue(nullptr, L"k:graph:a", &reference, 0, 0);
  EXPECT_EQ(data.numberOfValues(), 2);

  data.setValue(&owner, L"k:graph:a", new KyProbe(11), 1, 0);
  EXPECT_EQ(KyProbe::live, 3);
  const std::wstring sameText = L"k:graph:a";
  EXPECT_EQ(keyOf(data.pValue(&owner, sameText.c_str())), 11);
  EXPECT_EQ(keyOf(data.pValue(nullptr, sameText.c_str())), 7);
  EXPECT_EQ(data.pValue(&owner, L"k:graph:b"), nullptr);

  data.setValue(&owner, L"k:graph:a", &reference, 0, 0);
  EXPECT_EQ(KyProbe::live, 2);
  data.setValue(&owner, L"k:graph:a", nullptr, 0, 0);
  data.setValue(nullptr, L"k:graph:a", nullptr, 1, 0);
  data.setValue(nullptr, L"k:never:set", nullptr, 1, 0);
  EXPECT_EQ(data.numberOfValues(), 0);
  EXPECT_EQ(KyProbe::live, 2);
}

TEST_F(KyServiceDataTest, RestoringTheHeldValueNeitherLeaksNorFreesTwice) {
  KyServiceOutputData data;
  auto* value = new KyProbe(1);
  for (int owned : {1, 1, 0, 0})
    data.setValue(nullptr, L"k", value, owned, 0);
  EXPECT_EQ(data.pValue(nullptr, L"k"), value);
}

TEST_F(KyServiceDataTest, EqualOwnersShareAnEntryAndHandedOwnersAreKeptOnce) {
  KyServiceOutputData data;
  KyProbe callerOwner(3);
  data.setValue(&callerOwner, L"k", new KyInt(1), 1, 0);
  KyProbe lookup(3);
  EXPECT_EQ(data.getValueAsInteger(&lookup, L"k"), 1);

  // An equal owner handed over replaces the caller's as the entry's owner.
  data.setValue(new KyProbe(3), L"k", new KyInt(2), 1, 1);
  EXPECT_EQ(KyProbe::live, 3);
  // A further equal owner handed over is released at once.
  data.setValue(new KyProbe(3), L"k", new KyInt(3), 1, 1);
  EXPECT_EQ(KyProbe::live, 3);
  EXPECT_EQ(data.getValueAsInteger(&callerOwner, L"k"), 3);

  data.setValue(new KyProbe(4), L"k", new KyInt(4), 1, 1);
  data.setValue(new KyProbe(5), L"k", nullptr, 1, 1);
  EXPECT_EQ(KyProbe::live, 4);
  data.setValue(&lookup, L"k", nullptr, 0, 0);
  EXPECT_EQ(KyProbe::live, 3);
  EXPECT_EQ(data.numberOfValues(), 1);
}

TEST_F(KyServiceDataTest, NullKeyStoresNothingAndLosesNothing) {
  KyServiceInputData data;
  data.setValue(new KyProbe(1), nullptr, new KyProbe(2), 1, 1);
  KyProbe owner(3), value(4);
  data.setValue(&owner, nullptr, &value, 0, 0);
  EXPECT_EQ(data.numberOfValues(), 0);
  EXPECT_EQ(data.pValue(nullptr, nullptr), nullptr);
  EXPECT_EQ(KyProbe::live, 2);
}

TEST_F(KyServiceDataTest, IntegerReadingOfOtherValuesIsZero) {
  KyServiceOutputData data;
  data.setValue(nullptr, L"int", new KyInt(-5), 1, 0);
  data.setValue(nullptr, L"double", new KyDouble(2.5), 1, 0);
  EXPECT_EQ(data.getValueAsInteger(nullptr, L"int"), -5);
  EXPECT_EQ(data.getValueAsInteger(nullptr, L"double"), 0);
  EXPECT_EQ(data.getValueAsInteger(nullptr, L"missing"), 0);
}

// Colliding owner hashes and random removals exercise probing, growth and
// the closing of gaps left by removed entries; the walk sees each entry once.
TEST_F(KyServiceDataTest, MatchesAMapUnderRandomChurn) {
  std::mt19937 random(11);
  std::map<std::pair<int, int>, int> model;
  {
    KyServiceInputData data;
    const wchar_t* keys[] = {L"a:node:x", L"b:edge:y"};
    for (int round = 0; round < 4000; ++round) {
      const int owner = static_cast<int>(random() % 300);
      const int key = static_cast<int>(random() % 2);
      if (random() % 3 == 0) {
        data.setValue(new KyProbe(owner, 8), keys[key], nullptr, 0, 1);
        model.erase({owner, key});
      } else {
        data.setValue(new KyProbe(owner, 8), keys[key], new KyInt(round), 1, 1);
        model[{owner, key}] = round;
      }
    }
    ASSERT_EQ(data.numberOfValues(), static_cast<int>(model.size()));
    std::map<std::pair<int, int>, int> visited;
    data.visitValues([&](const KyObject* owner, const wchar_t* key, KyObject* value) {
      const std::pair<int, int> at{keyOf(owner), std::wstring(key) == keys[1] ? 1 : 0};
      EXPECT_TRUE(visited.emplace(at, KyInt::castDown(value)->value()).second);
    });
    EXPECT_EQ(visited, model);
    for (int owner = 0; owner < 300; ++owner)
      for (int key = 0; key < 2; ++key) {
        const KyProbe lookup(owner, 8);
        const auto found = model.find({owner, key});
        const KyObject* value = data.pValue(&lookup, keys[key]);
        ASSERT_EQ(value != nullptr, found != model.end()) << owner << " " << key;
        if (value != nullptr) {
          EXPECT_EQ(KyInt::castDown(value)->value(), found->second);
        }
      }
  }
  EXPECT_EQ(KyProbe::live, 0);
}

TEST(KyServiceData, OwnsItsServiceName) {
  {
    KyServiceInputData data;
    EXPECT_EQ(data.pServiceName(), nullptr);
    auto* first = new KyCountedName;
    EXPECT_EQ(data.pServiceName(first), first);
    EXPECT_EQ(data.pServiceName(first), first);
    EXPECT_EQ(KyCountedName::live, 1);
    data.pServiceName(new KyCountedName);
    EXPECT_EQ(KyCountedName::live, 1);
  }
  EXPECT_EQ(KyCountedName::live, 0);
}

} // namespace
