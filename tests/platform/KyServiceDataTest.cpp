// The (owner, key) value store behind service input and output data.
#include "platform/KyProbe.h"
#include "support/KyDataTesting.h"

#include <kyplatform/KyDouble.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceName.h>

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

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

// Members at the same positions of two graphs, a node and an edge at the
// same position, and the graph itself are different owners under one key.
TEST_F(KyServiceDataTest, MembersOfTwoGraphsKeepTheirOwnValuesUnderOneKey) {
  KyGraph first, second;
  KyNode* a1 = first.addNode();
  KyNode* a2 = second.addNode();
  KyEdge* loop1 = first.addEdge(a1, a1);
  KyServiceOutputData data;
  const wchar_t* key = L"k:node:x";
  data.setValue(a1, key, new KyProbe(1), 1, 0);
  data.setValue(a2, key, new KyProbe(2), 1, 0);
  data.setValue(loop1, key, new KyProbe(3), 1, 0);
  data.setValue(&first, key, new KyProbe(4), 1, 0);
  EXPECT_EQ(keyOf(data.pValue(a1, key)), 1);
  EXPECT_EQ(keyOf(data.pValue(a2, key)), 2);
  EXPECT_EQ(keyOf(data.pValue(loop1, key)), 3);
  EXPECT_EQ(keyOf(data.pValue(&first, key)), 4);
  EXPECT_EQ(data.pValue(second.addEdge(a2, a2), key), nullptr);

  data.setValue(a1, key, nullptr, 0, 0);
  EXPECT_EQ(data.pValue(a1, key), nullptr);
  EXPECT_EQ(keyOf(data.pValue(a2, key)), 2);
  EXPECT_EQ(KyProbe::live, 3);
  EXPECT_EQ(data.numberOfValues(), 3);
}

// A member's value replaced by a value handed over, by a reference, by an
// integer, then removed and set again: each value the store held goes once.
TEST_F(KyServiceDataTest, AMembersValueIsReplacedAndRemoved) {
  KyGraph graph;
  KyNode* node = graph.addNode();
  KyProbe reference(9);
  KyServiceInputData data;
  const wchar_t* key = L"k:node:x";
  data.setValue(node, key, new KyProbe(1), 1, 0);
  data.setValue(node, key, new KyProbe(2), 1, 0);
  EXPECT_EQ(KyProbe::live, 2);
  data.setValue(node, key, &reference, 0, 0);
  EXPECT_EQ(KyProbe::live, 1);
  EXPECT_EQ(data.pValue(node, key), &reference);
  data.setValue(node, key, new KyInt(5), 1, 0);
  EXPECT_EQ(data.getValueAsInteger(node, key), 5);
  data.setValue(node, key, nullptr, 0, 0);
  EXPECT_EQ(data.pValue(node, key), nullptr);
  EXPECT_EQ(data.numberOfValues(), 0);
  data.setValue(node, key, nullptr, 0, 0);
  data.setValue(node, key, new KyInt(6), 1, 0);
  EXPECT_EQ(data.getValueAsInteger(node, key), 6);
  EXPECT_EQ(data.numberOfValues(), 1);
  EXPECT_EQ(KyProbe::live, 1);
}

// An integer the store keeps plain reads without its object; once asked
// for, its KyInt stays the same until the value is replaced or removed,
// whatever replaces it, and nothing made is lost or freed twice.
TEST_F(KyServiceDataTest, IntegersTheStoreMakesKeepTheirObjectsUntilReplaced) {
  KyGraph graph;
  KyNode* node = graph.addNode();
  KyEdge* edge = graph.addEdge(node, node);
  KyProbe reference(3);
  const wchar_t* key = L"k:node:x";
  KyServiceOutputData data;
  for (KyObject* owner : {static_cast<KyObject*>(node), static_cast<KyObject*>(edge)}) {
    data.storeInteger(owner, key, 7);
    EXPECT_EQ(data.getValueAsInteger(owner, key), 7);
    const auto* made = dynamic_cast<KyInt*>(data.pValue(owner, key));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->value(), 7);
    EXPECT_EQ(data.pValue(owner, key), made);
    EXPECT_EQ(data.getValueAsInteger(owner, key), 7);
    data.storeInteger(owner, key, 8);
    EXPECT_EQ(data.getValueAsInteger(owner, key), 8);
    EXPECT_EQ(static_cast<KyInt*>(data.pValue(owner, key))->value(), 8);
    data.storeReference(owner, key, &reference);
    EXPECT_EQ(data.pValue(owner, key), &reference);
    EXPECT_EQ(data.getValueAsInteger(owner, key), 0);
    data.storeInteger(owner, key, 9);
    data.storeOwned(owner, key, new KyProbe(4));
    EXPECT_EQ(keyOf(data.pValue(owner, key)), 4);
    data.storeDouble(owner, key, 2.5);
    EXPECT_EQ(data.getValueAsInteger(owner, key), 0);
    data.storeInteger(owner, key, 10);
    data.pValue(owner, key);
    data.removeValue(owner, key);
    EXPECT_EQ(data.pValue(owner, key), nullptr);
    EXPECT_EQ(data.getValueAsInteger(owner, key), 0);
    data.storeInteger(owner, key, 11);
  }
  EXPECT_EQ(data.numberOfValues(), 2);
  EXPECT_EQ(data.getValueAsInteger(edge, key), 11);
  data.pValue(node, key);
  data.removeAllValues();
  EXPECT_EQ(data.numberOfValues(), 0);
  EXPECT_EQ(KyProbe::live, 1);
}

