// What the fuzz harnesses share: the Xerces platform and the data stores
// held for the whole run, and the check that a request read back is whole.
#pragma once

#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyanalysis/KyAnalysisXMLReader.h>
#include <kyanalysis/KyAnalysisXMLWriter.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyObjectTable.h>
#include <kyplatform/KyServiceData.h>

#include <xercesc/util/PlatformUtils.hpp>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string_view>
#include <unordered_set>

namespace kyfuzz {

/// Initialises Xerces once, so that the readers' own initialisation and
/// termination only count up and down instead of rebuilding the platform
/// on every input.
inline void holdXMLPlatform() { xercesc::XMLPlatformUtils::Initialize(); }

/// A data store (input or output data) with an analysis service name, held
/// for the whole run so that the name's option and result descriptions are
/// made once rather than for every input. An input takes the store empty
/// and it is emptied again when the Held goes: declare the Held after the
/// graphs its values may refer to. `Slot` tells apart stores of one type
/// that an input uses at once.
template <typename Data, int Slot = 0> class Held {
public:
  Held() : data_(kept()) {}
  ~Held() { data_.removeAllValues(); }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;

  Data& operator*() const { return data_; }
  Data* operator->() const { return &data_; }

private:
  static Data& kept() {
    static Data data;
    if (data.pServiceName() == nullptr)
      data.pServiceName(new KyAnalysisServiceName);
    return data;
  }

  Data& data_;
};

/// Stops the run as a finding when `holds` is false.
inline void require(bool holds) {
  if (!holds)
    std::abort();
}

/// Whether `text` (`length` bytes) comes for the first time in this run.
/// Reading a written text back is a function of the text alone, so a text
/// read back once need not be read back again: most inputs that read at all
/// differ from an earlier one in nothing the writer keeps.
inline bool firstTime(const unsigned char* text, std::size_t length) {
  static std::unordered_set<std::size_t> seen;
  return seen
      .insert(std::hash<std::string_view>()(
          std::string_view(reinterpret_cast<const char*>(text), length)))
      .second;
}

/// Writes a request that was read successfully and, if the text is new,
/// reads it back into a fresh graph and input data: both must succeed with
/// as many values. `table` (may be null) names the caller's objects the
/// request refers to.
inline void requireRoundTrip(KyGraph& graph, KyServiceInputData& data, KyObjectTable* table) {
  unsigned char* written = nullptr;
  KyAnalysisXMLWriter writer(&written, 0, 0);
  writer.pObjectTable(table);
  writer.pGraph(&graph);
  writer.pServiceInputData(&data);
  require(writer.write() == 1);
  const std::unique_ptr<unsigned char[]> text(written);
  if (!firstTime(text.get(), writer.outputSize()))
    return;

  KyGraph again;
  const Held<KyServiceInputData, 1> dataAgain;
  KyAnalysisXMLReader reader(text.get(), static_cast<unsigned int>(writer.outputSize()));
  reader.pGraph(&again);
  reader.pServiceInputData(&*dataAgain);
  reader.pObjectTable(table);
  require(reader.read() == 1);
  require(again.numberOfNodes() == graph.numberOfNodes());
  require(again.numberOfEdges() == graph.numberOfEdges());
  require(dataAgain->numberOfValues() == data.numberOfValues());
}

} // namespace kyfuzz
