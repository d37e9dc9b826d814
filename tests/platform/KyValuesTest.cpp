// Object claims, value objects and KyHashMap.
#include "platform/KyProbe.h"

#include <kyplatform/KyDouble.h>
#include <kyplatform/KyHashMap.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyText.h>

#include <cmath>
#include <functional>
#include <memory>

namespace {

using Make = std::function<KyObject*()>;

TEST(KyObject, LastClaimDeletesAndCopiesStartWithOneClaim) {
  auto* probe = new KyProbe;
  probe->vClaim();
  EXPECT_EQ(probe->claims(), 2);
  probe->vRelease();
  EXPECT_EQ(KyProbe::live, 1);
  probe->vRelease();
  EXPECT_EQ(KyProbe::live, 0);

  KyObject original;
  original.vClaim();
  KyObject copy(original);
  EXPECT_EQ(copy.claims(), 1);
  copy = original;
  EXPECT_EQ(copy.claims(), 1);
}

TEST(KyValues, EqualityAndHashAgree) {
  const double nan = std::nan("");
  struct Case {
    const char* name;
    Make a, b;
    bool equal;
  } cases[] = {
      {"same int", [] { return new KyInt(3); }, [] { return new KyInt(3); }, true},
      {"other int", [] { return new KyInt(3); }, [] { return new KyInt(4); }, false},
      {"int vs double", [] { return new KyInt(1); }, [] { return new KyDouble(1.0); }, false},
      {"signed zeros", [] { return new KyDouble(0.0); }, [] { return new KyDouble(-0.0); }, true},
      {"nan", [=] { return new KyDouble(nan); }, [=] { return new KyDouble(-nan); }, true},
      {"nan vs number", [=] { return new KyDouble(nan); }, [] { return new KyDouble(1); }, false},
      {"same text", [] { return new KyText(L"ab"); }, [] { return new KyText(L"ab"); }, true},
      {"null text", [] { return new KyText(nullptr); }, [] { return new KyText(L""); }, true},
      {"other text", [] { return new KyText(L"ab"); }, [] { return new KyText(L"a"); }, false},
      {"identity", [] { return new KyObject; }, [] { return new KyObject; }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<KyObject> a(c.a()), b(c.b());
    EXPECT_TRUE(a->equals(a.get()));
    EXPECT_FALSE(a->equals(nullptr));
    EXPECT_EQ(a->equals(b.get()), c.equal);
    EXPECT_EQ(b->equals(a.get()), c.equal);
    if (c.equal) {
      EXPECT_EQ(a->hashCode(), b->hashCode());
    }
  }
  EXPECT_STREQ(KyText(nullptr).pValue(), L"");
}

using KyHashMapTest = KyProbeTest;

TEST_F(KyHashMapTest, EqualKeyReplacesValueInPlaceAndReleasesTheSpares) {
  KyHashMap map(1);
  map.put(new KyProbe(1), new KyProbe(10));
  map.put(new KyProbe(2), new KyProbe(20));
  map.put(new KyProbe(1), new KyProbe(11));
  ASSERT_EQ(map.length(), 2);
  EXPECT_EQ(KyProbe::live, 4);
  const KyProbe key(1);
  EXPECT_EQ(static_cast<KyProbe*>(map.pValue(&key))->key(), 11);
  EXPECT_EQ(static_cast<KyProbe*>(map.pKeyAt(0))->key(), 1);
  EXPECT_EQ(static_cast<KyProbe*>(map.pValueAt(1))->key(), 20);

  // The very same key and value again: kept, not released.
  map.put(map.pKeyAt(1), map.pValueAt(1));
  EXPECT_EQ(map.length(), 2);
  EXPECT_EQ(static_cast<KyProbe*>(map.pValueAt(1))->key(), 20);
}

TEST_F(KyHashMapTest, EdgesLoseNothing) {
  KyHashMap map(0);
  map.put(nullptr, new KyProbe);
  map.put(new KyProbe, nullptr);
  EXPECT_EQ(map.length(), 0);
  EXPECT_EQ(KyProbe::live, 0);
  EXPECT_EQ(map.pValue(nullptr), nullptr);
  for (int index : {-1, 0, 1}) {
    EXPECT_EQ(map.pKeyAt(index), nullptr);
    EXPECT_EQ(map.pValueAt(index), nullptr);
  }
}

TEST_F(KyHashMapTest, CollidingKeysStayApart) {
  KyHashMap map(4);
  const int count = 200;
  for (int i = 0; i < count; ++i)
    map.put(new KyProbe(i, 50), new KyInt(i));
  ASSERT_EQ(map.length(), count);
  for (int i = 0; i < count; ++i) {
    const KyProbe key(i, 50);
    EXPECT_EQ(KyInt::castDown(map.pValue(&key))->value(), i);
    EXPECT_EQ(KyInt::castDown(map.pValueAt(i))->value(), i);
  }
  const KyProbe absent(count, 50);
  EXPECT_EQ(map.pValue(&absent), nullptr);
}

} // namespace
