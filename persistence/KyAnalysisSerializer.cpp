#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisSerializer.h>
#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyanalysis/KyAnalysisXMLReader.h>
#include <kyanalysis/KyAnalysisXMLWriter.h>
#include <kyplatform/KyAFactory.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyXMLUtilities.h>

#include <climits>
#include <memory>

KyAnalysisSerializer::~KyAnalysisSerializer() = default;

int KyAnalysisSerializer::pInputDataToString(KyServiceInputData* data, KyObjectTable* table,
                                             unsigned char*& bytes, unsigned long* length) const {
  if (data == nullptr || length == nullptr)
    return 0;
  unsigned char* written = nullptr;
  KyAnalysisXMLWriter writer(&written, 0, 0);
  writer.pObjectTable(table);
  writer.pGraph(dynamic_cast<KyGraph*>(data->pValue(nullptr, KyAnalysisKey::all::noneGraph)));
  writer.pServiceInputData(data);
  const int result = writer.write();
  // Held from here so that every way out frees it.
  const std::unique_ptr<unsigned char[]> document(written);
  if (result == 0)
    return 0;
  unsigned char* encoded =
      KyXMLUtilities::encodeBase64(document.get(), writer.outputSize(), length);
  if (encoded == nullptr)
    return 0;
  bytes = encoded;
  return 1;
}

int KyAnalysisSerializer::pInputDataFromString(const unsigned char* bytes, KyObjectTable* table,
                                               KyServiceInputData* data) const {
  std::wstring reason;
  return pInputDataFromString(bytes, table, data, reason);
}

int KyAnalysisSerializer::pInputDataFromString(const unsigned char* bytes, KyObjectTable* table,
                                               KyServiceInputData* data,
                                               std::wstring& reason) const {
  if (bytes == nullptr || data == nullptr) {
    reason = L"there is no text or no input data";
    return 0;
  }
  unsigned long length = 0;
  const std::unique_ptr<unsigned char[]> document(KyXMLUtilities::decodeBase64(bytes, &length));
  if (document == nullptr || length > UINT_MAX) {
    reason = L"the text is not base 64";
    return 0;
  }

  const bool hadServiceName = data->pServiceName() != nullptr;
  std::unique_ptr<KyGraph> graph(KyAFactory().newGraph());
  KyAnalysisXMLReader reader(document.get(), static_cast<unsigned int>(length));
  reader.pGraph(graph.get());
  reader.pServiceInputData(data);
  reader.pObjectTable(table);
  if (reader.read() == 0) {
    reason = reader.pErrorMessage();
    // The reader left the data as it was; take back the name it attached.
    if (!hadServiceName)
      data->pServiceName(nullptr);
    return 0;
  }
  // The caller reaches, and frees, the new graph through the request.
  if (data->pValue(nullptr, KyAnalysisKey::all::noneGraph) != graph.get())
    data->storeReference(nullptr, KyAnalysisKey::all::noneGraph, graph.get());
  graph.release();
  return 1;
}
