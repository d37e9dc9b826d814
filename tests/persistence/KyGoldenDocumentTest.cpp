// Analysis documents compared byte for byte with the ones kept in
// tests/persistence/golden: every analysis's request with every option set,
// constraints, names that need escapes, identifiers from the caller's table,
// a graph of a few thousand members, the documented example, and answers
// with many entries a result, on one line and indented, and one in base 64.
// The same documents are read back, and written again as one DOM. Answers
// are kept in golden/answers, apart from the request documents.
// KY_WRITE_GOLDEN=1 writes the files anew instead of comparing.
#include "persistence/KyPersistenceTesting.h"
#include "support/KyProcess.h"

#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisOperation.h>
#include <kyanalysis/KyAnalysisSerializer.h>
#include <kyanalysis/KyAnalysisXMLReader.h>
#include <kyanalysis/KyAnalysisXMLWriter.h>
#include <kyanalysis/KyClusteringInputTailor.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyplatform/KyDouble.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyObjectTable.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

std::string goldenPath(const std::string& name) {
  return kytest::sourcePath("tests/persistence/golden/" + name);
}

std::string readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

/// Compares `text` with the golden file `name`, or writes it there when
/// KY_WRITE_GOLDEN is set.
void expectGolden(const std::string& name, const std::string& text) {
  if (const char* write = std::getenv("KY_WRITE_GOLDEN"); write != nullptr && *write == '1') {
    std::ofstream(goldenPath(name), std::ios::binary) << text;
    return;
  }
  const std::string golden = readFile(goldenPath(name));
  ASSERT_FALSE(golden.empty()) << name << " is missing";
  ASSERT_EQ(golden.size(), text.size()) << name;
  EXPECT_TRUE(golden == text) << name << " differs";
}

/// A graph with its request; the request names the graph.
struct Document {
  kytest::Request request;
  std::vector<KyNode*> nodes;
  std::vector<KyEdge*> edges;
  KyObjectTable table;
  bool useTable = false;
  int writingDefaults = 1;

  Document() {
    nodes = {request.a, request.b, request.c};
    edges = {request.ab, request.bc, request.ca};
  }
  KyServiceInputData& data() { return request.data; }
};

/// Every option of the analysis `operation` set to a value that is not its
/// default, on the graph, on two nodes or on two edges as its scope says.
void setEveryOption(Document& document, int operation) {
  KyServiceInputData& data = document.data();
  data.setValue(nullptr, KyAnalysisKey::all::noneOperation, new KyInt(operation), 1, 0);
  const std::wstring prefix = std::wstring(KyAnalysisOperation::word(operation)) + L":";
  KyServiceName& service = *data.pServiceName();
  int next = 2;
  for (KyDListIter it(service.pInputDescription()->pDescriptionList()); it; ++it) {
    const auto* option = KyServiceItemDescription::castDown(it.pObject());
    const std::wstring key = option->pKey();
    if (key.rfind(prefix, 0) != 0)
      continue;
    const std::wstring ownerType = option->pOwnerType();
    const std::wstring valueType = option->pValueType();
    std::vector<KyObject*> owners{&document.request.graph};
    if (ownerType == L"KyNode")
      owners = {document.nodes[0], document.nodes[2]};
    else if (ownerType == L"KyEdge")
      owners = {document.edges[0], document.edges[2]};
    for (KyObject* owner : owners) {
      if (valueType == L"Integer") {
        data.setValue(owner, option->pKey(), new KyInt(next++ % 3 == 0 ? 2 : next), 1, 0);
      } else if (valueType == L"Boolean") {
        data.setValue(owner, option->pKey(), new KyInt(1), 1, 0);
      } else if (valueType == L"Double") {
        data.setValue(owner, option->pKey(), new KyDouble(0.25 * next++), 1, 0);
      } else if (valueType == L"KyNode") {
        data.setValue(owner, option->pKey(), document.nodes[1], 0, 0);
      } else if (valueType == L"List<KyNode>") {
        auto* list = new KyNodeDList;
        list->appendNode(document.nodes[2]);
        list->appendNode(document.nodes[0]);
        data.setValue(owner, option->pKey(), list, 1, 0);
      } else if (valueType == L"KyConstraintManager") {
        KyClusteringInputTailor clustering(&data);
        KyNodeDList members;
        members.appendNode(document.nodes[0]);
        members.appendNode(document.nodes[1]);
        clustering.addSameClusterConstraint(&members)->priority(2);
        members.appendNode(document.nodes[2]);
        clustering.addDifferentClusterConstraint(&members)->fulfilled(1);
        clustering.addCompleteClusterConstraint(&members);
      } else {
        ADD_FAILURE() << "no value made for the type " << kytest::narrow(valueType.c_str());
      }
    }
  }
}

