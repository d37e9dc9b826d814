// How values and reading choices are taken: numbers as other tools write
// them, at and one past every limit, with and without a scale; delimiters,
// column mappings and scales as people give them; and answers to scaled
// requests counted back in the files' own unit in every rendering.
#include <kyformats/KyAnalysisRequest.h>
#include <kyformats/KyAnswer.h>
#include <kyformats/KyGraphReader.h>
#include <kyformats/KyPathListing.h>

#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyplatform/KyInt.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

TEST(KyValueColumn, NumbersReadAsOtherToolsWriteThem) {
  const struct {
    KyValueKind kind;
    const char* text;
    int scale;
    int value;        // when read
    const char* says; // "": read
  } cases[] = {
      {KyValueKind::integer, "3", 1, 3, ""},
      {KyValueKind::integer, "3.0", 1, 3, ""},
      {KyValueKind::integer, "1e3", 1, 1000, ""},
      {KyValueKind::integer, "1E+03", 1, 1000, ""},
      {KyValueKind::integer, "-2.50e1", 1, -25, ""},
      {KyValueKind::integer, "+4", 1, 4, ""},
      {KyValueKind::integer, ".5e1", 1, 5, ""},
      {KyValueKind::integer, "7.", 1, 7, ""},
      {KyValueKind::integer, "0e999999999999", 1, 0, ""},
      {KyValueKind::integer, "-0.0", 1, 0, ""},
      {KyValueKind::integer, "2147483647.0", 1, 2147483647, ""},
      {KyValueKind::integer, "2.147483648e9", 1, 0, "the cost '2.147483648e9' is not a 32-bit"},
      {KyValueKind::integer, "-2147483648.00", 1, -2147483647 - 1, ""},
      {KyValueKind::integer, "-2147483649.0", 1, 0, "the cost '-2147483649.0' is not a 32-bit"},
      {KyValueKind::integer, "1e999999999999", 1, 0, "the cost '1e999999999999' is not a 32-bit"},
      {KyValueKind::integer, "2.5", 1, 0, "the cost '2.5' is not an integer; --scale N reads"},
      {KyValueKind::integer, "1e-1", 1, 0, "the cost '1e-1' is not an integer"},
      {KyValueKind::integer, "3.0000000000000001", 1, 0, "is not an integer"},
      {KyValueKind::integer, "", 1, 0, "the cost '' is not a 32-bit integer"},
      {KyValueKind::integer, ".", 1, 0, "is not a 32-bit integer"},
      {KyValueKind::integer, "1e", 1, 0, "is not a 32-bit integer"},
      {KyValueKind::integer, "e3", 1, 0, "is not a 32-bit integer"},
      {KyValueKind::integer, "inf", 1, 0, "is not a 32-bit integer"},
      {KyValueKind::integer, "nan", 10, 0, "is not a 32-bit integer"},
      {KyValueKind::integer, "0x10", 1, 0, "is not a 32-bit integer"},
      {KyValueKind::integer, " 3", 1, 0, "is not a 32-bit integer"},
      {KyValueKind::integer, "1,5", 1, 0, "is not a 32-bit integer"},
      // With a scale: multiplied, rounded to the nearest, halves away from zero.
      {KyValueKind::integer, "2.5", 10, 25, ""},
      {KyValueKind::integer, "3", 10, 30, ""},
      {KyValueKind::integer, "0.05", 10, 1, ""},
      {KyValueKind::integer, "-0.05", 10, -1, ""},
      {KyValueKind::integer, "0.04", 10, 0, ""},
      {KyValueKind::integer, "+1.5e-1", 100, 15, ""},
      {KyValueKind::integer, "214748364.7", 10, 2147483647, ""},
      {KyValueKind::integer, "214748364.8", 10, 0, "the cost '214748364.8' times the scale 10"},
      {KyValueKind::integer, "2", 1000000000, 2000000000, ""},
      {KyValueKind::integer, "3", 1000000000, 0, "times the scale 1000000000 is not a 32-bit"},
      {KyValueKind::integer, "1e400", 10, 0, "times the scale 10 is not a 32-bit integer"},
      // Booleans in any case; never scaled.
      {KyValueKind::boolean, "True", 1, 1, ""},
      {KyValueKind::boolean, "FALSE", 10, 0, ""},
      {KyValueKind::boolean, "1", 10, 1, ""},
      {KyValueKind::boolean, "0", 1, 0, ""},
      {KyValueKind::boolean, "yes", 1, 0, "the cost 'yes' is not 0, 1, true or false"},
      {KyValueKind::boolean, "1.0", 1, 0, "is not 0, 1, true or false"},
      {KyValueKind::boolean, "2", 1, 0, "is not 0, 1, true or false"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(std::string(test.text) + " scale " + std::to_string(test.scale));
    int value = 12345;
    std::string error;
    const bool read = KyValueColumn::parse(test.kind, "cost", test.text, test.scale, value, error);
    EXPECT_EQ(read, *test.says == '\0') << error;
    if (read) {
      EXPECT_EQ(value, test.value);
    } else {
      EXPECT_NE(error.find(test.says), std::string::npos) << error;
      EXPECT_EQ(value, 12345);
    }
  }
}

TEST(KyGraphReadOptions, SettersTakeWhatPeopleWriteAndKeepTheOptionsOnRefusal) {
  KyGraphReadOptions options;
  std::string error;
  const struct {
    const char* text;
    char delimiter; // 0: refused
  } delimiters[] = {{";", ';'}, {"|", '|'},  {"tab", '\t'}, {"\t", '\t'},   {"blank", ' '},
                    {" ", ' '}, {"~", '~'},  {"", 0},       {"\"", 0},      {"#", 0},
                    {"ab", 0},  {"\x1f", 0}, {"\x7f", 0},   {"\xc3\xa9", 0}};
  for (const auto& test : delimiters) {
    options.delimiter = 'x';
    EXPECT_EQ(options.setDelimiter(test.text, error), test.delimiter != 0) << test.text;
    EXPECT_EQ(options.delimiter, test.delimiter != 0 ? test.delimiter : 'x') << test.text;
  }
  EXPECT_EQ(error, "--delimiter '\xc3\xa9': expected one character other than a quote or '#', "
                   "tab or blank");

  const struct {
    const char* assignment;
    const char* says; // "": taken
  } mappings[] = {
      {"cost=Weight", ""},
      {"capacity=cap", ""},
      {"undirected=both", ""},
      {"weight=importance", ""},
      {"cost=", "--column 'cost=': expected OPTION=NAME, as in cost=weight"},
      {"=w", "--column '=w': expected OPTION=NAME"},
      {"cost", "--column 'cost': expected OPTION=NAME"},
      {"height=h", "--column height=h: 'height' is no per-node or per-edge option; they are "
                   "capacity, cost, undirected, weight"},
      {"Cost=c", "--column Cost=c: 'Cost' is no per-node or per-edge option"},
      {"capacity=WEIGHT", "--column capacity=WEIGHT: the column 'WEIGHT' is mapped already"},
      {"cost=length", "--column cost=length: cost is mapped already"},
  };
  for (const auto& test : mappings) {
    const auto before = options.columns;
    const bool taken = options.mapColumn(test.assignment, error);
    EXPECT_EQ(taken, *test.says == '\0') << test.assignment << ": " << error;
    if (!taken) {
      EXPECT_EQ(error.rfind(test.says, 0), 0u) << error;
      EXPECT_EQ(options.columns, before);
    }
  }
  EXPECT_EQ(options.columns, (std::map<std::string, std::string>{{"weight", "cost"},
                                                                 {"cap", "capacity"},
                                                                 {"both", "undirected"},
                                                                 {"importance", "weight"}}));

  for (const auto& [text, scale] :
       {std::make_pair("1", 1), std::make_pair("1000000000", 1000000000),
        std::make_pair("1000000001", 0), std::make_pair("0", 0), std::make_pair("-1", 0),
        std::make_pair("1.5", 0), std::make_pair("", 0), std::make_pair("10x", 0)}) {
    options.scale = 7;
    EXPECT_EQ(options.setScale(text, error), scale != 0) << text;
    EXPECT_EQ(options.scale, scale != 0 ? scale : 7) << text;
  }
  EXPECT_EQ(error, "--scale '10x': expected a whole number from 1 to 1000000000");
}

/// The answer of `operation` on the edge list `text` read with `scale`.
struct Scaled {
  Scaled(int operation, const std::string& text, int scale, const std::vector<std::string>& set) {
    KyGraphReadOptions options;
    options.scale = scale;
    KyGraphData data;
    std::string error;
    EXPECT_TRUE(KyGraphReader(options).readText(text, "g", data, error)) << error;
    EXPECT_TRUE(request.start(operation, std::move(data), error)) << error;
    for (const std::string& setting : set)
      EXPECT_TRUE(request.set(setting, error)) << error;
    EXPECT_EQ(KyLocalAnalysisService().run(&request.input(), &output), 0);
  }
  std::string text() const {
    std::ostringstream out;
    KyAnswer(request, output, 10).writeText(out);
    return out.str();
  }
  std::string csv() const {
    std::ostringstream out;
    KyAnswer(request, output, 10).writeCsv(out);
    return out.str();
  }
  KyAnalysisRequest request;
  mutable KyServiceOutputData output; // the renderings read it
};

TEST(KyAnswer, ScaledCostsAndFlowsAreCountedBackInEveryRendering) {
  // b -> c has no cost: it takes the default, 1, in the scaled unit too.
  const Scaled paths(OPERATION_SHORTEST_PATHS, "source,target,cost\na,b,0.5\nb,c,\nc,d,0.25\n", 100,
                     {"startNode=a", "finishNode=d"});
  EXPECT_EQ(paths.request.scale(), 100);
  EXPECT_EQ(paths.request.scaleOf("cost"), 100);
  EXPECT_EQ(paths.request.scaleOf("capacity"), 1);
  EXPECT_EQ(paths.text(), "scale: 100 (the values read were multiplied by it; costs and flows "
                          "are divided back)\n"
                          "pathExists: true\n"
                          "edgeList: a -> b -> c -> d  (cost 1.75)\n"
                          "totalCost: 1.75\n");
  EXPECT_EQ(paths.csv(), "result,value\nscale,100\npathExists,true\n"
                         "edgeList,a -> b -> c -> d\ntotalCost,1.75\n");
  const std::string json = KyAnswer(paths.request, paths.output, 10).json();
  EXPECT_EQ(json.rfind("{\n  \"analysis\": \"shortestPaths\",\n  \"scale\": 100,\n", 0), 0u)
      << json;
  EXPECT_NE(json.find("\"totalCost\": 1.75"), std::string::npos) << json;

  // Flows are capacities; a minimum-cost flow's cost is both.
  const Scaled flow(OPERATION_MINIMUM_COST_FLOW,
                    "source target capacity cost\ns t 1.5 0.5\ns t 2 0.2\n", 10,
                    {"sourceNode=s", "sinkNode=t", "desiredFlow=3.5"});
  EXPECT_EQ(flow.text(), "scale: 10 (the values read were multiplied by it; costs and flows are "
                         "divided back)\n"
                         "totalFlow: 3.5\n"
                         "totalCost: 1.15\n"
                         "\n"
                         "edge    flow\n"
                         "s -> t  1.5\n"
                         "s -> t  2\n");
  std::ostringstream dot;
  KyAnswer(flow.request, flow.output, 10).writeDot(dot);
  EXPECT_NE(dot.str().find("capacity 1.5, cost 0.5, flow 1.5"), std::string::npos) << dot.str();

  // Bounds given by name are in the file's unit too; -1 (no bound) stays.
  const Scaled reach(OPERATION_REACHABLE_NODES, "a b 0.5\nb c 0.75\n", 100,
                     {"startNode=a", "range=1.2"});
  EXPECT_NE(reach.text().find("nodeList: a, b\n"), std::string::npos) << reach.text();
  EXPECT_EQ(dynamic_cast<const KyInt*>(
                reach.request.input().pValue(&reach.request.graph(),
                                             KyAnalysisKey::reachableNodes::graphRange))
                ->value(),
            120);
  const Scaled unbounded(OPERATION_REACHABLE_NODES, "a b 0.5\nb c 0.75\n", 100,
                         {"startNode=a", "range=-1"});
  EXPECT_NE(unbounded.text().find("nodeList: a, b, c\n"), std::string::npos) << unbounded.text();

  // Unscaled answers say nothing of a scale.
  const Scaled plain(OPERATION_SHORTEST_PATHS, "a b 2\n", 1, {"startNode=a", "finishNode=b"});
  EXPECT_EQ(plain.text(), "pathExists: true\nedgeList: a -> b  (cost 2)\ntotalCost: 2\n");
}

TEST(KyPathListing, ScaledPathsSayTheirScale) {
  const Scaled paths(OPERATION_SORTED_PATHS, "a b 0.5\nb c 0.25\na c 1\n", 4,
                     {"startNode=a", "finishNode=c"});
  std::ostringstream text;
  const KyPathListing listing(paths.request, paths.output, 5);
  listing.writeText(text);
  EXPECT_EQ(text.str(), "scale: 4 (the values read were multiplied by it; costs are divided "
                        "back)\n"
                        "a -> b -> c  (cost 0.75)\n"
                        "a -> c  (cost 1)\n");
  EXPECT_NE(listing.json().find("\"scale\": 4,\n  \"paths\""), std::string::npos) << listing.json();
}

} // namespace
