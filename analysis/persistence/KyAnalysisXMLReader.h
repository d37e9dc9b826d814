// KyAnalysisXMLReader: loads a graph and its analysis request from one document.
#pragma once

#include <kyanalysis/KyAnalysisExport.h>
#include <kyplatform/KyCompositeXMLReader.h>

#include <memory>
#include <string>
#include <vector>

class KyEdgeXMLReader;
class KyGraph;
class KyGraphXMLReader;
class KyNodeXMLReader;
class KyServiceInputData;
class KyServiceOutputData;

/// Reads an analysis document (docs/analysis-document.md): the part "graph"
/// into the graph given to pGraph(), read first, and a service input part
/// into the input data given to pServiceInputData(). read() is the
/// composite's: 1 when the whole document was read, 0 otherwise with
/// pErrorMessage() saying why. On failure the input data is exactly as it
/// was; the graph is untouched unless the graph part itself was read and a
/// later part failed, so read into a fresh graph and keep it only on
/// success.
///
/// The graph, the input data and any reader handed in stay the caller's.
/// The graph reader and the input data readers this reader makes are its
/// own; copies share them and they go with the last copy.
class KYANALYSIS_EXPORT KyAnalysisXMLReader : public KyCompositeXMLReader {
public:
  /// Reads the file named `fileName`.
  explicit KyAnalysisXMLReader(const wchar_t* fileName);
  /// Reads the `length` bytes at `bytes`, which must stay until read() ends.
  KyAnalysisXMLReader(const unsigned char* bytes, unsigned int length);
  /// Reads the document `next` hands, piece by piece (KyTopLevelXMLReader).
  explicit KyAnalysisXMLReader(NextPiece next);
  KyAnalysisXMLReader(const KyAnalysisXMLReader&) = default;
  KyAnalysisXMLReader& operator=(const KyAnalysisXMLReader&) = default;
  ~KyAnalysisXMLReader() override;

  /// Registers `graph` as the target of the part "graph", read before every
  /// other part; returns it.
  KyGraph* pGraph(KyGraph* graph);
  KyGraph* pGraph() const;
  /// The reader of the part "graph"; the one made at construction unless
  /// replaced (the caller keeps a reader it hands in).
  KyGraphXMLReader* pGraphReader(KyGraphXMLReader* reader);
  KyGraphXMLReader* pGraphReader() const;
  /// Hand a node or edge reader to the current graph reader; return it.
  KyNodeXMLReader* pNodeReader(KyNodeXMLReader* reader);
  KyEdgeXMLReader* pEdgeReader(KyEdgeXMLReader* reader);

  /// Registers `data` as the target of the part `name` with a new input
  /// data reader. Attaches a new KyAnalysisServiceName to `data` when it has
  /// no service name (the data keeps it). Returns `data`.
  KyServiceInputData* pServiceInputData(const wchar_t* name, KyServiceInputData* data);
  /// The same under the part "analysis".
  KyServiceInputData* pServiceInputData(KyServiceInputData* data);
  /// The input data of the latest pServiceInputData() call, whatever its
  /// part name; null before the first.
  KyServiceInputData* pServiceInputData() const;

  /// Registers `data`, an answer, as the object of the part "answer" with a
  /// new output data reader: an answer document holds that part and a
  /// "graph" part for the graph the answer makes, if any. Attaches a new
  /// KyAnalysisServiceName to `data` when it has no service name (the data
  /// keeps it). Returns `data`.
  KyServiceOutputData* pServiceOutputData(KyServiceOutputData* data);

  static KyAnalysisXMLReader* castDown(const KyObject* object) {
    return static_cast<KyAnalysisXMLReader*>(const_cast<KyObject*>(object));
  }

private:
  void init();

  std::vector<std::shared_ptr<KyXMLReader>> made_;
  std::wstring lastInputPart_;
  bool hasInputPart_ = false;
};
