#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyPath.h>
#include <kyanalysis/KySortedPathIter.h>
#include <kyanalysis/KySortedPathsOutputTailor.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyServiceData.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

namespace key = KyAnalysisKey::sortedPaths;
using Walk = std::vector<KyEdge*>;

Walk walkOf(const KyPath* path) {
  Walk walk;
  for (KyEdgeDListIter it(path->pEdgeList()); it; ++it)
    walk.push_back(it.pEdge());
  return walk;
}

// An answer built the way a service leaves it. Tree edges t1: S->A,
// tA: A->C, t3: C->F, t2: B->C, tD: D->F lead to the finish node F;
// s1: A->B, s2: C->D, s3: C->F, sF: F->S, aS: A->S are sidetracks. With
// shortest path length 10 and finish node cost 2, S, A, C, F has length 8.
struct Answer {
  Answer() {
    data.setValue(nullptr, key::nonePathGraph, pathGraph, 1, 0);
    for (KyEdge* edge : {t1, tA, t2, t3, tD})
      object(edge->pSourceNode(), key::nodeTreeEdge, edge);
    ends(S, F);
    object(nullptr, key::noneRootNode, root);
    integer(nullptr, key::noneShortestPathLength, 10);
    integer(nullptr, key::noneFinishNodeCost, 2);
  }
  void integer(KyObject* o, const wchar_t* k, int value) {
    data.setValue(o, k, new KyInt(value), 1, 0);
  }
  void object(KyObject* o, const wchar_t* k, KyObject* value) { data.setValue(o, k, value, 0, 0); }
  void drop(KyObject* o, const wchar_t* k) { data.setValue(o, k, nullptr, 0, 0); }
  void ends(KyNode* start, KyNode* finish) {
    object(nullptr, key::noneStartNode, start);
    object(nullptr, key::noneFinishNode, finish);
    integer(nullptr, key::nonePathExists, 1);
  }
  // A path-graph node standing for `sidetrack`, reached from `from`.
  KyNode* extend(KyNode* from, KyEdge* sidetrack, int type, int cost = 3) {
    KyNode* node = pathGraph->addNode();
    object(node, key::nodeSidetrackEdge, sidetrack);
    link(from, node, type, cost);
    return node;
  }
  void link(KyNode* from, KyNode* to, int type, int cost) {
    KyEdge* edge = pathGraph->addEdge(from, to);
    integer(edge, key::edgeType, type);
    integer(edge, key::edgeCost, cost);
  }
  // Takes and releases every path: their walks and lengths.
  std::vector<std::pair<Walk, int>> enumerate() {
    std::vector<std::pair<Walk, int>> yields;
    for (KySortedPathIter it(&tailor); it; ++it) {
      KyPath* path = it.pPath();
      yields.emplace_back(walkOf(path), path->length());
      path->vRelease();
    }
    return yields;
  }
  std::vector<int> lengths() {
    std::vector<int> result;
    for (const auto& yield : enumerate())
      result.push_back(yield.second);
    return result;
  }

  KyGraph graph;
  KyNode *S = graph.addNode(), *A = graph.addNode(), *B = graph.addNode(), *C = graph.addNode(),
         *D = graph.addNode(), *F = graph.addNode();
  KyEdge *t1 = graph.addEdge(S, A), *tA = graph.addEdge(A, C), *t2 = graph.addEdge(B, C),
         *t3 = graph.addEdge(C, F), *tD = graph.addEdge(D, F), *s1 = graph.addEdge(A, B),
         *s2 = graph.addEdge(C, D), *s3 = graph.addEdge(C, F), *sF = graph.addEdge(F, S),
         *aS = graph.addEdge(A, S);
  KyServiceOutputData data;
  KyGraph* pathGraph = new KyGraph; // the output data owns it
  KyNode* root = pathGraph->addNode();
  KySortedPathsOutputTailor tailor{&data};
};

// Paths of length 8, 9, 10, ... without end: path i > 0 runs the cycle
// F, S, A, C, F i times and ends at the path-graph node returned.
KyNode* makeEndless(Answer& answer) {
  KyNode* node = answer.extend(answer.root, answer.sF, 0, 1);
  answer.link(node, node, 0, 1);
  return node;
}

