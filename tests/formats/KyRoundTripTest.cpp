// Random graphs written in every format and read back as they were: names
// made of every character each format escapes or quotes, values at the
// limits of 32 bits, lone nodes, multi-edges and loops.
#include "formats/KyFormatsTesting.h"

#include <kyformats/KyAnalysisRequest.h>
#include <kyformats/KyEdgeListReader.h>
#include <kyformats/KyEdgeListWriter.h>
#include <kyformats/KyGraphMLWriter.h>
#include <kyformats/KyGraphReader.h>

#include <kyanalysis/KyAnalysisEnums.h>

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

/// A graph by its (unique) names: the node names as a set, the edges in
/// order as pairs of names, edge columns by edge position, node columns by
/// name. Formats that list lone nodes last keep all of this.
struct NamedGraph {
  std::set<std::string> nodes;
  std::vector<std::pair<std::string, std::string>> edges;
  std::map<std::string, std::map<int, int>> edgeColumns;
  std::map<std::string, std::map<std::string, int>> nodeColumns;
  bool operator==(const NamedGraph& other) const {
    return nodes == other.nodes && edges == other.edges && edgeColumns == other.edgeColumns &&
           nodeColumns == other.nodeColumns;
  }
};

NamedGraph named(const KyGraphData& data) {
  const kytest::PlainGraph graph = kytest::plain(data);
  NamedGraph result;
  result.nodes.insert(graph.nodes.begin(), graph.nodes.end());
  for (const auto& [source, target] : graph.edges)
    result.edges.emplace_back(graph.nodes[static_cast<std::size_t>(source)],
                              graph.nodes[static_cast<std::size_t>(target)]);
  result.edgeColumns = graph.edgeColumns;
  for (const auto& [name, values] : graph.nodeColumns)
    for (const auto& [at, value] : values)
      result.nodeColumns[name][graph.nodes[static_cast<std::size_t>(at)]] = value;
  return result;
}

/// Writes `made` and reads it back into `back`.
using RoundTrip =
    std::function<bool(const KyGraphData& made, KyGraphData& back, std::string& error)>;

RoundTrip edgeList(char delimiter) {
  return [delimiter](const KyGraphData& made, KyGraphData& back, std::string& error) {
    std::string edges, table;
    return KyEdgeListWriter(delimiter).write(made, edges, &table, error) &&
           KyGraphReader().readText(edges, "edges", back, error) &&
           KyEdgeListReader().readNodeTable(table, "nodes", back, error);
  };
}

bool graphML(const KyGraphData& made, KyGraphData& back, std::string& error) {
  std::string text;
  return KyGraphMLWriter().write(made, text, error) &&
         KyGraphReader().readText(text, "graphml", back, error);
}

/// Through an analysis document of rootCause, which has an option for every
/// column the random graphs carry.
bool document(const KyGraphData& made, KyGraphData& back, std::string& error) {
  std::string text;
  KyAnalysisRequest request;
  if (!request.start(OPERATION_ROOT_CAUSE, kytest::copyOf(made), error))
    return false;
  const auto piece = [&text](const unsigned char* bytes, std::size_t length) {
    text.append(reinterpret_cast<const char*>(bytes), length);
  };
  if (!KyAnalysisDocument::write(&request.graph(), request.input(), true, piece, error) ||
      !KyGraphReader().readText(text, "document", back, error))
    return false;
  std::vector<std::string> leftOut;
  back.takeDocumentColumns(leftOut);
  return leftOut.empty();
}

TEST(KyGraphFormats, RandomGraphsReadBackAsTheyWereWritten) {
  // Each format's pieces: every character it escapes or quotes, and text
  // that must pass untouched.
  const std::vector<std::string> common{
      "a", "B", "7", "'", "\xc3\xa9", "\xe6\x9d\xb1", "\xf0\x9f\x98\x80"};
  const std::vector<std::string> tableSpecials{" ", "\t",           "#",      "\"",   ",",
                                               ";", "\xEF\xBB\xBF", "source", "node", "x y"};
  const std::vector<std::string> xmlSpecials{"<",  ">",  "&", "\"",  "'",    "\t",
                                             "\n", "\r", " ", "]]>", "&amp;"};
  const struct {
    const char* name;
    const std::vector<std::string>& specials;
    RoundTrip roundTrip;
  } formats[] = {
      {"edge list, blanks", tableSpecials, edgeList(' ')},
      {"edge list, commas", tableSpecials, edgeList(',')},
      {"edge list, tabs", tableSpecials, edgeList('\t')},
      {"GraphML", xmlSpecials, graphML},
      {"analysis document", xmlSpecials, document},
  };
  std::mt19937 random(7);
  for (const auto& format : formats) {
    std::vector<std::string> pieces = common;
    pieces.insert(pieces.end(), format.specials.begin(), format.specials.end());
    for (int round = 0; round < 40; ++round) {
      SCOPED_TRACE(std::string(format.name) + ", round " + std::to_string(round));
      KyGraphData made;
      std::set<std::string> seen;
      const int nodes = 1 + static_cast<int>(random() % 8);
      for (int i = 0; i < nodes; ++i) {
        std::string name;
        for (int p = 1 + static_cast<int>(random() % 3); p > 0; --p)
          name += pieces[random() % pieces.size()];
        if (!seen.insert(name).second)
          name += "#" + std::to_string(i); // names stay unique
        kytest::addNamedNode(made, name);
      }
      KyValueColumn cost{{"cost"}, KyValueKind::integer, {}};
      KyValueColumn undirected{{"undirected"}, KyValueKind::boolean, {}};
      KyValueColumn weight{{"weight"}, KyValueKind::integer, {}};
      const int limits[] = {INT_MIN, INT_MAX, 0, -1};
      for (int e = static_cast<int>(random() % 10); e > 0; --e) {
        KyEdge* edge = made.graph->addEdge(made.graph->pNodeAt(static_cast<int>(random() % nodes)),
                                           made.graph->pNodeAt(static_cast<int>(random() % nodes)));
        if (random() % 2)
          cost.values.emplace_back(edge->index(), limits[random() % 4]);
        if (random() % 3 == 0)
          undirected.values.emplace_back(edge->index(), static_cast<int>(random() % 2));
      }
      for (int i = 0; i < nodes; ++i)
        if (random() % 2)
          weight.values.emplace_back(i, static_cast<int>(random() % 100));
      made.edgeColumns = {cost, undirected};
      made.nodeColumns = {weight};

      KyGraphData back;
      std::string error;
      ASSERT_TRUE(format.roundTrip(made, back, error)) << error;
      EXPECT_EQ(named(back), named(made));
    }
  }
}

} // namespace
