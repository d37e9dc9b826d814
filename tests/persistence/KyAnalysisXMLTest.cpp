// The analysis document: clustering constraint elements, copies, files, and
// the service name's constraint hook.
#include "persistence/KyPersistenceTesting.h"

#include <kyanalysis/KyAnalysisSerializer.h>
#include <kyanalysis/KyAnalysisXMLReader.h>
#include <kyanalysis/KyAnalysisXMLWriter.h>
#include <kyanalysis/KyClusteringInputTailor.h>
#include <kyanalysis/KyShortestPathsInputTailor.h>
#include <kyplatform/KyNodeDList.h>
#include <kyplatform/KyObjectTable.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using kytest::describe;
using kytest::Request;

std::string write(Request& request, int writingDefaults = 1) {
  unsigned char* buffer = nullptr;
  KyAnalysisXMLWriter writer(&buffer, 0, 0);
  writer.writingDefaults(writingDefaults);
  writer.pGraph(&request.graph);
  writer.pServiceInputData(&request.data);
  EXPECT_EQ(writer.write(), 1) << kytest::narrow(writer.pErrorMessage());
  const std::unique_ptr<unsigned char[]> owned(buffer);
  return std::string(reinterpret_cast<const char*>(buffer), writer.outputSize());
}

// The constraints of a request's constraint manager, described in order.
std::vector<std::string> constraintsOf(const KyServiceInputData& data) {
  std::vector<std::string> lines;
  KyClusteringInputTailor tailor(const_cast<KyServiceInputData*>(&data));
  if (const KyConstraintManager* manager = tailor.pConstraintManager())
    for (KyDListIter it(manager->pConstraintList()); it; ++it)
      lines.push_back(describe(*dynamic_cast<const KyClusteringConstraint*>(it.pObject())));
  return lines;
}

struct Loaded {
  KyGraph graph;
  KyServiceInputData data;
  int result;
  std::string error;
  explicit Loaded(const std::string& text) {
    KyAnalysisXMLReader reader(reinterpret_cast<const unsigned char*>(text.data()),
                               static_cast<unsigned int>(text.size()));
    reader.pGraph(&graph);
    reader.pServiceInputData(&data);
    result = reader.read();
    error = kytest::narrow(reader.pErrorMessage());
  }
  std::vector<std::string> constraints() const { return constraintsOf(data); }
};

// A document on the nodes n0..n2 and edges e0..e2 whose constraint manager
// holds `constraints`.
std::string withConstraints(const std::string& constraints) {
  return "<document><part name=\"graph\"><graph id=\"g0\"><node id=\"n0\" name=\"A\"/>"
         "<node id=\"n1\" name=\"B\"/><node id=\"n2\" name=\"C\"/>"
         "<edge id=\"e0\" source=\"n0\" target=\"n1\" name=\"ab\"/></graph></part>"
         "<part name=\"analysis\"><option key=\"all:none:graph\" type=\"KyGraph\"><entry "
         "value=\"g0\"/></option><option key=\"clustering:graph:constraintManager\" "
         "type=\"KyConstraintManager\"><entry owner=\"g0\"><constraintManager parent=\"g0\">" +
         constraints + "</constraintManager></entry></option></part></document>";
}