/// Names and constraint names with every character that needs an escape,
/// and characters beyond ASCII.
void setEscapes(Document& document) {
  document.request.a->pName(L"a&b<c>d\"e'f");
  document.request.b->pName(L"tab\there line\nfeed cr\rend");
  document.request.c->pName(L"\u00e9t\u00e9 \u6771\u4eac \U0001F600");
  document.request.ab->pName(L"]]> & <![CDATA[");
  document.request.bc->pName(L"");
  setEveryOption(document, OPERATION_CLUSTERING);
  KyClusteringInputTailor clustering(&document.data());
  KyClusteringConstraint* named =
      clustering.insertConstraint(new KyClusteringConstraint(-7, L"\"quoted\" & <tagged>\t"));
  named->addNode(document.request.c);
}

/// Identifiers that the caller's table holds, one of them in the way of a
/// made identifier.
void setTableNames(Document& document) {
  document.useTable = true;
  document.table.setID(L"city", &document.request.graph);
  document.table.setID(L"home", document.request.b);
  document.table.setID(L"n0", document.request.c);
  setEveryOption(document, OPERATION_SHORTEST_PATHS);
}

/// 900 nodes and 2,700 edges of a seeded random graph, costs on every
/// edge and node, names on some, and 60 constraints.
void setLargeGraph(Document& document) {
  std::mt19937 random(7);
  KyGraph& graph = document.request.graph;
  while (document.nodes.size() < 900) {
    document.nodes.push_back(graph.addNode());
    if (document.nodes.size() % 7 == 0)
      document.nodes.back()->pName((L"node " + std::to_wstring(document.nodes.size())).c_str());
  }
  std::uniform_int_distribution<std::size_t> pick(0, document.nodes.size() - 1);
  while (document.edges.size() < 2700)
    document.edges.push_back(
        graph.addEdge(document.nodes[pick(random)], document.nodes[pick(random)]));
  KyServiceInputData& data = document.data();
  data.setValue(nullptr, KyAnalysisKey::all::noneOperation, new KyInt(OPERATION_CLUSTERING), 1, 0);
  for (KyEdge* edge : document.edges)
    data.setValue(edge, KyAnalysisKey::clustering::edgeCost,
                  new KyInt(static_cast<int>(random() % 1000)), 1, 0);
  for (KyNode* node : document.nodes)
    data.setValue(node, KyAnalysisKey::clustering::nodeWeight,
                  new KyInt(static_cast<int>(random() % 100) - 50), 1, 0);
  KyClusteringInputTailor clustering(&data);
  for (int i = 0; i < 60; ++i) {
    KyNodeDList members;
    for (int j = 0; j < 5; ++j)
      members.appendNode(document.nodes[pick(random)]);
    clustering.addSameClusterConstraint(&members)->priority(i % 4);
  }
}

/// Values equal to their defaults, left out when not writing defaults.
void setDefaults(Document& document) {
  document.writingDefaults = 0;
  KyServiceInputData& data = document.data();
  data.setValue(nullptr, KyAnalysisKey::all::noneOperation, new KyInt(OPERATION_SHORTEST_PATHS), 1,
                0);
  data.setValue(document.edges[0], KyAnalysisKey::shortestPaths::edgeCost, new KyInt(1), 1, 0);
  data.setValue(document.edges[1], KyAnalysisKey::shortestPaths::edgeCost, new KyInt(9), 1, 0);
  data.setValue(&document.request.graph, KyAnalysisKey::shortestPaths::graphUndirected,
                new KyInt(0), 1, 0);
  data.setValue(&document.request.graph, KyAnalysisKey::shortestPaths::graphStartNode,
                document.nodes[0], 0, 0);
}

