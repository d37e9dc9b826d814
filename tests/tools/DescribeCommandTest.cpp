// Runs the kyanalyze binary and checks `describe`: counts, narrowing, known
// values, and the outcome of bad command lines.
#include "support/KyProcess.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Json = nlohmann::json;
using Args = std::vector<std::string>;

using kytest::Outcome;

Outcome run(const Args& args) { return kytest::runProcess(KYANALYZE_PATH, args); }

Json describeJson(const Args& args) {
  Outcome outcome = run(args);
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
  return Json::parse(outcome.out);
}

TEST(DescribeCommand, ListsEachOptionAndResultOnceUnderItsAnalysis) {
  struct Case {
    Args args;
    std::string firstWord;
    std::size_t analyses, options, results; // options and results include the shared ones
  };
  const Case cases[] = {
      {{"describe", "--json"}, "breadthFirstSearch", 23, 75, 65},
      {{"describe", "shortestPaths", "--json"}, "shortestPaths", 1, 6 + 2, 3 + 1}};
  for (const Case& c : cases) {
    Json model = describeJson(c.args);
    ASSERT_EQ(model["analyses"].size(), c.analyses);
    EXPECT_EQ(model["analyses"][0]["word"], c.firstWord);
    EXPECT_EQ(model["shared"]["results"][0]["key"], "errorCode");
    std::size_t options = model["shared"]["options"].size();
    std::size_t results = model["shared"]["results"].size();
    for (const Json& analysis : model["analyses"]) {
      std::string prefix = analysis["word"].get<std::string>() + ":";
      for (const char* list : {"options", "results"})
        for (const Json& item : analysis[list])
          EXPECT_EQ(item["key"].get<std::string>().rfind(prefix, 0), 0u) << item["key"];
      options += analysis["options"].size();
      results += analysis["results"].size();
    }
    EXPECT_EQ(options, c.options);
    EXPECT_EQ(results, c.results);
  }
}

TEST(DescribeCommand, DefaultsAndEnumerationsComeThroughTyped) {
  Json model = describeJson({"describe", "--json"});
  std::map<std::string, Json> options;
  for (const Json& analysis : model["analyses"])
    for (const Json& option : analysis["options"])
      options[option["key"]] = option;
  for (const Json& option : model["shared"]["options"])
    options[option["key"]] = option;

  EXPECT_TRUE(options["maximumFlow:node:capacity"]["default"].is_number_integer());
  EXPECT_EQ(options["maximumFlow:node:capacity"]["default"], 2147483647);
  EXPECT_TRUE(options["clustering:graph:balance"]["default"].is_number_float());
  EXPECT_EQ(options["clustering:graph:balance"]["default"], 1.0);
  EXPECT_TRUE(options["shortestPaths:graph:startNode"]["default"].is_null());
  const Json& operations = options["all:none:operation"]["enumeration"];
  ASSERT_EQ(operations.size(), 23u);
  EXPECT_EQ(operations[22], (Json{{"name", "OPERATION_ROOT_CAUSE"}, {"code", 22}}));
}

TEST(DescribeCommand, EveryOptionAndResultSaysWhatItMeans) {
  Json model = describeJson({"describe", "--json"});
  model["analyses"].push_back(model["shared"]);
  for (const Json& section : model["analyses"])
    for (const char* list : {"options", "results"})
      for (const Json& item : section[list])
        EXPECT_FALSE(item["meaning"].get<std::string>().empty()) << item["key"];
}

TEST(DescribeCommand, HelpAndVersionNameTheCommandsAndTheAnalyses) {
  for (const Args& args : {Args{"help", "run"}, Args{"run", "--help"}}) {
    const Outcome outcome = run(args);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_NE(outcome.out.find("Analyses: breadthFirstSearch, depthFirstSearch, "),
              std::string::npos)
        << outcome.out;
  }
  EXPECT_EQ(run({"help"}).out, run({"--help"}).out);
  EXPECT_EQ(run({"--version"}).out.rfind("kyanalyze ", 0), 0u);
}

TEST(DescribeCommand, TextListsItemsWithAlignedColumns) {
  Outcome outcome = run({"describe"});
  ASSERT_EQ(outcome.status, 0);
  std::set<std::size_t> ownerColumns; // of the "option" and "result" lines
  std::istringstream text(outcome.out);
  for (std::string line; std::getline(text, line);)
    if (line.rfind("  option  ", 0) == 0 || line.rfind("  result  ", 0) == 0)
      ownerColumns.insert(line.find_first_not_of(' ', line.find(' ', 10)));
  EXPECT_EQ(ownerColumns.size(), 1u);
}

TEST(DescribeCommand, CommandLinesGiveTheirExitStatus) {
  struct Case {
    Args args;
    int status;
  };
  const Case cases[] = {{{"--help"}, 0},
                        {{"describe", "--help"}, 0},
                        {{}, 2},
                        {{"--bogus"}, 2},
                        {{"frobnicate"}, 2},
                        {{"describe", "shortestPaths", "extra"}, 2},
                        {{"describe", "--jsn"}, 2}};
  for (const Case& c : cases) {
    Outcome outcome = run(c.args);
    EXPECT_EQ(outcome.status, c.status) << outcome.err;
    // Help goes to stdout; an error leaves stdout empty and explains on stderr.
    EXPECT_EQ(outcome.out.empty(), c.status != 0);
    EXPECT_EQ(outcome.err.empty(), c.status == 0);
  }
}

TEST(DescribeCommand, UnknownAnalysisIsOneLineNamingTheValidWords) {
  // Words match exactly; a newline in the word must not break the line.
  for (const char* word : {"foo", "ShortestPaths", "", "short\nestPaths"}) {
    Outcome outcome = run({"describe", word, "--json"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
    EXPECT_EQ(outcome.err.rfind("kyanalyze: unknown analysis '", 0), 0u) << outcome.err;
    EXPECT_NE(outcome.err.find("'; valid analyses: breadthFirstSearch, depthFirstSearch,"),
              std::string::npos);
    EXPECT_NE(outcome.err.find(", rootCause\n"), std::string::npos);
  }
}

} // namespace
