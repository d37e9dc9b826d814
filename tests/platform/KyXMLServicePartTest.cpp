// What the service input and output part readers share, tested on both
// alike: the checks before the part is read, the checks of each option or
// result, and a read that fails releasing what it made and leaving the data
// as it was.
#include "platform/KyXMLTesting.h"
#include "support/KyDataTesting.h"

#include <kyplatform/KyGraphXMLReader.h>
#include <kyplatform/KyOwningDList.h>
#include <kyplatform/KyServiceOutputDataXMLReader.h>
#include <kyplatform/KyText.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The test service with results as well: one of each scope, a list of
// lists, and owners of the type "Made" that the service makes from their
// text (as it makes pairs), which the reader then holds.
class PartsServiceName : public kytest::TestServiceName {
public:
  PartsServiceName() {
    result(L"t:none:total", L"none", L"Integer");
    result(L"t:node:rank", L"KyNode", L"Integer");
    result(L"t:made:score", L"Made", L"Integer");
    result(L"t:none:groups", L"none", L"List<List<KyNode>>");
  }
  KyServiceItemDescriptionManager* pOutputDescription() override { return &results_; }
  KyObject* pConvertStringToOwner(const wchar_t* text, const wchar_t* ownerType,
                                  KyXMLReader* reader, int& owned) override {
    if (std::wstring_view(ownerType) != L"Made")
      return KyServiceName::pConvertStringToOwner(text, ownerType, reader, owned);
    owned = 1;
    return new KyText(text);
  }

private:
  void result(const wchar_t* key, const wchar_t* owner, const wchar_t* type) {
    results_.pOption(new KyServiceResultDescription(key, owner, type, nullptr));
  }
  KyServiceItemDescriptionManager results_;
};

// A service name that describes nothing, and one that describes results
// only.
class EmptyServiceName : public KyServiceName {};
class ResultsOnlyServiceName : public KyServiceName {
public:
  KyServiceItemDescriptionManager* pOutputDescription() override {
    return parts_.pOutputDescription();
  }

private:
  PartsServiceName parts_;
};

enum class Part { input, output };

struct Outcome {
  int result;
  std::wstring error;
};

// Reads a document of a graph part and the part `part` (named "p", holding
// `items`) into `data`, whatever kind of data it is; null reads into none.
Outcome readPart(Part part, const std::string& items, KyObject* data, KyGraph& graph) {
  KyGraphXMLReader graphReader;
  KyServiceInputDataXMLReader inputReader(L"p");
  KyServiceOutputDataXMLReader outputReader(L"p");
  Outcome outcome{};
  outcome.result = kytest::readDocument(
      "<document><part name=\"graph\"><graph id=\"g\"><node id=\"n0\"/><node id=\"n1\"/></graph>"
      "</part><part name=\"p\">" +
          items + "</part></document>",
      [&](KyCompositeXMLReader& reader) {
        reader.setReader(L"graph", &graphReader);
        reader.setFirstObjectToRead(L"graph", &graph);
        reader.setReader(L"p", part == Part::input ? static_cast<KyXMLReader*>(&inputReader)
                                                   : &outputReader);
        reader.setObjectToRead(L"p", data);
      },
      &outcome.error);
  return outcome;
}

std::string item(Part part, const std::string& key, const std::string& type,
                 const std::string& entries) {
  const char* name = part == Part::input ? "option" : "result";
  return std::string("<") + name + " key=\"" + key + "\" type=\"" + type + "\">" + entries + "</" +
         name + ">";
}

// Before a part is read, the data must be there, be data of the part's
// kind, and have a service name that describes the part's items.
TEST(KyXMLServicePartTest, APartIsReadOnlyIntoDataWhoseServiceNameDescribesIt) {
  for (const Part part : {Part::input, Part::output}) {
    const std::string which = part == Part::input ? "input" : "output";
    const std::string items = item(part, "t:none:count", "Integer", "<entry value=\"1\"/>");
    KyServiceInputData input;
    KyServiceOutputData output;
    KyServiceData& own = part == Part::input ? static_cast<KyServiceData&>(input) : output;
    KyServiceData& other = part == Part::input ? static_cast<KyServiceData&>(output) : input;
    const struct {
      const char* what;
      KyObject* data;
      KyServiceName* name; // attached to `data` first, when not null
      std::string error;
    } cases[] = {
        {"no data", nullptr, nullptr, "no " + which + " data to read into"},
        {"data of the other part", &other, new PartsServiceName,
         "no " + which + " data to read into"},
        {"no service name", &own, nullptr,
         "the " + which + " data has no service name with " +
             (part == Part::input ? "option" : "result") + " descriptions"},
        {"a service name without descriptions", &own, new EmptyServiceName,
         "the " + which + " data has no service name with " +
             (part == Part::input ? "option" : "result") + " descriptions"},
        {"a service name describing the other part only", &own,
         part == Part::input ? static_cast<KyServiceName*>(new ResultsOnlyServiceName)
                             : new kytest::TestServiceName,
         "the " + which + " data has no service name with " +
             (part == Part::input ? "option" : "result") + " descriptions"},
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(which + ": " + c.what);
      if (c.name != nullptr)
        dynamic_cast<KyServiceData*>(c.data)->pServiceName(c.name);
      KyGraph graph;
      const Outcome outcome = readPart(part, items, c.data, graph);
      EXPECT_EQ(outcome.result, 0);
      EXPECT_EQ(kytest::narrow(outcome.error.c_str()),
                "part \"p\": " + c.error + " (line 1, column 104)");
      if (c.data != nullptr) {
        EXPECT_EQ(dynamic_cast<KyServiceData*>(c.data)->numberOfValues(), 0);
      }
    }
  }
}

