// Files other graph tools wrote (tests/formats/data, made by
// make_real_files.py) give the answers those tools' own readers and
// algorithms give: maximum flows over GraphML whose node and edge keys
// share an id, and the weighted shortest path lengths of Les Misérables
// from GraphML, a weighted edge list of decimals and a CSV export.
#include "support/KyProcess.h"

#include <kyengine/KyLocalAnalysisService.h>
#include <kyformats/KyAnalysisRequest.h>
#include <kyformats/KyGraphReader.h>

#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyPair.h>
#include <kyplatform/KyInt.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string dataPath(const std::string& name) {
  return kytest::sourcePath("tests/formats/data/" + name);
}

/// The answer of `operation` on the graph file `name` read with `options`,
/// with the graph options `settings`; the request is kept for its notes.
struct Answered {
  KyAnalysisRequest request;
  KyServiceOutputData output;
};

void answer(Answered& into, const std::string& name, const KyGraphReadOptions& options,
            int operation, const std::vector<std::string>& settings, bool undirected = false) {
  KyGraphData data;
  std::string error;
  ASSERT_TRUE(KyGraphReader(options).readFile(dataPath(name), data, error)) << error;
  ASSERT_TRUE(into.request.start(operation, std::move(data), error)) << error;
  if (undirected) {
    ASSERT_TRUE(into.request.undirected(error)) << error;
  }
  for (const std::string& setting : settings)
    ASSERT_TRUE(into.request.set(setting, error)) << error;
  ASSERT_EQ(KyLocalAnalysisService().run(&into.request.input(), &into.output), 0);
}

int integer(const KyObject* value) {
  const auto* number = dynamic_cast<const KyInt*>(value);
  return number != nullptr ? number->value() : -1;
}

TEST(KyRealFiles, SharedKeyIdsKeepNodeAndEdgeCapacitiesApart) {
  // "networkx 10", "igraph 10", "edge-capacities-alone 15".
  std::map<std::string, int> expected;
  std::ifstream answers(dataPath("flow-answers.txt"));
  for (std::string tool; answers >> tool;)
    answers >> expected[tool];
  ASSERT_EQ(expected.size(), 3u);
  for (const char* tool : {"networkx", "igraph"}) {
    SCOPED_TRACE(tool);
    Answered flow;
    answer(flow, std::string("flow-") + tool + ".graphml", {}, OPERATION_MAXIMUM_FLOW,
           {"sourceNode=s", "sinkNode=t"});
    EXPECT_EQ(integer(flow.output.pValue(nullptr, KyAnalysisKey::maximumFlow::noneTotalFlow)),
              expected[tool]);
    EXPECT_TRUE(flow.request.notes().empty());
  }
  // The node capacities are what holds the flow below the edges' own bound.
  EXPECT_LT(expected["networkx"], expected["edge-capacities-alone"]);
}

/// NetworkX's weighted shortest path lengths of Les Misérables: name ->
/// name -> length.
std::map<std::string, std::map<std::string, int>> lesMiserablesLengths() {
  std::ifstream file(dataPath("lesmis-distances.txt"));
  std::string line;
  std::getline(file, line);
  std::istringstream header(line);
  std::vector<std::string> names{std::istream_iterator<std::string>(header),
                                 std::istream_iterator<std::string>()};
  std::map<std::string, std::map<std::string, int>> lengths;
  for (const std::string& from : names)
    for (const std::string& to : names)
      file >> lengths[from][to];
  return lengths;
}

TEST(KyRealFiles, LesMiserablesWeightedPathLengthsAreNetworkXs) {
  const auto expected = lesMiserablesLengths();
  ASSERT_EQ(expected.size(), 77u);
  KyGraphReadOptions weighted;
  std::string error;
  ASSERT_TRUE(weighted.mapColumn("cost=weight", error)) << error;
  const struct {
    const char* file;
    bool mapped;
    bool undirected; // --undirected: the file does not say so itself
    int notes;
  } files[] = {
      {"lesmis-networkx.graphml", true, false, 0},
      {"lesmis-igraph.graphml", true, false, 0},
      {"lesmis-networkx.edgelist", false, true, 0}, // "a b 1.0": the third column is the cost
      {"lesmis-python.csv", true, false, 1},        // Source,Target,weight,undirected,label
  };
  for (const auto& test : files) {
    SCOPED_TRACE(test.file);
    Answered paths;
    answer(paths, test.file, test.mapped ? weighted : KyGraphReadOptions(),
           OPERATION_ALL_PAIRS_SHORTEST_PATHS, {}, test.undirected);
    ASSERT_EQ(paths.request.notes().size(), static_cast<std::size_t>(test.notes));
    if (test.notes > 0) {
      EXPECT_NE(paths.request.notes().front().find("edge column 'label'"), std::string::npos)
          << paths.request.notes().front();
    }
    const KyGraph& graph = paths.request.graph();
    ASSERT_EQ(graph.numberOfNodes(), 77);
    ASSERT_EQ(graph.numberOfEdges(), 254);
    int compared = 0;
    for (KyNode* from : *graph.pNodeList())
      for (KyNode* to : *graph.pNodeList()) {
        const KyPair pair(from, to);
        const std::string source = KyGraphNames::nameOf(from), target = KyGraphNames::nameOf(to);
        const int length = from == to
                               ? 0
                               : integer(paths.output.pValue(
                                     &pair, KyAnalysisKey::allPairsShortestPaths::pairTotalCost));
        ASSERT_EQ(length, expected.at(source).at(target)) << source << " to " << target;
        ++compared;
      }
    EXPECT_EQ(compared, 77 * 77);
  }
}

TEST(KyRealFiles, AnUnmappedWeightIsNotedAndLeftOut) {
  // Without the mapping the weights are left out, and said to be: the paths
  // are counted in edges.
  Answered hops;
  answer(hops, "lesmis-networkx.graphml", {}, OPERATION_SHORTEST_PATHS,
         {"startNode=Napoleon", "finishNode=Valjean"});
  ASSERT_EQ(hops.request.notes().size(), 1u);
  EXPECT_NE(hops.request.notes().front().find("edge key 'weight'"), std::string::npos)
      << hops.request.notes().front();
  EXPECT_EQ(integer(hops.output.pValue(nullptr, KyAnalysisKey::shortestPaths::noneTotalCost)), 2);
  EXPECT_NE(lesMiserablesLengths().at("Napoleon").at("Valjean"), 2);
}

} // namespace
