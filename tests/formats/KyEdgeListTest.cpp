// Edge lists and node tables, read from texts and written back: every
// dialect, every refusal with its line, limits at and one past, node tables
// that name shared or new names, and tables of more names than the first
// block of the reader's name table holds.
#include "formats/KyFormatsTesting.h"

#include <kyformats/KyEdgeListReader.h>
#include <kyformats/KyEdgeListWriter.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

using kytest::plain;
using kytest::PlainGraph;

bool read(std::string text, KyGraphData& data, std::string& error, char delimiter = 0) {
  KyGraphReadOptions options;
  options.delimiter = delimiter;
  return KyEdgeListReader(options).read(std::move(text), "g", data, error);
}

TEST(KyEdgeListReader, EveryDialectReadsAlike) {
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
      {"a;b;3\n\"c d\"\n", 0},
      {"Source|Target|Cost\na|b|3.0\n\"c d\"\n", 0},
      {"SOURCE;TARGET;cost;label\na;b;3e0;x\n\"c d\"\n", 0},
      {"source target cost\n\"a\" \"b\" 3\n\"c d\"\n", 0},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.text);
    KyGraphData data;
    std::string error;
    ASSERT_TRUE(read(test.text, data, error, test.delimiter)) << error;
    const PlainGraph got = plain(data);
    EXPECT_EQ(got.nodes, (std::vector<std::string>{"a", "b", "c d"}));
    EXPECT_EQ(got.edges, (std::vector<std::pair<int, int>>{{0, 1}}));
    EXPECT_EQ(got.edgeColumns, (std::map<std::string, std::map<int, int>>{{"cost", {{0, 3}}}}));
  }
}

TEST(KyEdgeListReader, HeadersNameTheColumnsAndQuotesHoldAnything) {
  KyGraphData data;
  std::string error;
  ASSERT_TRUE(read("source target capacity cost undirected\n"
                   "\"New York\" \"a \"\"b\"\" # c\" 5 \"\" true\n"
                   "x y\n"
                   "\"source\" target 1 2 0\n",
                   data, error))
      << error;
  const PlainGraph got = plain(data);
  EXPECT_EQ(got.nodes,
            (std::vector<std::string>{"New York", "a \"b\" # c", "x", "y", "source", "target"}));
  EXPECT_EQ(got.edgeColumns.at("capacity"), (std::map<int, int>{{0, 5}, {2, 1}}));
  EXPECT_EQ(got.edgeColumns.at("cost"), (std::map<int, int>{{2, 2}}));
  EXPECT_EQ(got.edgeColumns.at("undirected"), (std::map<int, int>{{0, 1}, {2, 0}}));
  // Without a header the third column is the cost, or else the capacity.
  ASSERT_TRUE(read("a b 4\n", data, error)) << error;
  EXPECT_EQ(data.edgeColumns.at(0).names, (std::vector<std::string>{"cost", "capacity"}));
}

TEST(KyEdgeListReader, EveryRefusalNamesItsLineAndLeavesTheDataAlone) {
  const struct {
    const char* text;
    const char* says; // empty: read
  } cases[] = {
      {"a b 1 2\n", "g:1: expected 'source target [cost]', found 4 fields"},
      {"a b 1\n", ""},
      {"a b\nb c 99999999999\n", "g:2: the cost '99999999999' is not a 32-bit integer"},
      {"a b 2147483647\nb c -2147483648\n", ""},
      {"a b 2147483648\n", "g:1: the cost '2147483648' is not a 32-bit integer"},
      {"a b -2147483649\n", "g:1: the cost '-2147483649' is not a 32-bit integer"},
      {"a b 1.5\n", "g:1: the cost '1.5' is not an integer; --scale N reads such values"},
      {"x y\n\na \xff\n", "g:3: not valid UTF-8 text"},
      {"a b\nc \"d\n", "g:2: a quoted name is not closed on its line"},
      {"\"a\"b c\n", "g:1: text follows a closing quote"},
      {"source target cost cost\n", "g:1: the column 'cost' comes twice"},
      {"source target cost Cost\n", "g:1: the columns 'cost' and 'Cost' both give cost"},
      // A comma header over rows of tabs would read each row as one name.
      {"source,target,cost\na\tb\t1\n",
       "g:2: fields separated by tabs, but the first line separates them by ','"},
      {"a;b\nc|d\n", "g:2: fields separated by '|', but the first line separates them by ';'"},
      {"source target cost capacity\na b 1 2\n", ""},
      {"source target cost capacity\na b 1 2 3\n",
       "g:2: expected at most 4 fields as the header says, found 5 fields"},
      {"source target undirected\na b yes\n", "g:2: the undirected 'yes' is not 0, 1, true"},
      {"source,target\n,b\n", "g:2: the source is empty"},
      {"a \"\" 5\n", "g:1: the target is empty"},
      // Checks that meet on one line: the count of fields is checked first.
      {"a b 99999999999 1\n", "g:1: expected 'source target [cost]', found 4 fields"},
      {"\"\" b 99999999999\n", "g:1: the source is empty"},
  };
  // The message of one refusal stays in `error` while the next text is read.
  std::string error;
  for (const auto& test : cases) {
    SCOPED_TRACE(test.text);
    KyGraphData data;
    ASSERT_TRUE(read("before after 7\n", data, error)) << error;
    const PlainGraph before = plain(data);
    const bool accepted = read(test.text, data, error);
    EXPECT_EQ(accepted, *test.says == '\0') << error;
    if (!accepted) {
      EXPECT_EQ(error.rfind(test.says, 0), 0u) << error;
      EXPECT_EQ(plain(data), before);
    }
  }
}

