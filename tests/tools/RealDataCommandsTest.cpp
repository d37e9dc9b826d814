// kyanalyze on files other tools and spreadsheets write, as a new user runs
// it: extra columns noted on standard error, a weight mapped to the cost,
// fractional values scaled, formats told by content, the options of a
// document given as a graph noted, and names that would turn a terminal's
// text around shown escaped.
#include "support/KyProcess.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;
using kytest::Outcome;
using kytest::TempFile;

Outcome run(const Args& args, const std::string& input = "") {
  return kytest::runProcess(KYANALYZE_PATH, args, input);
}

std::string data(const std::string& name) {
  return kytest::sourcePath("tests/formats/data/" + name);
}

TEST(RealDataCommands, AWeightMappedToTheCostGivesNetworkXsLengths) {
  // NetworkX's length from Napoleon to Valjean, from the recorded lengths.
  std::ifstream lengths(data("lesmis-distances.txt"));
  std::string names;
  std::getline(lengths, names);
  std::istringstream header(names);
  std::vector<std::string> order{std::istream_iterator<std::string>(header),
                                 std::istream_iterator<std::string>()};
  const auto napoleon = std::find(order.begin(), order.end(), "Napoleon") - order.begin();
  const auto valjean = std::find(order.begin(), order.end(), "Valjean") - order.begin();
  std::string row;
  for (long i = 0; i <= napoleon; ++i)
    std::getline(lengths, row);
  std::istringstream cells(row);
  std::string length;
  for (long i = 0; i <= valjean; ++i)
    cells >> length;

  const Args query{"--set", "startNode=Napoleon", "--set", "finishNode=Valjean"};
  for (const char* file : {"lesmis-networkx.graphml", "lesmis-igraph.graphml"}) {
    SCOPED_TRACE(file);
    Args args{"run", "shortestPaths", "--graph", data(file), "--column", "cost=weight"};
    args.insert(args.end(), query.begin(), query.end());
    const Outcome weighted = run(args);
    EXPECT_EQ(weighted.status, 0);
    EXPECT_EQ(weighted.err, "");
    EXPECT_NE(weighted.out.find("totalCost: " + length + "\n"), std::string::npos) << weighted.out;
    // Unmapped, the weights are left out, and the user is told so.
    args.erase(args.begin() + 4, args.begin() + 6);
    const Outcome hops = run(args);
    EXPECT_EQ(hops.status, 0);
    EXPECT_EQ(hops.err, "kyanalyze: note: " + data(file) +
                            ": ignored, as no option has their names: edge key 'weight' "
                            "(--column OPTION=NAME reads one as an option)\n");
    EXPECT_NE(hops.out.find("totalCost: 2\n"), std::string::npos) << hops.out;
  }
}

TEST(RealDataCommands, FormatsAreToldByContentAndFilesSayWhatTheyAre) {
  const TempFile graphml("<graphml><key id=\"c\" for=\"edge\" attr.name=\"cost\"/><graph>"
                         "<node id=\"a\"/><node id=\"b\"/><edge source=\"a\" target=\"b\">"
                         "<data key=\"c\">4</data></edge></graph></graphml>",
                         ".xml");
  const TempFile edges("a b 4\n", ".graphml");
  for (const TempFile* file : {&graphml, &edges}) {
    const Outcome outcome = run({"run", "shortestPaths", "--graph", file->path(), "--set",
                                 "startNode=a", "--set", "finishNode=b"});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.out.find("totalCost: 4\n"), std::string::npos) << outcome.out;
  }
  const Outcome shown = run({"show", graphml.path()});
  EXPECT_EQ(shown.status, 1);
  EXPECT_EQ(shown.err, "kyanalyze: " + graphml.path() +
                           ": GraphML, not an analysis document; --graph reads it\n");
  // convert reads by content too, and says what the output leaves out.
  const TempFile out("", ".csv");
  const Outcome converted = run({"convert", "--graph", data("lesmis-python.csv"), out.path()});
  EXPECT_EQ(converted.status, 0);
  EXPECT_EQ(converted.err, "kyanalyze: note: " + data("lesmis-python.csv") +
                               ": ignored, as no option has their names: edge column 'weight', "
                               "edge column 'label' (--column OPTION=NAME reads one as an "
                               "option)\n");
  EXPECT_EQ(out.read().substr(0, 43), "source,target,undirected\nNapoleon,Myriel,1\n");
}

