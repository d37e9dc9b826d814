// Answer documents: the documented form, and answers that cannot be read
// onto the request's objects changing nothing.
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisSerializer.h>
#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyanalysis/KyPair.h>
#include <kyanalysis/KyShortestPathsInputTailor.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyObjectTable.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyText.h>
#include <kyplatform/KyXMLUtilities.h>
#include <kyplatform/KyXMLWriteStop.h>

#include "remote/KyRemoteTesting.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <thread>

namespace {

std::string base64(const std::string& text) {
  unsigned long length = 0;
  const std::unique_ptr<unsigned char[]> encoded(KyXMLUtilities::encodeBase64(
      reinterpret_cast<const unsigned char*>(text.data()), text.size(), &length));
  return std::string(reinterpret_cast<const char*>(encoded.get()), length);
}

std::string unbase64(const unsigned char* text) {
  unsigned long length = 0;
  const std::unique_ptr<unsigned char[]> decoded(KyXMLUtilities::decodeBase64(text, &length));
  return std::string(reinterpret_cast<const char*>(decoded.get()), length);
}

/// The request of docs/xml-format.md: the cheapest path from A to C over
/// A -> B -> C (costs 2 and 3) and A -> C (cost 9), named as the client's
/// table names them.
struct Roads {
  Roads() {
    KyShortestPathsInputTailor tailor(&input);
    tailor.pGraph(&graph);
    tailor.setAsCurrentOperation();
    tailor.pStartNode(a);
    tailor.pFinishNode(c);
    tailor.cost(ab, 2);
    tailor.cost(bc, 3);
    tailor.cost(ac, 9);
    table.setID(L"roads", &graph);
    table.setID(L"A", a);
    table.setID(L"B", b);
    table.setID(L"C", c);
    table.setID(L"AB", ab);
    table.setID(L"BC", bc);
    table.setID(L"AC", ac);
  }
  KyGraph graph;
  KyNode* a = graph.addNode();
  KyNode* b = graph.addNode();
  KyNode* c = graph.addNode();
  KyEdge* ab = graph.addEdge(a, b);
  KyEdge* bc = graph.addEdge(b, c);
  KyEdge* ac = graph.addEdge(a, c);
  KyServiceInputData input;
  KyObjectTable table;
};

TEST(KyAnswerDocument, TheDocumentedAnswerIsWrittenAndReadBack) {
  Roads roads;
  KyServiceOutputData answer;
  ASSERT_EQ(KyLocalAnalysisService().run(&roads.input, &answer), 0);
  unsigned char* bytes = nullptr;
  unsigned long length = 0;
  ASSERT_EQ(KyAnalysisSerializer().pOutputDataToString(&answer, &roads.table, bytes, &length), 1);
  const std::unique_ptr<unsigned char[]> held(bytes);
  EXPECT_EQ(unbase64(bytes),
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>"
            "<document><part name=\"graph\"/><part name=\"answer\">"
            "<result key=\"errorCode\" type=\"Integer\"><entry value=\"0\"/></result>"
            "<result key=\"shortestPaths:none:edgeList\" type=\"List&lt;KyEdge>\">"
            "<entry value=\"AB BC\"/></result>"
            "<result key=\"shortestPaths:none:pathExists\" type=\"Boolean\">"
            "<entry value=\"true\"/></result>"
            "<result key=\"shortestPaths:none:totalCost\" type=\"Integer\">"
            "<entry value=\"5\"/></result>"
            "</part></document>");

  KyServiceOutputData back;
  ASSERT_EQ(KyAnalysisSerializer().pOutputDataFromString(bytes, &roads.table, &back), 1);
  EXPECT_EQ(back.numberOfValues(), 4);
  EXPECT_NE(back.pServiceName(), nullptr);
  const auto* path = dynamic_cast<const KyDList*>(
      back.pValue(nullptr, KyAnalysisKey::shortestPaths::noneEdgeList));
  ASSERT_NE(path, nullptr);
  ASSERT_EQ(path->length(), 2);
  EXPECT_EQ(path->pFirstCell()->pObject(), roads.ab);
  EXPECT_EQ(path->pLastCell()->pObject(), roads.bc);
}

TEST(KyAnswerDocument, AnAnswerThatCannotBeReadChangesNothing) {
  struct Case {
    const char* name;
    std::string part;
  };
  const std::string pair = "allPairsShortestPaths:(KyNode,KyNode):totalCost";
  const Case cases[] = {
      {"an unknown result", R"(<result key="shortestPaths:none:length" type="Integer">)"
                            R"(<entry value="1"/></result>)"},
      {"a type other than the description's",
       R"(<result key="errorCode" type="Boolean"><entry value="true"/></result>)"},
      {"a value that is not its type",
       R"(<result key="errorCode" type="Integer"><entry value="1.5"/></result>)"},
      {"an entry without value", R"(<result key="errorCode" type="Integer"><entry/></result>)"},
      {"an owner that names nothing",
       R"(<result key="breadthFirstSearch:node:orderNumber" type="Integer">)"
       R"(<entry owner="Z" value="1"/></result>)"},
      {"a node result without owner",
       R"(<result key="breadthFirstSearch:node:orderNumber" type="Integer">)"
       R"(<entry value="1"/></result>)"},
      {"an edge where a node owns",
       R"(<result key="breadthFirstSearch:node:orderNumber" type="Integer">)"
       R"(<entry owner="AB" value="1"/></result>)"},
      {"a pair of one member",
       "<result key=\"" + pair + R"(" type="Integer"><entry owner="A" value="1"/></result>)"},
      {"a pair with an edge",
       "<result key=\"" + pair + R"(" type="Integer"><entry owner="A AB" value="1"/></result>)"},
      {"a list naming a node as an edge",
       R"(<result key="shortestPaths:none:edgeList" type="List&lt;KyEdge&gt;">)"
       R"(<entry value="AB B"/></result>)"},
      {"a list of lists with a value",
       R"(<result key="connectedComponents:none:componentList" type="List&lt;List&lt;KyNode&gt;&gt;">)"
       R"(<entry value="A"/></result>)"},
      {"a list in a result of no lists",
       R"(<result key="errorCode" type="Integer"><entry value="0"><list value="A"/></entry></result>)"},
      {"an option, as in a request",
       R"(<option key="all:none:operation" type="Integer"><entry value="10"/></option>)"},
      {"a good result before a bad one",
       R"(<result key="errorCode" type="Integer"><entry value="0"/></result>)"
       R"(<result key="shortestPaths:none:totalCost" type="Integer"><entry value="x"/></result>)"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    Roads roads;
    KyServiceOutputData output;
    output.storeOwned(nullptr, KyAnalysisKey::errorCode, new KyInt(7));
    const std::string text = base64("<document><part name=\"graph\"/><part name=\"answer\">" +
                                    test.part + "</part></document>");
    EXPECT_EQ(KyAnalysisSerializer().pOutputDataFromString(
                  reinterpret_cast<const unsigned char*>(text.c_str()), &roads.table, &output),
              0);
    EXPECT_EQ(output.numberOfValues(), 1);
    EXPECT_EQ(output.getValueAsInteger(nullptr, KyAnalysisKey::errorCode), 7);
    EXPECT_EQ(output.pServiceName(), nullptr);
    EXPECT_EQ(roads.table.length(), 7);
  }
}

TEST(KyAnswerDocument, AGraphWithMembersStaysWithTheAnswerWhateverItNamesThere) {
  Roads roads;
  const std::string text =
      base64("<document><part name=\"graph\"><graph id=\"p\"><node id=\"p0\"/></graph></part>"
             "<part name=\"answer\">"
             "<result key=\"sortedPaths:none:pathGraph\" type=\"KyGraph\">"
             "<entry value=\"roads\"/></result>"
             "<result key=\"sortedPaths:none:rootNode\" type=\"KyNode\">"
             "<entry value=\"p0\"/></result></part></document>");
  KyServiceOutputData output;
  ASSERT_EQ(KyAnalysisSerializer().pOutputDataFromString(
                reinterpret_cast<const unsigned char*>(text.c_str()), &roads.table, &output),
            1);
  const auto* graph = dynamic_cast<const KyGraph*>(
      output.pValue(nullptr, KyAnalysisKey::sortedPaths::nonePathGraph));
  ASSERT_NE(graph, nullptr);
  EXPECT_NE(graph, &roads.graph);
  EXPECT_EQ(graph->numberOfNodes(), 1);
  const auto* root =
      dynamic_cast<const KyNode*>(output.pValue(nullptr, KyAnalysisKey::sortedPaths::noneRootNode));
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->pOwnerGraph(), graph);
}

// A stop living on the writing thread is asked as the results are written
// and ends the write once it says so; one on another thread, or one that
// says no, changes nothing.
TEST(KyAnswerDocument, AStopOnTheWritingThreadEndsTheWriteOfALongAnswer) {
  // All pairs along a chain of 60 nodes: 3,660 pair results and more.
  kytest::RemoteCase chain(OPERATION_ALL_PAIRS_SHORTEST_PATHS, 60, 0, 1u);
  KyServiceOutputData answer;
  ASSERT_EQ(KyLocalAnalysisService().run(&chain.input, &answer), 0);
  const auto write = [&answer](unsigned long& length) {
    KyObjectTable table;
    unsigned char* bytes = nullptr;
    length = 0;
    const int wrote = KyAnalysisSerializer().pOutputDataToString(&answer, &table, bytes, &length);
    const std::unique_ptr<unsigned char[]> held(bytes);
    EXPECT_EQ(wrote == 0, bytes == nullptr);
    return wrote;
  };
  unsigned long plain = 0;
  ASSERT_EQ(write(plain), 1);

  unsigned long length = 0;
  int asked = 0;
  {
    const KyXMLWriteStop never([&asked] { return ++asked < 0; });
    EXPECT_EQ(write(length), 1);
    EXPECT_EQ(length, plain);
    EXPECT_GE(asked, 1) << "asked while the results are written";
  }
  asked = 0;
  {
    const KyXMLWriteStop second([&asked] { return ++asked == 2; });
    EXPECT_EQ(write(length), 0) << "stopped when asked the second time";
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(length, 0u);
    {
      const KyXMLWriteStop inner([] { return false; });
      EXPECT_EQ(write(length), 1) << "the innermost stop decides";
    }
    std::thread elsewhere([&] { EXPECT_EQ(write(length), 1) << "another thread goes on"; });
    elsewhere.join();
  }
  EXPECT_EQ(write(length), 1) << "no stop once the scope has ended";
}

// A name of the analysis service that writes integers and owners its own
// way: the writers must ask it, not write the texts they know.
class MarkingServiceName : public KyAnalysisServiceName {
public:
  KyText* pConvertValueToString(const KyObject* value, const wchar_t* valueType,
                                KyXMLWriter* writer) override {
    return marked(KyAnalysisServiceName::pConvertValueToString(value, valueType, writer));
  }
  KyText* pConvertOwnerToString(const KyObject* owner, const wchar_t* ownerType,
                                KyXMLWriter* writer) override {
    return marked(KyAnalysisServiceName::pConvertOwnerToString(owner, ownerType, writer));
  }

private:
  static KyText* marked(KyText* text) {
    if (text == nullptr)
      return nullptr;
    auto* mark = new KyText((std::wstring(L"~") + text->pValue()).c_str());
    text->vRelease();
    return mark;
  }
};

// Integers at the edges of their range, booleans of every integer, and
// owners that are pairs of nodes, written through the analysis service's
// own name and through one that converts its own way.
TEST(KyAnswerDocument, IntegersAndPairsAreWrittenAsTheNameConvertsThem) {
  Roads roads;
  const wchar_t* pair = KyAnalysisKey::allPairsShortestPaths::pairTotalCost;
  const auto answerText = [&roads, pair](KyServiceName* name) {
    KyServiceOutputData answer;
    answer.pServiceName(name);
    answer.storeInteger(nullptr, KyAnalysisKey::errorCode, INT_MIN);
    answer.storeInteger(nullptr, KyAnalysisKey::shortestPaths::nonePathExists, -5);
    answer.storeInteger(new KyPair(roads.a, roads.c), pair, INT_MAX, 1);
    answer.storeInteger(new KyPair(roads.c, roads.a), pair, -1, 1);
    answer.storeInteger(new KyPair(roads.b, roads.b), pair, 0, 1);
    // A KyInt handed over reads as the integer it holds.
    answer.storeOwned(nullptr, KyAnalysisKey::shortestPaths::noneTotalCost, new KyInt(0));
    unsigned char* bytes = nullptr;
    unsigned long length = 0;
    EXPECT_EQ(KyAnalysisSerializer().pOutputDataToString(&answer, &roads.table, bytes, &length), 1);
    const std::unique_ptr<unsigned char[]> held(bytes);
    const std::string text = bytes != nullptr ? unbase64(bytes) : "";
    const std::size_t part = text.find("<part name=\"answer\">");
    return part == std::string::npos ? text : text.substr(part);
  };
  // `mark` before every text that the name converts; a few pairs come in
  // the order of their index.
  const auto expected = [](const std::string& mark) {
    const auto entry = [&mark](const std::string& owner, const std::string& value) {
      return "<entry" + (owner.empty() ? "" : " owner=\"" + mark + owner + "\"") + " value=\"" +
             mark + value + "\"/>";
    };
    return "<part name=\"answer\">"
           "<result key=\"allPairsShortestPaths:(KyNode,KyNode):totalCost\" type=\"Integer\">" +
           entry("A C", "2147483647") + entry("B B", "0") + entry("C A", "-1") +
           "</result><result key=\"errorCode\" type=\"Integer\">" + entry("", "-2147483648") +
           "</result><result key=\"shortestPaths:none:pathExists\" type=\"Boolean\">" +
           entry("", "true") +
           "</result><result key=\"shortestPaths:none:totalCost\" type=\"Integer\">" +
           entry("", "0") + "</result></part></document>";
  };
  EXPECT_EQ(answerText(new KyAnalysisServiceName), expected(""));
  EXPECT_EQ(answerText(new MarkingServiceName), expected("~"));
}

// The request's integers go through a name that converts its own way too.
TEST(KyAnswerDocument, ARequestIsWrittenAsItsNameConvertsIt) {
  const auto requestText = [](KyServiceName* name) {
    Roads roads;
    roads.input.pServiceName(name);
    roads.input.storeInteger(roads.a, KyAnalysisKey::reachableNodes::nodeCost, INT_MIN);
    unsigned char* bytes = nullptr;
    unsigned long length = 0;
    EXPECT_EQ(KyAnalysisSerializer().pInputDataToString(&roads.input, &roads.table, bytes, &length),
              1);
    const std::unique_ptr<unsigned char[]> held(bytes);
    return bytes != nullptr ? unbase64(bytes) : "";
  };
  const std::string plain = requestText(new KyAnalysisServiceName);
  EXPECT_NE(plain.find("<entry owner=\"AB\" value=\"2\"/>"), std::string::npos) << plain;
  EXPECT_NE(plain.find("<entry owner=\"A\" value=\"-2147483648\"/>"), std::string::npos) << plain;
  const std::string marked = requestText(new MarkingServiceName);
  EXPECT_NE(marked.find("<entry owner=\"AB\" value=\"~2\"/>"), std::string::npos) << marked;
  EXPECT_NE(marked.find("<entry owner=\"A\" value=\"~-2147483648\"/>"), std::string::npos)
      << marked;
  EXPECT_EQ(marked.find("value=\"2\""), std::string::npos) << marked;
}

} // namespace
