// Fuzzes the base-64 form of an answer through
// KyAnalysisSerializer::pOutputDataFromString(), read onto a small request
// whose objects the caller's table names (graph "g", nodes "a" "b" "c",
// edges "ab" "bc", constraint "c0"). An input that starts with '<' is taken
// as a document and encoded first, as in the serializer harness.
#include "KyFuzzing.h"

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisSerializer.h>
#include <kyanalysis/KyClusteringConstraint.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyObjectTable.h>
#include <kyplatform/KyXMLUtilities.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {
struct Request {
  Request() : a(graph.addNode()), b(graph.addNode()), c(graph.addNode()) {
    ab = graph.addEdge(a, b);
    bc = graph.addEdge(b, c);
  }
  // Names the request's objects in `table`.
  void name(KyObjectTable& table) {
    table.setID(L"g", &graph);
    table.setID(L"a", a);
    table.setID(L"b", b);
    table.setID(L"c", c);
    table.setID(L"ab", ab);
    table.setID(L"bc", bc);
    table.setID(L"c0", &constraint);
  }

  KyGraph graph;
  KyNode *a, *b, *c;
  KyEdge *ab, *bc;
  KyClusteringConstraint constraint;
};
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  kyfuzz::holdXMLPlatform();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text;
  if (size > 0 && data[0] == '<') {
    unsigned long length = 0;
    const std::unique_ptr<unsigned char[]> encoded(
        KyXMLUtilities::encodeBase64(data, size, &length));
    kyfuzz::require(encoded != nullptr);
    text.assign(reinterpret_cast<const char*>(encoded.get()), length);
  } else {
    text.assign(reinterpret_cast<const char*>(data), size);
  }

  // The request is the same for every input: reading an answer never
  // changes it, which every input checks at its end.
  static Request request;
  const struct Unchanged {
    ~Unchanged() {
      kyfuzz::require(request.graph.numberOfNodes() == 3 && request.graph.numberOfEdges() == 2);
    }
  } unchanged;
  KyObjectTable table;
  request.name(table);
  // An answer that already holds a value: a failed read must leave it, and
  // the table, exactly as they were.
  const kyfuzz::Held<KyServiceOutputData> answer;
  answer->storeOwned(nullptr, KyAnalysisKey::errorCode, new KyInt(7));

  const KyAnalysisSerializer serializer;
  if (serializer.pOutputDataFromString(reinterpret_cast<const unsigned char*>(text.c_str()), &table,
                                       &*answer) == 0) {
    kyfuzz::require(answer->numberOfValues() == 1 && table.length() == 7 &&
                    answer->getValueAsInteger(nullptr, KyAnalysisKey::errorCode) == 7);
    return 0;
  }
  // What was read writes again and, when the text is new, reads back whole.
  unsigned char* bytes = nullptr;
  unsigned long length = 0;
  kyfuzz::require(serializer.pOutputDataToString(&*answer, &table, bytes, &length) == 1);
  const std::unique_ptr<unsigned char[]> again(bytes);
  if (!kyfuzz::firstTime(again.get(), length))
    return 0;
  const kyfuzz::Held<KyServiceOutputData, 1> back;
  kyfuzz::require(serializer.pOutputDataFromString(again.get(), &table, &*back) == 1);
  kyfuzz::require(back->numberOfValues() == answer->numberOfValues());
  return 0;
}
