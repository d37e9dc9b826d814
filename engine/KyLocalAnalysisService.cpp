#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisRequestCheck.h>
#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyText.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineStop_p.h"

#include <new>

namespace {

// The analyses read option defaults through the input's service name, as
// the input tailors do: an input data without one gets one for the run,
// taken off again when the request is done, so the input stays as given.
class InputNameGuard {
public:
  explicit InputNameGuard(KyServiceInputData& input)
      : input_(input), hadName_(input.pServiceName() != nullptr) {
    if (!hadName_)
      input_.pServiceName(new KyAnalysisServiceName);
  }
  ~InputNameGuard() {
    if (!hadName_)
      input_.pServiceName(nullptr);
  }
  InputNameGuard(const InputNameGuard&) = delete;
  InputNameGuard& operator=(const InputNameGuard&) = delete;

private:
  KyServiceInputData& input_;
  bool hadName_;
};

// One function per analysis answers its requests; null for an operation
// the engine does not answer.
using KyAnalysisFunction = int (*)(KyServiceInputData&, KyGraph&, KyEngineAnswer&);

KyAnalysisFunction analysisFor(int operation) {
  switch (operation) {
  case OPERATION_SORTED_PATHS:
    return runSortedPathsAnalysis;
  case OPERATION_CLUSTERING:
    return runClusteringAnalysis;
  case OPERATION_SHORTEST_PATHS:
    return runShortestPathsAnalysis;
  case OPERATION_REACHABLE_NODES:
    return runReachableNodesAnalysis;
  case OPERATION_ALL_PAIRS_SHORTEST_PATHS:
    return runAllPairsShortestPathsAnalysis;
  case OPERATION_PATH_EXISTS_TEST:
    return runPathExistsTestAnalysis;
  case OPERATION_UNIQUE_PATH_TEST:
    return runUniquePathTestAnalysis;
  case OPERATION_DISJOINT_PATHS:
    return runDisjointPathsAnalysis;
  case OPERATION_MINIMUM_SPANNING_TREE:
    return runMinimumSpanningTreeAnalysis;
  case OPERATION_MAXIMUM_FLOW:
    return runMaximumFlowAnalysis;
  case OPERATION_MINIMUM_COST_FLOW:
    return runMinimumCostFlowAnalysis;
  case OPERATION_MINIMUM_CUT:
    return runMinimumCutAnalysis;
  case OPERATION_BREADTH_FIRST_SEARCH:
    return runBreadthFirstSearchAnalysis;
  case OPERATION_DEPTH_FIRST_SEARCH:
    return runDepthFirstSearchAnalysis;
  case OPERATION_TOPOLOGICAL_SORT:
    return runTopologicalSortAnalysis;
  case OPERATION_CONNECTED_COMPONENTS:
    return runConnectedComponentsAnalysis;
  case OPERATION_BICONNECTED_COMPONENTS:
    return runBiconnectedComponentsAnalysis;
  case OPERATION_STRONGLY_CONNECTED_COMPONENTS:
    return runStronglyConnectedComponentsAnalysis;
  case OPERATION_ACYCLIC_TEST:
    return runAcyclicTestAnalysis;
  case OPERATION_NEW_CYCLE_TEST:
    return runNewCycleTestAnalysis;
  case OPERATION_CYCLE_BREAKING_EDGE_DETECTION:
    return runCycleBreakingEdgeDetectionAnalysis;
  case OPERATION_TREE_TEST:
    return runTreeTestAnalysis;
  case OPERATION_ROOT_CAUSE:
    return runRootCauseAnalysis;
  default:
    return nullptr;
  }
}

int answer(KyServiceInputData& input, KyEngineAnswer& writer) {
  // The operation and the graph are checked before any tailor reads the
  // store; the remote client answers a request it cannot send by the same
  // check.
  const int checked = KyAnalysisRequestCheck::outcome(input);
  if (checked != ANALYSIS_ERROR_NONE)
    return checked;
  const KyAnalysisFunction analysis =
      analysisFor(input.getValueAsInteger(nullptr, KyAnalysisKey::all::noneOperation));
  if (analysis == nullptr)
    return ANALYSIS_ERROR_OPERATION_NOT_SUPPORTED;
  auto* graph = static_cast<KyGraph*>(input.pValue(nullptr, KyAnalysisKey::all::noneGraph));

  const InputNameGuard guard(input);
  KyEngineStop::check();
  return analysis(input, *graph, writer);
}

} // namespace

KyLocalAnalysisService::~KyLocalAnalysisService() = default;

thread_local const KyAnalysisStop* KyEngineStop::current = nullptr;

int KyLocalAnalysisService::run(KyServiceInputData* input, KyServiceOutputData* output) const {
  return run(input, output, nullptr);
}

int KyLocalAnalysisService::run(KyServiceInputData* input, KyServiceOutputData* output,
                                const KyAnalysisStop* stop) const {
  if (output == nullptr)
    return input == nullptr ? ANALYSIS_ERROR_NO_INPUT_DATA : ANALYSIS_ERROR_NO_OUTPUT_DATA;
  output->removeAllValues();
  if (output->pServiceName() == nullptr)
    output->pServiceName(new KyAnalysisServiceName);

  int code = ANALYSIS_ERROR_NO_INPUT_DATA;
  KyEngineAnswer writer(*output);
  if (input != nullptr) {
    const KyEngineStop::Watching watching(stop);
    try {
      code = answer(*input, writer);
    } catch (const std::bad_alloc&) {
      code = ANALYSIS_ERROR_OUT_OF_MEMORY;
    } catch (const KyEngineStop::Stopped&) {
      code = ANALYSIS_ERROR_STOPPED;
    }
  }
  if (code != ANALYSIS_ERROR_NONE)
    output->removeAllValues();
  output->storeInteger(nullptr, KyAnalysisKey::errorCode, code);
  if (code == ANALYSIS_ERROR_INVALID_OPTION && writer.invalidKey() != nullptr)
    output->storeOwned(const_cast<KyObject*>(writer.invalidOwner()), KyAnalysisKey::errorOption,
                       new KyText(writer.invalidKey()));
  return code;
}
