#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyanalysis/KyAnalysisXMLReader.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyGraphXMLReader.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceInputDataXMLReader.h>
#include <kyplatform/KyServiceOutputDataXMLReader.h>

#include <utility>

namespace {
constexpr wchar_t kGraphPart[] = L"graph";
constexpr wchar_t kAnswerPart[] = L"answer";
} // namespace

KyAnalysisXMLReader::KyAnalysisXMLReader(const wchar_t* fileName) : KyCompositeXMLReader(fileName) {
  init();
}

KyAnalysisXMLReader::KyAnalysisXMLReader(const unsigned char* bytes, unsigned int length)
    : KyCompositeXMLReader(bytes, length) {
  init();
}

KyAnalysisXMLReader::KyAnalysisXMLReader(NextPiece next) : KyCompositeXMLReader(std::move(next)) {
  init();
}

KyAnalysisXMLReader::~KyAnalysisXMLReader() = default;

void KyAnalysisXMLReader::init() {
  auto reader = std::make_shared<KyGraphXMLReader>();
  made_.push_back(reader);
  pGraphReader(reader.get());
}

KyGraph* KyAnalysisXMLReader::pGraph(KyGraph* graph) {
  setFirstObjectToRead(kGraphPart, graph);
  return graph;
}

KyGraph* KyAnalysisXMLReader::pGraph() const {
  return dynamic_cast<KyGraph*>(pObjectToRead(kGraphPart));
}

KyGraphXMLReader* KyAnalysisXMLReader::pGraphReader(KyGraphXMLReader* reader) {
  setReader(kGraphPart, reader);
  return reader;
}

KyGraphXMLReader* KyAnalysisXMLReader::pGraphReader() const {
  return dynamic_cast<KyGraphXMLReader*>(pReader(kGraphPart));
}

KyNodeXMLReader* KyAnalysisXMLReader::pNodeReader(KyNodeXMLReader* reader) {
  if (KyGraphXMLReader* graphReader = pGraphReader())
    graphReader->pNodeReader(reader);
  return reader;
}

KyEdgeXMLReader* KyAnalysisXMLReader::pEdgeReader(KyEdgeXMLReader* reader) {
  if (KyGraphXMLReader* graphReader = pGraphReader())
    graphReader->pEdgeReader(reader);
  return reader;
}

KyServiceInputData* KyAnalysisXMLReader::pServiceInputData(const wchar_t* name,
                                                           KyServiceInputData* data) {
  if (name == nullptr)
    return data;
  if (data != nullptr && data->pServiceName() == nullptr)
    data->pServiceName(new KyAnalysisServiceName);
  setObjectToRead(name, data);
  auto reader = std::make_shared<KyServiceInputDataXMLReader>(name);
  made_.push_back(reader);
  setReader(name, reader.get());
  lastInputPart_ = name;
  hasInputPart_ = true;
  return data;
}

KyServiceInputData* KyAnalysisXMLReader::pServiceInputData(KyServiceInputData* data) {
  return pServiceInputData(KyAnalysisServiceName::kDefaultName, data);
}

KyServiceInputData* KyAnalysisXMLReader::pServiceInputData() const {
  if (!hasInputPart_)
    return nullptr;
  return dynamic_cast<KyServiceInputData*>(pObjectToRead(lastInputPart_.c_str()));
}

KyServiceOutputData* KyAnalysisXMLReader::pServiceOutputData(KyServiceOutputData* data) {
  if (data != nullptr && data->pServiceName() == nullptr)
    data->pServiceName(new KyAnalysisServiceName);
  setObjectToRead(kAnswerPart, data);
  auto reader = std::make_shared<KyServiceOutputDataXMLReader>(kAnswerPart);
  made_.push_back(reader);
  setReader(kAnswerPart, reader.get());
  return data;
}
