// KyGraph, its members and the edge iterators of a node.
#include <kyplatform/KyAFactory.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyEdgeDList.h>
#include <kyplatform/KyEdgeIter.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
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

// Stepping back from past either end returns to that end, from the nearer
// end of the list, whatever its length and direction.
TEST(KyGraph, EdgeWalksStepBackFromPastEitherEnd) {
  for (int count = 1; count <= 6; ++count) {
    SCOPED_TRACE(count);
    KyGraph graph;
    KyNode* hub = graph.addNode();
    KyNode* other = graph.addNode();
    for (int e = 0; e < count; ++e) {
      graph.addEdge(hub, other);
      graph.addEdge(other, hub);
    }
    for (const int direction : {KY_ITER_FORWARD, KY_ITER_BACKWARD}) {
      const bool forward = direction == KY_ITER_FORWARD;
      KyOutEdgeIter out(hub, direction);
      KyInEdgeIter in(hub, direction);
      for (int e = 0; e < count; ++e) {
        ++out;
        ++in;
      }
      ASSERT_FALSE(out);
      ASSERT_FALSE(in);
      // Back onto the last edge walked, then the one before it.
      for (int back = 1; back <= std::min(count, 2); ++back) {
        --out;
        --in;
        const int position = forward ? count - back : back - 1;
        ASSERT_TRUE(out);
        EXPECT_EQ(out.pEdge()->index(), 2 * position) << back;
        EXPECT_EQ(in.pEdge()->index(), 2 * position + 1) << back;
      }
    }
  }
}

// Nodes and edges made in a random interleaving, many more than fit in one
// block of anything: the lists, the positions and both edge walks of every
// node keep the order of making, against adjacency a plain model keeps.
TEST(KyGraph, KeepsTheOrderOfMakingAcrossManyMembers) {
  std::mt19937 random(3);
  KyGraph graph;
  std::vector<KyNode*> nodes{graph.addNode()};
  std::vector<KyEdge*> edges;
  std::vector<std::vector<int>> out(1), in(1);
  for (int round = 0; round < 20000; ++round) {
    if (random() % 4 == 0) {
      nodes.push_back(graph.addNode());
      out.emplace_back();
      in.emplace_back();
      continue;
    }
    const auto from = static_cast<int>(random() % nodes.size());
    const auto to = static_cast<int>(random() % nodes.size());
    out[from].push_back(static_cast<int>(edges.size()));
    in[to].push_back(static_cast<int>(edges.size()));
    edges.push_back(graph.addEdge(nodes[from], nodes[to]));
  }

  ASSERT_EQ(graph.numberOfNodes(), static_cast<int>(nodes.size()));
  ASSERT_EQ(graph.numberOfEdges(), static_cast<int>(edges.size()));
  std::vector<KyObject*> listed;
  for (KyNodeDListIter it(graph.pNodeList()); it; ++it)
    listed.push_back(it.pNode());
  EXPECT_TRUE(std::equal(listed.begin(), listed.end(), nodes.begin(), nodes.end()));
  listed.clear();
  for (KyEdgeDListIter it(graph.pEdgeList(), KY_ITER_BACKWARD); it; ++it)
    listed.insert(listed.begin(), it.pEdge());
  EXPECT_TRUE(std::equal(listed.begin(), listed.end(), edges.begin(), edges.end()));

  for (std::size_t i = 0; i < edges.size(); ++i) {
    ASSERT_EQ(edges[i]->index(), static_cast<int>(i));
    ASSERT_EQ(edges[i]->pOwnerGraph(), &graph);
    ASSERT_EQ(graph.pEdgeAt(static_cast<int>(i)), edges[i]);
  }
  for (std::size_t v = 0; v < nodes.size(); ++v) {
    SCOPED_TRACE(v);
    ASSERT_EQ(nodes[v]->index(), static_cast<int>(v));
    ASSERT_EQ(graph.pNodeAt(static_cast<int>(v)), nodes[v]);
    ASSERT_EQ(nodes[v]->numberOfOutEdges(), static_cast<int>(out[v].size()));
    ASSERT_EQ(nodes[v]->numberOfInEdges(), static_cast<int>(in[v].size()));
    ASSERT_EQ(edgeIndices<KyOutEdgeIter>(nodes[v], KY_ITER_FORWARD), out[v]);
    ASSERT_EQ(edgeIndices<KyInEdgeIter>(nodes[v], KY_ITER_FORWARD), in[v]);
    std::vector<int> backward(in[v].rbegin(), in[v].rend());
    ASSERT_EQ(edgeIndices<KyInEdgeIter>(nodes[v], KY_ITER_BACKWARD), backward);
    for (int e : out[v])
      ASSERT_EQ(edges[e]->pSourceNode(), nodes[v]);
  }
}

