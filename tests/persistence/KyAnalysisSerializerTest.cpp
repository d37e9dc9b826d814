// The base-64 form of a request: every option of every analysis round trips
// onto a new graph, and hostile strings change nothing.
#include "persistence/KyPersistenceTesting.h"

#include <kyanalysis/KyAnalysisOptionDescriptionManager.h>
#include <kyanalysis/KyAnalysisSerializer.h>
#include <kyanalysis/KyClusteringInputTailor.h>
#include <kyplatform/KyObjectTable.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyXMLUtilities.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>

namespace {

using kytest::describe;
using kytest::Request;

std::string encode(const std::string& text) {
  unsigned long length = 0;
  std::unique_ptr<unsigned char[]> encoded(KyXMLUtilities::encodeBase64(
      reinterpret_cast<const unsigned char*>(text.data()), text.size(), &length));
  return std::string(reinterpret_cast<const char*>(encoded.get()), length);
}

std::string toString(KyServiceInputData& data, KyObjectTable* table = nullptr) {
  KyAnalysisSerializer serializer;
  unsigned char* bytes = nullptr;
  unsigned long length = 0;
  EXPECT_EQ(serializer.pInputDataToString(&data, table, bytes, &length), 1);
  const std::unique_ptr<unsigned char[]> owned(bytes);
  return bytes != nullptr ? std::string(reinterpret_cast<const char*>(bytes), length) : "";
}

// A request read back with the graph it brought; frees the graph.
struct ReadBack {
  KyServiceInputData data;
  int result = 0;
  ~ReadBack() {
    if (result == 1)
      delete dynamic_cast<KyGraph*>(data.pValue(nullptr, L"all:none:graph"));
  }
};

void readInto(ReadBack& back, const std::string& text, KyObjectTable* table = nullptr) {
  back.result = KyAnalysisSerializer().pInputDataFromString(
      reinterpret_cast<const unsigned char*>(text.c_str()), table, &back.data);
}

// Sets every option whose key starts with `word` to a value that differs
// from its default, on the owner its scope names. Returns how many.
int setEveryOption(Request& request, const std::wstring& word) {
  KyAnalysisOptionDescriptionManager descriptions;
  int set = 0;
  for (KyDListIter it(descriptions.pDescriptionList()); it; ++it) {
    const auto* option = dynamic_cast<const KyServiceOptionDescription*>(it.pObject());
    const std::wstring key = option->pKey();
    if (key.compare(0, word.size() + 1, word + L":") != 0)
      continue;
    const std::wstring owner = option->pOwnerType();
    const std::wstring type = option->pValueType();
    KyObject* on = owner == L"KyGraph"  ? static_cast<KyObject*>(&request.graph)
                   : owner == L"KyNode" ? static_cast<KyObject*>(request.b)
                   : owner == L"KyEdge" ? static_cast<KyObject*>(request.bc)
                                        : nullptr;
    const auto* integer = dynamic_cast<const KyInt*>(option->pDefaultValue());
    const auto* real = dynamic_cast<const KyDouble*>(option->pDefaultValue());
    if (type == L"Integer") {
      // Half the default differs from it unless it is 0, and never overflows.
      const int from = integer ? integer->value() : 0;
      request.data.setValue(on, option->pKey(), new KyInt(from != 0 ? from / 2 : 7), 1, 0);
    } else if (type == L"Boolean") {
      request.data.setValue(on, option->pKey(), new KyInt(integer && integer->value() ? 0 : 1), 1,
                            0);
    } else if (type == L"Double") {
      request.data.setValue(on, option->pKey(), new KyDouble((real ? real->value() : 0) + 0.1), 1,
                            0);
    } else if (type == L"KyGraph") {
      if (key != L"all:none:graph")
        request.data.setValue(on, option->pKey(), &request.graph, 0, 0);
    } else if (type == L"KyNode") {
      request.data.setValue(on, option->pKey(), request.c, 0, 0);
    } else if (type == L"List<KyNode>") {
      auto* list = new KyNodeDList;
      list->appendNode(request.c);
      list->appendNode(request.a);
      list->appendNode(request.c);
      request.data.setValue(on, option->pKey(), list, 1, 0);
    } else if (type == L"KyConstraintManager") {
      KyClusteringInputTailor tailor(&request.data);
      KyNodeDList nodes;
      nodes.appendNode(request.c);
      nodes.appendNode(request.a);
      tailor.addDifferentClusterConstraint(&nodes)->fulfilled(1);
      tailor.addCompleteClusterConstraint(nullptr);
    } else {
      ADD_FAILURE() << "no test value for the type of " << kytest::narrow(option->pKey());
    }
    ++set;
  }
  return set;
}

TEST(KyAnalysisSerializer, EveryOptionOfEveryAnalysisRoundTripsOntoANewGraph) {
  KyAnalysisOptionDescriptionManager descriptions;
  std::set<std::wstring> words;
  int options = 0;
  for (KyDListIter it(descriptions.pDescriptionList()); it; ++it, ++options) {
    const std::wstring key = dynamic_cast<const KyServiceItemDescription*>(it.pObject())->pKey();
    if (key.compare(0, 4, L"all:") != 0)
      words.insert(key.substr(0, key.find(L':')));
  }
  ASSERT_EQ(options, 75);

  // One request per operation code; the analyses with options take their
  // turn, each with all of its options set.
  auto word = words.begin();
  int covered = 0;
  for (int operation = 0; operation < 23; ++operation) {
    SCOPED_TRACE(operation);
    Request request;
    request.data.setValue(nullptr, L"all:none:operation", new KyInt(operation), 1, 0);
    if (word != words.end())
      covered += setEveryOption(request, *word++);
    ReadBack back;
    readInto(back, toString(request.data));
    ASSERT_EQ(back.result, 1);
    EXPECT_EQ(describe(back.data), describe(request.data));
    const auto* graph = dynamic_cast<const KyGraph*>(back.data.pValue(nullptr, L"all:none:graph"));
    ASSERT_NE(graph, nullptr);
    EXPECT_NE(graph, &request.graph);
    EXPECT_EQ(graph->numberOfNodes(), 3);
    EXPECT_EQ(graph->numberOfEdges(), 3);
  }
  EXPECT_EQ(word, words.end());
  EXPECT_EQ(covered + 2, options);
}

TEST(KyAnalysisSerializer, WritingAttachesAServiceNameAndAMissingGraphReadsAsAnEmptyOne) {
  KyServiceInputData data;
  data.setValue(nullptr, L"all:none:operation", new KyInt(4), 1, 0);
  const std::string text = toString(data);
  EXPECT_NE(dynamic_cast<KyAnalysisServiceName*>(data.pServiceName()), nullptr);
  ReadBack back;
  readInto(back, text);
  ASSERT_EQ(back.result, 1);
  const auto* graph = dynamic_cast<const KyGraph*>(back.data.pValue(nullptr, L"all:none:graph"));
  ASSERT_NE(graph, nullptr);
  EXPECT_EQ(graph->numberOfNodes(), 0);
  EXPECT_EQ(back.data.getValueAsInteger(nullptr, L"all:none:operation"), 4);
}

TEST(KyAnalysisSerializer, NullArgumentsAreRefusedAndLeaveTheOutputUntouched) {
  KyAnalysisSerializer serializer;
  Request request;
  unsigned char* bytes = nullptr;
  unsigned long length = 99;
  EXPECT_EQ(serializer.pInputDataToString(nullptr, nullptr, bytes, &length), 0);
  EXPECT_EQ(serializer.pInputDataToString(&request.data, nullptr, bytes, nullptr), 0);
  EXPECT_EQ(bytes, nullptr);
  EXPECT_EQ(length, 99u);
  EXPECT_EQ(serializer.pInputDataFromString(nullptr, nullptr, &request.data), 0);
  EXPECT_EQ(
      serializer.pInputDataFromString(reinterpret_cast<const unsigned char*>(""), nullptr, nullptr),
      0);
}

TEST(KyAnalysisSerializer, TheObjectTableSharesIdentifiersBothWays) {
  Request request;
  request.data.setValue(request.a, L"clustering:node:weight", new KyInt(5), 1, 0);
  KyObjectTable written;
  written.setID(L"first", request.a);
  const std::string text = toString(request.data, &written);
  EXPECT_EQ(written.pObject(L"first"), request.a);
  EXPECT_GT(written.length(), 1);

  KyObjectTable read;
  ReadBack back;
  readInto(back, text, &read);
  ASSERT_EQ(back.result, 1);
  auto* node = dynamic_cast<KyNode*>(read.pObject(L"first"));
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(back.data.getValueAsInteger(node, L"clustering:node:weight"), 5);
}

// Each hostile string is read into a request that already holds values;
// the request, its graph and the caller's table must come out unchanged.
TEST(KyAnalysisSerializer, HostileStringsChangeNothing) {
  Request source;
  source.data.setValue(source.b, L"clustering:node:weight", new KyInt(3), 1, 0);
  const std::string good = toString(source.data);
  std::string document;
  {
    unsigned long length = 0;
    std::unique_ptr<unsigned char[]> bytes(KyXMLUtilities::decodeBase64(
        reinterpret_cast<const unsigned char*>(good.c_str()), &length));
    document.assign(reinterpret_cast<const char*>(bytes.get()), length);
  }
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = document;
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
  };
  // The base 64 of the document with blanks after it, at least `size`
  // bytes in all and a multiple of three, so that it ends without padding.
  const auto whole = [&document](std::size_t size) {
    const std::size_t length = std::max(size, document.size());
    return encode(document + std::string(length - document.size() + (3 - length % 3) % 3, ' '));
  };
  const std::string part = "<part name=\"graph\">";
  const std::map<std::string, std::string> cases = {
      {"empty", ""},
      {"truncated base 64", good.substr(0, good.size() - 3)},
      {"base 64 of garbage", encode("\x01\x02garbage<<<")},
      {"characters outside base 64", "!!!!" + good},
      // The document is read as it is decoded: what follows it still counts,
      // also after a text without padding and past the first piece decoded.
      {"the whole document, then no base 64", good + "!"},
      {"the whole document, then a group cut short", whole(0) + "QQ"},
      {"a long document, then no base 64", whole(1 << 17) + "!"},
      {"truncated document", encode(document.substr(0, document.size() / 2))},
      {"wrong root", encode(replaced("<document>", "<request>"))},
      {"wrong part", encode(replaced("name=\"analysis\"", "name=\"other\""))},
      {"unknown key", encode(replaced("clustering:node:weight", "clustering:node:height"))},
      {"dangling reference", encode(replaced("owner=\"n1\"", "owner=\"n9\""))},
      {"mistyped reference", encode(replaced("owner=\"n1\"", "owner=\"e1\""))},
      {"wrong value type", encode(replaced("value=\"3\"", "value=\"three\""))},
      // The platform's graph tests try each kind of document type; one
      // holding both a file entity and nested entities shows that the
      // string reaches the same guarded parser.
      {"file and nested entities",
       encode("<?xml version=\"1.0\"?><!DOCTYPE document [<!ENTITY x SYSTEM \"file:///etc/passwd\">"
              "<!ENTITY a \"aaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">"
              "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;\">]><document>" +
              part + "</part><part name=\"analysis\">&x;&c;</part></document>")},
  };
  for (const auto& [name, text] : cases) {
    SCOPED_TRACE(name);
    Request target;
    target.data.setValue(target.a, L"clustering:node:weight", new KyInt(8), 1, 0);
    KyObjectTable table;
    table.setID(L"mine", target.c);
    const auto before = describe(target.data);
    KyServiceName* serviceName = target.data.pServiceName();
    EXPECT_EQ(KyAnalysisSerializer().pInputDataFromString(
                  reinterpret_cast<const unsigned char*>(text.c_str()), &table, &target.data),
              0);
    EXPECT_EQ(describe(target.data), before);
    EXPECT_EQ(target.data.pServiceName(), serviceName);
    EXPECT_EQ(target.graph.numberOfNodes(), 3);
    EXPECT_EQ(table.length(), 1);
  }
}

