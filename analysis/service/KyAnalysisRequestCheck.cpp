#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisOperation.h>
#include <kyanalysis/KyAnalysisRequestCheck.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyServiceData.h>

int KyAnalysisRequestCheck::outcome(const KyServiceInputData& input) {
  // Both values are read checked, so that a value of the wrong class reads
  // as missing.
  const auto* operation =
      dynamic_cast<const KyInt*>(input.pValue(nullptr, KyAnalysisKey::all::noneOperation));
  if (operation == nullptr || operation->value() == OPERATION_NONE)
    return ANALYSIS_ERROR_NO_OPERATION;
  if (KyAnalysisOperation::word(operation->value()) == nullptr)
    return ANALYSIS_ERROR_OPERATION_NOT_SUPPORTED;
  if (dynamic_cast<const KyGraph*>(input.pValue(nullptr, KyAnalysisKey::all::noneGraph)) == nullptr)
    return ANALYSIS_ERROR_NO_GRAPH;
  return ANALYSIS_ERROR_NONE;
}
