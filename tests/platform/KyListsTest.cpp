// KyDList and its iterator, the node and edge lists, and the ordered trees.
#include "platform/KyProbe.h"

#include <kyplatform/KyBinTree.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

namespace {

// The probe keys of a list walked one way; also checks that the backward
// walk and a range-based for loop agree with it and that length() does.
std::vector<int> keys(const KyDList& list) {
  std::vector<int> forward, backward, ranged;
  for (KyDListIter it(&list); it; ++it)
    forward.push_back(static_cast<KyProbe*>(it.pObject())->key());
  for (KyDListIter it(&list, KY_ITER_BACKWARD); it; it++)
    backward.insert(backward.begin(), static_cast<KyProbe*>(it.pObject())->key());
  for (KyObject* object : list)
    ranged.push_back(static_cast<KyProbe*>(object)->key());
  EXPECT_EQ(forward, backward);
  EXPECT_EQ(forward, ranged);
  EXPECT_EQ(static_cast<int>(forward.size()), list.length());
  return forward;
}

class KyProbeTree : public KyBinTree {
protected:
  int virtualObjectCompare(const KyObject* a, const KyObject* b) const override {
    const int ka = static_cast<const KyProbe*>(a)->key();
    const int kb = static_cast<const KyProbe*>(b)->key();
    return ka < kb ? -1 : ka > kb ? 1 : 0;
  }
};

using KyDListTest = KyProbeTest;

TEST_F(KyDListTest, LinksStayConsistentAndForeignCellsAreIgnored) {
  KyProbe p1(1), p2(2), p3(3), p4(4);
  KyDList list, other;
  list.appendObject(&p2);
  KyDListCell* c3 = list.appendObject(&p3);
  list.prependObject(&p1);
  KyDListCell* foreign = other.appendObject(&p4);
  EXPECT_EQ(keys(list), (std::vector<int>{1, 2, 3}));

  list.discardCell(foreign);
  list.discardCell(nullptr);
  EXPECT_EQ(other.length(), 1);
  EXPECT_EQ(foreign->pList(), &other);

  list.discardCell(c3);
  EXPECT_EQ(keys(list), (std::vector<int>{1, 2}));
  list.discardCell(list.pFirstCell());
  list.discardCell(list.pLastCell());
  EXPECT_EQ(list.length(), 0);
  EXPECT_EQ(list.pFirstCell(), nullptr);
  EXPECT_EQ(list.pLastCell(), nullptr);
  list.appendObject(&p4);
  EXPECT_EQ(keys(list), (std::vector<int>{4}));
}

TEST_F(KyDListTest, OnlyTheObjectVariantReleasesObjects) {
  KyDList list;
  auto* kept = new KyProbe(1);
  list.appendObject(kept);
  list.deleteAllCells();
  EXPECT_EQ(KyProbe::live, 1);
  list.appendObject(kept);
  list.appendObject(new KyProbe(2));
  list.deleteAllCellsAndObjects();
  EXPECT_EQ(list.length(), 0);
  EXPECT_EQ(KyProbe::live, 0);
}

TEST_F(KyDListTest, IteratorStepsBothWaysAndStopsOnNull) {
  KyProbe p1(1), p2(2), p3(3);
  KyDList list;
  for (KyProbe* p : {&p1, &p2, &p3})
    list.appendObject(p);
  KyDListIter it(&list);
  EXPECT_EQ((it++).pObject(), &p1);
  ++it;
  EXPECT_EQ(it.pObject(), &p3);
  --it;
  EXPECT_EQ((it--).pObject(), &p2);
  EXPECT_EQ(it.pCell(), list.pFirstCell());
  --it;
  EXPECT_FALSE(it);
  --it;
  EXPECT_EQ(it.pObject(), nullptr);

  KyDListIter back(&list, KY_ITER_BACKWARD);
  ++back;
  EXPECT_EQ(back.pObject(), &p2);
  EXPECT_FALSE(KyDListIter(nullptr));
  KyDList empty;
  EXPECT_FALSE(KyDListIter(&empty, KY_ITER_BACKWARD));
}

// Direction 2 starts at the last cell; a walk from there towards the first
// may step with -- (as the edge-list walks of the library do) or with ++.
// The typed iterators step alike.
TEST_F(KyDListTest, BackwardIteratorsWalkTowardsTheFirstCellWithEitherStep) {
  KyGraph graph;
  KyNode* node = graph.addNode();
  KyEdgeDList edges;
  std::vector<KyObject*> made;
  for (int i = 0; i < 4; ++i)
    made.push_back(edges.appendEdge(graph.addEdge(node, node))->pObject());
  const std::vector<KyObject*> backward(made.rbegin(), made.rend());
  const auto walk = [](KyDListIter it, bool decrement) {
    std::vector<KyObject*> seen;
    for (; it; decrement ? --it : ++it)
      seen.push_back(it.pObject());
    return seen;
  };
  for (const bool decrement : {true, false}) {
    SCOPED_TRACE(decrement ? "--" : "++");
    EXPECT_EQ(walk(KyDListIter(&edges, KY_ITER_BACKWARD), decrement), backward);
    EXPECT_EQ(walk(KyEdgeDListIter(&edges, KY_ITER_BACKWARD), decrement), backward);
    EXPECT_TRUE(walk(KyEdgeDListIter(nullptr, KY_ITER_BACKWARD), decrement).empty());
  }
  KyEdgeDListIter it(&edges, KY_ITER_BACKWARD);
  EXPECT_EQ((it--).pObject(), made[3]);
  EXPECT_EQ(it.pEdge(), made[2]);
  --it;
  --it;
  EXPECT_EQ(it.pCell(), edges.pFirstCell());
  --it;
  EXPECT_FALSE(it);
  // Forward, -- still steps back towards the first cell.
  KyEdgeDListIter forward(&edges);
  ++forward;
  --forward;
  EXPECT_EQ(forward.pEdge(), made[0]);
}

TEST_F(KyDListTest, CopyingIntoItselfDoublesOnce) {
  KyProbe p1(1), p2(2), p3(2);
  std::unique_ptr<KyDList> lists[] = {std::make_unique<KyDList>(), std::make_unique<KyProbeTree>()};
  const std::vector<int> expected[] = {{2, 1, 2, 2, 1, 2}, {1, 1, 2, 2, 2, 2}};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    for (KyProbe* p : {&p2, &p1, &p3})
      lists[i]->appendObject(p);
    lists[i]->copyAllCells(*lists[i]);
    EXPECT_EQ(keys(*lists[i]), expected[i]);
  }
}

