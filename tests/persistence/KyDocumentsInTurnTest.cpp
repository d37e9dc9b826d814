// Analysis documents read one after another, on one thread and on several
// at once: each read gives what a read on a fresh thread, by a parser made
// for it, gives, whatever was read before it, refused documents included.
// Threads keep their parser and parsers share memory between reads, so a
// read must not see what an earlier one left behind.
#include "persistence/KyPersistenceTesting.h"
#include "support/KyProcess.h"

#include <kyanalysis/KyAnalysisXMLReader.h>
#include <kyanalysis/KyAnalysisXMLWriter.h>
#include <kyplatform/KyTopLevelXMLReader.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Document {
  std::string label;
  std::string text;
};

std::string readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Every golden analysis document, the largest cut short, and documents the
// parser or the readers refuse, good and bad mixed.
std::vector<Document> documents() {
  const std::string folder = kytest::sourcePath("tests/persistence/golden/");
  std::vector<Document> all;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.size() > 4 && name.compare(name.size() - 4, 4, ".xml") == 0)
        all.push_back({name, readFile(folder + name)});
    }
    closedir(dir);
  }
  std::sort(all.begin(), all.end(),
            [](const Document& a, const Document& b) { return a.label < b.label; });
  const std::string large = readFile(folder + "large.xml");
  const std::string graph = "<document><part name=\"graph\"><graph id=\"g\">";
  const std::string refused[][2] = {
      {"large cut short", large.substr(0, 137466)},
      {"large with a zero byte", large.substr(0, 70000) + '\0' + large.substr(70000)},
      {"tags crossed", graph + "<node id=\"n0\"></graph></node></part></document>"},
      {"doctype", "<!DOCTYPE document [<!ENTITY e \"x\">]><document/>"},
      {"unknown option", graph + "</graph></part><part name=\"analysis\"><option "
                                 "key=\"no:such:option\" type=\"Integer\"/></part></document>"},
      {"empty", ""},
      {"not XML", "plain text"},
  };
  std::size_t at = 1;
  for (const auto& [label, text] : refused) {
    all.insert(all.begin() + static_cast<std::ptrdiff_t>(std::min(at, all.size())), {label, text});
    at += 4;
  }
  return all;
}

// What reading `text` into a fresh graph and request gives: the request
// written back as a document, or the reason it was refused.
std::string outcome(const std::string& text) {
  KyGraph graph;
  KyServiceInputData request;
  KyAnalysisXMLReader reader(reinterpret_cast<const unsigned char*>(text.data()),
                             static_cast<unsigned int>(text.size()));
  reader.pGraph(&graph);
  reader.pServiceInputData(&request);
  if (reader.read() == 0)
    return "refused: " + kytest::narrow(reader.pErrorMessage());
  unsigned char* written = nullptr;
  KyAnalysisXMLWriter writer(&written, 0, 0);
  writer.pGraph(&graph);
  writer.pServiceInputData(&request);
  if (writer.write() == 0)
    return "unwritable: " + kytest::narrow(writer.pErrorMessage());
  std::string back(reinterpret_cast<const char*>(written), writer.outputSize());
  delete[] written;
  return back;
}

// The indices of `count` documents in an order of their own for `seed`.
std::vector<std::size_t> order(std::size_t count, unsigned seed) {
  std::vector<std::size_t> indices(count);
  for (std::size_t i = 0; i < count; ++i)
    indices[i] = i;
  std::shuffle(indices.begin(), indices.end(), std::mt19937(seed));
  return indices;
}

class KyDocumentsInTurnTest : public ::testing::Test {
protected:
  void SetUp() override {
    all_ = documents();
    ASSERT_GT(all_.size(), 20u);
    for (const Document& document : all_) {
      std::string fresh;
      std::thread([&] { fresh = outcome(document.text); }).join();
      first_.push_back(fresh);
    }
  }

  // The documents read in turn in each given order; the labels of those
  // whose outcome differs from a fresh parser's.
  std::vector<std::string> mismatches(const std::vector<std::vector<std::size_t>>& orders) const {
    std::vector<std::string> differ;
    for (const auto& indices : orders)
      for (std::size_t i : indices)
        if (outcome(all_[i].text) != first_[i])
          differ.push_back(all_[i].label);
    return differ;
  }

