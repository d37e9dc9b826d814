#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisSerializer.h>
#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyanalysis/KyAnalysisXMLReader.h>
#include <kyanalysis/KyAnalysisXMLWriter.h>
#include <kyplatform/KyAFactory.h>
#include <kyplatform/KyBase64Encoder.h>
#include <kyplatform/KyBase64Source.h>
#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyObjectTable.h>
#include <kyplatform/KyServiceData.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

// Writes the document that `setUp(writer)` asks for and encodes it into a
// new array, `bytes` and `*length`, piece by piece as the writer hands it
// over: the document itself is never copied into one array. 0, with both
// untouched, when it cannot be written.
template <typename SetUp>
int writeEncoded(KyObjectTable* table, SetUp setUp, unsigned char*& bytes, unsigned long* length) {
  const KyAnalysisXMLWriter* written = nullptr;
  std::unique_ptr<unsigned char[]> text;
  unsigned char* end = nullptr;
  KyBase64Encoder encoder;
  KyAnalysisXMLWriter writer(
      [&](const unsigned char* piece, std::size_t size) {
        if (text == nullptr) {
          // The writer knows the whole size before the first piece.
          text.reset(new unsigned char[KyBase64Encoder::encodedLength(written->outputSize()) + 1]);
          end = text.get();
        }
        end = encoder.add(piece, size, end);
      },
      0, 0);
  written = &writer;
  writer.pObjectTable(table);
  setUp(writer);
  // A written document holds at least its declaration: some piece came.
  if (writer.write() == 0)
    return 0;
  end = encoder.finish(end);
  *end = 0;
  *length = static_cast<unsigned long>(end - text.get());
  bytes = text.release();
  return 1;
}

// Names every clustering constraint of the request in `table`: "c0", "c1",
// ... through the constraint managers in the order of their graphs'
// identifiers and each manager's constraints in order, skipping an
// identifier the table gives another object. Both ends of a service call
// do it on tables that hold the same identifiers, so that an answer names
// the request's constraints alike.
void nameConstraints(const KyServiceInputData& data, KyObjectTable& table) {
  std::vector<std::pair<const wchar_t*, const KyConstraintManager*>> managers;
  data.visitValues([&](const KyObject* owner, const wchar_t* key, KyObject* value) {
    const auto* manager = dynamic_cast<const KyConstraintManager*>(value);
    const wchar_t* graph = owner != nullptr ? table.pID(owner) : nullptr;
    if (manager != nullptr && graph != nullptr &&
        std::wcscmp(key, KyAnalysisKey::clustering::graphConstraintManager) == 0)
      managers.emplace_back(graph, manager);
  });
  std::sort(managers.begin(), managers.end(),
            [](const auto& a, const auto& b) { return std::wcscmp(a.first, b.first) < 0; });
  int next = 0;
  for (const auto& entry : managers)
    for (KyDListIter it(entry.second->pConstraintList()); it; ++it) {
      std::wstring id;
      for (;;) {
        id = L"c" + std::to_wstring(next++);
        const KyObject* named = table.pObject(id.c_str());
        if (named == nullptr || named == it.pObject())
          break;
      }
      table.setID(id.c_str(), it.pObject());
    }
}

// Reads the document that `bytes` hold in base 64 into `data` (input or
// output data) and a fresh graph, which it returns; null, with `reason`
// set and `data` as it was (no service name attached), when it cannot.
template <typename Data>
std::unique_ptr<KyGraph> readDocument(const unsigned char* bytes, KyObjectTable* table, Data* data,
                                      std::wstring& reason) {
  // The document is decoded as the reader asks for it; text that is no
  // base 64 fails the read, and is told as such whatever else is wrong.
  const char* text = reinterpret_cast<const char*>(bytes);
  std::size_t left = std::strlen(text);
  KyBase64Source document([&text, &left](char* into, std::size_t most) {
    const std::size_t count = std::min(most, left);
    std::memcpy(into, text, count);
    text += count;
    left -= count;
    return count;
  });
  const bool hadServiceName = data->pServiceName() != nullptr;
  std::unique_ptr<KyGraph> graph(KyAFactory().newGraph());
  KyAnalysisXMLReader reader([&document](unsigned char* into, std::size_t most, std::size_t& got) {
    return document.next(into, most, got);
  });
  reader.pGraph(graph.get());
  if constexpr (std::is_same_v<Data, KyServiceInputData>)
    reader.pServiceInputData(data);
  else
    reader.pServiceOutputData(data);
  reader.pObjectTable(table);
  if (reader.read() == 0) {
    reason = document.restIsBase64() ? reader.pErrorMessage() : L"the text is not base 64";
    // The reader left the data as it was; take back the name it attached.
    if (!hadServiceName)
      data->pServiceName(nullptr);
    return nullptr;
  }
  return graph;
}

} // namespace

KyAnalysisSerializer::~KyAnalysisSerializer() = default;

int KyAnalysisSerializer::pInputDataToString(KyServiceInputData* data, KyObjectTable* table,
                                             unsigned char*& bytes, unsigned long* length) const {
  if (data == nullptr || length == nullptr)
    return 0;
  const auto setUp = [data](KyAnalysisXMLWriter& writer) {
    writer.pGraph(dynamic_cast<KyGraph*>(data->pValue(nullptr, KyAnalysisKey::all::noneGraph)));
    writer.pServiceInputData(data);
  };
  if (writeEncoded(table, setUp, bytes, length) == 0)
    return 0;
  if (table != nullptr)
    nameConstraints(*data, *table);
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
  std::unique_ptr<KyGraph> graph = readDocument(bytes, table, data, reason);
  if (graph == nullptr)
    return 0;
  // The caller reaches, and frees, the new graph through the request.
  if (data->pValue(nullptr, KyAnalysisKey::all::noneGraph) != graph.get())
    data->storeReference(nullptr, KyAnalysisKey::all::noneGraph, graph.get());
  graph.release();
  if (table != nullptr)
    nameConstraints(*data, *table);
  return 1;
}

int KyAnalysisSerializer::pOutputDataToString(KyServiceOutputData* data, KyObjectTable* table,
                                              unsigned char*& bytes, unsigned long* length) const {
  if (data == nullptr || length == nullptr)
    return 0;
  const auto setUp = [data](KyAnalysisXMLWriter& writer) {
    writer.pGraph(
        dynamic_cast<KyGraph*>(data->pValue(nullptr, KyAnalysisKey::sortedPaths::nonePathGraph)));
    writer.pServiceOutputData(data);
  };
  return writeEncoded(table, setUp, bytes, length);
}

int KyAnalysisSerializer::pOutputDataFromString(const unsigned char* bytes, KyObjectTable* table,
                                                KyServiceOutputData* data) const {
  if (bytes == nullptr || data == nullptr)
    return 0;
  std::wstring reason;
  std::unique_ptr<KyGraph> graph = readDocument(bytes, table, data, reason);
  if (graph == nullptr)
    return 0;
  // The graph the answer made is its path graph, which the answer owns.
  // Results may refer to its members, so a graph that has any is kept there
  // even when the answer names another (or none).
  const wchar_t* pathGraph = KyAnalysisKey::sortedPaths::nonePathGraph;
  if (data->pValue(nullptr, pathGraph) == graph.get() || graph->numberOfNodes() > 0 ||
      graph->numberOfEdges() > 0)
    data->storeOwned(nullptr, pathGraph, graph.release());
  return 1;
}
