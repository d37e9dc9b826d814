// Cycle-breaking edge detection: on seeded random graphs, reversing the
// listed edges leaves the graph acyclic at every quality, proof quality
// finds a brute-force minimum and no quality does worse than the one below.
#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyCycleBreakingEdgeDetectionInputTailor.h>
#include <kyanalysis/KyCycleBreakingEdgeDetectionOutputTailor.h>
#include <kyplatform/KyDouble.h>
#include <kyplatform/KyEdgeDList.h>

#include "support/KyEngineTesting.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

namespace {

using kytest::Edges;

struct Answer {
  int code = 0;
  std::vector<int> reversed, loops;
};

Answer breakCycles(int nodes, const Edges& edges, int quality) {
  kytest::EngineCase run(nodes, edges);
  kytest::ask(KyCycleBreakingEdgeDetectionInputTailor(&run.input), run)
      .quality(static_cast<KyCycleBreakingQualityEnum>(quality));
  Answer answer;
  answer.code = run.run();
  const KyCycleBreakingEdgeDetectionOutputTailor output(&run.output);
  KyEdgeDList list;
  output.buildEdgeList(list);
  answer.reversed = kytest::positions(list);
  output.buildReflexiveEdgeList(list);
  answer.loops = kytest::positions(list);
  std::vector<int> flagged;
  for (KyEdge* edge : run.edge)
    if (output.backwardEdge(edge))
      flagged.push_back(edge->index());
  EXPECT_EQ(flagged, answer.reversed);
  return answer;
}

// Whether the graph is acyclic once the edges in `reversed` (a bit per
// edge) point the other way; self-loops are left out.
bool acyclicReversed(int nodes, const Edges& edges, unsigned reversed) {
  Edges turned;
  for (std::size_t e = 0; e < edges.size(); ++e)
    if (edges[e].first != edges[e].second)
      turned.emplace_back(e < 32 && (reversed >> e & 1)
                              ? std::make_pair(edges[e].second, edges[e].first)
                              : edges[e]);
  return !kytest::hasCycle(nodes, turned);
}

int fewestReversals(int nodes, const Edges& edges) {
  int fewest = static_cast<int>(edges.size());
  for (unsigned set = 0; set < (1u << edges.size()); ++set)
    if (__builtin_popcount(set) < fewest && acyclicReversed(nodes, edges, set))
      fewest = __builtin_popcount(set);
  return fewest;
}

// Checks one answer: code 0, self-loops listed apart and never reversed,
// the graph acyclic after the reversal. Returns the number reversed.
int checkedReversals(int nodes, const Edges& edges, int quality) {
  const Answer answer = breakCycles(nodes, edges, quality);
  EXPECT_EQ(answer.code, ANALYSIS_ERROR_NONE);
  std::vector<int> loops;
  for (std::size_t e = 0; e < edges.size(); ++e)
    if (edges[e].first == edges[e].second)
      loops.push_back(static_cast<int>(e));
  EXPECT_EQ(answer.loops, loops);
  Edges turned = edges;
  for (int e : answer.reversed) {
    EXPECT_NE(edges[e].first, edges[e].second);
    std::swap(turned[e].first, turned[e].second);
  }
  EXPECT_TRUE(acyclicReversed(nodes, turned, 0));
  return static_cast<int>(answer.reversed.size());
}

// Up to 7 nodes, proof against brute force; 12 nodes, still exact at proof;
// 40 and 120, beyond the exact bound. Each quality does no worse than the
// one below it.
TEST(CycleBreakingEdgeDetection, AnswersStayValidAndProofFindsTheFewest) {
  std::mt19937 random(11);
  const int larger[] = {12, 40, 120};
  for (int round = 0; round < 165; ++round) {
    const bool small = round < 150;
    const int nodes = small ? 1 + static_cast<int>(random() % 7) : larger[(round - 150) / 5];
    const Edges edges =
        kytest::randomEdges(random, nodes, small ? static_cast<int>(random() % 13) : 3 * nodes);
    SCOPED_TRACE("round " + std::to_string(round));
    const int draft = checkedReversals(nodes, edges, CYCLEBREAKING_QUALITY_DRAFT);
    const int medium = checkedReversals(nodes, edges, CYCLEBREAKING_QUALITY_MEDIUM);
    const int proof = checkedReversals(nodes, edges, CYCLEBREAKING_QUALITY_PROOF);
    EXPECT_LE(medium, draft);
    EXPECT_LE(proof, medium);
    if (small) {
      EXPECT_EQ(proof, fewestReversals(nodes, edges));
    }
  }
}

TEST(CycleBreakingEdgeDetection, QualityOutsideItsRangeIsInvalid) {
  for (const int quality : {-1, 3}) {
    const Answer answer = breakCycles(2, {{0, 1}, {1, 0}}, quality);
    EXPECT_EQ(answer.code, ANALYSIS_ERROR_INVALID_OPTION);
    EXPECT_TRUE(answer.reversed.empty());
  }
  kytest::EngineCase run(2, {{0, 1}, {1, 0}});
  kytest::ask(KyCycleBreakingEdgeDetectionInputTailor(&run.input), run);
  run.input.setValue(&run.graph, KyAnalysisKey::cycleBreakingEdgeDetection::graphQuality,
                     new KyDouble(2.0), 1, 0);
  EXPECT_EQ(run.run(), ANALYSIS_ERROR_INVALID_OPTION);
}

} // namespace
