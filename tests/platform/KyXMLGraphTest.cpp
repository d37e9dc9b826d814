// Graph documents: round trips in memory and in files, and documents that
// must be refused without touching the graph or the object table.
#include "platform/KyXMLTesting.h"

#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraphXMLReader.h>
#include <kyplatform/KyGraphXMLWriter.h>
#include <kyplatform/KyObjectTable.h>

#include <gtest/gtest.h>

#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using kytest::readDocument;
using kytest::writeDocument;

struct Sample {
  KyGraph graph;
  KyNode* a = graph.addNode();
  KyNode* b = graph.addNode();
  KyNode* c = graph.addNode();
  KyNode* d = graph.addNode();
  Sample() {
    a->pName(L"A");
    c->pName(L"");
    d->pName(L"<&\"'>\t\n\r \U0001F600 \u00e9");
    graph.addEdge(a, b);
    graph.addEdge(a, b)->pName(L"parallel");
    graph.addEdge(c, c)->pName(L"loop");
    graph.addEdge(b, a);
  }
};

std::wstring nameOf(const KyGraphMember* member) {
  return member->pName() != nullptr ? L"[" + std::wstring(member->pName()) + L"]" : L"none";
}

// Same structure and names, member by member; the tables name the members
// alike.
void expectSameGraph(const KyGraph& original, const KyObjectTable& written, const KyGraph& copy,
                     const KyObjectTable& read) {
  ASSERT_EQ(copy.numberOfNodes(), original.numberOfNodes());
  ASSERT_EQ(copy.numberOfEdges(), original.numberOfEdges());
  EXPECT_STREQ(read.pID(&copy), written.pID(&original));
  for (KyNodeDListIter o(original.pNodeList()), c(copy.pNodeList()); o; ++o, ++c) {
    EXPECT_EQ(nameOf(c.pNode()), nameOf(o.pNode()));
    EXPECT_STREQ(read.pID(c.pNode()), written.pID(o.pNode()));
  }
  for (KyEdgeDListIter o(original.pEdgeList()), c(copy.pEdgeList()); o; ++o, ++c) {
    EXPECT_EQ(nameOf(c.pEdge()), nameOf(o.pEdge()));
    EXPECT_EQ(c.pEdge()->pSourceNode()->index(), o.pEdge()->pSourceNode()->index());
    EXPECT_EQ(c.pEdge()->pTargetNode()->index(), o.pEdge()->pTargetNode()->index());
    EXPECT_STREQ(read.pID(c.pEdge()), written.pID(o.pEdge()));
  }
}

// Writes `graph` to memory with `written` as the table, reads it back and
// compares.
void expectRoundTrip(KyGraph& graph, KyObjectTable& written, int indenting = 0) {
  KyGraphXMLWriter graphWriter;
  const kytest::Written document = writeDocument(
      [&](KyCompositeXMLWriter& writer) {
        writer.pObjectTable(&written);
        writer.setWriter(L"graph", &graphWriter);
        writer.setObjectToWrite(L"graph", &graph);
      },
      indenting);
  ASSERT_EQ(document.result, 1) << std::string(document.error.begin(), document.error.end());
  KyGraph copy;
  KyGraphXMLReader graphReader;
  KyObjectTable read;
  ASSERT_EQ(readDocument(document.text,
                         [&](KyCompositeXMLReader& reader) {
                           reader.pObjectTable(&read);
                           reader.setReader(L"graph", &graphReader);
                           reader.setFirstObjectToRead(L"graph", &copy);
                         }),
            1);
  expectSameGraph(graph, written, copy, read);
}

TEST(KyXMLGraphTest, GraphsRoundTripInMemoryWithAndWithoutIndenting) {
  for (int indenting : {0, 1}) {
    Sample sample;
    KyObjectTable written;
    expectRoundTrip(sample.graph, written, indenting);
    EXPECT_EQ(written.length(), 1 + 4 + 4);
    EXPECT_STREQ(written.pID(sample.b), L"n1");
  }
}

// A thread's parser works in memory of its own that it keeps between
// reads. Once it has read a few documents, reading any of them again
// neither takes from the heap nor gives back to it, whichever came last;
// without that, a long-running reader's heap would swing with every
// request, and a fuzzer would take each swing for a leak.
TEST(KyXMLGraphTest, ReadingDocumentsAgainLeavesTheHeapAsItWas) {
  const auto write = [](KyGraph& graph) {
    KyGraphXMLWriter graphWriter;
    KyObjectTable table;
    return writeDocument([&](KyCompositeXMLWriter& writer) {
             writer.pObjectTable(&table);
             writer.setWriter(L"graph", &graphWriter);
             writer.setObjectToWrite(L"graph", &graph);
           })
        .text;
  };
  Sample sample;
  KyGraph nodesOnly;
  nodesOnly.addNode();
  const std::string documents[] = {write(sample.graph), write(nodesOnly)};
  const auto read = [](const std::string& text) {
    KyGraph copy;
    KyGraphXMLReader graphReader;
    KyObjectTable table;
    return readDocument(text, [&](KyCompositeXMLReader& reader) {
      reader.pObjectTable(&table);
      reader.setReader(L"graph", &graphReader);
      reader.setFirstObjectToRead(L"graph", &copy);
    });
  };
  const auto heapInUse = [] {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
  };
  for (int round = 0; round < 3; ++round)
    for (const std::string& text : documents)
      ASSERT_EQ(read(text), 1);
  const std::size_t before = heapInUse();
  for (const std::string& text : documents) {
    ASSERT_EQ(read(text), 1);
    EXPECT_EQ(heapInUse(), before);
  }
}

