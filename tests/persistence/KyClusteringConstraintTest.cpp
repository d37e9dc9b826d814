#include <kyanalysis/KyClusteringConstraint.h>
#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using C = KyClusteringConstraint;
using Nodes = std::vector<KyNode*>;

Nodes nodesOf(const C& constraint) {
  Nodes nodes;
  for (KyNodeDListIter it(constraint.pNodeList()); it; ++it)
    nodes.push_back(it.pNode());
  return nodes;
}

class KyClusteringConstraintTest : public ::testing::Test {
protected:
  KyClusteringConstraintTest() {
    source.type(CLUSTERING_CONSTRAINT_DIFFERENT_CLUSTERS);
    source.fulfilled(1);
    for (KyNode* node : {a, b, a})
      source.addNode(node);
  }

  KyGraph graph, otherGraph;
  KyNode* a = graph.addNode();
  KyNode* b = graph.addNode();
  C source{7, L"group"};
};

TEST_F(KyClusteringConstraintTest, CopiesDeeplyOrAttributesOnly) {
  // Each copy lands in `to`, which starts with a node every copy drops.
  const struct {
    const char* name;
    void (*copy)(const C& from, std::unique_ptr<C>& target);
    bool deep;
  } cases[] = {
      {"copy constructor", [](const C& from, auto& to) { to = std::make_unique<C>(from); }, true},
      {"attribute constructor",
       [](const C& from, auto& to) { to = std::make_unique<C>(from, KY_ATTRIBUTE_COPY); }, false},
      {"cloneObject", [](const C& from, auto& to) { to.reset(from.cloneObject()); }, true},
      {"cloneAttributes", [](const C& from, auto& to) { to.reset(from.cloneAttributes()); }, false},
      {"assignment", [](const C& from, auto& to) { *to = from; }, true},
      {"copyObject", [](const C& from, auto& to) { to->copyObject(&from); }, true},
      {"copyAttributes", [](const C& from, auto& to) { to->copyAttributes(&from); }, false},
  };
  KyConstraintManager manager;
  EXPECT_EQ(manager.insertConstraint(&source), &source);
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    auto copy = std::make_unique<C>(3, L"old");
    copy->addNode(b);
    test.copy(source, copy);
    EXPECT_EQ(copy->priority(), 7);
    EXPECT_EQ(std::wstring(copy->pName()), L"group");
    EXPECT_EQ(copy->type(), CLUSTERING_CONSTRAINT_DIFFERENT_CLUSTERS);
    EXPECT_EQ(copy->fulfilled(), 1);
    EXPECT_EQ(copy->pManager(), nullptr);
    EXPECT_NE(copy->pNodeList(), source.pNodeList());
    EXPECT_EQ(nodesOf(*copy), (test.deep ? Nodes{a, b, a} : Nodes{}));
  }
  manager.removeConstraint(&source);
}

TEST_F(KyClusteringConstraintTest, CopyFromNullItselfOrAnotherClassChangesNothing) {
  KyInt number(5);
  KyConstraint plain(9, L"plain");
  const KyObject* sources[] = {nullptr, &source, &number, &plain};
  for (const KyObject* from : sources) {
    source.copyObject(from);
    source.copyAttributes(from);
  }
  source = *&source;
  EXPECT_EQ(source.priority(), 7);
  EXPECT_EQ(source.type(), CLUSTERING_CONSTRAINT_DIFFERENT_CLUSTERS);
  EXPECT_EQ(nodesOf(source), (Nodes{a, b, a}));
}

TEST_F(KyClusteringConstraintTest, RemoveNodeAndClear) {
  KyNode* absent = graph.addNode();
  EXPECT_EQ(source.removeNode(absent), nullptr);
  EXPECT_EQ(source.addNode(nullptr), nullptr);
  EXPECT_EQ(source.removeNode(a), a);
  EXPECT_EQ(nodesOf(source), (Nodes{b, a}));
  source.clear();
  EXPECT_EQ(nodesOf(source), Nodes{});
  EXPECT_EQ(source.addNode(b), b); // the nodes outlive the cleared cells
  EXPECT_EQ(b->pOwnerGraph(), &graph);
}

TEST_F(KyClusteringConstraintTest, ValidNeedsAKnownTypeAndNodesOfTheGraph) {
  KyNode* foreign = otherGraph.addNode();
  const struct {
    int type;
    Nodes nodes;
    const KyGraph* graph;
    int valid;
  } cases[] = {
      {0, {}, &graph, 1},           {0, {}, nullptr, 1},          {2, {a, b, a}, &graph, 1},
      {1, {a, foreign}, &graph, 0}, {1, {foreign, a}, &graph, 0}, {0, {a}, nullptr, 0},
      {3, {}, &graph, 0},           {-1, {a}, &graph, 0},
  };
  for (const auto& test : cases) {
    C constraint;
    constraint.type(static_cast<KyClusteringConstraintTypeEnum>(test.type));
    for (KyNode* node : test.nodes)
      constraint.addNode(node);
    EXPECT_EQ(constraint.valid(test.graph), test.valid)
        << "type " << test.type << ", " << test.nodes.size() << " nodes";
  }
}

} // namespace