/// What a read gave: whether it took the text, its message and the data.
struct Outcome {
  bool read;
  std::string error;
  PlainGraph data;
  std::vector<std::string> notes;
  bool operator==(const Outcome& other) const {
    return read == other.read && error == other.error && data == other.data && notes == other.notes;
  }
};

/// Reads `text` handed out `piece` bytes at a time (0: whole), into data
/// that held an edge before.
Outcome readInPieces(const std::string& text, std::size_t piece) {
  KyGraphData data;
  std::string error;
  read("before after 7\n", data, error);
  bool read = false;
  if (piece == 0) {
    read = KyEdgeListReader().read(text, "g", data, error);
  } else {
    std::size_t at = std::min(piece, text.size());
    read = KyEdgeListReader().read(
        text.substr(0, at),
        [&](std::string& more, std::string&) {
          if (at == text.size())
            return false;
          more += text.substr(at, piece);
          at = std::min(at + piece, text.size());
          return true;
        },
        "g", data, error);
  }
  return {read, read ? "" : error, plain(data), data.notes};
}

TEST(KyEdgeListReader, TextInPiecesReadsAsTheWholeText) {
  const std::string longName(300, 'x');
  const std::string texts[] = {
      "\xEF\xBB\xBF# comment\n\n  a\tb   3  # trailing\r\n\"c d\"\r\n",
      "\xEF\xBB\xBF",
      "\xEF\xBB",
      "",
      "\n\n\n",
      "source,target,cost,label\na, b ,3,x\n\"c d\",,\n" + longName + "," + longName + ",4,y",
      "a b 1\r\nb \"c \"\"d\"\"\" 2\r\n" + longName + " a\n",
      "\xe6\x9d\xb1 \xe4\xba\xac 5\nn\xc3\xa9 \xe6\x9d\xb1\n",
      // Refusals: the first wrong line, but a byte that is not UTF-8 anywhere
      // before all else, whatever piece it comes in.
      "a b\nb c 1 2\nc d\n",
      "a b\nb c 1 2\nc d\n\n\nd \xff\n",
      "a b\nb \"c\n" + longName + " \xe6\x9d\n",
      "a;b\nc|d\ne \xc3",
      "a b\n\xef\xbb\xbf c\n",
      std::string("a b 1\nc\0 d\n", 11),
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text.substr(0, 40));
    const Outcome whole = readInPieces(text, 0);
    for (const std::size_t piece : {1, 2, 3, 7, 64, 4096}) {
      SCOPED_TRACE(piece);
      EXPECT_EQ(readInPieces(text, piece), whole) << readInPieces(text, piece).error;
    }
  }
  // The messages the whole texts give.
  EXPECT_EQ(readInPieces(texts[8], 0).error,
            "g:2: expected 'source target [cost]', found 4 fields");
  EXPECT_EQ(readInPieces(texts[9], 0).error, "g:6: not valid UTF-8 text");
  EXPECT_EQ(readInPieces(texts[10], 0).error, "g:3: not valid UTF-8 text");
}