TEST(KyAnalysisConstraintXML, AConstraintIsWrittenAsFulfilledTypeAndNodeList) {
  Request request;
  KyClusteringInputTailor tailor(&request.data);
  KyNodeDList nodes;
  nodes.appendNode(request.a);
  nodes.appendNode(request.b);
  tailor.addDifferentClusterConstraint(&nodes);
  tailor.addSameClusterConstraint(nullptr)->type(static_cast<KyClusteringConstraintTypeEnum>(7));
  const std::string text = write(request);
  EXPECT_NE(text.find("<clusteringConstraint name=\"\" priority=\"1\"><fulfilled value=\"false\"/>"
                      "<type value=\"differentClusters\"/><nodeList><noderef value=\"n0\"/>"
                      "<noderef value=\"n1\"/></nodeList></clusteringConstraint>"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("<type value=\"makeCompleteCluster\"/><nodeList/>"), std::string::npos);

  const Loaded loaded(text);
  ASSERT_EQ(loaded.result, 1) << loaded.error;
  EXPECT_EQ(loaded.constraints(), (std::vector<std::string>{"{1 0 1 : A B}", "{2 0 1 :}"}));
}

TEST(KyAnalysisConstraintXML, ManyConstraintsComeBackWholeAndInOrder) {
  // Enough constraints that the writer makes their elements in several
  // documents of its own, with node lists of every length up to three.
  Request request;
  KyClusteringInputTailor tailor(&request.data);
  KyNode* const nodes[] = {request.a, request.b, request.c};
  for (int i = 0; i < 700; ++i) {
    KyNodeDList list;
    for (int k = 0; k < i % 4; ++k)
      list.appendNode(nodes[(i + k) % 3]);
    if (i % 2 == 0)
      tailor.addSameClusterConstraint(&list)->fulfilled(i % 3 == 0);
    else
      tailor.addDifferentClusterConstraint(&list);
  }
  const std::vector<std::string> written = constraintsOf(request.data);
  ASSERT_EQ(written.size(), 700u);

  const Loaded loaded(write(request));
  ASSERT_EQ(loaded.result, 1) << loaded.error;
  EXPECT_EQ(loaded.constraints(), written);
}

TEST(KyAnalysisConstraintXML, ElementEdgeCasesReadLeniently) {
  const struct {
    const char* name;
    std::string element;
    std::string read;
  } cases[] = {
      {"all three types",
       "<c><type value=\"sameCluster\"/></c><c><type value=\"differentClusters\"/>"
       "</c><c><type value=\"makeCompleteCluster\"/></c>",
       "{0 0 0 :}{1 0 0 :}{2 0 0 :}"},
      {"other case",
       "<c><type value=\"SameCluster\"/></c><c><type value=\"differentclusters\"/></c>",
       "{0 0 0 :}{0 0 0 :}"},
      {"prefix or code", "<c><type value=\"different\"/></c><c><type value=\"1\"/></c>",
       "{0 0 0 :}{0 0 0 :}"},
      {"no type, no list, no fulfilled, any name", "<anything priority=\"-3\" name=\"x\"/>",
       "{0 0 -3 x:}"},
      {"fulfilled", "<c><fulfilled value=\"true\"/></c><c><fulfilled value=\"yes\"/></c>",
       "{0 1 0 :}{0 0 0 :}"},
      {"noderefs among text and other elements",
       "<c><nodeList>\n  <noderef value=\"n2\"/>text<other value=\"n1\"/><!-- n1 -->"
       "<noderef value=\"n0\"><noderef value=\"n1\"/></noderef>\n<noderef value=\"n2\"/></nodeList>"
       "<type value=\"makeCompleteCluster\"/></c>",
       "{2 0 0 : C A C}"},
      {"dangling and mistyped noderefs are skipped",
       "<c><nodeList><noderef value=\"n9\"/><noderef value=\"e0\"/><noderef value=\"g0\"/>"
       "<noderef/><noderef value=\"n1\"/></nodeList></c>",
       "{0 0 0 : B}"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    const Loaded loaded(withConstraints(test.element));
    ASSERT_EQ(loaded.result, 1) << loaded.error;
    std::string read;
    for (const std::string& line : loaded.constraints())
      read += line;
    EXPECT_EQ(read, test.read);
  }
}

TEST(KyAnalysisConstraintXML, ABadPriorityFailsTheReadAndChangesNothing) {
  const Loaded loaded(withConstraints("<c priority=\"high\"/>"));
  EXPECT_EQ(loaded.result, 0);
  EXPECT_NE(loaded.error.find("priority"), std::string::npos) << loaded.error;
  EXPECT_EQ(loaded.data.numberOfValues(), 0);
}

TEST(KyAnalysisServiceName, ReadConstraintsJoinTheManagerTheRequestHolds) {
  Request request;
  KyClusteringInputTailor tailor(&request.data);
  tailor.addSameClusterConstraint(nullptr);
  KyConstraintManager* manager = tailor.pConstraintManager();
  // The manager's parent is the caller's graph, named through the table.
  const std::string text =
      "<document><part name=\"graph\"><graph id=\"g0\"/></part><part name=\"analysis\">"
      "<option key=\"clustering:graph:constraintManager\" type=\"KyConstraintManager\">"
      "<entry owner=\"mine\"><constraintManager parent=\"mine\"><c><type "
      "value=\"differentClusters\"/></c></constraintManager></entry></option></part></document>";
  KyObjectTable table;
  table.setID(L"mine", &request.graph);
  KyGraph scratch;
  KyAnalysisXMLReader reader(reinterpret_cast<const unsigned char*>(text.data()),
                             static_cast<unsigned int>(text.size()));
  reader.pGraph(&scratch);
  reader.pServiceInputData(&request.data);
  reader.pObjectTable(&table);
  ASSERT_EQ(reader.read(), 1) << kytest::narrow(reader.pErrorMessage());
  EXPECT_EQ(tailor.pConstraintManager(), manager);
  EXPECT_EQ(manager->pConstraintList()->length(), 2);
}

TEST(KyAnalysisXMLReader, ACopyOutlivesItsSourceAndReadsAlike) {
  Request request;
  request.data.setValue(request.b, L"clustering:node:weight", new KyInt(6), 1, 0);
  const std::string text = write(request);
  KyGraph graph;
  KyServiceInputData data;
  auto source = std::make_unique<KyAnalysisXMLReader>(
      reinterpret_cast<const unsigned char*>(text.data()), static_cast<unsigned int>(text.size()));
  source->pGraph(&graph);
  source->pServiceInputData(&data);
  KyAnalysisXMLReader copy(*source);
  KyAnalysisXMLReader assigned = copy;
  assigned = *source;
  source.reset();
  ASSERT_EQ(assigned.read(), 1) << kytest::narrow(assigned.pErrorMessage());
  EXPECT_EQ(describe(data).size(), 2u);
  EXPECT_EQ(graph.numberOfNodes(), 3);
}

TEST(KyAnalysisXMLWriter, DefaultsCopiesAndFiles) {
  Request request;
  request.data.setValue(request.b, L"clustering:node:weight", new KyInt(1), 1, 0);
  const std::string path = ::testing::TempDir() + "ky-analysis-writer.xml";
  const std::wstring widePath(path.begin(), path.end());
  auto source = std::make_unique<KyAnalysisXMLWriter>(widePath.c_str());
  source->writingDefaults(0);
  source->pGraph(&request.graph);
  source->pServiceInputData(&request.data);
  source->writingDefaults(1);
  KyAnalysisXMLWriter copy(*source);
  source.reset();
  EXPECT_EQ(copy.pGraph(), &request.graph);
  ASSERT_EQ(copy.write(), 1);

  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  // The part registered with writing defaults off leaves the default weight out.
  EXPECT_EQ(text.str().find("clustering:node:weight"), std::string::npos);
  EXPECT_NE(text.str().find("all:none:graph"), std::string::npos);

  KyGraph graph;
  KyServiceInputData data;
  KyAnalysisXMLReader reader(widePath.c_str());
  reader.pGraph(&graph);
  reader.pServiceInputData(&data);
  ASSERT_EQ(reader.read(), 1);
  EXPECT_EQ(graph.numberOfEdges(), 3);
  std::remove(path.c_str());
}

TEST(KyAnalysisXMLReader, TheExampleDocumentHoldsAClusteringRequest) {
  const std::string source = KY_SOURCE_DIR "/docs/examples/request.xml";
  const std::wstring path(source.begin(), source.end());
  KyGraph graph;
  KyServiceInputData data;
  KyAnalysisXMLReader reader(path.c_str());
  reader.pGraph(&graph);
  reader.pServiceInputData(&data);
  ASSERT_EQ(reader.read(), 1) << kytest::narrow(reader.pErrorMessage());
  KyClusteringInputTailor tailor(&data);
  EXPECT_EQ(data.getValueAsInteger(nullptr, L"all:none:operation"), 20);
  EXPECT_EQ(tailor.pGraph(), &graph);
  ASSERT_NE(tailor.pConstraintManager(), nullptr);
  EXPECT_EQ(tailor.pConstraintManager()->pConstraintList()->length(), 2);
  int onNodes = 0;
  int onEdges = 0;
  data.visitValues([&](const KyObject* owner, const wchar_t*, KyObject*) {
    onNodes += dynamic_cast<const KyNode*>(owner) != nullptr;
    onEdges += dynamic_cast<const KyEdge*>(owner) != nullptr;
  });
  EXPECT_GT(onNodes, 0);
  EXPECT_GT(onEdges, 0);
}

// A node of another graph would be written under an identifier that names
// nothing in the document, and dropped when read back: the write fails,
// says why, and leaves the buffer and the table as they were.
TEST(KyAnalysisConstraintXML, AConstraintOnANodeOfAnotherGraphFailsTheWrite) {
  Request request;
  KyGraph other;
  KyNode* stranger = other.addNode();
  KyClusteringInputTailor tailor(&request.data);
  KyNodeDList members;
  members.appendNode(request.a);
  members.appendNode(stranger);
  tailor.addSameClusterConstraint(&members);
  for (const int indenting : {0, 1}) {
    unsigned char* buffer = reinterpret_cast<unsigned char*>(&other); // must stay as it is
    KyObjectTable table;
    KyAnalysisXMLWriter writer(&buffer, indenting, 0);
    writer.pObjectTable(&table);
    writer.pGraph(&request.graph);
    writer.pServiceInputData(&request.data);
    EXPECT_EQ(writer.write(), 0);
    EXPECT_NE(std::wstring(writer.pErrorMessage()).find(L"not a node of the graph"),
              std::wstring::npos)
        << kytest::narrow(writer.pErrorMessage());
    EXPECT_EQ(buffer, reinterpret_cast<unsigned char*>(&other));
    EXPECT_EQ(writer.outputSize(), 0u);
    EXPECT_EQ(table.length(), 0);
  }
  // Without the stranger the same request writes and reads back whole.
  KyClusteringConstraint& constraint = *dynamic_cast<KyClusteringConstraint*>(
      tailor.pConstraintManager()->pConstraintList()->pLastCell()->pObject());
  constraint.removeNode(stranger);
  const Loaded loaded(write(request));
  EXPECT_EQ(loaded.constraints(), std::vector<std::string>{"{0 0 1 : A}"});
}

// An owner or a value of another graph would be written under an
// identifier that names nothing in the document: the write fails, names the
// option and the owner, and hands nothing out. A caller's object table that
// names the stranger lets it through, as a reader with that table finds it.
TEST(KyAnalysisXMLWriter, OwnersAndValuesOfAnotherGraphFailTheWrite) {
  KyGraph other;
  KyNode* stranger = other.addNode();
  KyEdge* strangerEdge = other.addEdge(stranger, stranger);
  const struct {
    const char* what;
    std::function<void(Request&)> set;
    const wchar_t* message;
  } cases[] = {
      {"edge owner", [&](Request& r) { KyShortestPathsInputTailor(&r.data).cost(strangerEdge, 4); },
       L"an owner of \"shortestPaths:edge:cost\" is the edge at position 0 of a graph that the "
       L"document does not hold"},
      {"node owner", [&](Request& r) { KyShortestPathsInputTailor(&r.data).cost(stranger, 4); },
       L"an owner of \"shortestPaths:node:cost\" is the node at position 0"},
      {"graph owner",
       [&](Request& r) { r.data.storeInteger(&other, L"shortestPaths:graph:undirected", 1); },
       L"an owner of \"shortestPaths:graph:undirected\" is a graph that the document does not "
       L"hold"},
      {"start node",
       [&](Request& r) {
         KyShortestPathsInputTailor tailor(&r.data);
         tailor.pGraph(&r.graph);
         tailor.pStartNode(stranger);
       },
       L"the value of \"shortestPaths:graph:startNode\" on \"g0\" refers to the node at position 0 "
       L"of a graph that the document does not hold"},
      {"node list",
       [&](Request& r) {
         auto* list = new KyNodeDList;
         list->appendNode(r.a);
         list->appendNode(stranger);
         r.data.storeOwned(&r.graph, L"rootCause:graph:effectNodeList", list);
       },
       L"the value of \"rootCause:graph:effectNodeList\" on \"g0\" refers to the node at position "
       L"0"},
      {"graph value",
       [&](Request& r) { r.data.storeReference(nullptr, L"all:none:graph", &other); },
       L"the value of \"all:none:graph\" without owner refers to a graph that the document does "
       L"not hold"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Request request;
    c.set(request);
    unsigned char* buffer = reinterpret_cast<unsigned char*>(&other); // must stay as it is
    KyObjectTable table;
    KyAnalysisXMLWriter writer(&buffer, 0, 0);
    writer.pObjectTable(&table);
    writer.pGraph(&request.graph);
    writer.pServiceInputData(&request.data);
    EXPECT_EQ(writer.write(), 0);
    EXPECT_NE(std::wstring(writer.pErrorMessage()).find(c.message), std::wstring::npos)
        << kytest::narrow(writer.pErrorMessage());
    EXPECT_EQ(buffer, reinterpret_cast<unsigned char*>(&other));
    EXPECT_EQ(writer.outputSize(), 0u);
    EXPECT_EQ(table.length(), 0);
    // The serializer writes the request's own graph: one that is the
    // stranger is written whole.
    unsigned char* bytes = nullptr;
    unsigned long length = 0;
    const int serialized =
        KyAnalysisSerializer().pInputDataToString(&request.data, nullptr, bytes, &length);
    EXPECT_EQ(serialized, std::string(c.what) == "graph value" ? 1 : 0);
    if (serialized == 0) {
      EXPECT_EQ(bytes, nullptr);
    }
    delete[] bytes;

    // Named by the caller's table, the strangers are found when read back
    // with that table.
    KyObjectTable named;
    named.setID(L"other", &other);
    named.setID(L"stranger", stranger);
    named.setID(L"strangerEdge", strangerEdge);
    unsigned char* written = nullptr;
    KyAnalysisXMLWriter withTable(&written, 0, 0);
    withTable.pObjectTable(&named);
    withTable.pGraph(&request.graph);
    withTable.pServiceInputData(&request.data);
    EXPECT_EQ(withTable.write(), 1) << kytest::narrow(withTable.pErrorMessage());
    delete[] written;
  }
}

// A writer on a function hands it the same bytes, in order, that a writer
// on a buffer makes, in several pieces for a document of some megabytes,
// and gives the object table the same identifiers, whether it hands them
// as they are made or after; a failed write hands it nothing and names
// nothing.
TEST(KyAnalysisXMLWriter, PiecesHoldTheDocumentABufferHolds) {
  Request request;
  KyShortestPathsInputTailor tailor(&request.data);
  tailor.pGraph(&request.graph);
  KyNode* last = request.c;
  for (int i = 0; i < 40000; ++i) {
    KyNode* node = request.graph.addNode();
    node->pName((L"station " + std::to_wstring(i)).c_str());
    tailor.cost(request.graph.addEdge(last, node), i);
    last = node;
  }
  for (const auto& [indenting, asMade] :
       {std::pair(0, 0), std::pair(1, 0), std::pair(0, 1), std::pair(1, 1)}) {
    SCOPED_TRACE("indenting " + std::to_string(indenting) + ", as made " + std::to_string(asMade));
    unsigned char* buffer = nullptr;
    KyObjectTable bufferTable;
    KyAnalysisXMLWriter whole(&buffer, indenting, 0);
    whole.pObjectTable(&bufferTable);
    whole.pGraph(&request.graph);
    whole.pServiceInputData(&request.data);
    ASSERT_EQ(whole.write(), 1) << kytest::narrow(whole.pErrorMessage());
    const std::unique_ptr<unsigned char[]> owned(buffer);

    std::string pieces;
    int count = 0;
    KyObjectTable piecesTable;
    KyAnalysisXMLWriter inPieces(
        [&](const unsigned char* bytes, std::size_t length) {
          pieces.append(reinterpret_cast<const char*>(bytes), length);
          ++count;
        },
        indenting, 0);
    inPieces.handingAsMade(asMade);
    inPieces.pObjectTable(&piecesTable);
    inPieces.pGraph(&request.graph);
    inPieces.pServiceInputData(&request.data);
    ASSERT_EQ(inPieces.write(), 1) << kytest::narrow(inPieces.pErrorMessage());
    EXPECT_EQ(pieces, std::string(reinterpret_cast<const char*>(buffer), whole.outputSize()));
    EXPECT_EQ(inPieces.outputSize(), whole.outputSize());
    EXPECT_GT(count, 2);
    ASSERT_EQ(piecesTable.length(), bufferTable.length());
    for (const KyObject* object :
         {static_cast<const KyObject*>(&request.graph), static_cast<const KyObject*>(request.a),
          static_cast<const KyObject*>(last), static_cast<const KyObject*>(request.ca)})
      EXPECT_EQ(std::wstring(piecesTable.pID(object)), std::wstring(bufferTable.pID(object)));
  }

  KyGraph other;
  KyNodeDList members;
  members.appendNode(other.addNode());
  KyClusteringInputTailor(&request.data).addSameClusterConstraint(&members);
  for (const int asMade : {0, 1}) {
    int count = 0;
    KyObjectTable table;
    KyAnalysisXMLWriter failing([&count](const unsigned char*, std::size_t) { ++count; }, 1, 0);
    failing.handingAsMade(asMade);
    failing.pObjectTable(&table);
    failing.pGraph(&request.graph);
    failing.pServiceInputData(&request.data);
    EXPECT_EQ(failing.write(), 0) << asMade;
    EXPECT_EQ(count, 0) << asMade;
    EXPECT_EQ(failing.outputSize(), 0u) << asMade;
    EXPECT_EQ(table.length(), 0) << asMade;
  }
}

// A manager without "parent" was read as a manager of no graph, which the
// clustering request never looks at: the read now fails and changes nothing.
TEST(KyAnalysisServiceName, AConstraintManagerOfNoGraphFailsTheRead) {
  std::string text = withConstraints("<c><type value=\"differentClusters\"/></c>");
  text.replace(text.find(" parent=\"g0\""), 12, "");
  const Loaded loaded(text);
  EXPECT_EQ(loaded.result, 0);
  EXPECT_NE(loaded.error.find("names no parent graph"), std::string::npos) << loaded.error;
  EXPECT_EQ(loaded.data.numberOfValues(), 0);
}

} // namespace
