// KyAnalysisXMLWriter: saves a graph and its analysis request as one document.
#pragma once

#include <kyanalysis/KyAnalysisExport.h>
#include <kyplatform/KyCompositeXMLWriter.h>

#include <memory>
#include <vector>

class KyEdgeXMLWriter;
class KyGraph;
class KyGraphXMLWriter;
class KyNodeXMLWriter;
class KyServiceInputData;
class KyServiceOutputData;

/// Writes an analysis document (docs/analysis-document.md): the part "graph"
/// with the graph given to pGraph(), then a service input part with the
/// input data given to pServiceInputData(), without templates. write() is
/// the composite's: 1 when the document was written, 0 otherwise with
/// pErrorMessage() saying why and nothing made.
///
/// The graph, the input data and any writer handed in stay the caller's.
/// The graph writer and the input data writers this writer makes are its
/// own; copies share them and they go with the last copy.
class KYANALYSIS_EXPORT KyAnalysisXMLWriter : public KyCompositeXMLWriter {
public:
  /// Writes the file named `fileName`, indenting.
  explicit KyAnalysisXMLWriter(const wchar_t* fileName);
  /// Writes the file named `fileName`; `indenting` 1 lays the document out
  /// on indented lines. `usingTemplates` is overridden with 0.
  KyAnalysisXMLWriter(const wchar_t* fileName, int indenting, int usingTemplates);
  /// Writes a new array into *buffer, freed by the caller with delete[]
  /// (KyTopLevelXMLWriter); the ints as for a file.
  KyAnalysisXMLWriter(unsigned char** buffer, int indenting, int usingTemplates);
  /// Hands the document to `pieces` (KyTopLevelXMLWriter); the ints as for
  /// a file.
  KyAnalysisXMLWriter(Pieces pieces, int indenting, int usingTemplates);
  KyAnalysisXMLWriter(const KyAnalysisXMLWriter&) = default;
  KyAnalysisXMLWriter& operator=(const KyAnalysisXMLWriter&) = default;
  ~KyAnalysisXMLWriter() override;

  /// Registers `graph` as the object of the part "graph"; returns it.
  KyGraph* pGraph(KyGraph* graph);
  KyGraph* pGraph() const;
  /// The writer of the part "graph"; the one made at construction unless
  /// replaced (the caller keeps a writer it hands in).
  KyGraphXMLWriter* pGraphWriter(KyGraphXMLWriter* writer);
  KyGraphXMLWriter* pGraphWriter() const;
  /// Hand a node or edge writer to the current graph writer; return it.
  KyNodeXMLWriter* pNodeWriter(KyNodeXMLWriter* writer);
  KyEdgeXMLWriter* pEdgeWriter(KyEdgeXMLWriter* writer);

  /// 1 (after construction): input data parts registered from now on write
  /// every value; 0: they leave out values equal to their option's default
  /// (KyServiceInputDataXMLWriter::writingDefaults). Parts registered
  /// before keep their setting.
  int writingDefaults() const { return writingDefaults_; }
  int writingDefaults(int writingDefaults) { return writingDefaults_ = writingDefaults; }

  /// Registers `data` as the object of the part `name` with a new input
  /// data writer. Attaches a new KyAnalysisServiceName to `data` when it has
  /// no service name (the data keeps it). Returns `data`.
  KyServiceInputData* pServiceInputData(const wchar_t* name, KyServiceInputData* data);
  /// The same under the part "analysis".
  KyServiceInputData* pServiceInputData(KyServiceInputData* data);

  /// Registers `data`, an answer, as the object of the part "answer" with a
  /// new output data writer: an answer document holds that part and a
  /// "graph" part for the graph the answer makes, if any. Attaches a new
  /// KyAnalysisServiceName to `data` when it has no service name (the data
  /// keeps it). Returns `data`.
  KyServiceOutputData* pServiceOutputData(KyServiceOutputData* data);

  static KyAnalysisXMLWriter* castDown(const KyObject* object) {
    return static_cast<KyAnalysisXMLWriter*>(const_cast<KyObject*>(object));
  }

private:
  void init();

  std::vector<std::shared_ptr<KyXMLWriter>> made_;
  int writingDefaults_ = 1;
};
