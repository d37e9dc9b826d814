#include <kyanalysis/KyPath.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <vector>

namespace {

// A chain a -> b -> c and a path over it, ending at c, ranked 7, of length 5.
class KyPathTest : public ::testing::Test {
protected:
  KyPathTest() { source.length(5); }
  static KyEdgeDList* listOf(std::initializer_list<KyEdge*> edges) {
    auto* list = new KyEdgeDList;
    for (KyEdge* edge : edges)
      list->appendEdge(edge);
    return list;
  }
  static std::vector<KyEdge*> edgesOf(const KyPath& path) {
    std::vector<KyEdge*> result;
    for (KyEdgeDListIter it(path.pEdgeList()); it; ++it)
      result.push_back(it.pEdge());
    return result;
  }
  void expectAttributesOfSource(const KyPath& copy) const {
    EXPECT_EQ(copy.pLastNode(), c);
    EXPECT_EQ(copy.modifiedLength(), 7);
    EXPECT_EQ(copy.length(), 5);
  }

  KyGraph graph;
  KyNode *a = graph.addNode(), *b = graph.addNode(), *c = graph.addNode();
  KyEdge *ab = graph.addEdge(a, b), *bc = graph.addEdge(b, c);
  KyPath source{c, 7, listOf({ab, bc})};
};

TEST_F(KyPathTest, TakesOverItsListAndLeavesTheLengthUnknown) {
  auto* list = new KyEdgeDList;
  const KyPath path(b, 7, list); // frees `list` when destroyed
  EXPECT_EQ(path.pLastNode(), b);
  EXPECT_EQ(path.modifiedLength(), 7);
  EXPECT_EQ(path.length(), 2147483647);
  EXPECT_EQ(path.pEdgeList(), list);
}

TEST_F(KyPathTest, DeepCopiesHoldTheirOwnListOfTheSameEdges) {
  auto clone = std::unique_ptr<const KyPath>(source.cloneObject());
  const KyPath constructed(source);
  KyPath assigned(a, 1, new KyEdgeDList); // gives up its former list
  assigned = source;
  for (const KyPath* copy : {clone.get(), &constructed, static_cast<const KyPath*>(&assigned)}) {
    expectAttributesOfSource(*copy);
    EXPECT_NE(copy->pEdgeList(), source.pEdgeList());
    EXPECT_EQ(edgesOf(*copy), (std::vector<KyEdge*>{ab, bc}));
  }
  clone.reset();
  EXPECT_EQ(edgesOf(source), (std::vector<KyEdge*>{ab, bc}));
}

TEST_F(KyPathTest, AttributeCopiesCarryNoList) {
  auto clone = std::unique_ptr<const KyPath>(source.cloneAttributes());
  const KyPath constructed(source, KY_ATTRIBUTE_COPY);
  KyPath copied(source);
  copied.copyAttributes(&source); // gives up its list
  for (const KyPath* copy : {clone.get(), &constructed, static_cast<const KyPath*>(&copied)}) {
    expectAttributesOfSource(*copy);
    EXPECT_EQ(copy->pEdgeList(), nullptr);
  }
  copied.copyObject(&constructed); // a deep copy of a path without list
  EXPECT_EQ(copied.pEdgeList(), nullptr);
}

TEST_F(KyPathTest, CopyingFromItselfNullOrANonPathChangesNothing) {
  const KyEdgeDList* list = source.pEdgeList();
  KyEdgeDList notAPath;
  KyPath& self = source;
  source = self;
  source.copyObject(&source);
  source.copyAttributes(&source);
  source.copyObject(nullptr);
  source.copyAttributes(nullptr);
  source.copyObject(&notAPath);
  EXPECT_EQ(source.pEdgeList(), list);
  EXPECT_EQ(edgesOf(source), (std::vector<KyEdge*>{ab, bc}));
  expectAttributesOfSource(source);
}

} // namespace
