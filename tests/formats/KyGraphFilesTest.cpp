// The readers and writers of graph files: edge lists, node tables and
// GraphML, read directly and checked against what was written.
#include "support/KyProcess.h"

#include <kyformats/KyEdgeListReader.h>
#include <kyformats/KyEdgeListWriter.h>
#include <kyformats/KyFormatText.h>
#include <kyformats/KyGraphMLReader.h>
#include <kyformats/KyGraphMLWriter.h>
#include <kyformats/KyGraphNames.h>

#include <kyplatform/KyEdge.h>
#include <kyplatform/KyNode.h>

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

/// A graph file in plain values: node names in order, edges as positions,
/// and every column as name -> (position -> value).
struct Plain {
  std::vector<std::string> nodes;
  std::vector<std::pair<int, int>> edges;
  std::map<std::string, std::map<int, int>> nodeColumns, edgeColumns;
  bool operator==(const Plain& other) const {
    return nodes == other.nodes && edges == other.edges && nodeColumns == other.nodeColumns &&
           edgeColumns == other.edgeColumns;
  }
};

Plain plain(const KyGraphData& input) {
  Plain result;
  for (KyNodeDListIter it(input.graph->pNodeList()); it; ++it)
    result.nodes.push_back(KyGraphNames::nameOf(it.pNode()));
  for (KyEdgeDListIter it(input.graph->pEdgeList()); it; ++it)
    result.edges.emplace_back(it.pEdge()->pSourceNode()->index(),
                              it.pEdge()->pTargetNode()->index());
  for (const KyValueColumn& column : input.nodeColumns)
    for (const auto& [at, value] : column.values)
      result.nodeColumns[column.names.front()][at] = value;
  for (const KyValueColumn& column : input.edgeColumns)
    for (const auto& [at, value] : column.values)
      result.edgeColumns[column.names.front()][at] = value;
  return result;
}

bool read(std::string text, KyGraphData& input, std::string& error, char delimiter = 0) {
  KyGraphReadOptions options;
  options.delimiter = delimiter;
  return KyEdgeListReader(options).read(std::move(text), "g", input, error);
}

TEST(GraphFiles, EdgeListsOfEveryDialectReadAlike) {
  // Each text holds a -> b costing 3 and a lone node "c d".
  const struct {
    const char* text;
    char delimiter;
  } cases[] = {
      {"a b 3\n\"c d\"\n", 0},
      {"\xEF\xBB\xBF# comment\n\n  a\tb   3  # trailing\r\n\"c d\"\r\n", 0},
      {"source,target,cost\na, b ,3\n\"c d\",,\n", 0},
      {"source\ttarget\tcost\na\tb\t3\nc d\n", 0},
      {"a;b;3\n\"c d\"\n", ';'},
      {"source target cost\n\"a\" \"b\" 3\n\"c d\"\n", 0},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.text);
    KyGraphData input;
    std::string error;
    ASSERT_TRUE(read(test.text, input, error, test.delimiter)) << error;
    Plain expected{{"a", "b", "c d"}, {{0, 1}}, {}, {{"cost", {{0, 3}}}}};
    EXPECT_EQ(plain(input).nodes, expected.nodes);
    EXPECT_EQ(plain(input).edges, expected.edges);
    EXPECT_EQ(plain(input).edgeColumns, expected.edgeColumns);
  }
}

TEST(GraphFiles, HeadersNameTheColumnsAndQuotesHoldAnything) {
  KyGraphData input;
  std::string error;
  ASSERT_TRUE(read("source target capacity cost undirected\n"
                   "\"New York\" \"a \"\"b\"\" # c\" 5 \"\" true\n"
                   "x y\n"
                   "\"source\" target 1 2 0\n",
                   input, error))
      << error;
  const Plain got = plain(input);
  EXPECT_EQ(got.nodes,
            (std::vector<std::string>{"New York", "a \"b\" # c", "x", "y", "source", "target"}));
  EXPECT_EQ(got.edgeColumns.at("capacity"), (std::map<int, int>{{0, 5}, {2, 1}}));
  EXPECT_EQ(got.edgeColumns.at("cost"), (std::map<int, int>{{2, 2}}));
  EXPECT_EQ(got.edgeColumns.at("undirected"), (std::map<int, int>{{0, 1}, {2, 0}}));

  std::string nodes = "node,weight,cost\nx,4,\n\"new\",,7\n";
  ASSERT_TRUE(KyEdgeListReader().readNodeTable(nodes, "n", input, error)) << error;
  EXPECT_EQ(plain(input).nodes.back(), "new");
  EXPECT_EQ(plain(input).nodeColumns.at("weight"), (std::map<int, int>{{2, 4}}));
  EXPECT_EQ(plain(input).nodeColumns.at("cost"), (std::map<int, int>{{6, 7}}));
}