// The number a test value stands for: a probe's key, a KyInt's or
// KyDouble's value; -1 for none.
int numberOf(const KyObject* value) {
  if (const auto* integer = dynamic_cast<const KyInt*>(value))
    return integer->value();
  if (const auto* real = dynamic_cast<const KyDouble*>(value))
    return static_cast<int>(real->value());
  return keyOf(value);
}

// Nodes and edges of two graphs, the graphs and null as owners under three
// keys; values handed over, referenced, or made by the store, stored,
// replaced and removed at random: the store answers as a map does, visits
// each value once, reads members' integers by position and releases exactly
// the values it was handed. A column move stores integers on every node or
// edge of one graph at once, skipping some, over whatever was there.
TEST_F(KyServiceDataTest, MembersAsOwnersMatchAMapUnderRandomChurn) {
  enum How { kRemove, kReference, kHandOver, kInteger, kDouble, kColumn };
  std::mt19937 random(5);
  KyGraph graphs[2];
  std::vector<KyObject*> owners{nullptr, &graphs[0], &graphs[1]};
  for (KyGraph& graph : graphs) {
    std::vector<KyNode*> nodes;
    for (int i = 0; i < 150; ++i)
      owners.push_back(nodes.emplace_back(graph.addNode()));
    for (int i = 0; i < 300; ++i)
      owners.push_back(graph.addEdge(nodes[random() % 150], nodes[random() % 150]));
  }
  // Per (owner, key): the number of the value and whether it is a KyInt.
  std::map<std::pair<KyObject*, int>, std::pair<int, bool>> model;
  std::vector<std::unique_ptr<KyProbe>> references;
  {
    KyServiceOutputData data;
    const wchar_t* keys[] = {L"a:node:x", L"b:edge:y", L"c:none:z"};
    for (int round = 0; round < 20000; ++round) {
      KyObject* owner = owners[random() % owners.size()];
      const int key = static_cast<int>(random() % 3);
      const auto how = static_cast<How>(random() % 6);
      if (how == kColumn) {
        // Rarely, so that single stores churn between columns; values past
        // the graph's members are ignored.
        if (random() % 50 != 0)
          continue;
        KyGraph& graph = graphs[random() % 2];
        const bool edges = random() % 2 == 0;
        const int members = edges ? graph.numberOfEdges() : graph.numberOfNodes();
        // Integers, or references to objects that stay the test's.
        const bool integers = random() % 2 == 0;
        std::vector<int> column(static_cast<std::size_t>(members) + 3);
        std::vector<KyObject*> objects(column.size(), nullptr);
        for (std::size_t i = 0; i < column.size(); ++i) {
          column[i] = random() % 4 == 0 ? -7 : round;
          if (!integers && column[i] != -7)
            objects[i] = references.emplace_back(std::make_unique<KyProbe>(round)).get();
        }
        if (integers)
          data.storeMemberIntegers(keys[key], graph, edges, column, -7);
        else
          data.storeMemberReferences(keys[key], graph, edges, objects);
        for (int i = 0; i < members; ++i) {
          KyObject* member = edges ? static_cast<KyObject*>(graph.pEdgeAt(i)) : graph.pNodeAt(i);
          if (column[i] != -7)
            model[{member, key}] = {round, integers};
        }
        continue;
      }
      if (how == kRemove) {
        data.removeValue(owner, keys[key]);
        model.erase({owner, key});
        continue;
      }
      if (how == kReference) {
        references.push_back(std::make_unique<KyProbe>(round));
        data.storeReference(owner, keys[key], references.back().get());
      } else if (how == kHandOver) {
        data.storeOwned(owner, keys[key], new KyProbe(round));
      } else if (how == kInteger) {
        data.storeInteger(owner, keys[key], round);
      } else {
        data.storeDouble(owner, keys[key], round);
      }
      model[{owner, key}] = {round, how == kInteger};
    }
    ASSERT_EQ(data.numberOfValues(), static_cast<int>(model.size()));
    // Integer reads go by position for members: before and after pValue()
    // has made the objects of plain integers, they read as the model says.
    const auto expectIntegerReads = [&] {
      for (KyObject* owner : owners)
        for (int key = 0; key < 3; ++key) {
          const auto found = model.find({owner, key});
          int read = -1;
          const auto* member = dynamic_cast<const KyGraphMember*>(owner);
          const bool present = member != nullptr ? data.findMemberInteger(member, keys[key], read)
                                                 : data.findInteger(owner, keys[key], read);
          ASSERT_EQ(present, found != model.end());
          if (present) {
            ASSERT_EQ(read, found->second.second ? found->second.first : 0);
          }
        }
    };
    expectIntegerReads();
    std::map<std::pair<KyObject*, int>, int> visited, expected;
    for (const auto& [at, value] : model)
      expected[at] = value.first;
    data.visitValues([&](const KyObject* owner, const wchar_t* key, KyObject* value) {
      const int k = static_cast<int>(
          std::find_if(std::begin(keys), std::end(keys),
                       [&](const wchar_t* text) { return std::wstring(text) == key; }) -
          std::begin(keys));
      EXPECT_TRUE(
          visited.emplace(std::make_pair(const_cast<KyObject*>(owner), k), numberOf(value)).second);
    });
    EXPECT_EQ(visited, expected);
    for (KyObject* owner : owners)
      for (int key = 0; key < 3; ++key) {
        const auto found = model.find({owner, key});
        const KyObject* value = data.pValue(owner, keys[key]);
        ASSERT_EQ(numberOf(value), found != model.end() ? found->second.first : -1);
        ASSERT_EQ(data.pValue(owner, keys[key]), value);
      }
    expectIntegerReads();
    for (KyGraph& graph : graphs)
      for (const bool edges : {false, true})
        for (int key = 0; key < 3; ++key) {
          const std::vector<int> read = data.memberIntegers(keys[key], graph, edges, -1);
          ASSERT_EQ(read.size(), static_cast<std::size_t>(edges ? graph.numberOfEdges()
                                                                : graph.numberOfNodes()));
          for (std::size_t i = 0; i < read.size(); ++i) {
            KyObject* owner = edges ? static_cast<KyObject*>(graph.pEdgeAt(static_cast<int>(i)))
                                    : graph.pNodeAt(static_cast<int>(i));
            const auto found = model.find({owner, key});
            const int expect = found == model.end()   ? -1
                               : found->second.second ? found->second.first
                                                      : 0;
            ASSERT_EQ(read[i], expect);
          }
        }
  }
  EXPECT_EQ(KyProbe::live, static_cast<int>(references.size()));
  references.clear();
}

