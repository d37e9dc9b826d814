// Node labels that keep distinct nodes distinct, nodes found by what a
// person calls them, and text made safe and measured for terminals.
#include "formats/KyFormatsTesting.h"

#include <kyplatform/KyGraph.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

TEST(KyGraphNames, LabelsStayUniqueWhereNamesMeet) {
  const struct {
    std::vector<const char*> names; // null: a node without a name
    std::vector<std::string> labels;
  } cases[] = {
      {{"a", "b"}, {"a", "b"}},
      {{"a", "a", "a#1"}, {"a#0", "a#1#1", "a#1"}},
      {{"node 1", nullptr, "node 1"}, {"node 1#0", "node 1#1", "node 1#2"}},
      {{"x\ny", "\x1b[31m"}, {"x\\x0ay", "\\x1b[31m"}},
      {{"", ""}, {"#0", "#1"}},
  };
  for (const auto& test : cases) {
    KyGraphData data;
    for (const char* name : test.names)
      if (name != nullptr)
        kytest::addNamedNode(data, name);
      else
        data.graph->addNode();
    const KyGraphNames names(*data.graph);
    std::vector<std::string> labels;
    for (int i = 0; i < data.graph->numberOfNodes(); ++i)
      labels.push_back(names.node(i));
    EXPECT_EQ(labels, test.labels);
  }
}

TEST(KyGraphNames, FindsANodeByLabelOrByTheOneNameItHas) {
  KyGraphData data;
  for (const char* name : {"a", "a", "a#1", "solo"})
    kytest::addNamedNode(data, name);
  data.graph->addEdge(data.graph->pNodeAt(0), data.graph->pNodeAt(1));
  const KyGraphNames names(*data.graph);
  const struct {
    const char* name;
    int found; // -1: none
    const char* error;
  } cases[] = {
      {"a#0", 0, ""},
      {"a#1", 2, ""}, // the label, before the name of the node labelled a#1#1
      {"solo", 3, ""},
      {"a", -1, "the graph has 2 nodes named 'a'; name one by its label: a#0 a#1#1"},
      {"none\x07", -1, "the graph has no node named 'none\\x07'"},
  };
  for (const auto& test : cases) {
    std::string error;
    const KyNode* node = names.find(test.name, error);
    EXPECT_EQ(node != nullptr ? node->index() : -1, test.found) << test.name;
    EXPECT_EQ(error, test.error);
  }
  EXPECT_EQ(names.edge(data.graph->pEdgeAt(0)), "a#0 -> a#1#1");
  EXPECT_EQ(names.member(data.graph->pEdgeAt(0)), "edge 0 (a#0 -> a#1#1)");
  EXPECT_EQ(names.member(data.graph.get()), "graph");
  EXPECT_EQ(names.member(nullptr), "-");
}

TEST(KyGraphNames, ManyLabelsAreFoundAndNoneOutsideTheGraph) {
  // 3000 names, every third one given twice: the twins take "#N".
  KyGraphData data;
  for (int i = 0; i < 3000; ++i) {
    kytest::addNamedNode(data, "n" + std::to_string(i));
    if (i % 3 == 0)
      kytest::addNamedNode(data, "n" + std::to_string(i));
  }
  const KyGraphNames names(*data.graph);
  for (int position = 0; position < data.graph->numberOfNodes(); ++position) {
    const std::string label = names.node(position);
    std::string error;
    const KyNode* found = names.find(label, error);
    ASSERT_NE(found, nullptr) << label << ": " << error;
    EXPECT_EQ(found->index(), position) << label;
  }
  EXPECT_EQ(names.node(0), "n0#0");
  EXPECT_EQ(names.node(2), "n1");
  data.graph->addNode(); // made after the labels: none of them
  EXPECT_THROW(names.node(data.graph->numberOfNodes() - 1), std::out_of_range);
  EXPECT_THROW(names.node(-1), std::out_of_range);
  const KyGraph empty;
  std::string error;
  EXPECT_EQ(KyGraphNames(empty).find("a", error), nullptr);
  EXPECT_EQ(error, "the graph has no node named 'a'");
}

TEST(KyFormatText, TextIsMadeSafeAndMeasuredForTerminals) {
  const struct {
    std::string text;
    std::string escaped;
    std::size_t width;
  } cases[] = {
      {"plain", "plain", 5},
      {"tab\tend", "tab\\x09end", 7},
      {"\x7f\xc2\x9f", "\\x7f\\x9f", 2},                           // DEL and the last C1 control
      {"\xc2\xa0", "\xc2\xa0", 1},                                 // the first character after them
      {"\xe6\x9d\xb1\xe4\xba\xac", "\xe6\x9d\xb1\xe4\xba\xac", 4}, // wide
      {"e\xcc\x81", "e\xcc\x81", 1},          // a combining accent takes no column
      {"\xff\xc0\x80", "\\xff\\xc0\\x80", 3}, // not UTF-8: a stray byte, an overlong form
  };
  for (const auto& test : cases) {
    EXPECT_EQ(KyFormatText::escaped(test.text), test.escaped);
    EXPECT_EQ(KyFormatText::displayWidth(test.text), test.width) << test.escaped;
    EXPECT_EQ(KyFormatText::padded(test.text, 6).size(),
              test.text.size() + (test.width < 6 ? 6 - test.width : 0));
  }
  // Invisible format characters, the bidirectional ones first, are shown
  // by their code; the joiners that scripts and emoji need are kept.
  const struct {
    const char* text;
    const char* escaped;
  } formats[] = {
      {"ab\xe2\x80\xae"
       "cd",
       "ab\\u202ecd"},                                  // right-to-left override
      {"\xe2\x80\xaa\xe2\x80\xac", "\\u202a\\u202c"},   // the first and last embeddings
      {"\xe2\x81\xa6x\xe2\x81\xa9", "\\u2066x\\u2069"}, // isolates
      {"\xe2\x80\x8e\xe2\x80\x8f", "\\u200e\\u200f"},   // marks
      {"\xd8\x9c", "\\u061c"},                          // the Arabic letter mark
      {"a\xe2\x80\x8b"
       "b",
       "a\\u200bb"},                                            // zero width space
      {"\xef\xbb\xbf", "\\ufeff"},                              // a byte-order mark inside text
      {"\xc2\xad", "\\u00ad"},                                  // soft hyphen
      {"\xf3\xa0\x80\x81", "\\U000e0001"},                      // a language tag
      {"\xe2\x80\x8c\xe2\x80\x8d", "\xe2\x80\x8c\xe2\x80\x8d"}, // the joiners stay
      {"\xe2\x80\xaf\xe2\x81\x9f", "\xe2\x80\xaf\xe2\x81\x9f"}, // spaces, not controls
      {"\x1b\xe2\x80\xae", "\\x1b\\u202e"},                     // beside a control character
  };
  for (const auto& test : formats)
    EXPECT_EQ(KyFormatText::escaped(test.text), test.escaped);
  std::wstring wide;
  EXPECT_FALSE(KyFormatText::fromUtf8(std::string("a\0b", 3), wide));
  EXPECT_EQ(KyFormatText::invalidUtf8At(std::string("ab\0", 3)), 2u);
  EXPECT_EQ(KyFormatText::invalidUtf8At("ab\xed\xa0\x80"), 2u); // a surrogate
  EXPECT_EQ(KyFormatText::toUtf8(nullptr), "");
  EXPECT_EQ(KyFormatText::toUtf8(L"\xd800x"), "\xef\xbf\xbdx");
}

} // namespace