TEST(GraphFiles, MalformedLinesAreNamedByLine) {
  const struct {
    const char* text;
    const char* says;
  } cases[] = {
      {"a b 1 2\n", "g:1: expected 'source target [cost]', found 4 fields"},
      {"a b\nb c 99999999999\n", "g:2: the cost '99999999999' is not a 32-bit integer"},
      {"x y\n\na \xff\n", "g:3: not valid UTF-8 text"},
      {"a b\nc \"d\n", "g:2: a quoted name is not closed on its line"},
      {"\"a\"b c\n", "g:1: text follows a closing quote"},
      {"source target cpacity\n", "g:1: 'cpacity' is no edge option; edge columns: capacity, "
                                  "cost, undirected"},
      {"source target cost cost\n", "g:1: the column 'cost' comes twice"},
      {"source target cost\na b 1 2\n", "g:2: expected at most 3 fields as the header says"},
      {"source target undirected\na b yes\n", "g:2: the undirected 'yes' is not 0, 1, true"},
      {"source,target\n,b\n", "g:2: the source is empty"},
      {"a \"\" 5\n", "g:1: the target is empty"},
  };
  for (const auto& test : cases) {
    KyGraphData input;
    std::string error;
    EXPECT_FALSE(read(test.text, input, error)) << test.text;
    EXPECT_EQ(error.rfind(test.says, 0), 0u) << error;
  }
  KyGraphData input;
  std::string error;
  for (const char* table : {"name cost\n", "node height\n", "node cost\na 1 2\n"}) {
    std::string text = table;
    EXPECT_FALSE(KyEdgeListReader().readNodeTable(text, "n", input, error)) << table;
    EXPECT_EQ(error.rfind("n:", 0), 0u) << error;
  }
}

/// A random name from letters, blanks and the characters files give meaning.
std::string randomName(std::mt19937& random) {
  static const std::vector<std::string> pieces{
      "a",      "B",    " ", "#",  "\"", ",", "\t", "\xc3\xa9", "\xe6\x9d\xb1",
      "source", "node", "7", "x y"};
  std::string name;
  for (int i = 1 + static_cast<int>(random() % 3); i > 0; --i)
    name += pieces[random() % pieces.size()];
  return name;
}

TEST(GraphFiles, WrittenFilesReadBackAsTheyWere) {
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    KyGraphData made;
    std::map<std::string, int> seen;
    const int nodes = 1 + static_cast<int>(random() % 8);
    std::vector<KyNode*> members;
    for (int i = 0; i < nodes; ++i) {
      std::string name = randomName(random);
      if (seen[name]++ > 0)
        name += "#" + std::to_string(i); // written names are unique
      std::wstring decoded;
      ASSERT_TRUE(KyFormatText::fromUtf8(name, decoded));
      members.push_back(made.graph->addNode());
      members.back()->pName(decoded.c_str());
    }
    KyValueColumn cost{{"cost"}, KyValueKind::integer, {}};
    KyValueColumn undirected{{"undirected"}, KyValueKind::boolean, {}};
    KyValueColumn weight{{"weight"}, KyValueKind::integer, {}};
    for (int e = static_cast<int>(random() % 10); e > 0; --e) {
      KyEdge* edge = made.graph->addEdge(members[random() % members.size()],
                                         members[random() % members.size()]);
      if (random() % 2)
        cost.values.emplace_back(edge->index(),
                                 static_cast<int>(random() % 2000000000u) - 1000000000);
      if (random() % 3 == 0)
        undirected.values.emplace_back(edge->index(), static_cast<int>(random() % 2));
    }
    for (KyNode* node : members)
      if (random() % 2)
        weight.values.emplace_back(node->index(), static_cast<int>(random() % 100));
    made.edgeColumns = {cost, undirected};
    made.nodeColumns = {weight};

    for (const char* suffix : {".txt", ".csv", ".tsv", ".graphml"}) {
      SCOPED_TRACE(std::string(suffix) + " round " + std::to_string(round));
      const kytest::TempFile edges("", suffix), table("", ".txt");
      std::string error;
      KyGraphData back;
      const std::string path = edges.path();
      if (std::string(suffix) == ".graphml") {
        ASSERT_TRUE(KyGraphMLWriter().writeFile(made, path, error)) << error;
        ASSERT_TRUE(KyGraphMLReader().read(edges.read(), "g", back, error))
            << error << edges.read();
      } else {
        const char delimiter = suffix[1] == 'c'                       ? ','
                               : suffix[1] == 't' && suffix[2] == 's' ? '\t'
                                                                      : ' ';
        ASSERT_TRUE(KyEdgeListWriter(delimiter).writeFiles(made, path, table.path(), error))
            << error;
        ASSERT_TRUE(KyEdgeListReader().read(edges.read(), "g", back, error))
            << error << edges.read();
        ASSERT_TRUE(KyEdgeListReader().readNodeTable(table.read(), "n", back, error))
            << error << table.read();
      }
      Plain expected = plain(made), got = plain(back);
      // An edge list lists lone nodes after the edges.
      if (std::string(suffix) != ".graphml") {
        std::sort(expected.nodes.begin(), expected.nodes.end());
        std::vector<std::string> names = got.nodes;
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, expected.nodes) << edges.read();
        continue;
      }
      EXPECT_EQ(got, expected) << edges.read();
    }
  }
}

