// Acyclic, new-cycle and tree tests: their answers on tables of small
// graphs, and the acyclic test against Kahn's algorithm.
#include <kyanalysis/KyAcyclicTestInputTailor.h>
#include <kyanalysis/KyAcyclicTestOutputTailor.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyNewCycleTestInputTailor.h>
#include <kyanalysis/KyNewCycleTestOutputTailor.h>
#include <kyanalysis/KyTreeTestInputTailor.h>
#include <kyanalysis/KyTreeTestOutputTailor.h>

#include "support/KyEngineTesting.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

namespace {

using kytest::Edges;

int acyclicAnswer(kytest::EngineCase& run) {
  kytest::ask(KyAcyclicTestInputTailor(&run.input), run);
  EXPECT_EQ(run.run(), ANALYSIS_ERROR_NONE);
  return KyAcyclicTestOutputTailor(&run.output).acyclic();
}

// The random graphs below have a node or more; their self-loops and
// parallel edges come by chance.
TEST(AcyclicTest, EdgeCases) {
  const struct {
    int nodes;
    Edges edges;
    int acyclic;
  } rows[] = {
      {0, {}, 1},               // empty graph
      {2, {{0, 1}, {0, 1}}, 1}, // parallel edges
      {1, {{0, 0}}, 0},         // self-loop
  };
  for (const auto& row : rows) {
    kytest::EngineCase run(row.nodes, row.edges);
    EXPECT_EQ(acyclicAnswer(run), row.acyclic) << row.nodes << " nodes";
  }
}

TEST(AcyclicTest, AgreesWithKahnsAlgorithmOnRandomGraphs) {
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    const int n = 1 + static_cast<int>(random() % 7);
    const Edges edges = kytest::randomEdges(random, n, static_cast<int>(random() % (n + 4)));
    kytest::EngineCase run(n, edges);
    EXPECT_EQ(acyclicAnswer(run), kytest::hasCycle(n, edges) ? 0 : 1) << "round " << round;
  }
}

TEST(NewCycleTest, Table) {
  const Edges chain{{0, 1}, {1, 2}, {3, 4}, {4, 3}};
  const struct {
    Edges edges;
    int source, target, cycle;
  } rows[] = {
      {chain, 2, 0, 1},    // closes the chain
      {chain, 0, 2, 0},    // a shortcut along it
      {chain, 1, 1, 1},    // a new self-loop
      {chain, 0, 1, 0},    // parallel to an edge: still no cycle
      {{{1, 0}}, 0, 1, 1}, // against an edge
      {chain, 0, 3, 0},    // a cycle elsewhere does not count
  };
  for (const auto& row : rows) {
    kytest::EngineCase run(5, row.edges);
    KyNewCycleTestInputTailor request(&run.input);
    kytest::ask(request, run).pSourceNode(run.node[row.source]);
    request.pTargetNode(run.node[row.target]);
    ASSERT_EQ(run.run(), ANALYSIS_ERROR_NONE);
    EXPECT_EQ(KyNewCycleTestOutputTailor(&run.output).willCreateCycle(), row.cycle)
        << row.source << " -> " << row.target;
  }
}

TEST(TreeTest, Table) {
  const struct {
    int nodes;
    Edges edges;
    int directed, tree, forest;
  } rows[] = {
      {0, {}, 0, 0, 1}, // empty: a forest of no tree
      {0, {}, 1, 0, 1},
      {1, {}, 1, 1, 1},                       // one node
      {4, {{0, 1}, {0, 2}, {2, 3}}, 1, 1, 1}, // out-tree from 0
      {3, {{0, 1}, {2, 1}}, 0, 1, 1},         // a tree when undirected
      {3, {{0, 1}, {2, 1}}, 1, 0, 0},         // two edges into node 1
      {3, {{1, 0}, {1, 2}}, 1, 1, 1},         // the root needs not come first
      {4, {{0, 1}, {3, 2}}, 1, 0, 1},         // two out-trees
      {4, {{0, 1}, {3, 2}}, 0, 0, 1},
      {2, {{0, 1}, {1, 0}}, 0, 0, 0}, // parallel when undirected
      {2, {{0, 1}, {0, 1}}, 1, 0, 0},
      {2, {{0, 0}}, 0, 0, 0},                 // self-loop
      {3, {{0, 1}, {1, 2}, {2, 0}}, 1, 0, 0}, // directed cycle
      {4, {{0, 1}, {1, 2}, {2, 0}, {0, 3}}, 0, 0, 0},
  };
  for (const auto& row : rows) {
    kytest::EngineCase run(row.nodes, row.edges);
    kytest::ask(KyTreeTestInputTailor(&run.input), run).directed(row.directed);
    ASSERT_EQ(run.run(), ANALYSIS_ERROR_NONE);
    const KyTreeTestOutputTailor answer(&run.output);
    EXPECT_EQ(answer.isTree(), row.tree) << row.nodes << " nodes, directed " << row.directed;
    EXPECT_EQ(answer.isForest(), row.forest) << row.nodes << " nodes, directed " << row.directed;
  }
}

} // namespace