// Objects appended in runs stay packed until something asks for a cell; a
// random mix of runs, single appends and prepends, discards, walks, copies
// and clones keeps the order a plain vector keeps.
TEST_F(KyDListTest, PackedRunsKeepTheirOrderThroughEveryChange) {
  std::mt19937 random(13);
  std::vector<std::unique_ptr<KyProbe>> probes;
  for (int i = 0; i < 400; ++i)
    probes.push_back(std::make_unique<KyProbe>(i));
  const auto probe = [&] { return probes[random() % probes.size()].get(); };
  for (int round = 0; round < 200; ++round) {
    KyDList list;
    std::vector<int> model;
    for (int step = 0; step < 12; ++step) {
      switch (random() % 6) {
      case 0:
      case 1: {
        std::vector<KyObject*> run;
        for (unsigned count = random() % 5; count > 0; --count) {
          run.push_back(probe());
          model.push_back(static_cast<KyProbe*>(run.back())->key());
        }
        list.appendObjects(std::move(run));
        break;
      }
      case 2: {
        KyProbe* p = probe();
        list.appendObject(p);
        model.push_back(p->key());
        break;
      }
      case 3: {
        KyProbe* p = probe();
        list.prependObject(p);
        model.insert(model.begin(), p->key());
        break;
      }
      case 4:
        if (!model.empty()) {
          list.discardCell(list.pLastCell());
          model.pop_back();
        }
        break;
      default: {
        KyDList copy;
        copy.copyAllCells(list);
        std::unique_ptr<KyDList> clone(list.cloneObject());
        ASSERT_EQ(copy.length(), static_cast<int>(model.size()));
        ASSERT_EQ(keys(*clone), model);
        ASSERT_EQ(keys(copy), model);
      }
      }
      ASSERT_EQ(list.length(), static_cast<int>(model.size()));
    }
    ASSERT_EQ(keys(list), model);
  }
}

