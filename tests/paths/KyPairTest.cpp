#include <kyanalysis/KyPair.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyServiceData.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

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

// A pair that counts its live instances, to tell which pairs a store kept.
class CountedPair : public KyPair {
public:
  CountedPair(KyObject* first, KyObject* second) : KyPair(first, second) { ++live; }
  ~CountedPair() override { --live; }
  static inline int live = 0;
};

int integerUnder(const KyServiceData& data, KyObject* first, KyObject* second, const wchar_t* key) {
  const KyPair lookup(first, second);
  const auto* value = dynamic_cast<const KyInt*>(data.pValue(&lookup, key));
  return value != nullptr ? value->value() : -1;
}

// As owners, pairs are ordered and each diagonal pair is an owner of its own;
// a fresh equal pair finds a value. The store keeps no pair of two nodes:
// one handed over goes at once, and a walk hands out pairs it makes.
TEST_F(KyPairTest, AsOwnersPairsAreOrderedAndTheDiagonalIsDistinct) {
  {
    KyServiceOutputData data;
    const wchar_t* key = L"k:(KyNode,KyNode):x";
    const struct {
      KyNode *first, *second;
      int value;
    } stored[] = {{a, b, 1}, {b, a, 2}, {a, a, 3}, {b, b, 4}};
    for (const auto& s : stored)
      data.setValue(new CountedPair(s.first, s.second), key, new KyInt(s.value), 1, 1);
    EXPECT_EQ(CountedPair::live, 0);
    for (const auto& s : stored)
      EXPECT_EQ(integerUnder(data, s.first, s.second, key), s.value);

    data.setValue(new CountedPair(a, a), key, new KyInt(5), 1, 1);
    EXPECT_EQ(integerUnder(data, a, a, key), 5);
    EXPECT_EQ(integerUnder(data, b, b, key), 4);
    KyPair removed(b, a);
    data.setValue(&removed, key, nullptr, 0, 0);
    EXPECT_EQ(integerUnder(data, b, a, key), -1);
    EXPECT_EQ(integerUnder(data, a, b, key), 1);
    EXPECT_EQ(data.numberOfValues(), 3);

    std::vector<std::pair<KyObject*, KyObject*>> owners;
    data.visitValues([&](const KyObject* owner, const wchar_t*, KyObject*) {
      const auto* pair = dynamic_cast<const KyPair*>(owner);
      ASSERT_NE(pair, nullptr);
      owners.emplace_back(pair->pFirstObject(), pair->pSecondObject());
    });
    std::sort(owners.begin(), owners.end());
    std::vector<std::pair<KyObject*, KyObject*>> expected{{a, b}, {a, a}, {b, b}};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(owners, expected);
  }
  EXPECT_EQ(CountedPair::live, 0);
}