// A caller may write one key buffer over and over: what a read finds
// follows the text in the buffer, never the address alone.
TEST(KyServiceData, ReadsFollowTheTextOfAReusedKeyBuffer) {
  KyGraph graph;
  KyNode* node = graph.addNode();
  KyEdge* edge = graph.addEdge(node, node);
  KyServiceInputData data;
  wchar_t buffer[32];
  const auto write = [&](const wchar_t* text) {
    std::wcsncpy(buffer, text, std::size(buffer));
    return buffer;
  };
  data.storeInteger(edge, write(L"a:edge:x"), 1);
  data.storeInteger(edge, write(L"b:edge:y"), 2);
  data.storeInteger(node, write(L"a:node:x"), 3);
  const struct {
    const wchar_t* key;
    const KyGraphMember* member;
    bool found;
    int value;
  } cases[] = {
      {L"a:edge:x", edge, true, 1},  {L"b:edge:y", edge, true, 2},   {L"a:edge:x", edge, true, 1},
      {L"a:node:x", node, true, 3},  {L"a:node:x", edge, false, 0},  {L"a:edge:x", node, false, 0},
      {L"a:edge:", edge, false, 0},  {L"a:edge:xx", edge, false, 0}, {L"", edge, false, 0},
      {L"c:edge:z", edge, false, 0},
  };
  for (const auto& c : cases) {
    int member = -1, owner = -1;
    EXPECT_EQ(data.findMemberInteger(c.member, write(c.key), member), c.found) << c.key;
    EXPECT_EQ(data.findInteger(c.member, write(c.key), owner), c.found) << c.key;
    if (c.found) {
      EXPECT_EQ(member, c.value) << c.key;
      EXPECT_EQ(owner, c.value) << c.key;
    }
  }
}

