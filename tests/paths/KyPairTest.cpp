#include <kyanalysis/KyPair.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

class KyPairTest : public ::testing::Test {
protected:
  KyGraph graph;
  KyNode* a = graph.addNode();
  KyNode* b = graph.addNode();
};

TEST_F(KyPairTest, EqualityIsOrderedAndMemberwise) {
  KyInt three(3), otherThree(3);
  const struct {
    KyPair left, right;
    bool equal;
  } cases[] = {
      {{a, b}, {a, b}, true},
      {{a, b}, {b, a}, false},
      {{a, nullptr}, {a, nullptr}, true},
      {{a, nullptr}, {a, b}, false},
      {{nullptr, b}, {a, b}, false},
      {{a, b}, {nullptr, b}, false},
      {{}, {}, true},
      {{}, {a, nullptr}, false},
      {{&three, a}, {&otherThree, a}, true}, // members decide through their own equals()
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    EXPECT_EQ(c.left.equals(&c.right), c.equal);
    EXPECT_EQ(c.right.equals(&c.left), c.equal);
    if (c.equal) {
      EXPECT_EQ(c.left.hashCode(), c.right.hashCode());
    }
  }
}

TEST_F(KyPairTest, NeverEqualsNullOrAnotherClass) {
  const KyInt notAPair(0);
  EXPECT_FALSE(KyPair(a, b).equals(nullptr));
  EXPECT_FALSE(KyPair().equals(nullptr));
  EXPECT_FALSE(KyPair(a, b).equals(a));
  EXPECT_FALSE(KyPair().equals(&notAPair));
}

TEST_F(KyPairTest, CopiesShareTheMembers) {
  const KyPair pair(a, b);
  std::unique_ptr<KyPair> deep(pair.cloneObject());
  std::unique_ptr<KyPair> attributes(pair.cloneAttributes());
  KyPair assigned;
  assigned = pair;
  KyPair copied(b, a);
  copied.copyAttributes(&pair);
  for (const KyPair* copy : {deep.get(), attributes.get(), &assigned, &copied}) {
    EXPECT_EQ(copy->pFirstObject(), a);
    EXPECT_EQ(copy->pSecondObject(), b);
  }
  KyPair& self = copied;
  copied = self;
  copied.copyObject(nullptr);
  copied.copyObject(a);
  EXPECT_TRUE(copied.equals(&pair));
}

} // namespace
