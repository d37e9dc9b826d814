// Item descriptions and their manager, constraints and their manager, and
// which platform classes may be copied.
#include "platform/KyProbe.h"

#include <kyplatform/KyBinTree.h>
#include <kyplatform/KyConstraint.h>
#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyHashMap.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KySerializer.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyServiceName.h>

#include <type_traits>

namespace {

// Containers and owners must not copy (a shallow copy would free twice);
// constraints and serializers are values.
static_assert(!std::is_copy_constructible_v<KyDListCell> &&
              !std::is_copy_assignable_v<KyDListCell>);
static_assert(!std::is_copy_constructible_v<KyDList> &&
              !std::is_copy_constructible_v<KySortedBinTree>);
static_assert(!std::is_copy_constructible_v<KyHashMap> && !std::is_copy_constructible_v<KyGraph>);
static_assert(!std::is_copy_constructible_v<KyNode> &&
              !std::is_copy_constructible_v<KyServiceName>);
static_assert(!std::is_copy_constructible_v<KyServiceInputData>);
static_assert(!std::is_copy_constructible_v<KyServiceItemDescriptionManager>);
static_assert(!std::is_copy_constructible_v<KyConstraintManager>);
static_assert(std::is_copy_constructible_v<KyConstraint> &&
              std::is_copy_assignable_v<KySerializer>);

using KyDescriptionTest = KyProbeTest;

TEST_F(KyDescriptionTest, OptionOwnsItsMapAndDefaultAndKeepsNullExplanation) {
  auto* names = new KyHashMap(1);
  names->put(new KyProbe(1), new KyInt(0));
  {
    KyServiceOptionDescription option(nullptr, L"KyGraph", nullptr, nullptr, 0, 1, names,
                                      new KyProbe(2));
    EXPECT_STREQ(option.pKey(), L"");
    EXPECT_STREQ(option.pValueType(), L"");
    EXPECT_EQ(option.pExplanation(), nullptr);
  }
  EXPECT_EQ(KyProbe::live, 0);
}

TEST(KyServiceItemDescriptionManager, RegistersOncePerKeyInOrder) {
  KyServiceItemDescriptionManager manager;
  auto* first = new KyServiceResultDescription(L"a:none:x", L"none", L"Integer", nullptr);
  auto* second = new KyServiceOptionDescription(L"a:graph:y", L"KyGraph", L"Boolean", nullptr, 1, 1,
                                                nullptr, nullptr);
  EXPECT_EQ(manager.pOption(first), first);
  EXPECT_EQ(manager.pOption(second), second);
  EXPECT_EQ(manager.pOption(static_cast<KyServiceItemDescription*>(nullptr)), nullptr);

  KyServiceResultDescription duplicate(L"a:none:x", L"none", L"Double", nullptr);
  EXPECT_EQ(manager.pOption(&duplicate), nullptr);
  EXPECT_EQ(manager.pOption(L"a:none:x"), first);
  EXPECT_EQ(manager.pOption(static_cast<const wchar_t*>(nullptr)), nullptr);
  EXPECT_EQ(manager.pOption(L"a:none"), nullptr);
  ASSERT_EQ(manager.pDescriptionList()->length(), 2);
  EXPECT_EQ(manager.pDescriptionList()->pLastCell()->pObject(), second);
}

class KyCountedConstraint : public KyConstraint {
public:
  explicit KyCountedConstraint(long priority) : KyConstraint(priority, L"counted") { ++live; }
  ~KyCountedConstraint() override { --live; }
  static inline int live = 0;
};

TEST(KyConstraintManager, OwnsWhatItHoldsAndHandsBackWhatIsRemoved) {
  KyConstraintManager other;
  {
    KyGraph graph;
    KyConstraintManager manager(&graph);
    EXPECT_EQ(manager.pGraphManager(), &graph);
    auto* a = new KyCountedConstraint(1);
    auto* b = new KyCountedConstraint(2);
    auto* c = new KyCountedConstraint(3);
    for (KyConstraint* constraint : {a, b, c})
      EXPECT_EQ(manager.insertConstraint(constraint), constraint);
    EXPECT_EQ(manager.insertConstraint(b), nullptr);
    EXPECT_EQ(other.insertConstraint(b), nullptr);
    EXPECT_EQ(manager.insertConstraint(nullptr), nullptr);

    EXPECT_EQ(other.removeConstraint(a), nullptr);
    EXPECT_EQ(manager.removeConstraint(a), a);
    EXPECT_EQ(a->pManager(), nullptr);
    EXPECT_EQ(other.insertConstraint(a), a);

    delete b; // leaves the manager on its own
    ASSERT_EQ(manager.pConstraintList()->length(), 1);
    EXPECT_EQ(manager.pConstraintList()->pFirstCell()->pObject(), c);
    other.discardConstraint(c);
    EXPECT_EQ(KyCountedConstraint::live, 2);
    manager.discardConstraint(c);
    EXPECT_EQ(KyCountedConstraint::live, 1);
  }
  EXPECT_EQ(KyCountedConstraint::live, 1);
  other.discardAllConstraints();
  EXPECT_EQ(other.pConstraintList()->length(), 0);
  EXPECT_EQ(KyCountedConstraint::live, 0);
}

TEST(KyConstraint, CopiesCarryPriorityAndNameButNoManager) {
  KyConstraintManager manager;
  auto* held = new KyConstraint(4, L"held");
  manager.insertConstraint(held);
  KyConstraint copy(*held);
  EXPECT_EQ(copy.priority(), 4);
  EXPECT_STREQ(copy.pName(), L"held");
  EXPECT_EQ(copy.pManager(), nullptr);

  KyConstraint target(1, nullptr);
  EXPECT_STREQ(target.pName(), L"");
  KyProbe notAConstraint;
  for (const KyObject* source :
       {static_cast<const KyObject*>(nullptr), static_cast<const KyObject*>(&notAConstraint)}) {
    target.copyObject(source);
    target.copyAttributes(source);
  }
  EXPECT_EQ(target.priority(), 1);
  target.copyAttributes(held);
  EXPECT_STREQ(target.pName(), L"held");
  target.priority(9);
  *held = target;
  EXPECT_EQ(held->priority(), 9);
  EXPECT_EQ(held->pManager(), &manager);
}

} // namespace
