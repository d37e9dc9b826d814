// Runs every example of docs/kyanalyze.md and README.md: in their code
// blocks, a line "$ kyanalyze ..." is a command, run from the source root,
// and the lines after it up to the next command or the block's end are what
// it prints, standard output and standard error together.
#include "support/KyProcess.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <fstream>
#include <string>
#include <vector>

namespace {

struct Example {
  int line = 0;
  std::string command;
  std::string expected;
};

std::vector<Example> examplesOf(const std::string& path) {
  std::ifstream file(path);
  std::vector<Example> examples;
  bool inBlock = false;
  std::size_t fence = 0; // the indentation of the block's fence
  int blockStart = 0;
  int number = 0;
  for (std::string line; std::getline(file, line);) {
    ++number;
    const std::size_t indent = std::min(line.find_first_not_of(' '), line.size());
    if (line.compare(indent, 3, "```") == 0) {
      inBlock = !inBlock;
      fence = indent;
      blockStart = number;
      continue;
    }
    if (!inBlock)
      continue;
    const std::string text = line.substr(std::min(indent, fence));
    if (text.rfind("$ kyanalyze", 0) == 0)
      examples.push_back({number, text.substr(2), ""});
    else if (!examples.empty() && examples.back().line > blockStart)
      examples.back().expected += text + "\n";
  }
  return examples;
}

TEST(DocExamples, EveryDocumentedCommandPrintsWhatTheDocsSay) {
  const std::string root = kytest::sourcePath("");
  const std::string tool = KYANALYZE_PATH;
  const std::string directory = tool.substr(0, tool.rfind('/'));
  std::size_t count = 0;
  for (const char* document : {"docs/kyanalyze.md", "README.md"})
    for (const Example& example : examplesOf(root + document)) {
      SCOPED_TRACE(std::string(document) + ":" + std::to_string(example.line));
      const kytest::Outcome outcome =
          kytest::runProcess("/bin/sh", {"-c", "cd '" + root + "' && PATH='" + directory +
                                                   "':\"$PATH\" " + example.command + " 2>&1"});
      EXPECT_EQ(outcome.out, example.expected) << example.command;
      ++count;
    }
  EXPECT_GT(count, 20u);
}

} // namespace