TEST(GraphFiles, GraphMLKeysMapToOptionsAndBadDocumentsAreRefused) {
  const std::string document =
      "<?xml version=\"1.0\"?>\n"
      "<graphml xmlns=\"http://graphml.graphdrawing.org/xmlns\">\n"
      " <key id=\"c\" for=\"edge\" attr.name=\"capacity\" attr.type=\"int\">"
      "<default>2</default></key>\n"
      " <key id=\"w\" for=\"node\" attr.name=\"weight\" attr.type=\"int\"/>\n"
      " <key id=\"l\" for=\"node\" attr.name=\"label\" attr.type=\"string\"/>\n"
      " <graph edgedefault=\"undirected\">\n"
      "  <node id=\"s\"><data key=\"w\">3</data><data key=\"l\">ignored</data></node>\n"
      "  <edge source=\"s\" target=\"t\"><data key=\"c\">9</data></edge>\n"
      "  <edge source=\"t\" target=\"s\"/>\n"
      "  <node id=\"t\"/>\n"
      " </graph>\n</graphml>\n";
  KyGraphData input;
  std::string error;
  ASSERT_TRUE(KyGraphMLReader().read(document, "g", input, error)) << error;
  const Plain got = plain(input);
  EXPECT_EQ(got.nodes, (std::vector<std::string>{"s", "t"}));
  EXPECT_EQ(got.edgeColumns.at("capacity"), (std::map<int, int>{{0, 9}, {1, 2}}));
  EXPECT_EQ(got.nodeColumns.at("weight"), (std::map<int, int>{{0, 3}}));
  EXPECT_TRUE(input.undirected);

  const struct {
    std::string text;
    const char* says;
  } bad[] = {
      {"<!DOCTYPE graphml [<!ENTITY a \"b\">]><graphml/>", "a document type declaration"},
      {"<graph/>", "the root element is not 'graphml'"},
      {"<graphml><graph><edge source=\"a\" target=\"b\"/></graph></graphml>",
       "an edge refers to the node 'a', which is not declared"},
      {"<graphml><graph><node id=\"a\"/><node id=\"a\"/></graph></graphml>", "declared twice"},
      {"<graphml><graph><hyperedge/></graph></graphml>", "hyperedges"},
      {"<graphml><graph/><graph/></graphml>", "only one graph"},
      {"<graphml><key id=\"k\" for=\"node\" attr.name=\"cost\"/><graph><node id=\"a\">"
       "<data key=\"k\">1.5</data></node></graph></graphml>",
       "the cost '1.5' is not a 32-bit integer"},
      {"<graphml><graph>", "line 1"},
  };
  for (const auto& test : bad) {
    KyGraphData refused;
    EXPECT_FALSE(KyGraphMLReader().read(test.text, "g", refused, error)) << test.text;
    EXPECT_NE(error.find(test.says), std::string::npos) << error;
    EXPECT_EQ(error.rfind("g: ", 0), 0u) << error;
  }
}

} // namespace