TEST_F(KyDListTest, PackedObjectsAreReleasedOnceAndOrderedTreesSortThem) {
  KyDList list;
  list.appendObjects({new KyProbe(1), new KyProbe(2)});
  KyDList other;
  KyDListCell* foreign = other.appendObject(list.pFirstCell()->pObject());
  KyDList packed;
  packed.appendObjects({new KyProbe(3)});
  packed.discardCell(foreign);
  EXPECT_EQ(packed.length(), 1);
  packed.deleteAllCellsAndObjects();
  list.deleteAllCellsAndObjects();
  EXPECT_EQ(list.length(), 0);
  EXPECT_EQ(KyProbe::live, 0);

  KyProbe p1(1), p2(2), p3(3);
  KyProbeTree tree;
  tree.appendObjects({&p3, &p1, &p2});
  EXPECT_EQ(keys(tree), (std::vector<int>{1, 2, 3}));
  KyDListCell* cell = tree.searchAndRemoveObject(&p2);
  EXPECT_EQ(cell->pObject(), &p2);
  cell->vRelease();
}

TEST(KyGraphLists, ClonesKeepTypeAndOrderAndSearchFindsTheFirstCell) {
  KyGraph graph;
  KyNode* a = graph.addNode();
  KyNode* b = graph.addNode();
  KyEdge* ab = graph.addEdge(a, b);
  KyEdge* ba = graph.addEdge(b, a);

  KyNodeDList nodes;
  nodes.appendNode(b);
  KyDListCell* first = nodes.appendNode(a);
  nodes.appendNode(a);
  std::unique_ptr<KyNodeDList> nodeCopy(nodes.cloneObject());
  EXPECT_NE(dynamic_cast<KyNodeDList*>(static_cast<KyDList*>(nodeCopy.get())), nullptr);
  ASSERT_EQ(nodeCopy->length(), 3);
  EXPECT_EQ(KyNodeDListIter(nodeCopy.get()).pNode(), b);
  EXPECT_EQ(nodes.searchNode(a), first);
  EXPECT_EQ(KyNodeDList().searchNode(a), nullptr);

  KyEdgeDList edges;
  edges.appendEdge(ab);
  edges.prependEdge(ba);
  std::unique_ptr<KyEdgeDList> edgeCopy(edges.cloneObject());
  KyEdgeDListIter it(edgeCopy.get(), KY_ITER_BACKWARD);
  EXPECT_EQ(it.pEdge(), ab);
  ++it;
  EXPECT_EQ(it.pEdge(), ba);
  ++it;
  EXPECT_EQ(it.pEdge(), nullptr);
  EXPECT_EQ(edges.searchEdge(ab), edges.pLastCell());

  // Graph members ignore releases, so a list of them may "release" freely.
  nodeCopy->deleteAllCellsAndObjects();
  EXPECT_EQ(graph.numberOfNodes(), 2);
}

TEST(KyGraphLists, RangeForYieldsNodesAndEdgesInOrder) {
  KyGraph graph;
  KyNode* a = graph.addNode();
  KyNode* b = graph.addNode();
  KyNode* c = graph.addNode();
  KyEdge* ab = graph.addEdge(a, b);
  KyEdge* bc = graph.addEdge(b, c);

  KyEdgeDList path;
  for (KyEdge* edge : path)
    ADD_FAILURE() << "an empty list yields nothing, edge " << edge->index();
  path.appendEdge(ab);
  path.appendEdge(bc);
  std::vector<KyNode*> walked{a};
  for (KyEdge* edge : path)
    walked.push_back(edge->pTargetNode());
  EXPECT_EQ(walked, (std::vector<KyNode*>{a, b, c}));

  // The graph's own lists, standard algorithms, and both steps.
  std::vector<KyNode*> nodes(graph.pNodeList()->begin(), graph.pNodeList()->end());
  EXPECT_EQ(nodes, (std::vector<KyNode*>{a, b, c}));
  const KyNodeDList& list = *graph.pNodeList();
  EXPECT_EQ(std::distance(list.begin(), list.end()), 3);
  EXPECT_EQ(*std::find(list.begin(), list.end(), b), b);
  EXPECT_EQ(std::find(list.begin(), list.end(), nullptr), list.end());
  auto it = list.begin();
  EXPECT_EQ(*it++, a);
  EXPECT_EQ(*it, b);
  EXPECT_EQ(*++it, c);
  EXPECT_EQ(++it, list.end());
  EXPECT_EQ(std::count_if(graph.pEdgeList()->begin(), graph.pEdgeList()->end(),
                          [&](const KyEdge* edge) { return edge->pSourceNode() == b; }),
            1);
}