// A graph takes room as it grows: a few members take a little, and room
// grows with the members, never by much more than they fill.
TEST(KyGraph, TakesRoomInProportionToItsMembers) {
  KyGraph graph;
  const std::size_t empty = graph.sizeOf();
  std::size_t before = empty;
  for (int count = 1; count <= 5000; ++count) {
    KyNode* node = graph.addNode();
    graph.addEdge(node, node);
    const std::size_t now = graph.sizeOf();
    ASSERT_GE(now, before) << count;
    // Room for at most twice the members, or 32 of each kind, with their
    // links, beyond the empty graph.
    const std::size_t members = static_cast<std::size_t>(std::max(count, 32));
    ASSERT_LE(now - empty, 2 * members * (sizeof(KyNode) + sizeof(KyEdge) + 64)) << count;
    before = now;
  }
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

// Every link of every edge and node of `graph`, and its own edge list when
// made, in one text: two graphs built alike give the same text.
std::string linksOf(const KyGraph& graph, bool withList) {
  std::string text;
  for (int e = 0; e < graph.numberOfEdges(); ++e) {
    const KyEdge* edge = graph.pEdgeAt(e);
    text += std::to_string(edge->index()) + ":" + std::to_string(edge->pSourceNode()->index()) +
            ">" + std::to_string(edge->pTargetNode()->index()) +
            (edge->pName() != nullptr ? "named" : "") + " ";
  }
  for (int v = 0; v < graph.numberOfNodes(); ++v) {
    const KyNode* node = graph.pNodeAt(v);
    text += "\n" + std::to_string(v);
    for (const auto& walk : {edgeIndices<KyOutEdgeIter>(node, KY_ITER_FORWARD),
                             edgeIndices<KyOutEdgeIter>(node, KY_ITER_BACKWARD),
                             edgeIndices<KyInEdgeIter>(node, KY_ITER_FORWARD),
                             edgeIndices<KyInEdgeIter>(node, KY_ITER_BACKWARD)}) {
      text += " |";
      for (int e : walk)
        text += " " + std::to_string(e);
    }
  }
  if (withList)
    for (KyEdgeDListIter it(graph.pEdgeList()); it; ++it)
      text += " " + std::to_string(it.pEdge()->index());
  return text;
}

// Edges added by position, many at once past several blocks, onto a graph
// that already has edges, its own edge list or a named edge, link exactly
// as the same edges added one by one.
TEST(KyGraph, AddsEdgesByPositionAsOneByOne) {
  const struct {
    const char* label;
    bool listMade, named;
  } setups[] = {{"plain", false, false},
                {"with its edge list", true, false},
                {"with a named edge", false, true},
                {"with both", true, true}};
  for (const auto& setup : setups) {
    SCOPED_TRACE(setup.label);
    std::mt19937 random(11);
    KyGraph bulk, single;
    constexpr int kNodes = 1500, kBefore = 1000, kAdded = 3000;
    for (int v = 0; v < kNodes; ++v) {
      bulk.addNode();
      single.addNode();
    }
    const auto anyNode = [&] { return static_cast<int>(random() % kNodes); };
    for (int e = 0; e < kBefore; ++e) {
      const int from = anyNode(), to = anyNode();
      bulk.addEdge(bulk.pNodeAt(from), bulk.pNodeAt(to));
      single.addEdge(single.pNodeAt(from), single.pNodeAt(to));
    }
    if (setup.listMade) {
      bulk.pEdgeList();
      single.pEdgeList();
    }
    if (setup.named) {
      bulk.pEdgeAt(7)->pName(L"seven");
      single.pEdgeAt(7)->pName(L"seven");
    }
    // Runs from one source, as well as self-loops and parallel edges.
    std::vector<int> sources, targets;
    while (sources.size() < kAdded) {
      const int from = anyNode();
      for (int run = static_cast<int>(random() % 4); run >= 0; --run) {
        const int to = random() % 8 == 0 ? from : anyNode();
        sources.insert(sources.end(), random() % 8 == 0 ? 2 : 1, from);
        targets.resize(sources.size(), to);
      }
    }
    ASSERT_EQ(bulk.addEdges(sources, targets), kBefore);
    for (std::size_t e = 0; e < sources.size(); ++e)
      single.addEdge(single.pNodeAt(sources[e]), single.pNodeAt(targets[e]));
    ASSERT_EQ(bulk.numberOfEdges(), single.numberOfEdges());
    EXPECT_EQ(linksOf(bulk, setup.listMade), linksOf(single, setup.listMade));
    EXPECT_STREQ(bulk.pEdgeAt(7)->pName(), setup.named ? L"seven" : nullptr);
    // Names given after the bulk add stay with their edges.
    bulk.pEdgeAt(bulk.numberOfEdges() - 1)->pName(L"last");
    EXPECT_STREQ(bulk.pEdgeAt(bulk.numberOfEdges() - 1)->pName(), L"last");
    EXPECT_EQ(bulk.pEdgeAt(bulk.numberOfEdges() - 2)->pName(), nullptr);
  }
}

// Lists of different lengths, or naming a position that is no node's
// (below the first, one past the last), anywhere in the lists, add nothing;
// the last node and empty lists are accepted.
TEST(KyGraph, AddsNoEdgesFromListsThatNameNoNode) {
  KyGraph graph;
  for (int v = 0; v < 3; ++v)
    graph.addNode();
  graph.addEdge(graph.pNodeAt(0), graph.pNodeAt(1));
  graph.pEdgeList();
  const std::string before = linksOf(graph, true);
  const struct {
    const char* label;
    std::vector<int> sources, targets;
  } refused[] = {
      {"longer sources", {0, 1}, {1}},
      {"longer targets", {0}, {1, 2}},
      {"no targets", {0}, {}},
      {"source below the first node", {-1}, {0}},
      {"target below the first node", {0}, {-1}},
      {"source one past the last node", {3}, {0}},
      {"target one past the last node", {0}, {3}},
      {"a bad target after good edges", {0, 1, 2, 2}, {1, 2, 0, 3}},
      {"a bad source after good edges", {0, 1, 2, 9}, {1, 2, 0, 0}},
  };
  for (const auto& lists : refused) {
    EXPECT_EQ(graph.addEdges(lists.sources, lists.targets), -1) << lists.label;
    EXPECT_EQ(linksOf(graph, true), before) << lists.label;
  }
  EXPECT_EQ(graph.addEdges({}, {}), 1);
  EXPECT_EQ(linksOf(graph, true), before);
  EXPECT_EQ(graph.addEdges({2, 0}, {2, 2}), 1);
  ASSERT_EQ(graph.numberOfEdges(), 3);
  EXPECT_EQ(graph.pEdgeAt(1)->pSourceNode(), graph.pNodeAt(2));
  EXPECT_EQ(graph.pEdgeAt(2)->pTargetNode(), graph.pNodeAt(2));
  EXPECT_EQ(graph.pEdgeList()->length(), 3);
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

// Names of nodes and edges are kept apart by kind and position, members
// made after the first name start without one, and a longer name moves
// while a shorter one reuses the old text.
TEST(KyGraphMember, NamesStayWithTheirMembersAsTheGraphGrows) {
  KyGraph graph;
  KyNode* a = graph.addNode();
  KyNode* b = graph.addNode();
  KyEdge* ab = graph.addEdge(a, b);
  b->pName(L"b");
  EXPECT_EQ(a->pName(), nullptr);
  EXPECT_EQ(ab->pName(), nullptr);
  ab->pName(L"ab");
  std::vector<KyNode*> more;
  for (int i = 0; i < 3000; ++i) {
    more.push_back(graph.addNode());
    graph.addEdge(more.back(), a);
  }
  for (std::size_t i = 0; i < more.size(); i += 2)
    more[i]->pName(std::to_wstring(i).c_str());
  EXPECT_STREQ(b->pName(), L"b");
  EXPECT_STREQ(ab->pName(), L"ab");
  EXPECT_EQ(graph.pEdgeAt(1)->pName(), nullptr);
  for (std::size_t i = 0; i < more.size(); ++i) {
    if (i % 2 == 0)
      EXPECT_EQ(more[i]->pName(), std::to_wstring(i));
    else
      EXPECT_EQ(more[i]->pName(), nullptr);
  }
  const std::wstring longer(5000, L'x');
  EXPECT_EQ(b->pName(longer.c_str()), longer);
  const wchar_t* kept = b->pName(L"c");
  EXPECT_STREQ(kept, L"c");
  EXPECT_EQ(b->pName(L"d"), kept);
  EXPECT_EQ(ab->pSourceNode(), a);
  EXPECT_EQ(ab->pTargetNode(), b);
  EXPECT_EQ(graph.pEdgeAt(graph.numberOfEdges() - 1)->pSourceNode(), more.back());
}

} // namespace