  std::size_t index(const std::string& label) const {
    return static_cast<std::size_t>(
        std::find_if(all_.begin(), all_.end(),
                     [&](const Document& d) { return d.label == label; }) -
        all_.begin());
  }

  std::vector<Document> all_;
  std::vector<std::string> first_;
};

TEST_F(KyDocumentsInTurnTest, RefusalsSayWhyAndWhere) {
  const std::pair<const char*, const char*> expected[] = {
      {"large cut short", "line 1, column 137467: unterminated start tag 'edge'"},
      {"large with a zero byte",
       "line 1, column 70001: the document holds a zero byte, which XML does not allow"},
      {"tags crossed", "line 1, column 60: expected end of tag 'node'"},
      {"doctype",
       "line 1, column 20: the document has a DOCTYPE; documents with a DOCTYPE are refused"},
      {"unknown option",
       "part \"analysis\": the option \"no:such:option\" is unknown (line 1, column 126)"},
      {"empty", "the document is empty"},
      {"not XML", "line 1, column 1: invalid document structure"},
  };
  for (const auto& [label, message] : expected) {
    ASSERT_LT(index(label), all_.size()) << label;
    EXPECT_EQ(first_[index(label)], std::string("refused: ") + message) << label;
  }
  // The golden documents all read.
  for (std::size_t i = 0; i < all_.size(); ++i) {
    if (all_[i].label.find(".xml") != std::string::npos) {
      EXPECT_NE(first_[i].rfind("refused: ", 0), 0u) << all_[i].label << ": " << first_[i];
    }
  }
}

TEST_F(KyDocumentsInTurnTest, OneThreadGivesTheSameOutcomesInAnyOrder) {
  std::vector<std::vector<std::size_t>> orders;
  for (unsigned seed = 1; seed <= 2; ++seed)
    orders.push_back(order(all_.size(), seed));
  // Each refused document straight before and after a large and a small
  // good one.
  std::vector<std::size_t> pairs;
  for (std::size_t bad = 0; bad < all_.size(); ++bad)
    if (first_[bad].rfind("refused: ", 0) == 0)
      for (const char* good : {"large.xml", "acyclicTest.xml"})
        pairs.insert(pairs.end(), {bad, index(good), bad});
  orders.push_back(pairs);
  EXPECT_EQ(mismatches(orders), std::vector<std::string>());
}

TEST_F(KyDocumentsInTurnTest, SeveralThreadsGiveTheSameOutcomesAsOne) {
  constexpr unsigned kThreads = 3;
  std::vector<std::vector<std::string>> differ(kThreads);
  std::vector<std::thread> readers;
  for (unsigned t = 0; t < kThreads; ++t)
    readers.emplace_back(
        [this, t, &differ] { differ[t] = mismatches({order(all_.size(), 10 + t)}); });
  for (std::thread& reader : readers)
    reader.join();
  for (unsigned t = 0; t < kThreads; ++t)
    EXPECT_EQ(differ[t], std::vector<std::string>()) << "thread " << t;
}

// Reads a document of its own; as each of its elements starts, it reads
// the next of `inner` (while the thread's kept parser is busy with the
// outer document) and notes the outcome.
class ReadingWithin : public KyTopLevelXMLReader {
public:
  ReadingWithin(const std::string& text, const std::vector<Document>& inner)
      : KyTopLevelXMLReader(reinterpret_cast<const unsigned char*>(text.data()),
                            static_cast<unsigned int>(text.size())),
        inner_(inner) {}
  int readsStream() const override { return 1; }
  int startElement(const KyXMLStartTag&, int) override {
    if (outcomes.size() < inner_.size())
      outcomes.push_back(outcome(inner_[outcomes.size()].text));
    return 1;
  }

  std::vector<std::string> outcomes;

private:
  const std::vector<Document>& inner_;
};

TEST_F(KyDocumentsInTurnTest, AReadWithinAReadGivesTheSameOutcomes) {
  std::string outer = "<document>";
  for (std::size_t i = 1; i < all_.size(); ++i)
    outer += "<e/>";
  outer += "</document>";
  ReadingWithin reader(outer, all_);
  ASSERT_EQ(reader.read(), 1) << kytest::narrow(reader.pErrorMessage());
  EXPECT_EQ(reader.outcomes, first_);
  // The kept parser reads on as before.
  EXPECT_EQ(outcome(all_[index("large.xml")].text), first_[index("large.xml")]);
}

} // namespace