TEST(KyEdgeListReader, ManyRowsMakeNodesAndEdgesInTheirOrder) {
  // Rows are made many at a time: thousands of them, of edges and of lone
  // nodes, with names short, long, not ASCII and alike in their first bytes, read whole and in
  // pieces, give the nodes in the order first named and the edges in the order of their rows.
  std::vector<std::string> pool;
  for (int i = 0; i < 700; ++i)
    pool.push_back(i % 3 == 0   ? "n" + std::to_string(i)
                   : i % 3 == 1 ? "a rather long name of node " + std::to_string(i)
                                : "\xe6\x9d\xb1" + std::to_string(i));
  // Names that share their first bytes, around the 8 a slot holds.
  for (const char* name : {"abcdefg", "abcdefgh", "abcdefgh1", "abcdefgi", "abcdefghij"})
    pool.emplace_back(name);
  std::string text;
  PlainGraph expected;
  std::map<std::string, int> positions;
  const auto position = [&](const std::string& name) {
    const auto [at, made] = positions.emplace(name, static_cast<int>(expected.nodes.size()));
    if (made)
      expected.nodes.push_back(name);
    return at->second;
  };
  unsigned state = 7;
  const auto next = [&state](unsigned below) {
    state = state * 1103515245u + 12345u;
    return (state >> 8) % below;
  };
  for (int row = 0; row < 5000; ++row) {
    const std::string& source = pool[next(static_cast<unsigned>(pool.size()))];
    if (next(10) == 0) {
      text += "\"" + source + "\"\n";
      position(source);
      continue;
    }
    const std::string& target = pool[next(static_cast<unsigned>(pool.size()))];
    const int cost = static_cast<int>(next(100)) + 1;
    text += "\"" + source + "\" \"" + target + "\" " + std::to_string(cost) + "\n";
    const int from = position(source);
    const int to = position(target);
    expected.edgeColumns["cost"][static_cast<int>(expected.edges.size())] = cost;
    expected.edges.emplace_back(from, to);
  }
  for (const std::size_t piece : {0, 1, 7, 1000, 65536}) {
    SCOPED_TRACE(piece);
    const Outcome got = readInPieces(text, piece);
    ASSERT_TRUE(got.read) << got.error;
    EXPECT_EQ(got.data.nodes, expected.nodes);
    EXPECT_EQ(got.data.edges, expected.edges);
    EXPECT_EQ(got.data.edgeColumns, expected.edgeColumns);
  }
  // A wrong row far into the text is told with its line, whatever rows
  // were waiting to be made.
  const std::size_t line4321 = [&] {
    std::size_t at = 0;
    for (int line = 1; line < 4321; ++line)
      at = text.find('\n', at) + 1;
    return at;
  }();
  const std::string wrong = text.substr(0, line4321) + "x y 1 2\n" + text.substr(line4321);
  for (const std::size_t piece : {0, 1000})
    EXPECT_EQ(readInPieces(wrong, piece).error,
              "g:4321: expected 'source target [cost]', found 4 fields");
}

TEST(KyEdgeListReader, AFailedPieceIsToldAndLeavesTheDataAlone) {
  // The text fails to come after its first lines, before or after one of
  // them was refused: the failure is told either way.
  for (const char* start : {"a b 1\nb c 2\n", "a b 1 2 3\nb c\n", "a b \""}) {
    SCOPED_TRACE(start);
    KyGraphData data;
    std::string error;
    read("before after 7\n", data, error);
    const PlainGraph before = plain(data);
    int calls = 0;
    EXPECT_FALSE(KyEdgeListReader().read(
        start,
        [&](std::string& more, std::string& failure) {
          if (++calls == 1) {
            more += "c d 3\n";
            return true;
          }
          failure = "g: cannot be read: input/output error";
          return false;
        },
        "g", data, error));
    EXPECT_EQ(error, "g: cannot be read: input/output error");
    EXPECT_EQ(plain(data), before);
  }
}