// Pairs of nodes and edges of two graphs, with a null or a value member,
// in both orders and on the diagonal, held by the caller or handed over,
// under two keys, at random: the store answers as a map keyed by the
// members does, and releases every pair handed over.
TEST_F(KyPairTest, AsOwnersPairsMatchAMapUnderRandomChurn) {
  std::mt19937 random(9);
  KyGraph other;
  KyInt value(0);
  std::vector<KyObject*> members{nullptr, &value, b, other.addNode(), other.addNode()};
  for (int i = 0; i < 40; ++i)
    members.push_back(graph.addNode());
  for (int i = 0; i < 20; ++i)
    members.push_back(graph.addEdge(a, b));
  using Owner = std::tuple<KyObject*, KyObject*, int>;
  std::map<Owner, int> model;
  std::vector<std::unique_ptr<KyPair>> callerPairs;
  {
    KyServiceOutputData data;
    const wchar_t* keys[] = {L"k:(KyNode,KyNode):x", L"k:(KyNode,KyNode):y"};
    for (int round = 0; round < 20000; ++round) {
      KyObject* first = members[random() % members.size()];
      KyObject* second = random() % 4 == 0 ? first : members[random() % members.size()];
      const int key = static_cast<int>(random() % 2);
      const unsigned how = random() % 5;
      if (how == 0) {
        KyPair lookup(first, second);
        data.setValue(&lookup, keys[key], nullptr, 0, 0);
        model.erase({first, second, key});
      } else if (how == 1) {
        callerPairs.push_back(std::make_unique<KyPair>(first, second));
        data.setValue(callerPairs.back().get(), keys[key], new KyInt(round), 1, 0);
        model[{first, second, key}] = round;
      } else {
        data.setValue(new CountedPair(first, second), keys[key], new KyInt(round), 1, 1);
        model[{first, second, key}] = round;
      }
    }
    ASSERT_EQ(data.numberOfValues(), static_cast<int>(model.size()));
    int visited = 0;
    data.visitValues([&](const KyObject* owner, const wchar_t* key, KyObject* stored) {
      const auto* pair = dynamic_cast<const KyPair*>(owner);
      ASSERT_NE(pair, nullptr);
      const int k = std::wstring(key) == keys[1] ? 1 : 0;
      const auto found = model.find({pair->pFirstObject(), pair->pSecondObject(), k});
      ASSERT_NE(found, model.end());
      EXPECT_EQ(KyInt::castDown(stored)->value(), found->second);
      ++visited;
    });
    EXPECT_EQ(visited, static_cast<int>(model.size()));
    for (KyObject* first : members)
      for (KyObject* second : members)
        for (int key = 0; key < 2; ++key) {
          const auto found = model.find({first, second, key});
          ASSERT_EQ(integerUnder(data, first, second, keys[key]),
                    found != model.end() ? found->second : -1);
        }
  }
  EXPECT_EQ(CountedPair::live, 0);
}

// Pairs of a graph of 80 nodes fill the pair index, then 64-slot chunks
// by first node and block of second nodes; nodes past 64 fill a second
// chunk of their column. A walk gives every value with the owner it was
// stored under, past the first block of either as in it.
TEST(KyPairStore, WalksPairsAndMembersPastTheirFirstBlock) {
  constexpr int kNodes = 80;
  KyGraph graph;
  std::vector<KyNode*> nodes;
  for (int i = 0; i < kNodes; ++i)
    nodes.push_back(graph.addNode());
  KyServiceOutputData data;
  for (int a = 0; a < kNodes; ++a) {
    data.storeInteger(nodes[a], L"k:node:x", a);
    for (int b = 0; b < kNodes; ++b)
      data.storeInteger(new KyPair(nodes[a], nodes[b]), L"k:(KyNode,KyNode):x", a * 1000 + b, 1);
  }
  ASSERT_EQ(data.numberOfValues(), kNodes + kNodes * kNodes);
  std::map<std::pair<int, int>, int> pairs;
  std::map<int, int> members;
  data.visitValues([&](const KyObject* owner, const wchar_t*, KyObject* value) {
    const int read = KyInt::castDown(value)->value();
    if (const auto* pair = dynamic_cast<const KyPair*>(owner)) {
      const auto* first = dynamic_cast<const KyNode*>(pair->pFirstObject());
      const auto* second = dynamic_cast<const KyNode*>(pair->pSecondObject());
      ASSERT_NE(first, nullptr);
      ASSERT_NE(second, nullptr);
      EXPECT_TRUE(pairs.emplace(std::make_pair(first->index(), second->index()), read).second);
    } else {
      const auto* node = dynamic_cast<const KyNode*>(owner);
      ASSERT_NE(node, nullptr);
      EXPECT_TRUE(members.emplace(node->index(), read).second);
    }
  });
  ASSERT_EQ(pairs.size(), static_cast<std::size_t>(kNodes * kNodes));
  for (const auto& [at, value] : pairs)
    ASSERT_EQ(value, at.first * 1000 + at.second) << at.first << ", " << at.second;
  ASSERT_EQ(members.size(), static_cast<std::size_t>(kNodes));
  for (const auto& [at, value] : members)
    ASSERT_EQ(value, at);
  // A fresh pair finds each value, in the index and in the chunks alike.
  for (const int a : {0, 1, 63, 64, 79})
    for (const int b : {0, 1, 63, 64, 79}) {
      KyPair lookup(nodes[a], nodes[b]);
      EXPECT_EQ(data.getValueAsInteger(&lookup, L"k:(KyNode,KyNode):x"), a * 1000 + b);
    }
}

} // namespace