// Enough members that the identifiers made in one write fill several of
// the writer's text blocks: each keeps its own text to the end.
TEST(KyXMLGraphTest, ManyMadeIdentifiersStayDistinctAndReadBack) {
  KyGraph graph;
  constexpr int kNodes = 6000;
  KyNode* first = graph.addNode();
  for (int i = 1; i < kNodes; ++i)
    graph.addNode();
  for (KyNodeDListIter it(graph.pNodeList()); it; ++it)
    graph.addEdge(it.pNode(), first);
  KyObjectTable written;
  expectRoundTrip(graph, written);
  EXPECT_EQ(written.length(), 1 + 2 * kNodes);
  int position = 0;
  for (KyEdgeDListIter it(graph.pEdgeList()); it; ++it, ++position)
    ASSERT_EQ(written.pID(it.pEdge()), L"e" + std::to_wstring(position));
}

TEST(KyXMLGraphTest, TableIdentifiersAreReusedAndNewOnesAvoidTakenNames) {
  Sample sample;
  KyInt stranger(0);
  KyObjectTable table;
  table.setID(L"mine", sample.a);
  table.setID(L"n1", &stranger);
  KyGraphXMLWriter graphWriter;
  const kytest::Written document = writeDocument([&](KyCompositeXMLWriter& writer) {
    writer.pObjectTable(&table);
    writer.setWriter(L"graph", &graphWriter);
    writer.setObjectToWrite(L"graph", &sample.graph);
  });
  ASSERT_EQ(document.result, 1);
  EXPECT_NE(document.text.find("<node id=\"mine\" name=\"A\"/>"), std::string::npos);
  EXPECT_STRNE(table.pID(sample.b), L"n1");
  EXPECT_EQ(table.pObject(L"n1"), &stranger);
}

TEST(KyXMLGraphTest, FilesRoundTripAndUnwritablePlacesFail) {
  const std::string path = "/tmp/kyxml-graph-" + std::to_string(getpid()) + ".xml";
  const std::wstring name(path.begin(), path.end());
  Sample sample;
  KyGraphXMLWriter graphWriter;
  KyObjectTable written;
  KyCompositeXMLWriter writer(name.c_str());
  writer.pObjectTable(&written);
  writer.setWriter(L"graph", &graphWriter);
  writer.setObjectToWrite(L"graph", &sample.graph);
  ASSERT_EQ(writer.write(), 1);
  EXPECT_GT(writer.outputSize(), 0u);

  KyGraph copy;
  KyGraphXMLReader graphReader;
  KyObjectTable read;
  KyCompositeXMLReader reader(name.c_str());
  reader.pObjectTable(&read);
  reader.setReader(L"graph", &graphReader);
  reader.setFirstObjectToRead(L"graph", &copy);
  ASSERT_EQ(reader.read(), 1);
  expectSameGraph(sample.graph, written, copy, read);
  std::remove(path.c_str());

  KyCompositeXMLWriter nowhere(L"/nonexistent-dir/graph.xml");
  nowhere.setWriter(L"graph", &graphWriter);
  nowhere.setObjectToWrite(L"graph", &sample.graph);
  EXPECT_EQ(nowhere.write(), 0);
  EXPECT_EQ(nowhere.outputSize(), 0u);
  EXPECT_NE(std::wstring(nowhere.pErrorMessage()).find(L"nonexistent-dir"), std::wstring::npos);
  KyCompositeXMLReader missing(L"/nonexistent-dir/graph.xml");
  EXPECT_EQ(missing.read(), 0);
}

TEST(KyXMLGraphTest, FailedWritesLeaveTheBufferAndTableAlone) {
  Sample sample;
  sample.b->pName(L"bell\x07");
  KyGraphXMLWriter graphWriter;
  KyObjectTable table;
  unsigned char sentinel = 0;
  unsigned char* buffer = &sentinel;
  KyCompositeXMLWriter writer(&buffer, 0, 0);
  writer.pObjectTable(&table);
  writer.setWriter(L"graph", &graphWriter);
  writer.setObjectToWrite(L"graph", &sample.graph);
  EXPECT_EQ(writer.write(), 0) << "XML cannot carry a bell character";
  writer.setWriter(L"graph", nullptr);
  EXPECT_EQ(writer.write(), 0) << "an object needs a writer";
  EXPECT_EQ(buffer, &sentinel);
  EXPECT_EQ(table.length(), 0);
  EXPECT_STRNE(writer.pErrorMessage(), L"");
}