TEST(KyEdgeListReader, NodeTablesFindNodesByNameAndRefuseSharedNames) {
  KyGraphData data;
  for (const char* name : {"a", "b", "b", "c", "c", "c"})
    kytest::addNamedNode(data, name);
  data.graph->addNode(); // a node without a name is named by no table
  std::string error;
  ASSERT_TRUE(KyEdgeListReader().readNodeTable("node,weight,cost\na,4,\nnew,,7\nnew,1,\n", "n",
                                               data, error))
      << error;
  PlainGraph got = plain(data);
  EXPECT_EQ(got.nodes.size(), 8u);
  EXPECT_EQ(got.nodes.back(), "new");
  EXPECT_EQ(got.nodeColumns.at("weight"), (std::map<int, int>{{0, 4}, {7, 1}}));
  EXPECT_EQ(got.nodeColumns.at("cost"), (std::map<int, int>{{7, 7}}));

  const struct {
    const char* table;
    const char* says;
  } refused[] = {
      {"node cost\nb 1\n", "n:2: 2 nodes are named 'b'"},
      {"node cost\nc 1\n", "n:2: 3 nodes are named 'c'"},
      // A new node on an earlier line is not made when a later line fails.
      {"node cost\nfresh 1\nb 2\n", "n:3: 2 nodes are named 'b'"},
      {"node cost\nfresh 1\nfresh x\n", "n:3: the cost 'x' is not a 32-bit integer"},
      {"name cost\n", "n:1: a node table starts with a header 'node NAME...'"},
      {"\"node\" cost\n", "n:1: a node table starts with a header 'node NAME...'"},
      {"node cost\na 1\n\"\" 2\n", "n:3: the node is empty"},
      {"node cost weight\na 1 2 3\n", "n:2: expected at most 3 fields as the header says, found 4"},
  };
  for (const auto& test : refused) {
    SCOPED_TRACE(test.table);
    EXPECT_FALSE(KyEdgeListReader().readNodeTable(test.table, "n", data, error));
    EXPECT_EQ(error.rfind(test.says, 0), 0u) << error;
    EXPECT_EQ(plain(data), got);
  }
  ASSERT_TRUE(KyEdgeListReader().readNodeTable("node cost weight\na 1 2\n", "n", data, error))
      << error;
}

TEST(KyEdgeListReader, ManyNamesKeepTheirNodesPastTheFirstTableBlock) {
  // A ring of 5000 names, each named twice: the name table grows many times.
  constexpr int kNames = 5000;
  std::string text;
  for (int i = 0; i < kNames; ++i)
    text += "n" + std::to_string(i) + " n" + std::to_string((i + 1) % kNames) + " " +
            std::to_string(i) + "\n";
  KyGraphData data;
  std::string error;
  ASSERT_TRUE(read(text, data, error)) << error;
  ASSERT_EQ(data.graph->numberOfNodes(), kNames);
  ASSERT_EQ(data.graph->numberOfEdges(), kNames);
  for (int i = 0; i < kNames; ++i) {
    const KyEdge* edge = data.graph->pEdgeAt(i);
    ASSERT_EQ(KyGraphNames::nameOf(edge->pSourceNode()), "n" + std::to_string(i));
    ASSERT_EQ(KyGraphNames::nameOf(edge->pTargetNode()), "n" + std::to_string((i + 1) % kNames));
  }
}

TEST(KyEdgeListWriter, QuotesWhatAReaderWouldSplitAndRefusesLineBreaks) {
  // Headerless lists, whose delimiter a reader detects from the first line.
  const std::vector<std::string> names{"\xEF\xBB\xBFmark", "a,b", "c d", "#x",  "source", "q\"t",
                                       "tab\there",        "x;y", "p|q", "Node"};
  for (const char delimiter : {' ', ',', '\t', ';', '|'}) {
    SCOPED_TRACE(std::string(1, delimiter));
    KyGraphData made;
    for (const std::string& name : names)
      kytest::addNamedNode(made, name);
    for (int i = 0; i + 1 < static_cast<int>(names.size()); ++i)
      made.graph->addEdge(made.graph->pNodeAt(i), made.graph->pNodeAt(i + 1));
    std::string edges, error;
    ASSERT_TRUE(KyEdgeListWriter(delimiter).write(made, edges, nullptr, error)) << error;
    KyGraphData back;
    ASSERT_TRUE(read(edges, back, error)) << error << edges;
    EXPECT_EQ(plain(back), plain(made)) << edges;
  }
  // Header words in any case, first on the first line, stay names.
  KyGraphData made;
  kytest::addNamedNode(made, "Source");
  kytest::addNamedNode(made, "TARGET");
  made.graph->addEdge(made.graph->pNodeAt(0), made.graph->pNodeAt(1));
  std::string edges, error;
  ASSERT_TRUE(KyEdgeListWriter(',').write(made, edges, nullptr, error)) << error;
  EXPECT_EQ(edges, "\"Source\",TARGET\n");
  KyGraphData back;
  ASSERT_TRUE(read(edges, back, error)) << error;
  EXPECT_EQ(plain(back), plain(made));
  for (const char* name : {"line\nbreak", "carriage\rreturn"}) {
    KyGraphData made;
    kytest::addNamedNode(made, "fine");
    kytest::addNamedNode(made, name);
    std::string edges, error;
    EXPECT_FALSE(KyEdgeListWriter().write(made, edges, nullptr, error));
    EXPECT_EQ(error, "the name of node 1 holds a line break, which an edge list cannot carry");
  }
}