TEST(KySortedPathIterTest, ExtensionsOutsideTheUsualShapeCutTheTailByType) {
  const auto t1 = &Answer::t1, tA = &Answer::tA, t2 = &Answer::t2, tD = &Answer::tD,
             t3 = &Answer::t3, s1 = &Answer::s1, s2 = &Answer::s2, s3 = &Answer::s3;
  struct Row {
    std::vector<std::pair<KyEdge * Answer::*, int>> chain; // sidetrack and type, from the root
    std::vector<KyEdge * Answer::*> last;
  };
  // Sidetracks that are tree edges, and a type other than 0 or 1, which
  // appends.
  const std::vector<Row> rows = {
      {{{s1, 0}, {s3, 7}}, {t1, s1, t2, s3}},
      {{{s1, 0}, {t2, 0}}, {t1, s1, t2, t3}},
      {{{s1, 0}, {t2, 0}, {s2, 0}}, {t1, s1, t2, s2, tD}}, // appending keeps t1, s1, t2
      {{{s1, 0}, {t2, 0}, {s2, 1}}, {t1, tA, s2, tD}},     // replacing keeps nothing
  };
  for (const Row& row : rows) {
    Answer answer;
    KyNode* node = answer.root;
    for (const auto& [sidetrack, type] : row.chain)
      node = answer.extend(node, answer.*sidetrack, type);
    Walk last;
    for (KyEdge* Answer::*edge : row.last)
      last.push_back(answer.*edge);
    const auto yields = answer.enumerate();
    ASSERT_EQ(yields.size(), row.chain.size() + 1);
    EXPECT_EQ(yields.back().first, last);
    for (std::size_t i = 0; i < yields.size(); ++i)
      EXPECT_EQ(yields[i].second, 8 + 3 * static_cast<int>(i));
  }
}

// Start and finish are F; the one candidate, the cycle F, S, A, C, F, is
// as long as the empty path, which goes first.
TEST(KySortedPathIterTest, TheEmptyPathWinsTies) {
  Answer answer;
  answer.ends(answer.F, answer.F);
  answer.extend(answer.root, answer.sF, 0, 2);
  const auto yields = answer.enumerate();
  ASSERT_EQ(yields.size(), 2u);
  EXPECT_EQ(yields[0], std::make_pair(Walk(), 10));
  EXPECT_EQ(yields[1], std::make_pair(Walk{answer.sF, answer.t1, answer.tA, answer.t3}, 10));
}

