#include <kyanalysis/KyAllPairsShortestPathsOutputTailor.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyPair.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyServiceData.h>

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

namespace key = KyAnalysisKey::allPairsShortestPaths;

// A chain a -> b -> c -> d, a two-node cycle x <-> y and a loop on x.
// Results are stored as a service stores them: each under a pair of its own
// that the store takes over.
class KyAllPairsShortestPathsTailorsTest : public ::testing::Test {
protected:
  KyGraph graph;
  KyNode *a = graph.addNode(), *b = graph.addNode(), *c = graph.addNode(), *d = graph.addNode(),
         *x = graph.addNode(), *y = graph.addNode();
  KyEdge *ab = graph.addEdge(a, b), *bc = graph.addEdge(b, c), *cd = graph.addEdge(c, d),
         *xy = graph.addEdge(x, y), *yx = graph.addEdge(y, x), *loop = graph.addEdge(x, x);
};

TEST_F(KyAllPairsShortestPathsTailorsTest, RebuildsOnlyPathsThatLeadBackToTheStart) {
  using Stored = std::vector<std::tuple<KyNode*, KyNode*, KyObject*>>; // (from, to, last edge)
  using Edges = std::vector<KyEdge*>;
  KyInt notAnEdge(0);
  // Besides a cycle back to the start, answers a service should not leave;
  // well-formed paths are read back in the engine's tests.
  const struct {
    const char* what;
    Stored lastEdges;
    KyNode *from, *to;
    Edges path;
  } cases[] = {
      {"from equals to, nothing stored", {{a, b, ab}}, a, a, {}},
      {"cycle back to the start", {{x, x, yx}, {x, y, xy}}, x, x, {xy, yx}},
      {"last edge missing before the start", {{a, d, cd}, {a, c, bc}}, a, d, {}},
      {"edge not touching the node reached", {{a, d, cd}, {a, c, ab}}, a, d, {}},
      {"edge not touching the target", {{a, d, bc}}, a, d, {}},
      {"value that is not an edge", {{a, d, cd}, {a, c, &notAnEdge}}, a, d, {}},
      {"two-node cycle", {{a, x, yx}, {a, y, xy}}, a, x, {}},
      {"cycle away from the target", {{a, d, cd}, {a, c, bc}, {a, b, bc}}, a, d, {}},
      {"loop at the target", {{a, x, loop}}, a, x, {}},
      {"loop further on", {{a, y, xy}, {a, x, loop}}, a, y, {}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    KyServiceOutputData output;
    for (const auto& [from, to, edge] : row.lastEdges)
      output.setValue(new KyPair(from, to), key::pairLastEdge, edge, 0, 1);
    KyEdgeDList list;
    list.appendEdge(ab); // a caller's list is emptied first
    KyAllPairsShortestPathsOutputTailor(&output).buildShortestPathEdgeList(row.from, row.to, list);
    Edges built;
    for (KyEdgeDListIter it(&list); it; ++it)
      built.push_back(it.pEdge());
    EXPECT_EQ(built, row.path);
  }
}

TEST_F(KyAllPairsShortestPathsTailorsTest, LengthIsTheStoredCostOfTheOrderedPair) {
  KyServiceOutputData output;
  output.setValue(new KyPair(a, d), key::pairTotalCost, new KyInt(3), 1, 1);
  output.setValue(new KyPair(d, a), key::pairTotalCost, new KyInt(0), 1, 1);
  const KyAllPairsShortestPathsOutputTailor tailor(&output);
  EXPECT_EQ(tailor.computeLengthOfShortestPath(a, d), 3);
  EXPECT_EQ(tailor.computeLengthOfShortestPath(d, a), 0);
  EXPECT_EQ(tailor.computeLengthOfShortestPath(a, c), 2147483647);
  EXPECT_EQ(KyAllPairsShortestPathsOutputTailor(nullptr).computeLengthOfShortestPath(a, d),
            2147483647);
}

} // namespace
