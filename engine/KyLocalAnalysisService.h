// KyLocalAnalysisService: the embedded analysis service.
#pragma once

#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyengine/KyEngineExport.h>
#include <kyplatform/KyObject.h>

class KyAnalysisStop;
class KyServiceInputData;
class KyServiceOutputData;

/// Answers analysis requests in-process, on the caller's thread, to
/// completion. It reads the operation, the graph and the options from the
/// input data (through the analysis's input tailor) and writes the answer
/// into the output data under the result keys. It answers all 23 analyses;
/// docs/analyses.md defines what each computes.
///
/// The service holds no state; one object may answer any number of requests.
class KYENGINE_EXPORT KyLocalAnalysisService : public KyObject {
public:
  KyLocalAnalysisService() = default;
  ~KyLocalAnalysisService() override;

  /// Answers the request in `input` into `output` and returns the outcome
  /// (KyAnalysisErrorEnum), which it also stores under "errorCode".
  ///
  /// The output data is emptied first (every value it holds is removed; its
  /// service name stays) and gets a KyAnalysisServiceName when it has none;
  /// it then owns everything stored in it, down to the path graph of a
  /// sorted-paths answer. The analysed graph, its nodes and edges stay the
  /// caller's and must outlive the answer, which refers to them. On failure
  /// the answer holds "errorCode" alone. With a null output data nothing is
  /// stored and only the code is returned. The input data is read only: it
  /// is left exactly as it was, service name included. Cost: that of the
  /// analysis, plus O(values held) to empty the output data.
  int run(KyServiceInputData* input, KyServiceOutputData* output) const;
  /// As run(input, output), and stops early when another thread asks
  /// `stop` (which may be null: never): the answer then holds
  /// ANALYSIS_ERROR_STOPPED alone, within a second of the request.
  int run(KyServiceInputData* input, KyServiceOutputData* output, const KyAnalysisStop* stop) const;

  static KyLocalAnalysisService* castDown(const KyObject* object) {
    return static_cast<KyLocalAnalysisService*>(const_cast<KyObject*>(object));
  }
};