// Text that is no base 64 is told as such wherever the fault is, also
// past a fault of the document it holds; a sound text tells the document's.
TEST(KyAnalysisSerializer, AReasonSaysWhetherTheTextOrItsDocumentIsAtFault) {
  Request request;
  const std::string good = toString(request.data);
  const std::string broken = encode("<document><part></document>");
  const std::pair<std::string, const wchar_t*> cases[] = {
      {good + "!", L"the text is not base 64"},
      {"!" + good, L"the text is not base 64"},
      {broken + "A", L"the text is not base 64"},
      {broken, L"line 1, column "},
      {"", L"the document is empty"},
  };
  for (const auto& [text, reason] : cases) {
    SCOPED_TRACE(text);
    KyServiceInputData data;
    std::wstring said;
    EXPECT_EQ(KyAnalysisSerializer().pInputDataFromString(
                  reinterpret_cast<const unsigned char*>(text.c_str()), nullptr, &data, said),
              0);
    EXPECT_EQ(said.rfind(reason, 0), 0u) << std::string(said.begin(), said.end());
  }
}

TEST(KyAnalysisSerializer, AFailedReadTakesBackTheServiceNameItAttached) {
  KyServiceInputData data;
  EXPECT_EQ(
      KyAnalysisSerializer().pInputDataFromString(
          reinterpret_cast<const unsigned char*>(encode("<document/>").c_str()), nullptr, &data),
      0);
  EXPECT_EQ(data.pServiceName(), nullptr);
  EXPECT_EQ(data.numberOfValues(), 0);
}

} // namespace