/// An analysis writer whose document element holds an attribute more, so
/// that the document is made as one DOM and serialized, not streamed.
class WholeDOMWriter : public KyAnalysisXMLWriter {
public:
  using KyAnalysisXMLWriter::KyAnalysisXMLWriter;
  int populateDOMElement(xercesc::DOMElement& element) override {
    element.setAttribute(u"dom", u"1");
    return KyAnalysisXMLWriter::populateDOMElement(element);
  }
  /// `text` as the stream writes it: without the attribute.
  static std::string streamed(std::string text) {
    const std::string marked = "<document dom=\"1\"";
    const std::size_t at = text.find(marked);
    EXPECT_NE(at, std::string::npos);
    if (at != std::string::npos)
      text.replace(at, marked.size(), "<document");
    return text;
  }
};

/// What `setUp` registers, written with `indenting`, streamed or as one
/// DOM; the text of the stream's form either way.
template <typename SetUp>
std::string written(int indenting, bool wholeDOM, KyObjectTable* table, SetUp setUp) {
  unsigned char* buffer = nullptr;
  std::unique_ptr<KyAnalysisXMLWriter> writer(wholeDOM
                                                  ? new WholeDOMWriter(&buffer, indenting, 0)
                                                  : new KyAnalysisXMLWriter(&buffer, indenting, 0));
  writer->pObjectTable(table);
  setUp(*writer);
  const int result = writer->write();
  const std::unique_ptr<unsigned char[]> owned(buffer);
  EXPECT_EQ(result, 1) << kytest::narrow(writer->pErrorMessage());
  if (result != 1)
    return {};
  const std::string text(reinterpret_cast<const char*>(buffer), writer->outputSize());
  return wholeDOM ? WholeDOMWriter::streamed(text) : text;
}

/// The document of `document` written with `indenting`.
std::string write(Document& document, int indenting, bool wholeDOM = false) {
  return written(indenting, wholeDOM, document.useTable ? &document.table : nullptr,
                 [&document](KyAnalysisXMLWriter& writer) {
                   writer.writingDefaults(document.writingDefaults);
                   writer.pGraph(&document.request.graph);
                   writer.pServiceInputData(&document.data());
                 });
}

/// Reads `text` and writes it again with `indenting`: the same text.
void expectRewrittenAlike(const std::string& text, Document& document, int indenting) {
  KyGraph graph;
  KyServiceInputData data;
  KyAnalysisXMLReader reader(reinterpret_cast<const unsigned char*>(text.data()),
                             static_cast<unsigned int>(text.size()));
  reader.pGraph(&graph);
  reader.pServiceInputData(&data);
  KyObjectTable table;
  if (document.useTable) {
    // The caller's identifiers must name objects again for the rewrite.
    reader.pObjectTable(&table);
  }
  ASSERT_EQ(reader.read(), 1) << kytest::narrow(reader.pErrorMessage());
  unsigned char* buffer = nullptr;
  KyAnalysisXMLWriter writer(&buffer, indenting, 0);
  writer.writingDefaults(document.writingDefaults);
  writer.pObjectTable(document.useTable ? &table : nullptr);
  writer.pGraph(&graph);
  writer.pServiceInputData(&data);
  ASSERT_EQ(writer.write(), 1) << kytest::narrow(writer.pErrorMessage());
  const std::unique_ptr<unsigned char[]> owned(buffer);
  EXPECT_TRUE(text == std::string(reinterpret_cast<const char*>(buffer), writer.outputSize()));
}

struct Case {
  std::string name;
  std::function<void(Document&)> make;
};

std::vector<Case> cases() {
  std::vector<Case> all;
  for (int operation = 0; operation < KyAnalysisOperation::count(); ++operation)
    all.push_back({kytest::narrow(KyAnalysisOperation::word(operation)),
                   [operation](Document& document) { setEveryOption(document, operation); }});
  all.push_back({"escapes", setEscapes});
  all.push_back({"table-names", setTableNames});
  all.push_back({"large", setLargeGraph});
  all.push_back({"defaults-left-out", setDefaults});
  return all;
}

TEST(KyGoldenDocument, WritesEveryDocumentAsBeforeAndReadsItBack) {
  for (const Case& each : cases()) {
    SCOPED_TRACE(each.name);
    Document document;
    each.make(document);
    for (const int indenting : {0, 1}) {
      const std::string text = write(document, indenting);
      expectGolden(each.name + (indenting != 0 ? "-indented.xml" : ".xml"), text);
      expectRewrittenAlike(text, document, indenting);
    }
  }
}

