// Service input documents: typed round trips through a service name's
// descriptions, defaults, order, constraints, and entries that must be
// refused without touching the input data.
#include "platform/KyXMLTesting.h"
#include "support/KyDataTesting.h"

#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraphXMLReader.h>
#include <kyplatform/KyGraphXMLWriter.h>
#include <kyplatform/KyObjectTable.h>
#include <kyplatform/KyServiceInputDataXMLWriter.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

namespace {

using kytest::TestConstraint;
using kytest::TestServiceName;

const double kDoubles[] = {-0.0,
                           0.1,
                           -1e308,
                           std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::min(),
                           std::numeric_limits<double>::denorm_min(),
                           std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN(),
                           -std::numeric_limits<double>::quiet_NaN(),
                           1.0 / 3.0};
constexpr int kEdges = sizeof kDoubles / sizeof kDoubles[0];

struct Request {
  KyGraph graph;
  KyServiceInputData data;
  std::vector<KyNode*> nodes;
  std::vector<KyEdge*> edges;
  /// A request on a graph of 4 nodes and kEdges edges, or on an empty graph.
  explicit Request(bool members = true) {
    data.pServiceName(new TestServiceName);
    if (!members)
      return;
    for (int i = 0; i < 4; ++i)
      nodes.push_back(graph.addNode());
    for (int i = 0; i < kEdges; ++i)
      edges.push_back(graph.addEdge(nodes[i % 4], nodes[(i + 1) % 3]));
  }
  void set(KyObject* owner, const wchar_t* key, KyObject* value, int owned = 1) {
    data.setValue(owner, key, value, owned, 0);
  }
};

// The values with members named by index and test constraints in full.
std::vector<std::string> describe(const KyServiceInputData& data) {
  auto member = [](const KyObject* object) -> std::string {
    if (object == nullptr)
      return "none";
    if (const auto* node = dynamic_cast<const KyNode*>(object))
      return "n" + std::to_string(node->index());
    if (const auto* edge = dynamic_cast<const KyEdge*>(object))
      return "e" + std::to_string(edge->index());
    return dynamic_cast<const KyGraph*>(object) != nullptr ? "graph" : "?";
  };
  return kytest::describeValues(data, member, [&](const KyConstraint& constraint) {
    const auto& test = dynamic_cast<const TestConstraint&>(constraint);
    std::string line = "{" + std::to_string(test.priority()) + " " + kytest::narrow(test.pName()) +
                       " " + std::to_string(test.flag);
    for (KyNodeDListIter n(&test.nodes); n; ++n)
      line += " " + member(n.pNode());
    return line + "}";
  });
}

kytest::Written writeRequest(Request& request, KyObjectTable* table = nullptr,
                             int writingDefaults = 1) {
  KyGraphXMLWriter graphWriter;
  KyServiceInputDataXMLWriter inputWriter(L"request");
  inputWriter.writingDefaults(writingDefaults);
  return kytest::writeDocument([&](KyCompositeXMLWriter& writer) {
    writer.pObjectTable(table);
    writer.setWriter(L"graph", &graphWriter);
    writer.setObjectToWrite(L"graph", &request.graph);
    writer.setWriter(L"request", &inputWriter);
    writer.setObjectToWrite(L"request", &request.data);
  });
}

// The input part is registered first; the graph is still read first.
int readRequest(const std::string& text, Request& request, KyObjectTable* table = nullptr,
                std::wstring* error = nullptr) {
  KyGraphXMLReader graphReader;
  KyServiceInputDataXMLReader inputReader(L"request");
  return kytest::readDocument(
      text,
      [&](KyCompositeXMLReader& reader) {
        reader.pObjectTable(table);
        reader.setReader(L"request", &inputReader);
        reader.setObjectToRead(L"request", &request.data);
        reader.setReader(L"graph", &graphReader);
        reader.setFirstObjectToRead(L"graph", &request.graph);
      },
      error);
}

void fill(Request& request) {
  Request& r = request;
  r.set(nullptr, L"t:none:graph", &r.graph, 0);
  r.set(nullptr, L"t:none:count", new KyInt(INT_MIN));
  r.set(&r.graph, L"t:graph:flag", new KyInt(1));
  r.set(nullptr, L"t:graph:flag", new KyInt(0));
  r.set(&r.graph, L"t:graph:start", r.nodes[2], 0);
  auto* path = new KyNodeDList;
  for (int i : {3, 0, 3})
    path->appendNode(r.nodes[i]);
  r.set(&r.graph, L"t:graph:path", path);
  r.set(r.nodes[0], L"t:node:cost", new KyInt(INT_MAX));
  r.set(r.nodes[3], L"t:node:cost", new KyInt(-1));
  for (int i = 0; i < kEdges; ++i)
    r.set(r.edges[i], L"t:edge:weight", new KyDouble(kDoubles[i]));
  auto* manager = new KyConstraintManager(&r.graph);
  auto* constraint = new TestConstraint(5, L"c one");
  constraint->flag = 1;
  constraint->nodes.appendNode(r.nodes[1]);
  constraint->nodes.appendNode(r.nodes[0]);
  manager->insertConstraint(constraint);
  manager->insertConstraint(new TestConstraint(-2, nullptr));
  r.set(&r.graph, TestServiceName::kManagerKey, manager);
}

TEST(KyXMLServiceInputTest, EveryValueTypeRoundTripsOntoTheNewGraph) {
  Request original;
  fill(original);
  KyObjectTable written;
  const kytest::Written document = writeRequest(original, &written);
  ASSERT_EQ(document.result, 1) << std::string(document.error.begin(), document.error.end());

  Request copy(false);
  copy.set(nullptr, L"t:none:count", new KyInt(42));
  KyObjectTable read;
  std::wstring error;
  ASSERT_EQ(readRequest(document.text, copy, &read, &error), 1)
      << std::string(error.begin(), error.end());
  EXPECT_EQ(describe(copy.data), describe(original.data));
  EXPECT_EQ(copy.data.pValue(nullptr, L"t:none:graph"), &copy.graph);
  auto* start = dynamic_cast<KyNode*>(copy.data.pValue(&copy.graph, L"t:graph:start"));
  ASSERT_NE(start, nullptr);
  EXPECT_EQ(start->pOwnerGraph(), &copy.graph);
  EXPECT_STREQ(read.pID(start), written.pID(original.nodes[2]));
}

TEST(KyXMLServiceInputTest, TheSameRequestAlwaysGivesTheSameSortedDocument) {
  Request first;
  fill(first);
  Request second;
  fill(second);
  const std::string text = writeRequest(first).text;
  EXPECT_EQ(text, writeRequest(second).text);
  const std::size_t count = text.find("key=\"t:none:count\"");
  const std::size_t weight = text.find("key=\"t:edge:weight\"");
  ASSERT_NE(weight, std::string::npos);
  EXPECT_LT(text.find("key=\"t:edge:weight\""), text.find("key=\"t:graph:flag\""));
  EXPECT_LT(text.find("key=\"t:graph:start\""), count);
  EXPECT_LT(text.find("owner=\"e0\"", weight), text.find("owner=\"e1\"", weight));
  EXPECT_LT(text.find("<entry value=\"false\"/>"),
            text.find("<entry owner=\"g0\" value=\"true\"/>"))
      << "an entry without owner comes first";
}

// However the values went into the store, the document lists them by key,
// then by owner: the same text as for values stored in order.
TEST(KyXMLServiceInputTest, StoreOrderDoesNotChangeTheDocument) {
  enum Owner { none = -2, graph = -1 }; // else a node, or 4 + an edge index
  struct Value {
    int owner;
    const wchar_t* key;
  };
  std::vector<Value> values = {
      {none, L"t:none:count"}, {graph, L"t:graph:flag"}, {none, L"t:graph:flag"}};
  for (int i = 0; i < 4; ++i)
    values.push_back({i, L"t:node:cost"});
  for (int i = 0; i < kEdges; ++i)
    values.push_back({4 + i, L"t:edge:weight"});
  const auto write = [&values](const std::vector<std::size_t>& order) {
    Request request;
    for (const std::size_t i : order) {
      const Value& v = values[i];
      KyObject* owner = v.owner == none    ? nullptr
                        : v.owner == graph ? static_cast<KyObject*>(&request.graph)
                        : v.owner < 4      ? static_cast<KyObject*>(request.nodes[v.owner])
                                           : request.edges[v.owner - 4];
      if (v.owner >= 4)
        request.set(owner, v.key, new KyDouble(0.5 * static_cast<double>(i)));
      else
        request.set(owner, v.key, new KyInt(static_cast<int>(i % 2)));
    }
    return writeRequest(request).text;
  };
  std::vector<std::size_t> order(values.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  const std::string inOrder = write(order);
  ASSERT_LT(inOrder.find("key=\"t:edge:weight\""), inOrder.find("key=\"t:graph:flag\""));
  for (const unsigned seed : {1u, 2u, 3u, 4u}) {
    std::shuffle(order.begin(), order.end(), std::mt19937(seed));
    EXPECT_EQ(write(order), inOrder) << "seed " << seed;
  }
  std::reverse(order.begin(), order.end());
  EXPECT_EQ(write(order), inOrder) << "reversed";
}

TEST(KyXMLServiceInputTest, WithoutDefaultsValuesEqualToTheirDefaultAreLeftOut) {
  Request original;
  original.set(nullptr, L"t:none:count", new KyInt(3));
  original.set(&original.graph, L"t:graph:flag", new KyInt(0));
  original.set(original.edges[0], L"t:edge:weight", new KyDouble(1.5));
  original.set(original.edges[1], L"t:edge:weight", new KyDouble(-1.5));
  original.set(original.nodes[0], L"t:node:cost", new KyInt(0));
  original.set(&original.graph, L"t:graph:start", original.nodes[1], 0);
  Request all(false);
  ASSERT_EQ(readRequest(writeRequest(original).text, all), 1);
  EXPECT_EQ(all.data.numberOfValues(), 6);
  Request lean(false);
  ASSERT_EQ(readRequest(writeRequest(original, nullptr, 0).text, lean), 1);
  const std::vector<std::string> expected = {"t:edge:weight e1 = bits " +
                                                 std::to_string(0xBFF8000000000000ull),
                                             "t:graph:start graph = n1"};
  EXPECT_EQ(describe(lean.data), expected);
}

TEST(KyXMLServiceInputTest, UntypableValuesFailTheWrite) {
  const std::vector<std::pair<const char*, void (*)(Request&)>> cases = {
      {"no description", [](Request& r) { r.set(nullptr, L"t:none:other", new KyInt(1)); }},
      {"double as integer", [](Request& r) { r.set(nullptr, L"t:none:count", new KyDouble(1)); }},
      {"edge as node value", [](Request& r) { r.set(&r.graph, L"t:graph:start", r.edges[0], 0); }},
      {"edge in node list",
       [](Request& r) {
         auto* list = new KyDList;
         list->appendObject(r.edges[0]);
         r.set(&r.graph, L"t:graph:path", list);
       }},
      {"edge owner of a node option",
       [](Request& r) { r.set(r.edges[0], L"t:node:cost", new KyInt(1)); }},
      {"owner of an ownerless option",
       [](Request& r) { r.set(&r.graph, L"t:none:count", new KyInt(1)); }},
      {"manager of the wrong class",
       [](Request& r) { r.set(&r.graph, TestServiceName::kManagerKey, new KyInt(1)); }},
  };
  for (const auto& [label, spoil] : cases) {
    Request request;
    request.set(nullptr, L"t:none:count", new KyInt(1));
    spoil(request);
    KyObjectTable table;
    const kytest::Written document = writeRequest(request, &table);
    EXPECT_EQ(document.result, 0) << label;
    EXPECT_TRUE(document.text.empty()) << label;
    EXPECT_FALSE(document.error.empty()) << label;
    EXPECT_EQ(table.length(), 0) << label;
  }
  KyServiceInputData nameless;
  KyServiceInputDataXMLWriter inputWriter(L"request");
  EXPECT_EQ(kytest::writeDocument([&](KyCompositeXMLWriter& writer) {
              writer.setWriter(L"request", &inputWriter);
              writer.setObjectToWrite(L"request", &nameless);
            }).result,
            0);
}

// Each document has a valid entry before the bad one: nothing at all may
// reach the input data, and the members the graph part added are taken
// back.
TEST(KyXMLServiceInputTest, BadEntriesFailTheReadAndLeaveTheDataAsItWas) {
  const std::string head = "<document><part name=\"graph\"><graph id=\"g\"><node id=\"n0\"/>"
                           "<node id=\"n1\"/><edge id=\"e0\" source=\"n0\" target=\"n1\"/>"
                           "</graph></part><part name=\"request\">"
                           "<option key=\"t:node:cost\" type=\"Integer\">"
                           "<entry owner=\"n0\" value=\"5\"/></option>";
  auto option = [](const char* key, const char* type, const std::string& entries) {
    return std::string("<option key=\"") + key + "\" type=\"" + type + "\">" + entries +
           "</option>";
  };
  auto count = [&](const char* value) {
    return option("t:none:count", "Integer", std::string("<entry value=\"") + value + "\"/>");
  };
  auto manager = [&](const std::string& content) {
    return option("t:graph:constraints", "KyConstraintManager",
                  "<entry owner=\"g\">" + content + "</entry>");
  };
  const std::pair<const char*, std::string> parts[] = {
      {"unknown key", option("t:none:nope", "Integer", "<entry value=\"1\"/>")},
      {"wrong type", option("t:none:count", "Double", "<entry value=\"1\"/>")},
      {"fraction", count("1.5")},
      {"too large", count("2147483648")},
      {"padded", count(" 1")},
      {"plus sign", count("+1")},
      {"empty", count("")},
      {"no value", option("t:none:count", "Integer", "<entry/>")},
      {"yes", option("t:graph:flag", "Boolean", "<entry owner=\"g\" value=\"yes\"/>")},
      {"comma", option("t:edge:weight", "Double", "<entry owner=\"e0\" value=\"1,5\"/>")},
      {"hex double", option("t:edge:weight", "Double", "<entry owner=\"e0\" value=\"0x1p3\"/>")},
      {"dangling owner", option("t:node:cost", "Integer", "<entry owner=\"n9\" value=\"1\"/>")},
      {"edge owning a node option",
       option("t:node:cost", "Integer", "<entry owner=\"e0\" value=\"1\"/>")},
      {"owner of an ownerless option",
       option("t:none:count", "Integer", "<entry owner=\"g\" value=\"1\"/>")},
      {"node reference naming an edge",
       option("t:graph:start", "KyNode", "<entry owner=\"g\" value=\"e0\"/>")},
      {"list naming an edge",
       option("t:graph:path", "List&lt;KyNode&gt;", "<entry owner=\"g\" value=\"n0 e0\"/>")},
      {"graph reference naming a node", option("t:none:graph", "KyGraph", "<entry value=\"n0\"/>")},
      {"foreign element", "<options/>"},
      {"foreign entry", option("t:none:count", "Integer", "<value value=\"1\"/>")},
      {"manager missing", manager("")},
      {"manager parent not a graph", manager("<constraintManager parent=\"n0\"/>")},
      {"constraint of unknown kind",
       manager("<constraintManager parent=\"g\"><testConstraint/><other/></constraintManager>")},
      {"constraint priority not a number",
       manager("<constraintManager parent=\"g\"><testConstraint priority=\"high\"/>"
               "</constraintManager>")},
      // Names the parser takes but DOM refuses (a character of plane 7).
      {"element name DOM refuses",
       manager("<constraintManager parent=\"g\"><test\xf1\xb3\x96\x93/></constraintManager>")},
      {"attribute name DOM refuses",
       manager("<constraintManager parent=\"g\"><testConstraint a\xf1\xb3\x96\x93=\"1\"/>"
               "</constraintManager>")},
  };
  for (const auto& [label, part] : parts) {
    Request request(false);
    request.set(nullptr, L"t:none:count", new KyInt(42));
    const std::vector<std::string> before = describe(request.data);
    KyObjectTable table;
    std::wstring error;
    EXPECT_EQ(readRequest(head + part + "</part></document>", request, &table, &error), 0) << label;
    EXPECT_EQ(describe(request.data), before) << label;
    EXPECT_EQ(request.graph.numberOfNodes(), 0) << label;
    EXPECT_EQ(request.graph.numberOfEdges(), 0) << label;
    EXPECT_EQ(table.length(), 0) << label;
    EXPECT_EQ(error.rfind(L"part \"request\": ", 0), 0u)
        << label << ": " << kytest::narrow(error.c_str());
  }
}

} // namespace