// A key the key test vouches for is trusted by its address once the store
// has filed a value under that address; before that, and for every key the
// test does not vouch for, reads follow the text.
const wchar_t kOne[] = L"k:edge:one";
const wchar_t kTwo[] = L"k:edge:two";
bool oneAndTwo(const wchar_t* key) { return key == kOne || key == kTwo; }

TEST(KyServiceData, TrustedKeysAreFoundByAddressOnceFiledAndByTextBefore) {
  KyGraph graph;
  KyNode* node = graph.addNode();
  KyEdge* edge = graph.addEdge(node, node);
  for (const bool trusted : {true, false}) {
    SCOPED_TRACE(trusted);
    KyServiceInputData data;
    if (trusted)
      data.trustKeys(&oneAndTwo);
    data.storeInteger(edge, std::wstring(kOne).c_str(), 1);
    const struct {
      const wchar_t* store; // filed before the reads, when not null
      const wchar_t* key;
      const KyGraphMember* member;
      bool found;
      int value;
    } cases[] = {
        {nullptr, kOne, edge, true, 1}, {nullptr, kTwo, edge, false, 0},
        {kTwo, kTwo, edge, true, 2},    {nullptr, kTwo, node, false, 0},
        {kOne, kOne, edge, true, 1},    {nullptr, kOne, nullptr, false, 0},
    };
    for (const auto& c : cases) {
      if (c.store != nullptr)
        data.storeInteger(edge, c.store, c.store == kOne ? 1 : 2);
      int value = -1;
      EXPECT_EQ(data.findMemberInteger(c.member, c.key, value), c.found) << c.key;
      EXPECT_EQ(value, c.found ? c.value : -1) << c.key;
    }
  }
  // A buffer the test does not vouch for is followed by its text even
  // after a value was filed through it.
  KyServiceInputData data;
  data.trustKeys(&oneAndTwo);
  wchar_t buffer[16] = L"k:edge:one";
  data.storeInteger(edge, buffer, 3);
  std::wcsncpy(buffer, L"k:edge:two", std::size(buffer));
  int value = -1;
  EXPECT_FALSE(data.findMemberInteger(edge, buffer, value));
  EXPECT_TRUE(data.findMemberInteger(edge, kOne, value));
  EXPECT_EQ(value, 3);
}

// A subclass that answers pValue() its own way is asked on every integer
// read, the first one included, whatever the store holds.
class KyAnsweringData : public KyServiceInputData {
public:
  KyObject* pValue(const KyObject* owner, const wchar_t* key) const override {
    if (std::wcscmp(key, L"k:edge:answered") == 0)
      return &answer_;
    if (std::wcscmp(key, L"k:edge:hidden") == 0)
      return nullptr;
    return KyServiceInputData::pValue(owner, key);
  }

private:
  mutable KyInt answer_{42};
};

TEST(KyServiceData, ASubclassAnsweringValuesIsAskedForIntegers) {
  KyGraph graph;
  KyNode* node = graph.addNode();
  KyEdge* edge = graph.addEdge(node, node);
  const struct {
    const wchar_t* key;
    bool found;
    int value;
  } cases[] = {
      {L"k:edge:answered", true, 42}, // nothing stored, the subclass answers
      {L"k:edge:hidden", false, 0},   // stored, the subclass hides it
      {L"k:edge:stored", true, 7},    // stored and passed through
      {L"k:edge:missing", false, 0},
  };
  for (const bool memberFirst : {true, false}) {
    KyAnsweringData data;
    data.storeInteger(edge, L"k:edge:hidden", 5);
    data.storeInteger(edge, L"k:edge:stored", 7);
    for (const auto& c : cases) {
      int member = -1, owner = -1;
      if (memberFirst) {
        EXPECT_EQ(data.findMemberInteger(edge, c.key, member), c.found) << c.key;
      }
      EXPECT_EQ(data.findInteger(edge, c.key, owner), c.found) << c.key;
      EXPECT_EQ(data.findMemberInteger(edge, c.key, member), c.found) << c.key;
      EXPECT_EQ(data.getValueAsInteger(edge, c.key), c.value) << c.key;
      if (c.found) {
        EXPECT_EQ(member, c.value) << c.key;
        EXPECT_EQ(owner, c.value) << c.key;
      }
    }
  }
}

