// GraphML read and written: keys that become columns, defaults, which edges
// are undirected, refusals that leave the caller's data alone.
#include "formats/KyFormatsTesting.h"
#include "support/KyProcess.h"

#include <kyformats/KyGraphMLReader.h>
#include <kyformats/KyGraphMLWriter.h>

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisSerializer.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyObjectTable.h>
#include <kyplatform/KyServiceData.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using kytest::plain;
using kytest::PlainGraph;

using Column = std::map<int, int>;

TEST(KyGraphMLReader, KeysBecomeColumnsAndDefaultsFillIn) {
  const std::string document =
      "<?xml version=\"1.0\"?>\n"
      "<graphml xmlns=\"http://graphml.graphdrawing.org/xmlns\">\n"
      " <key id=\"c\" for=\"edge\" attr.name=\"capacity\" attr.type=\"int\">"
      "<default>2</default></key>\n"
      " <key id=\"w\" for=\"node\" attr.name=\"weight\" attr.type=\"int\"/>\n"
      " <key id=\"l\" for=\"node\" attr.name=\"label\" attr.type=\"string\"/>\n"
      " <key id=\"n\" for=\"node\" attr.name=\"name\" attr.type=\"string\"/>\n"
      " <graph edgedefault=\"undirected\">\n"
      "  <node id=\"s\"><data key=\"w\"> 3 </data><data key=\"l\">ignored</data></node>\n"
      "  <edge source=\"s\" target=\"t\"><data key=\"c\">9</data></edge>\n"
      "  <edge source=\"t\" target=\"s\"/>\n"
      "  <node id=\"t\"><data key=\"n\"> New York </data></node>\n"
      " </graph>\n</graphml>\n";
  KyGraphData data;
  std::string error;
  ASSERT_TRUE(KyGraphMLReader().read(document, "g", data, error)) << error;
  const PlainGraph got = plain(data);
  EXPECT_EQ(got.nodes, (std::vector<std::string>{"s", " New York "}));
  EXPECT_EQ(got.edgeColumns.at("capacity"), (Column{{0, 9}, {1, 2}}));
  EXPECT_EQ(got.nodeColumns.at("weight"), (Column{{0, 3}}));
  EXPECT_TRUE(data.undirected);
}

// An edge's own "directed" overrides the graph's default: the graph is
// undirected as a whole only when every edge is; otherwise the undirected
// edges carry the per-edge option.
TEST(KyGraphMLReader, AGraphIsUndirectedOnlyWhenEveryEdgeIs) {
  const struct {
    const char* edgedefault;
    std::vector<const char*> directed; // each edge's attribute, "" for none
    bool undirected;
    Column column; // of the per-edge option undirected
  } cases[] = {
      {"undirected", {"", "", ""}, true, {}},
      {"undirected", {"", "true", ""}, false, {{0, 1}, {2, 1}}},
      {"undirected", {"false", "false", "true"}, false, {{0, 1}, {1, 1}}},
      {"directed", {"", "false", ""}, false, {{1, 1}}},
      {"directed", {"false", "false"}, false, {{0, 1}, {1, 1}}},
      {"directed", {"", "true"}, false, {}},
  };
  for (const auto& test : cases) {
    std::string document = std::string("<graphml><graph edgedefault=\"") + test.edgedefault +
                           "\"><node id=\"a\"/><node id=\"b\"/>";
    for (const char* directed : test.directed)
      document += std::string("<edge source=\"a\" target=\"b\"") +
                  (*directed != '\0' ? std::string(" directed=\"") + directed + "\"" : "") + "/>";
    document += "</graph></graphml>";
    SCOPED_TRACE(document);
    KyGraphData data;
    std::string error;
    ASSERT_TRUE(KyGraphMLReader().read(document, "g", data, error)) << error;
    EXPECT_EQ(data.undirected, test.undirected);
    const PlainGraph got = plain(data);
    EXPECT_EQ(got.edgeColumns.count("undirected") > 0 ? got.edgeColumns.at("undirected") : Column(),
              test.column);
  }
}

// A key's default gives every node or edge in its scope the value, also when
// no member has data of that key; a key for all gives nodes and edges each
// a column of their own.
TEST(KyGraphMLReader, DefaultsReachEveryMemberOfTheirScope) {
  const std::string document =
      "<graphml>"
      "<key id=\"k\" for=\"edge\" attr.name=\"capacity\"><default>4</default></key>"
      "<key id=\"a\" for=\"all\" attr.name=\"cost\"><default>1</default></key>"
      "<graph><node id=\"x\"><data key=\"a\">5</data></node><node id=\"y\"/>"
      "<edge source=\"x\" target=\"y\"><data key=\"a\">7</data></edge>"
      "<edge source=\"y\" target=\"x\"/></graph></graphml>";
  KyGraphData data;
  std::string error;
  ASSERT_TRUE(KyGraphMLReader().read(document, "g", data, error)) << error;
  const PlainGraph got = plain(data);
  EXPECT_EQ(got.edgeColumns.at("capacity"), (Column{{0, 4}, {1, 4}}));
  EXPECT_EQ(got.edgeColumns.at("cost"), (Column{{0, 7}, {1, 1}}));
  EXPECT_EQ(got.nodeColumns.at("cost"), (Column{{0, 5}, {1, 1}}));
}