// The stream and one DOM serialized make the same text of every document:
// the two forms a writer writes into.
TEST(KyGoldenDocument, WritesEveryDocumentAsOneDOMAlike) {
  for (const Case& each : cases()) {
    SCOPED_TRACE(each.name);
    Document document;
    each.make(document);
    for (const int indenting : {0, 1})
      expectGolden(each.name + (indenting != 0 ? "-indented.xml" : ".xml"),
                   write(document, indenting, true));
  }
}

// The lines of `text`, sorted.
std::vector<std::string> sortedLines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

// Answers of the local engine to requests with every option set: many
// entries under one result, owners that are pairs made to key results,
// lists of several lists, and a path graph in the graph part. Read back through
// the identifiers the write made and written again, indented, they hold
// the same lines (entries in the order the store keeps them, which may
// differ).
TEST(KyGoldenDocument, WritesAnswersAsBeforeAndReadsThemBack) {
  for (const int operation : {OPERATION_DEPTH_FIRST_SEARCH, OPERATION_ALL_PAIRS_SHORTEST_PATHS,
                              OPERATION_CONNECTED_COMPONENTS, OPERATION_SORTED_PATHS}) {
    const std::string name = kytest::narrow(KyAnalysisOperation::word(operation));
    SCOPED_TRACE(name);
    Document document;
    // A node apart, so that there are components of more than one.
    document.request.graph.addNode()->pName(L"D");
    setEveryOption(document, operation);
    KyServiceOutputData answer;
    ASSERT_EQ(KyLocalAnalysisService().run(&document.data(), &answer), 0);
    const auto answerOf = [](KyServiceOutputData& data) {
      return [&data](KyAnalysisXMLWriter& writer) {
        writer.pGraph(dynamic_cast<KyGraph*>(
            data.pValue(nullptr, KyAnalysisKey::sortedPaths::nonePathGraph)));
        writer.pServiceOutputData(&data);
      };
    };
    for (const int indenting : {0, 1}) {
      const std::string file = "answers/" + name + (indenting != 0 ? "-indented.xml" : ".xml");
      KyObjectTable table;
      const std::string text = written(indenting, false, &table, answerOf(answer));
      expectGolden(file, text);
      expectGolden(file, written(indenting, true, nullptr, answerOf(answer)));

      if (indenting == 0)
        continue;
      KyGraph pathGraph;
      KyServiceOutputData back;
      KyAnalysisXMLReader reader(reinterpret_cast<const unsigned char*>(text.data()),
                                 static_cast<unsigned int>(text.size()));
      reader.pObjectTable(&table);
      reader.pGraph(&pathGraph);
      reader.pServiceOutputData(&back);
      ASSERT_EQ(reader.read(), 1) << kytest::narrow(reader.pErrorMessage());
      EXPECT_EQ(sortedLines(written(indenting, false, &table, answerOf(back))), sortedLines(text));
    }
  }
}

TEST(KyGoldenDocument, SerializesAsBefore) {
  Document document;
  setEveryOption(document, OPERATION_CLUSTERING);
  unsigned char* bytes = nullptr;
  unsigned long length = 0;
  ASSERT_EQ(KyAnalysisSerializer().pInputDataToString(&document.data(), nullptr, bytes, &length),
            1);
  const std::unique_ptr<unsigned char[]> owned(bytes);
  expectGolden("clustering.b64", std::string(reinterpret_cast<const char*>(bytes), length));
}

TEST(KyGoldenDocument, RewritesTheDocumentedExampleAsBefore) {
  const std::string example = readFile(kytest::sourcePath("docs/examples/request.xml"));
  for (const int indenting : {0, 1}) {
    KyGraph graph;
    KyServiceInputData data;
    KyAnalysisXMLReader reader(reinterpret_cast<const unsigned char*>(example.data()),
                               static_cast<unsigned int>(example.size()));
    reader.pGraph(&graph);
    reader.pServiceInputData(&data);
    ASSERT_EQ(reader.read(), 1) << kytest::narrow(reader.pErrorMessage());
    unsigned char* buffer = nullptr;
    KyAnalysisXMLWriter writer(&buffer, indenting, 0);
    writer.pGraph(&graph);
    writer.pServiceInputData(&data);
    ASSERT_EQ(writer.write(), 1) << kytest::narrow(writer.pErrorMessage());
    const std::unique_ptr<unsigned char[]> owned(buffer);
    expectGolden(indenting != 0 ? "documented-example-indented.xml" : "documented-example.xml",
                 std::string(reinterpret_cast<const char*>(buffer), writer.outputSize()));
  }
}

} // namespace