// Empty, short or broken answers: the enumeration ends cleanly, after the
// paths that could be completed.
TEST(KySortedPathIterTest, UnusableAnswersEndCleanly) {
  struct Row {
    const char* name;
    std::function<void(Answer&)> change;
    std::vector<int> lengths;
  };
  const std::vector<Row> rows = {
      {"no path", [](Answer& a) { a.integer(nullptr, key::nonePathExists, 0); }, {}},
      {"root without out-edges", [](Answer&) {}, {8}},
      {"start and finish missing",
       [](Answer& a) {
         a.drop(nullptr, key::noneStartNode);
         a.drop(nullptr, key::noneFinishNode);
       },
       {}},
      {"root missing",
       [](Answer& a) {
         a.extend(a.root, a.s1, 0);
         a.drop(nullptr, key::noneRootNode);
       },
       {8}},
      {"no tree edge at A", [](Answer& a) { a.drop(a.A, key::nodeTreeEdge); }, {}},
      {"tree edge of A leaves C", [](Answer& a) { a.object(a.A, key::nodeTreeEdge, a.t3); }, {}},
      {"tree edges in a cycle", [](Answer& a) { a.object(a.A, key::nodeTreeEdge, a.aS); }, {}},
      {"tree edge missing after a sidetrack",
       [](Answer& a) {
         a.extend(a.root, a.s2, 0);
         a.drop(a.D, key::nodeTreeEdge);
       },
       {8}},
      {"sidetrack missing",
       [](Answer& a) {
         a.drop(a.extend(a.extend(a.root, a.s1, 0), a.s2, 0), key::nodeSidetrackEdge);
         a.extend(a.root, a.s3, 0, 5); // a valid candidate, released with the fault
       },
       {8, 11}},
      {"sidetrack of another graph",
       [](Answer& a) {
         KyNode* elsewhere = a.pathGraph->addNode();
         a.extend(a.root, a.pathGraph->addEdge(elsewhere, elsewhere), 0);
       },
       {8}},
      {"an integer as the start node",
       [](Answer& a) { a.integer(nullptr, key::noneStartNode, 0); },
       {}},
      {"an integer as a tree edge", [](Answer& a) { a.integer(a.A, key::nodeTreeEdge, 1); }, {}},
      {"an integer as the root node",
       [](Answer& a) {
         a.extend(a.root, a.s1, 0);
         a.integer(nullptr, key::noneRootNode, 0);
       },
       {8}},
      {"an integer as a sidetrack",
       [](Answer& a) { a.integer(a.extend(a.root, a.s1, 0), key::nodeSidetrackEdge, 1); },
       {8}},
      {"fault behind a waiting empty path",
       [](Answer& a) {
         a.ends(a.F, a.F);
         a.drop(a.extend(a.root, a.sF, 0), key::nodeSidetrackEdge);
       },
       {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Answer answer;
    row.change(answer);
    EXPECT_EQ(answer.lengths(), row.lengths);
  }
  KySortedPathsOutputTailor noData(nullptr);
  KySortedPathIter it(&noData);
  EXPECT_FALSE(it);
  EXPECT_EQ(it.pPath(), nullptr);
  ++it;
  it.init(nullptr);
  EXPECT_FALSE(it);
}

// Lengths are summed in 64 bits: one that fits 32 bits is reported exactly
// even when its modified length does not, and comes before one that does
// not fit, which is reported as KyPath::infiniteLength.
TEST(KySortedPathIterTest, LengthsPastThirtyTwoBitsStayInOrder) {
  Answer answer;
  answer.integer(nullptr, key::noneShortestPathLength, 2147483000);
  answer.integer(nullptr, key::noneFinishNodeCost, 100);
  answer.extend(answer.root, answer.s3, 0, 852516401); // walk costs 3,000,000,001
  answer.extend(answer.root, answer.s1, 0, 700);       // modified length 2,147,483,700
  EXPECT_EQ(answer.lengths(), (std::vector<int>{2147482900, 2147483600, KyPath::infiniteLength}));
}

// A finish node with a tree edge of its own: a tree walk that misses its
// target on the way to the finish goes on through it, as the tree leads.
TEST(KySortedPathIterTest, TreeWalksGoOnPastAFinishNodeWithATreeEdge) {
  Answer answer;
  answer.object(answer.F, key::nodeTreeEdge, answer.sF);
  answer.extend(answer.extend(answer.root, answer.s1, 0), answer.aS, 0);
  const auto yields = answer.enumerate();
  ASSERT_EQ(yields.size(), 3u);
  EXPECT_EQ(yields[0].first, (Walk{answer.t1, answer.tA, answer.t3}));
  EXPECT_EQ(yields[2].first, (Walk{answer.t1, answer.s1, answer.t2, answer.t3, answer.sF, answer.t1,
                                   answer.aS, answer.t1, answer.tA, answer.t3}));
  EXPECT_EQ(yields[2].second, 14);
}

TEST(KySortedPathIterTest, TakenPathsStayTheCallersAndTheRestIsReleased) {
  Answer answer;
  KyNode* cycle = makeEndless(answer);
  KyPath *first = nullptr, *seventh = nullptr;
  {
    KySortedPathIter it(&answer.tailor);
    first = it.pPath();
    EXPECT_EQ(it.pPath(), first);
    for (int i = 0; i < 5; ++i)
      ++it; // the paths not taken are released on the way
    it++;
    seventh = it.pPath();
    ++it;
    it.init(&answer.tailor); // releases the path not taken and starts afresh
    KyPath* again = it.pPath();
    EXPECT_EQ(again->length(), 8);
    again->vRelease();
    ++it; // destroyed standing on a path not taken, with a candidate waiting
  }
  EXPECT_EQ(first->pLastNode(), answer.root);
  EXPECT_EQ(walkOf(first), (Walk{answer.t1, answer.tA, answer.t3}));
  EXPECT_EQ(seventh->pLastNode(), cycle);
  EXPECT_EQ(seventh->length(), 14);
  EXPECT_EQ(walkOf(seventh).size(), 27u);
  first->vRelease();
  seventh->vRelease();
}

TEST(KySortedPathIterTest, BuildPathListAppendsAtMostTheLimitFromTheCheapest) {
  struct Row {
    bool endless;
    std::vector<int> limits; // one call each
    std::vector<int> lengths;
  };
  for (const Row& row :
       {Row{false, {0}, {}}, Row{false, {-1}, {}}, Row{false, {5}, {8, 11, 14}},
        Row{false, {5, 2}, {8, 11, 14, 8, 11}}, Row{true, {7}, {8, 9, 10, 11, 12, 13, 14}}}) {
    Answer answer;
    if (row.endless)
      makeEndless(answer);
    else
      answer.extend(answer.extend(answer.root, answer.s1, 0), answer.s2, 0);
    KyDList list;
    list.appendObject(new KyInt(0)); // kept in front of the paths
    for (int limit : row.limits)
      answer.tailor.buildPathList(list, limit);
    KySortedPathsOutputTailor(nullptr).buildPathList(list, 3);
    std::vector<int> lengths;
    for (KyDListCell* cell = list.pFirstCell()->pNext(); cell != nullptr; cell = cell->pNext())
      lengths.push_back(KyPath::castDown(cell->pObject())->length());
    EXPECT_EQ(lengths, row.lengths);
    list.deleteAllCellsAndObjects();
  }
}

} // namespace
