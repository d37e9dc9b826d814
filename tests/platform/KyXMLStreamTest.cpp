// Documents read as they are parsed and written as elements come: node and
// edge readers and writers of the caller's, parts out of their turn, where
// a failure is reported, and what may not stand in or after a document.
#include "platform/KyXMLTesting.h"
#include "support/KyDataTesting.h"
#include "support/KyProcess.h"

#include <kyplatform/KyEdge.h>
#include <kyplatform/KyEdgeIter.h>
#include <kyplatform/KyEdgeXMLReader.h>
#include <kyplatform/KyGraphXMLReader.h>
#include <kyplatform/KyGraphXMLWriter.h>
#include <kyplatform/KyNodeXMLReader.h>
#include <kyplatform/KyNodeXMLWriter.h>
#include <kyplatform/KyObjectTable.h>
#include <kyplatform/KyTopLevelXMLReader.h>

#include <gtest/gtest.h>

#include <xercesc/dom/DOMAttr.hpp>

#include <string>
#include <vector>

namespace {

using kytest::readDocument;
using kytest::writeDocument;

// A node reader and writer that carry a colour beside the name, and read
// every child element's name, as a caller's own would.
class ColourWriter : public KyNodeXMLWriter {
public:
  int populateDOMElement(xercesc::DOMElement& element) override {
    element.setAttribute(u"colour", pNode()->index() % 2 == 0 ? u"red" : u"blue");
    KyXMLUtilities::pCreateElement(L"mark", element);
    return KyNodeXMLWriter::populateDOMElement(element);
  }
};

class ColourReader : public KyNodeXMLReader {
public:
  std::vector<std::u16string> seen;
  int processDOMElement(const xercesc::DOMElement& element) override {
    std::u16string line = element.getAttribute(u"colour");
    for (const xercesc::DOMElement* child = element.getFirstElementChild(); child != nullptr;
         child = child->getNextElementSibling())
      line += u"+" + std::u16string(child->getTagName());
    seen.push_back(line);
    return KyNodeXMLReader::processDOMElement(element);
  }
};

// One graph with a node and edge of every kind.
struct Three {
  KyGraph graph;
  Three() {
    KyNode* a = graph.addNode();
    KyNode* b = graph.addNode();
    KyNode* c = graph.addNode();
    a->pName(L"a&b");
    c->pName(L"c");
    graph.addEdge(a, b)->pName(L"ab");
    graph.addEdge(b, c);
  }
};

TEST(KyXMLStreamTest, NodeReadersAndWritersOfTheCallersGetTheirElements) {
  Three three;
  for (const int indenting : {0, 1}) {
    KyGraphXMLWriter graphWriter;
    ColourWriter colours;
    graphWriter.pNodeWriter(&colours);
    const kytest::Written written = writeDocument(
        [&](KyCompositeXMLWriter& writer) {
          writer.setWriter(L"graph", &graphWriter);
          writer.setObjectToWrite(L"graph", &three.graph);
        },
        indenting);
    ASSERT_EQ(written.result, 1);
    // The caller's attribute goes among the graph writer's in name order.
    EXPECT_NE(written.text.find("<node colour=\"red\" id=\"n0\" name=\"a&amp;b\">"),
              std::string::npos)
        << written.text;
    // Made as one DOM (the document element holds an attribute more), the
    // document is the same text.
    struct WholeDOMWriter : KyCompositeXMLWriter {
      using KyCompositeXMLWriter::KyCompositeXMLWriter;
      int populateDOMElement(xercesc::DOMElement& element) override {
        element.setAttribute(u"dom", u"1");
        return KyCompositeXMLWriter::populateDOMElement(element);
      }
    };
    unsigned char* buffer = nullptr;
    WholeDOMWriter whole(&buffer, indenting, 0);
    whole.setWriter(L"graph", &graphWriter);
    whole.setObjectToWrite(L"graph", &three.graph);
    ASSERT_EQ(whole.write(), 1);
    std::string dom(reinterpret_cast<const char*>(buffer), whole.outputSize());
    delete[] buffer;
    const std::string marked = "<document dom=\"1\">";
    dom.replace(dom.find(marked), marked.size(), "<document>");
    EXPECT_EQ(dom, written.text);

    KyGraph copy;
    KyGraphXMLReader graphReader;
    ColourReader reader;
    graphReader.pNodeReader(&reader);
    ASSERT_EQ(readDocument(written.text,
                           [&](KyCompositeXMLReader& composite) {
                             composite.setReader(L"graph", &graphReader);
                             composite.setFirstObjectToRead(L"graph", &copy);
                           }),
              1);
    EXPECT_EQ(reader.seen, (std::vector<std::u16string>{u"red+mark", u"blue+mark", u"red+mark"}));
    ASSERT_EQ(copy.numberOfNodes(), 3);
    EXPECT_STREQ(copy.pNodeList()->pFirstCell() != nullptr
                     ? KyNode::castDown(copy.pNodeList()->pFirstCell()->pObject())->pName()
                     : nullptr,
                 L"a&b");
    EXPECT_EQ(copy.numberOfEdges(), 2);
  }
}

// A part that comes before its turn is kept and read once the parts before
// it are; edges may name nodes that come after them.
TEST(KyXMLStreamTest, PartsAndMembersOutOfOrderReadAlike) {
  const std::string text =
      "<document><part name=\"second\"><graph id=\"h\"><node id=\"m0\"/></graph></part>"
      "<part name=\"first\"><graph id=\"g\"><edge id=\"e0\" source=\"n1\" target=\"n0\"/>"
      "<node id=\"n0\"/><node id=\"n1\"/></graph></part></document>";
  KyGraph first, second;
  KyGraphXMLReader firstReader, secondReader;
  KyObjectTable table;
  ASSERT_EQ(readDocument(text,
                         [&](KyCompositeXMLReader& reader) {
                           reader.pObjectTable(&table);
                           reader.setReader(L"first", &firstReader);
                           reader.setObjectToRead(L"first", &first);
                           reader.setReader(L"second", &secondReader);
                           reader.setObjectToRead(L"second", &second);
                         }),
            1);
  ASSERT_EQ(first.numberOfEdges(), 1);
  const KyEdge* edge = KyEdge::castDown(first.pEdgeList()->pFirstCell()->pObject());
  EXPECT_EQ(edge->pSourceNode()->index(), 1);
  EXPECT_EQ(edge->pTargetNode()->index(), 0);
  EXPECT_EQ(second.numberOfNodes(), 1);
  EXPECT_EQ(table.length(), 6);
}

// Elements handed on as DOM elements (a node for the caller's node reader,
// a part kept until its turn) whose names the parser takes but DOM refuses
// (a character of plane 7): the read fails and says which element.
TEST(KyXMLStreamTest, NamesDOMRefusesFailTheRead) {
  const std::string refused = "mark\xf1\xb3\x96\x93";
  const std::pair<const char*, std::string> documents[] = {
      {"in a node for the caller's reader",
       "<document><part name=\"first\"><graph id=\"g\"><node id=\"n0\"><" + refused +
           "/></node></graph></part></document>"},
      {"in a part kept until its turn",
       "<document><part name=\"second\"><graph id=\"h\"><" + refused +
           "/></graph></part><part name=\"first\"><graph id=\"g\"/></part></document>"},
      {"as an attribute name of a kept part",
       "<document><part name=\"second\" " + refused +
           "=\"1\"/><part name=\"first\"><graph id=\"g\"/></part></document>"},
  };
  for (const auto& [label, text] : documents) {
    KyGraph first, second;
    KyGraphXMLReader firstReader, secondReader;
    ColourReader colours;
    firstReader.pNodeReader(&colours);
    std::wstring error;
    EXPECT_EQ(readDocument(
                  text,
                  [&](KyCompositeXMLReader& reader) {
                    reader.setReader(L"first", &firstReader);
                    reader.setObjectToRead(L"first", &first);
                    reader.setReader(L"second", &secondReader);
                    reader.setObjectToRead(L"second", &second);
                  },
                  &error),
              0)
        << label;
    EXPECT_NE(error.find(L"cannot be handed on as a DOM element"), std::wstring::npos)
        << label << ": " << std::string(error.begin(), error.end());
    EXPECT_EQ(first.numberOfNodes() + second.numberOfNodes(), 0) << label;
  }
}

/// A document whose elements nest `levels` deep, in a part no reader takes.
std::string deep(int levels) {
  std::string text = "<document><part name=\"graph\"/><part name=\"other\">";
  for (int i = 2; i < levels; ++i)
    text += "<a>";
  for (int i = 2; i < levels; ++i)
    text += "</a>";
  return text + "</part></document>";
}

TEST(KyXMLStreamTest, ElementsNestUpToTheDeepest) {
  KyGraph graph;
  KyGraphXMLReader graphReader;
  std::wstring error;
  EXPECT_EQ(readDocument(
                deep(256),
                [&](KyCompositeXMLReader& reader) {
                  reader.setReader(L"graph", &graphReader);
                  reader.setFirstObjectToRead(L"graph", &graph);
                },
                &error),
            1)
      << kytest::narrow(error.c_str());
}

// What the parser refuses starts with its place; what a reader refuses
// ends with the place of the tag being read. Nothing of a refused document
// reaches the graph.
TEST(KyXMLStreamTest, FailuresSayWhereTheyAre) {
  const struct {
    const char* what;
    std::string text;
    const wchar_t* message;
  } cases[] = {
      {"a reader's fault", "<document>\n<part name=\"graph\">\n  <graph id=\"g\">\n    <vertex/>",
       L"part \"graph\": the graph holds an element \"vertex\" that is neither a node nor an edge "
       L"(line 4, column 14)"},
      {"a parser's fault", "<document>\n<part name=\"graph\">\n<graph id=\"g\"></grph>",
       L"line 3, column 17: expected end of tag "},
      {"a DOCTYPE", "<?xml version=\"1.0\"?>\n<!DOCTYPE document []>\n<document/>",
       L"line 2, column 20: the document has a DOCTYPE; documents with a DOCTYPE are refused"},
      {"a zero byte after the document",
       std::string("<document><part name=\"graph\"/></document>\n\0garbage", 51),
       L"line 2, column 1: the document holds a zero byte, which XML does not allow"},
      {"text after the document", "<document><part name=\"graph\"/></document>text",
       L"line 1, column "},
      // A part no reader takes is skipped at any depth, up to the deepest.
      {"elements 257 deep", deep(257),
       L"line 1, column 815: the elements nest deeper than 256 levels"},
      {"elements 10^6 deep", deep(1000000),
       L"line 1, column 815: the elements nest deeper than 256 levels"},
      // A document in memory is searched for a zero byte before anything
      // in it is read, so the zero byte is the reason given even after an
      // earlier fault of the parser's.
      {"a zero byte after a whole part",
       "<document><part name=\"graph\"><graph id=\"g\"><node id=\"n0\"/></graph></part>\n\n  " +
           std::string(1, '\0') + "</document>",
       L"line 3, column 3: the document holds a zero byte"},
      {"a zero byte after a fault of the parser's, far on",
       "<document><part name=\"graph\"><graph id=\"g\"><node id=\"n0\"/></grph>" +
           std::string(70000, ' ') + std::string(1, '\0'),
       L"line 1, column 70066: the document holds a zero byte"},
  };
  for (const auto& c : cases) {
    KyGraph graph;
    KyGraphXMLReader graphReader;
    std::wstring error;
    EXPECT_EQ(readDocument(
                  c.text,
                  [&](KyCompositeXMLReader& reader) {
                    reader.setReader(L"graph", &graphReader);
                    reader.setFirstObjectToRead(L"graph", &graph);
                  },
                  &error),
              0)
        << c.what;
    EXPECT_EQ(error.rfind(c.message, 0), 0u) << c.what << ": " << kytest::narrow(error.c_str());
    EXPECT_EQ(graph.numberOfNodes(), 0) << c.what;
  }
}

// A file is read as memory is, also when it fails: then the graph read
// into keeps the members it had, lists, links and names, and nothing more.
TEST(KyXMLStreamTest, FilesReadAsMemoryDoes) {
  Three three;
  KyGraphXMLWriter graphWriter;
  const kytest::Written written = writeDocument([&](KyCompositeXMLWriter& writer) {
    writer.setWriter(L"graph", &graphWriter);
    writer.setObjectToWrite(L"graph", &three.graph);
  });
  for (const std::string& text : {written.text, written.text + std::string(1, '\0') + "x"}) {
    const kytest::TempFile file(text, ".xml");
    KyGraph fromFile;
    KyNode* before = fromFile.addNode();
    KyEdge* loop = fromFile.addEdge(before, before);
    before->pName(L"before");
    const KyNodeDList* nodes = fromFile.pNodeList();
    const KyEdgeDList* edges = fromFile.pEdgeList();
    KyGraphXMLReader graphReader;
    const std::wstring path(file.path().begin(), file.path().end());
    KyCompositeXMLReader reader(path.c_str());
    reader.setReader(L"graph", &graphReader);
    reader.setFirstObjectToRead(L"graph", &fromFile);
    const bool whole = text.size() == written.text.size();
    EXPECT_EQ(reader.read(), whole ? 1 : 0) << kytest::narrow(reader.pErrorMessage());
    EXPECT_EQ(fromFile.numberOfNodes(), whole ? 4 : 1);
    EXPECT_EQ(nodes->length(), fromFile.numberOfNodes());
    EXPECT_EQ(edges->length(), fromFile.numberOfEdges());
    EXPECT_EQ(before->numberOfOutEdges(), 1);
    EXPECT_EQ(before->numberOfInEdges(), 1);
    EXPECT_STREQ(before->pName(), L"before");
    if (!whole) {
      EXPECT_EQ(fromFile.numberOfEdges(), 1);
      EXPECT_EQ(KyOutEdgeIter(before, KY_ITER_BACKWARD).pEdge(), loop);
      EXPECT_EQ(KyInEdgeIter(before, KY_ITER_BACKWARD).pEdge(), loop);
      EXPECT_EQ(edges->pLastCell()->pObject(), loop);
      // The graph grows on as before.
      KyNode* after = fromFile.addNode();
      EXPECT_EQ(after->index(), 1);
      EXPECT_EQ(after->pName(), nullptr);
      EXPECT_EQ(fromFile.addEdge(before, after)->index(), 1);
      EXPECT_EQ(before->numberOfOutEdges(), 2);
    }
  }
}

// Identifiers as writers make them are kept by number, the others by
// text; both must name alike and refuse a second use, whatever the number.
TEST(KyXMLStreamTest, IdentifiersOfEveryFormNameTheirMembers) {
  const std::vector<std::string> ids = {"n0", "n01", "n999999999", "n4000000000", "x",
                                        "n2", "N3",  "z1",         "n1024",       "e0"};
  std::string nodes, edges;
  for (std::size_t i = 0; i < ids.size(); ++i) {
    nodes += "<node id=\"" + ids[i] + "\"/>";
    edges += "<edge id=\"edge" + std::to_string(i) + "\" source=\"" + ids[i] + "\" target=\"" +
             ids[(i + 1) % ids.size()] + "\"/>";
  }
  const auto read = [](const std::string& members, KyGraph& graph, KyObjectTable& table) {
    KyGraphXMLReader graphReader;
    return readDocument("<document><part name=\"graph\"><graph id=\"g\">" + members +
                            "</graph></part></document>",
                        [&](KyCompositeXMLReader& reader) {
                          reader.pObjectTable(&table);
                          reader.setReader(L"graph", &graphReader);
                          reader.setFirstObjectToRead(L"graph", &graph);
                        });
  };
  KyGraph graph;
  KyObjectTable table;
  ASSERT_EQ(read(edges + nodes, graph, table), 1);
  EXPECT_EQ(table.length(), static_cast<int>(2 * ids.size() + 1));
  int position = 0;
  for (KyNodeDListIter it(graph.pNodeList()); it; ++it, ++position)
    EXPECT_EQ(table.pObject(std::wstring(ids[position].begin(), ids[position].end()).c_str()),
              it.pNode());
  for (KyEdgeDListIter it(graph.pEdgeList()); it; ++it)
    EXPECT_EQ(it.pEdge()->pTargetNode()->index(), (it.pEdge()->pSourceNode()->index() + 1) % 10);
  for (const std::string& twice : ids) {
    KyGraph again;
    KyObjectTable untouched;
    EXPECT_EQ(read(nodes + "<node id=\"" + twice + "\"/>", again, untouched), 0) << twice;
    EXPECT_EQ(again.numberOfNodes(), 0) << twice;
  }
}

} // namespace
