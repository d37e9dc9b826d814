#include <kyanalysis/KyReachableNodesInputTailor.h>
#include <kyanalysis/KyRootCauseInputTailor.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyServiceData.h>

#include <gtest/gtest.h>

#include <optional>

namespace {

// The reachable-nodes search limit is read from two options: a stored
// range wins, a stored level stands in for it, and a level of 0 means -1.
TEST(KyReachableNodesInputTailor, RangeHonoursTheLevelOnlyWhileNoRangeIsStored) {
  const struct {
    const char* what;
    std::optional<int> rangeFirst, level, rangeAfter;
    int range, levelRead;
  } cases[] = {
      {"nothing stored", {}, {}, {}, -1, 0},
      {"level 3", {}, 3, {}, 3, 3},
      {"level 0", {}, 0, {}, -1, 0},
      {"negative level", {}, -4, {}, -4, -4},
      {"range 5 then level 3", 5, 3, {}, 5, 3},
      {"level 3 then range 5", {}, 3, 5, 5, 3},
      {"range 0", 0, {}, {}, 0, 0},
      {"range 0 and level 0", 0, 0, {}, 0, 0},
      {"range -1 and level 3", -1, 3, {}, -1, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    KyGraph graph;
    KyServiceInputData input;
    KyReachableNodesInputTailor tailor(&input);
    tailor.pGraph(&graph);
    if (c.rangeFirst)
      tailor.range(*c.rangeFirst);
    if (c.level)
      tailor.level(*c.level);
    if (c.rangeAfter)
      tailor.range(*c.rangeAfter);
    EXPECT_EQ(tailor.range(), c.range);
    EXPECT_EQ(tailor.level(), c.levelRead);
    EXPECT_EQ(KyReachableNodesInputTailor(&input).range(), c.range); // read from the store
  }
}

TEST(KyRootCauseInputTailor, RangeIgnoresTheReachableNodesLevel) {
  KyGraph graph;
  KyServiceInputData input;
  KyReachableNodesInputTailor reachable(&input);
  reachable.pGraph(&graph);
  reachable.level(3);
  const KyRootCauseInputTailor rootCause(&input);
  EXPECT_EQ(rootCause.range(), -1);
}

} // namespace