// A value the store made and a caller claimed keeps its value past every
// later store or removal under its owner and key, and past the store
// itself; the caller's release frees it wherever the store kept it:
// members by position, the graph and no owner in the index.
TEST(KyServiceData, ClaimedValuesTheStoreMadeOutliveTheirReplacement) {
  KyGraph graph;
  std::vector<KyNode*> nodes;
  for (int i = 0; i < 70; ++i)
    nodes.push_back(graph.addNode());
  KyEdge* far = graph.addEdge(nodes[0], nodes[69]); // edge 0
  const wchar_t* key = L"k:any:x";
  const struct {
    const char* what;
    KyObject* owner;
  } owners[] = {{"node in the first block", nodes[1]},
                {"node past the first block", nodes[69]},
                {"edge", far},
                {"graph", &graph},
                {"no owner", nullptr}};
  enum Then { kOverwrite, kReplaceByObject, kRemove, kClear, kDropStore };
  for (const auto& o : owners)
    for (const bool isDouble : {false, true})
      for (const Then then : {kOverwrite, kReplaceByObject, kRemove, kClear, kDropStore}) {
        SCOPED_TRACE(std::string(o.what) + (isDouble ? " double " : " integer ") +
                     std::to_string(then));
        auto data = std::make_unique<KyServiceInputData>();
        const auto store = [&](int value) {
          if (isDouble)
            data->storeDouble(o.owner, key, value + 0.5);
          else
            data->storeInteger(o.owner, key, value);
        };
        const auto number = [&](const KyObject* value) {
          return isDouble ? dynamic_cast<const KyDouble&>(*value).value()
                          : dynamic_cast<const KyInt&>(*value).value();
        };
        store(5);
        KyObject* held = data->pValue(o.owner, key);
        ASSERT_NE(held, nullptr);
        held->vClaim();
        switch (then) {
        case kOverwrite:
          store(9);
          store(11);
          EXPECT_EQ(number(data->pValue(o.owner, key)), isDouble ? 11.5 : 11);
          break;
        case kReplaceByObject:
          data->storeOwned(o.owner, key, new KyInt(12));
          break;
        case kRemove:
          data->removeValue(o.owner, key);
          store(13);
          data->pValue(o.owner, key);
          break;
        case kClear:
          data->removeAllValues();
          break;
        case kDropStore:
          data.reset();
          break;
        }
        EXPECT_EQ(number(held), isDouble ? 5.5 : 5);
        EXPECT_EQ(held->claims(), 1);
        held->vRelease();
      }
}

TEST(KyServiceData, ASubclassOverridingTheStoreSeesEveryWrite) {
  KyGraph graph;
  KyNode* node = graph.addNode();
  KyEdge* edge = graph.addEdge(node, node);
  kytest::MirroringData data;
  data.storeInteger(edge, L"k:edge:x", 3);
  data.storeInteger(nullptr, L"k:none:x", 4);
  data.storeDouble(&graph, L"k:graph:x", 2.5);
  data.storeMemberIntegers(L"k:node:y", graph, false, {6}, -1);
  data.storeMemberIntegers(L"k:node:z", graph, false, {-1, 7}, -1); // missing, then past
  KyInt referred(9);
  data.storeMemberReferences(L"k:edge:r", graph, true, {&referred, &referred}); // then past
  data.storeInteger(edge, nullptr, 8);
  EXPECT_EQ(data.writes, 5);
  EXPECT_EQ(data.numberOfValues(), 0); // nothing reached the store itself
  EXPECT_EQ(data.getValueAsInteger(edge, L"k:edge:x"), 3);
  EXPECT_EQ(data.getValueAsInteger(nullptr, L"k:none:x"), 4);
  EXPECT_EQ(dynamic_cast<KyDouble&>(*data.pValue(&graph, L"k:graph:x")).value(), 2.5);
  EXPECT_EQ(data.memberIntegers(L"k:node:y", graph, false, -1), std::vector<int>{6});
  EXPECT_EQ(data.memberIntegers(L"k:node:z", graph, false, -1), std::vector<int>{-1});
  EXPECT_EQ(data.memberIntegers(L"k:edge:x", graph, true, -1), std::vector<int>{3});
  EXPECT_EQ(data.pValue(edge, L"k:edge:r"), &referred);
  int read = 0;
  EXPECT_TRUE(data.findMemberInteger(edge, L"k:edge:x", read));
  EXPECT_EQ(read, 3);
}