TEST(KyGraphMLReader, RefusalsSayWhereAndLeaveTheDataAlone) {
  const struct {
    std::string text;
    const char* says;
  } bad[] = {
      {"<!DOCTYPE graphml [<!ENTITY a \"b\">]><graphml/>", "a document type declaration"},
      {"<graph/>", "the root element is not 'graphml'"},
      {"<graphml><graph><edge source=\"a\" target=\"b\"/></graph></graphml>",
       "an edge refers to the node 'a', which is not declared"},
      {"<graphml><graph><node id=\"a\"/><node id=\"a\"/></graph></graphml>", "declared twice"},
      {"<graphml><graph><node/></graph></graphml>", "a node or an edge end has no id"},
      {"<graphml><graph><hyperedge/></graph></graphml>", "hyperedges"},
      {"<graphml><graph/><graph/></graphml>", "only one graph"},
      {"<graphml><key id=\"k\" for=\"node\" attr.name=\"cost\"/><graph><node id=\"a\">"
       "<data key=\"k\">1.5</data></node></graph></graphml>",
       "the cost '1.5' is not an integer; --scale N reads such values"},
      // A key is known by its id within its domain.
      {"<graphml><key id=\"k\" for=\"node\" attr.name=\"cost\"/><graph><node id=\"a\"/>"
       "<edge source=\"a\" target=\"a\"><data key=\"k\">1</data></edge></graph></graphml>",
       "line 1, column 122: the key 'k' is declared for nodes, not for edges"},
      {"<graphml><key id=\"k\" for=\"graph\" attr.name=\"cost\"/><graph><node id=\"a\">"
       "<data key=\"k\">1</data></node></graph></graphml>",
       "the key 'k' is declared for the graph, not for nodes"},
      {"<graphml><key id=\"k\" for=\"edge\"/><key id=\"k\" for=\"edge\"/></graphml>",
       "line 1, column 58: the key 'k' is declared twice for edges"},
      {"<graphml>\n<key id=\"k\" for=\"edge\"/>\n</graphml>",
       "line 3, column 11: the document holds no graph element"},
      {"<graphml><key id=\"a\" for=\"edge\" attr.name=\"cost\"/>"
       "<key id=\"b\" for=\"edge\" attr.name=\"Cost\"/><graph><node id=\"x\"/>"
       "<edge source=\"x\" target=\"x\"><data key=\"a\">1</data><data key=\"b\">2</data>"
       "</edge></graph></graphml>",
       "the edge keys 'a' and 'b' both give cost"},
      {"<graphml><key id=\"k\" for=\"node\" attr.name=\"cost\"><default>x</default></key>"
       "<graph><node id=\"a\"/></graph></graphml>",
       "the default of key 'k': the cost 'x' is not a 32-bit integer"},
      {"<graphml><graph><node id=\"a\"><data key=\"nokey\">1</data></node></graph></graphml>",
       "the data key 'nokey' is not declared"},
      {"<graphml><graph>", "line 1"},
  };
  KyGraphData data;
  std::string error;
  ASSERT_TRUE(KyGraphMLReader().read("<graphml><graph><node id=\"kept\"/></graph></graphml>", "g",
                                     data, error));
  const PlainGraph before = plain(data);
  for (const auto& test : bad) {
    SCOPED_TRACE(test.text);
    EXPECT_FALSE(KyGraphMLReader().read(test.text, "g", data, error));
    EXPECT_NE(error.find(test.says), std::string::npos) << error;
    EXPECT_EQ(error.rfind("g: ", 0), 0u) << error;
    EXPECT_EQ(plain(data), before);
  }
}

TEST(KyGraphMLWriter, ANameXmlCannotCarryIsRefusedBeforeAnythingIsWritten) {
  std::string out, error;
  for (const char* name : {"bell\x07", "\x1f",
                           "not\xEF\xBF\xBE"
                           "a char",
                           "\xEF\xBF\xBF"}) {
    KyGraphData data;
    kytest::addNamedNode(data, "fine");
    kytest::addNamedNode(data, name);
    EXPECT_FALSE(KyGraphMLWriter().write(data, out, error)) << name;
    EXPECT_EQ(error, "the name of node 1 holds a character XML cannot carry");
  }
  // The last characters before and after those XML refuses pass.
  KyGraphData edges;
  for (const char* name : {" ", "\xEF\xBF\xBD", "\xF0\x90\x80\x80", "\x7f"})
    kytest::addNamedNode(edges, name);
  EXPECT_TRUE(KyGraphMLWriter().write(edges, out, error)) << error;
  KyGraphData data;
  kytest::addNamedNode(data, "fine");
  kytest::addNamedNode(data, "bell\x07");
  const kytest::TempFile file("", ".graphml");
  std::remove(file.path().c_str());
  EXPECT_FALSE(KyGraphMLWriter().writeFile(data, file.path(), error));
  EXPECT_EQ(error, file.path() + ": the name of node 1 holds a character XML cannot carry");
  EXPECT_NE(access(file.path().c_str(), F_OK), 0);
}

