// KyGraph, its members and the edge iterators of a node.
#include <kyplatform/KyAFactory.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyEdgeIter.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

template <class Iter> std::vector<int> edgeIndices(const KyNode* node, int direction) {
  std::vector<int> indices;
  for (Iter it(node, direction); it; ++it)
    indices.push_back(it.pEdge()->index());
  return indices;
}

TEST(KyGraph, BuildsAMultigraphWithSelfLoops) {
  std::unique_ptr<KyGraph> graph(KyAFactory().newGraph());
  ASSERT_EQ(graph->numberOfNodes(), 0);
  KyNode* a = graph->addNode();
  KyNode* b = graph->addNode();
  graph->addEdge(a, b);
  graph->addEdge(a, b);
  KyEdge* loop = graph->addEdge(a, a);
  graph->addEdge(b, a);

  EXPECT_EQ(b->index(), 1);
  EXPECT_EQ(loop->index(), 2);
  EXPECT_EQ(loop->pOwnerGraph(), graph.get());
  EXPECT_EQ(loop->pSourceNode(), a);
  EXPECT_EQ(loop->pTargetNode(), a);
  EXPECT_EQ(graph->numberOfEdges(), 4);
  EXPECT_EQ(a->numberOfOutEdges(), 3);
  EXPECT_EQ(a->numberOfInEdges(), 2);
  EXPECT_EQ(graph->pNodeList()->pLastCell()->pObject(), b);
  EXPECT_EQ(graph->pEdgeList()->length(), 4);

  using Out = KyOutEdgeIter;
  using In = KyInEdgeIter;
  EXPECT_EQ(edgeIndices<Out>(a, KY_ITER_FORWARD), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(edgeIndices<Out>(a, KY_ITER_BACKWARD), (std::vector<int>{2, 1, 0}));
  EXPECT_EQ(edgeIndices<In>(a, KY_ITER_FORWARD), (std::vector<int>{2, 3}));
  EXPECT_EQ(edgeIndices<In>(b, KY_ITER_BACKWARD), (std::vector<int>{1, 0}));
  EXPECT_TRUE(edgeIndices<Out>(nullptr, KY_ITER_BACKWARD).empty());
  EXPECT_TRUE(edgeIndices<In>(graph->addNode(), KY_ITER_BACKWARD).empty());

  KyOutEdgeIter it(a);
  EXPECT_EQ((it++).pEdge()->index(), 0);
  --it;
  EXPECT_EQ(it.pEdge()->index(), 0);
  --it;
  EXPECT_EQ(it.pEdge(), nullptr);
}

TEST(KyGraph, RefusesEdgesToForeignOrMissingNodes) {
  KyGraph graph, other;
  KyNode* mine = graph.addNode();
  KyNode* theirs = other.addNode();
  const struct {
    KyNode* source;
    KyNode* target;
  } refused[] = {{mine, nullptr}, {nullptr, mine}, {mine, theirs}, {theirs, mine}};
  for (const auto& edge : refused)
    EXPECT_EQ(graph.addEdge(edge.source, edge.target), nullptr);
  EXPECT_EQ(graph.numberOfEdges(), 0);
  EXPECT_EQ(mine->numberOfOutEdges() + mine->numberOfInEdges(), 0);
}

TEST(KyGraphMember, NamesAreCopiedAndReleasesIgnored) {
  KyGraph graph;
  KyNode* node = graph.addNode();
  EXPECT_EQ(node->pName(), nullptr);
  wchar_t name[] = L"alpha";
  node->pName(name);
  name[0] = L'A';
  EXPECT_STREQ(node->pName(), L"alpha");
  EXPECT_STREQ(node->pName(node->pName()), L"alpha");
  EXPECT_EQ(node->pName(nullptr), nullptr);

  node->vRelease();
  node->vRelease();
  EXPECT_EQ(graph.pNodeList()->pFirstCell()->pObject(), node);
}

} // namespace