// Values on the members of a graph that is gone never show on a graph made
// at the same address, are never walked, and are released with the store
// or when the key files a new graph.
TEST_F(KyServiceDataTest, ValuesOfAGoneGraphNeverShowOnANewOneAtItsAddress) {
  alignas(KyGraph) unsigned char room[sizeof(KyGraph)];
  auto* gone = new (room) KyGraph;
  std::vector<KyNode*> nodes;
  for (int i = 0; i < 100; ++i)
    nodes.push_back(gone->addNode());
  for (int i = 0; i < 99; ++i)
    gone->addEdge(nodes[i], nodes[i + 1]);
  KyServiceInputData data;
  data.storeInteger(&*gone, L"k:graph:x", 1);
  for (int i = 0; i < 99; ++i) {
    data.storeInteger(gone->pEdgeAt(i), L"k:edge:cost", i);
    data.storeOwned(gone->pNodeAt(i), L"k:node:probe", new KyProbe(i));
  }
  gone->~KyGraph();
  auto* made = new (room) KyGraph;
  ASSERT_EQ(static_cast<void*>(made), static_cast<void*>(room));
  KyNode* a = made->addNode();
  KyEdge* loop = made->addEdge(a, a);
  int read = -1;
  EXPECT_FALSE(data.findMemberInteger(loop, L"k:edge:cost", read));
  EXPECT_FALSE(data.findInteger(loop, L"k:edge:cost", read));
  EXPECT_EQ(data.pValue(loop, L"k:edge:cost"), nullptr);
  EXPECT_EQ(data.pValue(a, L"k:node:probe"), nullptr);
  EXPECT_EQ(data.memberIntegers(L"k:edge:cost", *made, true, -1), std::vector<int>{-1});
  int walked = 0;
  data.visitValues([&](const KyObject* owner, const wchar_t*, KyObject*) {
    EXPECT_EQ(dynamic_cast<const KyGraphMember*>(owner), nullptr);
    ++walked;
  });
  EXPECT_EQ(walked, 1); // the value on the graph object itself stays an entry
  // The new graph's own values, filed under the same key, drop the gone ones.
  data.storeInteger(loop, L"k:edge:cost", 7);
  data.storeOwned(a, L"k:node:probe", new KyProbe(100));
  EXPECT_EQ(KyProbe::live, 1);
  EXPECT_EQ(data.numberOfValues(), 3);
  EXPECT_EQ(data.getValueAsInteger(loop, L"k:edge:cost"), 7);
  EXPECT_EQ(keyOf(data.pValue(a, L"k:node:probe")), 100);
  data.removeAllValues();
  made->~KyGraph();
}

// Emptying the store releases what it holds, whatever the owner, and
// leaves it ready for more; the service name stays.
TEST_F(KyServiceDataTest, RemovingAllValuesReleasesThemAndKeepsTheName) {
  KyGraph graph;
  KyNode* node = graph.addNode();
  KyProbe callerOwner(1);
  KyServiceOutputData data;
  auto* name = data.pServiceName(new KyServiceName);
  data.storeOwned(node, L"k:node:x", new KyProbe(2));
  data.storeInteger(node, L"k:node:y", 3);
  data.setValue(new KyProbe(4), L"k:none:z", new KyProbe(5), 1, 1);
  data.storeOwned(&callerOwner, L"k:none:z", new KyProbe(6));
  data.storeDouble(nullptr, L"k:none:w", 7.5);
  EXPECT_EQ(KyProbe::live, 5);
  data.removeAllValues();
  EXPECT_EQ(data.numberOfValues(), 0);
  EXPECT_EQ(KyProbe::live, 1);
  EXPECT_EQ(data.pValue(node, L"k:node:y"), nullptr);
  EXPECT_EQ(data.pServiceName(), name);
  data.storeInteger(node, L"k:node:y", 8);
  EXPECT_EQ(data.getValueAsInteger(node, L"k:node:y"), 8);
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