// Two tools write a node key and an edge key of one id; in either order each
// domain keeps its own values. Keys for all domains, mapped names, names in
// any case, decimals and Booleans as other tools write them read too.
TEST(KyGraphMLReader, KeysAreKnownByTheirIdWithinTheirDomain) {
  const std::string members =
      " <graph edgedefault=\"directed\">\n"
      "  <node id=\"s\"><data key=\"capacity\">4</data><data key=\"d\">1.0</data></node>\n"
      "  <node id=\"t\"/>\n"
      "  <edge source=\"s\" target=\"t\"><data key=\"capacity\">7.0</data>"
      "<data key=\"d\">True</data><data key=\"w\">2.5</data><data key=\"l\">x</data></edge>\n"
      " </graph>\n</graphml>\n";
  const std::string nodeKey =
      " <key id=\"capacity\" for=\"node\" attr.name=\"capacity\" attr.type=\"long\"/>\n";
  const std::string edgeKey =
      " <key id=\"capacity\" for=\"edge\" attr.name=\"Capacity\" attr.type=\"double\"/>\n";
  const std::string others = " <key id=\"w\" for=\"edge\" attr.name=\"weight\"/>\n"
                             " <key id=\"l\" for=\"edge\" attr.name=\"label\"/>\n"
                             " <key id=\"d\" attr.name=\"undirected\"/>\n";
  for (const bool mapped : {false, true})
    for (const std::string& keys : {nodeKey + edgeKey + others, others + edgeKey + nodeKey}) {
      SCOPED_TRACE(keys + (mapped ? " mapped" : ""));
      KyGraphReadOptions options;
      std::string error;
      if (mapped) {
        ASSERT_TRUE(options.mapColumn("cost=weight", error)) << error;
        options.scale = 10;
      }
      KyGraphData data;
      ASSERT_TRUE(KyGraphMLReader(options).read("<graphml>\n" + keys + members, "g", data, error))
          << error;
      const PlainGraph got = plain(data);
      const int scale = mapped ? 10 : 1;
      EXPECT_EQ(got.nodeColumns, (PlainGraph::Columns{{"capacity", {{0, 4 * scale}}}}));
      PlainGraph::Columns edges{{"capacity", {{0, 7 * scale}}}, {"undirected", {{0, 1}}}};
      if (mapped)
        edges["cost"] = {{0, 25}};
      EXPECT_EQ(got.edgeColumns, edges);
      // The key for all domains says "undirected" on a node too: no node option has that name.
      const std::string note =
          mapped ? "g: ignored, as no option has their names: node key 'undirected', edge key "
                   "'label' (--column OPTION=NAME reads one as an option)"
                 : "g: ignored, as no option has their names: node key 'undirected', edge key "
                   "'weight', edge key 'label' (--column OPTION=NAME reads one as an option)";
      EXPECT_EQ(data.notes, std::vector<std::string>{note});
    }
}

// The reader sets the XML platform up and tears it down through the same
// lock as the documents of the analysis library, so reads on many threads
// at once, of either kind, all succeed.
TEST(KyGraphMLReader, ReadsOnThreadsBesideDocumentsReadOnOthers) {
  const std::string graphml =
      "<graphml><graph edgedefault=\"directed\"><node id=\"a\"/><node id=\"b\"/>"
      "<edge source=\"a\" target=\"b\"/></graph></graphml>";
  KyGraph graph;
  graph.addEdge(graph.addNode(), graph.addNode());
  KyServiceInputData request;
  request.storeReference(nullptr, KyAnalysisKey::all::noneGraph, &graph);
  KyObjectTable table;
  unsigned char* bytes = nullptr;
  unsigned long length = 0;
  ASSERT_EQ(KyAnalysisSerializer().pInputDataToString(&request, &table, bytes, &length), 1);
  const std::unique_ptr<unsigned char[]> document(bytes);

  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 1000; ++i) {
        if (t % 2 == 0) {
          KyGraphData data;
          std::string error;
          if (!KyGraphMLReader().read(graphml, "g", data, error) ||
              data.graph->numberOfEdges() != 1)
            ++failures;
        } else {
          KyObjectTable names;
          KyServiceInputData read;
          if (KyAnalysisSerializer().pInputDataFromString(document.get(), &names, &read) == 0)
            ++failures;
          delete read.pValue(nullptr, KyAnalysisKey::all::noneGraph);
        }
      }
    });
  for (std::thread& thread : threads)
    thread.join();
  EXPECT_EQ(failures, 0);
}

} // namespace
