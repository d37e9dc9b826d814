#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyanalysis/KyAnalysisXMLWriter.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyGraphXMLWriter.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceInputDataXMLWriter.h>
#include <kyplatform/KyServiceOutputDataXMLWriter.h>

#include <utility>

namespace {
constexpr wchar_t kGraphPart[] = L"graph";
constexpr wchar_t kAnswerPart[] = L"answer";
} // namespace

KyAnalysisXMLWriter::KyAnalysisXMLWriter(const wchar_t* fileName) : KyCompositeXMLWriter(fileName) {
  init();
}

KyAnalysisXMLWriter::KyAnalysisXMLWriter(const wchar_t* fileName, int indenting, int usingTemplates)
    : KyCompositeXMLWriter(fileName, indenting, usingTemplates) {
  init();
}

KyAnalysisXMLWriter::KyAnalysisXMLWriter(unsigned char** buffer, int indenting, int usingTemplates)
    : KyCompositeXMLWriter(buffer, indenting, usingTemplates) {
  init();
}

KyAnalysisXMLWriter::KyAnalysisXMLWriter(Pieces pieces, int indenting, int usingTemplates)
    : KyCompositeXMLWriter(std::move(pieces), indenting, usingTemplates) {
  init();
}

KyAnalysisXMLWriter::~KyAnalysisXMLWriter() = default;

void KyAnalysisXMLWriter::init() {
  auto writer = std::make_shared<KyGraphXMLWriter>();
  made_.push_back(writer);
  pGraphWriter(writer.get());
  writingDefaults_ = 1;
  usingTemplates(0);
}

KyGraph* KyAnalysisXMLWriter::pGraph(KyGraph* graph) {
  setObjectToWrite(kGraphPart, graph);
  return graph;
}

KyGraph* KyAnalysisXMLWriter::pGraph() const {
  return dynamic_cast<KyGraph*>(pObjectToWrite(kGraphPart));
}

KyGraphXMLWriter* KyAnalysisXMLWriter::pGraphWriter(KyGraphXMLWriter* writer) {
  setWriter(kGraphPart, writer);
  return writer;
}

KyGraphXMLWriter* KyAnalysisXMLWriter::pGraphWriter() const {
  return dynamic_cast<KyGraphXMLWriter*>(pWriter(kGraphPart));
}

KyNodeXMLWriter* KyAnalysisXMLWriter::pNodeWriter(KyNodeXMLWriter* writer) {
  if (KyGraphXMLWriter* graphWriter = pGraphWriter())
    graphWriter->pNodeWriter(writer);
  return writer;
}

KyEdgeXMLWriter* KyAnalysisXMLWriter::pEdgeWriter(KyEdgeXMLWriter* writer) {
  if (KyGraphXMLWriter* graphWriter = pGraphWriter())
    graphWriter->pEdgeWriter(writer);
  return writer;
}

KyServiceInputData* KyAnalysisXMLWriter::pServiceInputData(const wchar_t* name,
                                                           KyServiceInputData* data) {
  if (name == nullptr)
    return data;
  if (data != nullptr && data->pServiceName() == nullptr)
    data->pServiceName(new KyAnalysisServiceName);
  setObjectToWrite(name, data);
  auto writer = std::make_shared<KyServiceInputDataXMLWriter>(name);
  made_.push_back(writer);
  writer->writingDefaults(writingDefaults_);
  setWriter(name, writer.get());
  return data;
}

KyServiceInputData* KyAnalysisXMLWriter::pServiceInputData(KyServiceInputData* data) {
  return pServiceInputData(KyAnalysisServiceName::kDefaultName, data);
}

KyServiceOutputData* KyAnalysisXMLWriter::pServiceOutputData(KyServiceOutputData* data) {
  if (data != nullptr && data->pServiceName() == nullptr)
    data->pServiceName(new KyAnalysisServiceName);
  setObjectToWrite(kAnswerPart, data);
  auto writer = std::make_shared<KyServiceOutputDataXMLWriter>(kAnswerPart);
  made_.push_back(writer);
  setWriter(kAnswerPart, writer.get());
  return data;
}