TEST(RealDataCommands, ScaledValuesAreCountedBackAndTheScaleSaid) {
  const TempFile roads("Source;Target;Length\nAshby;Brook;2.5\nBrook;Carden;0.75\n");
  const Args base{"run",      "shortestPaths",    "--graph", roads.path(),
                  "--column", "cost=length",      "--set",   "startNode=Ashby",
                  "--set",    "finishNode=Carden"};
  const Outcome refused = run(base);
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "kyanalyze: " + roads.path() +
                             ":2: the cost '2.5' is not an integer; --scale N reads such values "
                             "multiplied by N\n");
  Args scaled = base;
  scaled.insert(scaled.end(), {"--scale", "100"});
  const Outcome text = run(scaled);
  EXPECT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(text.out, "scale: 100 (the values read were multiplied by it; costs and flows are "
                      "divided back)\n"
                      "pathExists: true\n"
                      "edgeList: Ashby -> Brook -> Carden  (cost 3.25)\n"
                      "totalCost: 3.25\n");
  scaled.push_back("--csv");
  EXPECT_EQ(run(scaled).out, "result,value\nscale,100\npathExists,true\n"
                             "edgeList,Ashby -> Brook -> Carden\ntotalCost,3.25\n");
  scaled.back() = "--json";
  const std::string json = run(scaled).out;
  EXPECT_NE(json.find("\"scale\": 100,"), std::string::npos) << json;
  EXPECT_NE(json.find("\"totalCost\": 3.25"), std::string::npos) << json;
  const Outcome paths = run({"paths", "--graph", roads.path(), "--column", "cost=length", "--scale",
                             "4", "--from", "Ashby", "--to", "Carden"});
  EXPECT_EQ(paths.out, "scale: 4 (the values read were multiplied by it; costs are divided "
                       "back)\nAshby -> Brook -> Carden  (cost 3.25)\n");
}

TEST(RealDataCommands, ADocumentGivenAsAGraphSaysItsOptionsStayBehind) {
  const std::string request = kytest::sourcePath("docs/examples/request.xml");
  const Outcome clustering = run({"run", "clustering", "--graph", request});
  EXPECT_EQ(clustering.status, 0);
  EXPECT_EQ(clustering.err, "kyanalyze: note: the analysis document holds 6 clustering options, "
                            "which a graph file does not bring; --request runs the document as "
                            "saved\n");
  // Options of another analysis are no loss to this one.
  const Outcome tree = run({"run", "treeTest", "--graph", request});
  EXPECT_EQ(tree.status, 0);
  EXPECT_EQ(tree.err, "");
}

TEST(RealDataCommands, NamesThatTurnTextAroundAreShownEscaped) {
  // U+202E would print what follows it right to left; U+2066 isolates.
  const TempFile graph("\"evil\xe2\x80\xae"
                       "cba\" b 1\nb \"x\xe2\x81\xa6y\" 1\n");
  const Outcome outcome = run({"run", "shortestPaths", "--graph", graph.path(), "--set",
                               "startNode=evil\xe2\x80\xae"
                               "cba",
                               "--set", "finishNode=x\xe2\x81\xa6y"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(outcome.out.find("edgeList: evil\\u202ecba -> b -> x\\u2066y  (cost 2)\n"),
            std::string::npos)
      << outcome.out;
  const Outcome missing =
      run({"run", "shortestPaths", "--graph", graph.path(), "--set", "startNode=\xe2\x80\xae"});
  EXPECT_EQ(missing.err, "kyanalyze: shortestPaths: startNode takes a node name; the graph has "
                         "no node named '\\u202e'\n");
}

} // namespace
