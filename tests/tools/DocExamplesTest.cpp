// Runs every example of docs/kyanalyze.md and README.md: in their code
// blocks, a line "$ kyanalyze ..." is a command, run from the source root,
// and the lines after it up to the next command or the block's end are what
// it prints, standard output and standard error together. Files the examples
// write under /tmp/kyanalyze-... go to a folder of the test's own instead,
// removed afterwards.
#include "support/KyProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
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

// `text` with every `from` replaced by `to`.
std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

TEST(DocExamples, EveryDocumentedCommandPrintsWhatTheDocsSay) {
  const std::string root = kytest::sourcePath("");
  const std::string tool = KYANALYZE_PATH;
  const std::string directory = tool.substr(0, tool.rfind('/'));
  std::string scratch = (std::filesystem::temp_directory_path() / "kyanalyze-docs-XXXXXX").string();
  ASSERT_NE(mkdtemp(scratch.data()), nullptr);
  const std::string written = "/tmp/kyanalyze-";
  const std::string ours = scratch + "/kyanalyze-";
  std::size_t count = 0;
  for (const char* document : {"docs/kyanalyze.md", "README.md"})
    for (const Example& example : examplesOf(root + document)) {
      SCOPED_TRACE(std::string(document) + ":" + std::to_string(example.line));
      const std::string command = replaced(example.command, written, ours);
      const kytest::Outcome outcome =
          kytest::runProcess("/bin/sh", {"-c", "cd '" + root + "' && PATH='" + directory +
                                                   "':\"$PATH\" " + command + " 2>&1"});
      EXPECT_EQ(outcome.out, replaced(example.expected, written, ours)) << example.command;
      ++count;
    }
  std::filesystem::remove_all(scratch);
  EXPECT_GT(count, 20u);
}

} // namespace