using KyBinTreeTest = KyProbeTest;

TEST_F(KyBinTreeTest, SearchAndRemoveTakesExactlyThatObject) {
  KyProbe a(2), b(2), twin(2);
  KyProbeTree tree;
  tree.addObject(&a);
  tree.addObject(&b);
  EXPECT_EQ(tree.searchAndRemoveObject(&twin), nullptr);

  KyDListCell* cell = tree.searchAndRemoveObject(&b);
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->pObject(), &b);
  EXPECT_EQ(cell->pList(), nullptr);
  EXPECT_EQ(tree.length(), 1);
  cell->vRelease();
  EXPECT_EQ(tree.searchAndRemoveObject(&b), nullptr);
  EXPECT_EQ(tree.pFirstCell()->pObject(), &a);

  KyDList other;
  KyDListCell* foreign = other.appendObject(&b);
  tree.discardCell(foreign);
  EXPECT_EQ(other.length(), 1);
}

// Adding, prepending and appending all place an object after its equals.
TEST_F(KyBinTreeTest, MatchesAStableSortUnderRandomChurn) {
  std::mt19937 random(7);
  KyProbeTree tree;
  std::vector<KyProbe*> model;
  for (int round = 0; round < 600; ++round) {
    if (model.empty() || random() % 3 != 0) {
      auto* probe = new KyProbe(static_cast<int>(random() % 20));
      const unsigned how = random() % 3;
      if (how == 0)
        tree.addObject(probe);
      else if (how == 1)
        tree.prependObject(probe);
      else
        tree.appendObject(probe);
      model.insert(std::upper_bound(model.begin(), model.end(), probe,
                                    [](KyProbe* x, KyProbe* y) { return x->key() < y->key(); }),
                   probe);
      continue;
    }
    const auto victim = model.begin() + static_cast<long>(random() % model.size());
    if (random() % 2 == 0) {
      tree.searchAndRemoveObject(*victim)->vRelease();
    } else {
      KyDListCell* cell = tree.pFirstCell();
      while (cell->pObject() != *victim)
        cell = cell->pNext();
      tree.discardCell(cell);
    }
    delete *victim;
    model.erase(victim);
  }
  std::vector<KyObject*> walked;
  for (KyDListIter it(&tree); it; ++it)
    walked.push_back(it.pObject());
  EXPECT_TRUE(std::equal(walked.begin(), walked.end(), model.begin(), model.end()));
  tree.deleteAllCellsAndObjects();
  EXPECT_EQ(KyProbe::live, 0);
  // The emptied tree is usable again.
  KyProbe late(1);
  tree.addObject(&late);
  KyDListCell* cell = tree.searchAndRemoveObject(&late);
  EXPECT_EQ(cell->pObject(), &late);
  cell->vRelease();
}

TEST(KySortedBinTree, OrdersByHash) {
  KyInt three(3), one(1), two(2);
  KySortedBinTree tree;
  for (KyInt* value : {&three, &one, &two})
    tree.addObject(value);
  std::vector<int> values;
  for (KyDListIter it(&tree); it; ++it)
    values.push_back(KyInt::castDown(it.pObject())->value());
  EXPECT_EQ(values, (std::vector<int>{1, 2, 3}));
}

} // namespace