TEST(KyXMLGraphTest, AnEmptyPartReadsAsNoGraphAndANullGraphWritesOne) {
  KyGraphXMLWriter graphWriter;
  const kytest::Written document = writeDocument(
      [&](KyCompositeXMLWriter& writer) { writer.setWriter(L"graph", &graphWriter); });
  ASSERT_EQ(document.result, 1);
  KyGraph copy;
  KyGraphXMLReader graphReader;
  EXPECT_EQ(readDocument(document.text,
                         [&](KyCompositeXMLReader& reader) {
                           reader.setReader(L"graph", &graphReader);
                           reader.setObjectToRead(L"graph", &copy);
                         }),
            1);
  EXPECT_EQ(copy.numberOfNodes(), 0);
}

// Documents that must be refused quickly, revealing nothing, with the graph
// and the object table untouched.
TEST(KyXMLGraphTest, HostileAndMalformedDocumentsAreRefused) {
  const std::string secretPath = "/tmp/kyxml-secret-" + std::to_string(getpid());
  std::ofstream(secretPath) << "SECRET-CONTENT";
  const std::string graphOpen = "<document><part name=\"graph\"><graph id=\"g\">";
  const std::string graphClose = "</graph></part></document>";
  const std::pair<const char*, std::string> documents[] = {
      {"external entity", "<!DOCTYPE document [<!ENTITY s SYSTEM \"file://" + secretPath +
                              "\">]><document><part name=\"graph\"><graph id=\"&s;\"/></part>"
                              "</document>"},
      {"nested entities",
       "<!DOCTYPE d [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
       "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
       "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\"><!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;\">]>"
       "<document><part name=\"graph\"><graph id=\"&f;\"/></part></document>"},
      {"external DTD", "<!DOCTYPE document SYSTEM \"" + secretPath + "\"><document/>"},
      {"undeclared entity", graphOpen + "<node id=\"&x;\"/>" + graphClose},
      {"truncated", graphOpen + "<node id=\"n0\"/>"},
      {"not XML", "SECRET? no"},
      {"empty", ""},
      {"binary", std::string("\xff\xfe\x00<\x00", 5)},
      {"wrong root", "<graph id=\"g\"/>"},
      {"missing part", "<document/>"},
      {"part twice", "<document><part name=\"graph\"/><part name=\"graph\"/></document>"},
      {"foreign element", "<document><xi:include href=\"" + secretPath + "\"/></document>"},
      {"two graphs", "<document><part name=\"graph\"><graph id=\"g\"/><graph id=\"h\"/></part>"
                     "</document>"},
      {"unknown member", graphOpen + "<node id=\"n0\"/><vertex id=\"v\"/>" + graphClose},
      {"identifier twice", graphOpen + "<node id=\"n0\"/><node id=\"n0\"/>" + graphClose},
      {"graph identifier reused", graphOpen + "<node id=\"g\"/>" + graphClose},
      {"missing identifier", graphOpen + "<node/>" + graphClose},
      {"identifier with space", graphOpen + "<node id=\"n 0\"/>" + graphClose},
      {"dangling end",
       graphOpen + "<node id=\"n0\"/><edge id=\"e0\" source=\"n0\" target=\"n9\"/>" + graphClose},
      {"edge as end", graphOpen +
                          "<node id=\"n0\"/><edge id=\"e0\" source=\"n0\" target=\"n0\"/>"
                          "<edge id=\"e1\" source=\"e0\" target=\"n0\"/>" +
                          graphClose},
  };
  for (const auto& [label, text] : documents) {
    KyGraph graph;
    KyGraphXMLReader graphReader;
    KyObjectTable table;
    std::wstring error;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(readDocument(
                  text,
                  [&](KyCompositeXMLReader& reader) {
                    reader.pObjectTable(&table);
                    reader.setReader(L"graph", &graphReader);
                    reader.setFirstObjectToRead(L"graph", &graph);
                  },
                  &error),
              0)
        << label;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << label;
    EXPECT_EQ(graph.numberOfNodes(), 0) << label;
    EXPECT_EQ(table.length(), 0) << label;
    EXPECT_FALSE(error.empty()) << label;
    EXPECT_EQ(error.find(L"SECRET-CONTENT"), std::wstring::npos) << label;
    EXPECT_EQ(error.find(L'\n'), std::wstring::npos) << label;
  }
  std::remove(secretPath.c_str());
}

TEST(KyXMLGraphTest, ObjectsWithoutReadersAndNamelessPartsAreRefused) {
  KyGraph graph;
  std::wstring error;
  EXPECT_EQ(readDocument(
                "<document><part name=\"graph\"/></document>",
                [&](KyCompositeXMLReader& reader) { reader.setObjectToRead(L"graph", &graph); },
                &error),
            0);
  EXPECT_NE(error.find(L"no reader"), std::wstring::npos);
  KyCompositeXMLReader reader(nullptr, 0);
  EXPECT_EQ(reader.setReader(nullptr, nullptr), nullptr);
  EXPECT_EQ(reader.setObjectToRead(nullptr, &graph), nullptr);
  EXPECT_EQ(reader.read(), 0);
}

} // namespace
