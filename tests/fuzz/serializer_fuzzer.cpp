// Fuzzes the base-64 form of a request through
// KyAnalysisSerializer::pInputDataFromString(). An input that starts with
// '<' (which base 64 never does) is taken as a document and encoded first,
// so that mutations reach the XML layer as easily as the decoder; any other
// input is handed over as the string itself.
#include "KyFuzzing.h"

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisSerializer.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyObjectTable.h>
#include <kyplatform/KyXMLUtilities.h>

#include <cstddef>
#include <cstdint>
#include <string>

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
    // The serializer reads up to the first zero byte, as its callers hand it.
    text.assign(reinterpret_cast<const char*>(data), size);
  }

  // A request that already holds values and a table that already holds an
  // identifier: a failed read must leave both exactly as they were.
  KyGraph mine;
  std::unique_ptr<KyGraph> owned; // the graph a successful read makes
  const kyfuzz::Held<KyServiceInputData> request;
  request->setValue(nullptr, KyAnalysisKey::all::noneGraph, &mine, 0, 0);
  request->setValue(nullptr, L"all:none:operation", new KyInt(4), 1, 0);
  KyObjectTable table;
  table.setID(L"mine", &mine);

  const int read = KyAnalysisSerializer().pInputDataFromString(
      reinterpret_cast<const unsigned char*>(text.c_str()), &table, &*request);
  auto* graph = dynamic_cast<KyGraph*>(request->pValue(nullptr, KyAnalysisKey::all::noneGraph));
  if (read == 0) {
    kyfuzz::require(graph == &mine && table.length() == 1 && table.pObject(L"mine") == &mine);
    kyfuzz::require(request->getValueAsInteger(nullptr, L"all:none:operation") == 4);
    return 0;
  }
  // The new graph is the caller's once the read succeeded.
  kyfuzz::require(graph != nullptr && graph != &mine);
  owned.reset(graph);
  KyObjectTable callers;
  callers.setID(L"mine", &mine);
  kyfuzz::requireRoundTrip(*graph, *request, &callers);
  return 0;
}