// Each option or result names a described key and its type; each entry
// has a value that fits the type. Failures name the part's word for its
// items, and leave the data as it was, also after good items.
TEST(KyXMLServicePartTest, ItemsAndValuesAreCheckedAlikeInBothParts) {
  for (const Part part : {Part::input, Part::output}) {
    const std::string word = part == Part::input ? "option" : "result";
    // An integer without owner of the part.
    const std::string key = part == Part::input ? "t:none:count" : "t:none:total";
    const std::wstring wideKey(key.begin(), key.end());
    const std::string good = item(part, key, "Integer", "<entry value=\"1\"/>");
    const struct {
      const char* what;
      std::string items;
      std::string error;
    } cases[] = {
        {"an unknown key", item(part, "t:none:nope", "Integer", "<entry value=\"1\"/>"),
         "the " + word + " \"t:none:nope\" is unknown"},
        {"no key", item(part, "", "Integer", "<entry value=\"1\"/>"),
         "the " + word + " \"\" is unknown"},
        {"another type", item(part, key, "Double", "<entry value=\"1\"/>"),
         "the " + word + " \"" + key + "\" has the type \"Double\" instead of \"Integer\""},
        {"no value", item(part, key, "Integer", "<entry/>"),
         "an entry of \"" + key + "\" has no value"},
        {"a value of another type", item(part, key, "Integer", "<entry value=\"x\"/>"),
         "the value \"x\" of \"" + key + "\" is not of the type \"Integer\""},
    };
    for (const auto& c : cases) {
      const std::string which = std::string(part == Part::input ? "input: " : "output: ") + c.what;
      SCOPED_TRACE(which);
      KyServiceInputData input;
      KyServiceOutputData output;
      KyServiceData& data = part == Part::input ? static_cast<KyServiceData&>(input) : output;
      data.pServiceName(new PartsServiceName);
      data.setValue(nullptr, wideKey.c_str(), new KyInt(42), 1, 0);
      KyGraph graph;
      const Outcome outcome = readPart(part, good + c.items, &data, graph);
      EXPECT_EQ(outcome.result, 0);
      EXPECT_EQ(kytest::narrow(outcome.error.c_str())
                    .rfind("part \"p\": " + c.error + " (line 1, column ", 0),
                0u)
          << kytest::narrow(outcome.error.c_str());
      EXPECT_EQ(data.numberOfValues(), 1);
      EXPECT_EQ(data.getValueAsInteger(nullptr, wideKey.c_str()), 42);
    }
  }
}

// Values and owners made while reading belong to the read until the whole
// document was read: a read that fails after making many of them releases
// them all (the leak checker sees to that), one that succeeds hands them
// to the output data, the later of two entries of one owner and key
// winning, also for owners made anew from the same text.
TEST(KyXMLServicePartTest, WhatAReadMakesIsReleasedOnFailureAndStoredOnSuccess) {
  std::string entries;
  for (int i = 0; i < 100; ++i)
    entries +=
        "<entry owner=\"m" + std::to_string(i % 60) + "\" value=\"" + std::to_string(i) + "\"/>";
  const std::string items =
      item(Part::output, "t:made:score", "Integer", entries) +
      item(Part::output, "t:none:groups", "List&lt;List&lt;KyNode&gt;&gt;",
           "<entry><list value=\"n0 n1\"/><list value=\"\"/><list value=\"n1\"/></entry>") +
      item(Part::output, "t:node:rank", "Integer",
           "<entry owner=\"n0\" value=\"1\"/><entry owner=\"n0\" value=\"2\"/>");
  for (const bool fails : {true, false}) {
    SCOPED_TRACE(fails ? "a read that fails" : "a read that succeeds");
    KyServiceOutputData output;
    output.pServiceName(new PartsServiceName);
    KyGraph graph;
    const std::string tail =
        fails ? item(Part::output, "t:none:total", "Integer", "<entry value=\"1.5\"/>") : "";
    const Outcome outcome = readPart(Part::output, items + tail, &output, graph);
    EXPECT_EQ(outcome.result, fails ? 0 : 1) << kytest::narrow(outcome.error.c_str());
    if (fails) {
      EXPECT_EQ(output.numberOfValues(), 0);
      continue;
    }
    // 100 entries of 60 owners, the list of lists, one rank.
    EXPECT_EQ(output.numberOfValues(), 60 + 1 + 1);
    KyText first(L"m0");
    EXPECT_EQ(output.getValueAsInteger(&first, L"t:made:score"), 60);
    ASSERT_EQ(graph.numberOfNodes(), 2);
    EXPECT_EQ(output.getValueAsInteger(graph.pNodeAt(0), L"t:node:rank"), 2);
    const auto* groups =
        dynamic_cast<const KyOwningDList*>(output.pValue(nullptr, L"t:none:groups"));
    ASSERT_NE(groups, nullptr);
    EXPECT_EQ(groups->length(), 3);
  }
}

} // namespace