TEST(KyEdgeListReader, ColumnsNoOptionHasAreNotedAndMappedOnesRead) {
  const struct {
    const char* text;
    std::vector<const char*> columns; // OPTION=NAME
    int scale;
    PlainGraph::Columns read;
    const char* note; // "": none
  } cases[] = {
      {"Source,Target,Id,Label,Weight,Type\na,b,0,ab,2.0,Directed\n",
       {},
       1,
       {},
       "g: ignored, as no option has their names: edge column 'Id', edge column 'Label', edge "
       "column 'Weight', edge column 'Type' (--column OPTION=NAME reads one as an option)"},
      {"Source,Target,Id,Label,Weight\na,b,0,ab,2.0\n",
       {"cost=weight"},
       1,
       {{"cost", {{0, 2}}}},
       "g: ignored, as no option has their names: edge column 'Id', edge column 'Label' "
       "(--column OPTION=NAME reads one as an option)"},
      {"source target length capacity\na b 2.5 0.25\n",
       {"cost=Length"},
       100,
       {{"cost", {{0, 250}}}, {"capacity", {{0, 25}}}},
       ""},
      // Without a header the third column takes the scale too.
      {"a b 0.125\n", {}, 1000, {{"cost", {{0, 125}}}}, ""},
      {"source target undirected\na b TRUE\nb a False\n",
       {},
       10,
       {{"undirected", {{0, 1}, {1, 0}}}},
       ""},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.text);
    KyGraphReadOptions options;
    std::string error;
    for (const char* column : test.columns)
      ASSERT_TRUE(options.mapColumn(column, error)) << error;
    options.scale = test.scale;
    KyGraphData data;
    ASSERT_TRUE(KyEdgeListReader(options).read(test.text, "g", data, error)) << error;
    EXPECT_EQ(plain(data).edgeColumns, test.read);
    EXPECT_EQ(data.notes, *test.note == '\0' ? std::vector<std::string>{}
                                             : std::vector<std::string>{test.note});
    for (const KyValueColumn& column : data.edgeColumns)
      EXPECT_EQ(column.scale, column.kind == KyValueKind::integer ? test.scale : 1);
  }

  // A mapping that gives an option twice, or one the scope lacks, is refused.
  KyGraphReadOptions options;
  std::string error;
  ASSERT_TRUE(options.mapColumn("cost=weight", error)) << error;
  ASSERT_TRUE(options.mapColumn("undirected=both", error)) << error;
  KyGraphData data;
  EXPECT_FALSE(KyEdgeListReader(options).read("source target cost weight\n", "g", data, error));
  EXPECT_EQ(error, "g:1: the columns 'cost' and 'weight' both give cost");
  data.graph->addNode()->pName(L"a");
  EXPECT_FALSE(KyEdgeListReader(options).readNodeTable("node both\na 1\n", "n", data, error));
  EXPECT_EQ(error, "n:1: the node column 'both' is mapped to undirected, which is no node "
                   "option; node options: capacity, cost, weight");
  // A mapping holds wherever its column stands: a node table's weight is
  // read as the node cost too.
  ASSERT_TRUE(
      KyEdgeListReader(options).readNodeTable("Node,Weight,colour\na,2.0,red\n", "n", data, error))
      << error;
  EXPECT_EQ(plain(data).nodeColumns, (PlainGraph::Columns{{"cost", {{0, 2}}}}));
  EXPECT_EQ(data.notes, (std::vector<std::string>{
                            "n: ignored, as no option has their names: node column 'colour' "
                            "(--column OPTION=NAME reads one as an option)"}));
}

} // namespace
