#include <kyformats/KyAnswerCode.h>

#include "KyVocabulary_p.h"

#include <kyformats/KyFormatText.h>
#include <kyformats/KyGraphNames.h>
#include <kyformats/KyRequestListing.h>

#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyDList.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyServiceName.h>
#include <kyplatform/KyText.h>

#include <memory>

namespace KyAnswerCode {
namespace {

struct Outcome {
  int code;
  const char* name;
  const char* meaning;
};

const Outcome kOutcomes[] = {
    {ANALYSIS_ERROR_NONE, "ANALYSIS_ERROR_NONE", "the request was answered"},
    {ANALYSIS_ERROR_NO_INPUT_DATA, "ANALYSIS_ERROR_NO_INPUT_DATA", "there is no request"},
    {ANALYSIS_ERROR_NO_OUTPUT_DATA, "ANALYSIS_ERROR_NO_OUTPUT_DATA", "there is no answer store"},
    {ANALYSIS_ERROR_NO_GRAPH, "ANALYSIS_ERROR_NO_GRAPH", "the request holds no graph"},
    {ANALYSIS_ERROR_NO_OPERATION, "ANALYSIS_ERROR_NO_OPERATION", "the request names no analysis"},
    {ANALYSIS_ERROR_OPERATION_NOT_SUPPORTED, "ANALYSIS_ERROR_OPERATION_NOT_SUPPORTED",
     "the local engine does not answer this analysis"},
    {ANALYSIS_ERROR_NO_START_NODE, "ANALYSIS_ERROR_NO_START_NODE",
     "the start node option holds no node"},
    {ANALYSIS_ERROR_NO_FINISH_NODE, "ANALYSIS_ERROR_NO_FINISH_NODE",
     "the finish node option holds no node"},
    {ANALYSIS_ERROR_START_NODE_NOT_IN_GRAPH, "ANALYSIS_ERROR_START_NODE_NOT_IN_GRAPH",
     "the start node is not in the graph"},
    {ANALYSIS_ERROR_FINISH_NODE_NOT_IN_GRAPH, "ANALYSIS_ERROR_FINISH_NODE_NOT_IN_GRAPH",
     "the finish node is not in the graph"},
    {ANALYSIS_ERROR_NEGATIVE_CYCLE, "ANALYSIS_ERROR_NEGATIVE_CYCLE",
     "a cycle of negative cost leaves no cheapest walk"},
    {ANALYSIS_ERROR_COST_OVERFLOW, "ANALYSIS_ERROR_COST_OVERFLOW",
     "a cost does not fit in a 32-bit integer"},
    {ANALYSIS_ERROR_OUT_OF_MEMORY, "ANALYSIS_ERROR_OUT_OF_MEMORY", "memory ran out"},
    {ANALYSIS_ERROR_INVALID_OPTION, "ANALYSIS_ERROR_INVALID_OPTION",
     "an option holds a value the analysis cannot work with"},
    {ANALYSIS_ERROR_CANNOT_CONNECT, "ANALYSIS_ERROR_CANNOT_CONNECT",
     "no connection could be made to the service"},
    {ANALYSIS_ERROR_TIMED_OUT, "ANALYSIS_ERROR_TIMED_OUT",
     "the service did not answer within the time limit"},
    {ANALYSIS_ERROR_UNAUTHORIZED, "ANALYSIS_ERROR_UNAUTHORIZED",
     "the service did not accept the token"},
    {ANALYSIS_ERROR_REQUEST_TOO_LARGE, "ANALYSIS_ERROR_REQUEST_TOO_LARGE",
     "the request is larger than the service accepts"},
    {ANALYSIS_ERROR_SERVICE_BUSY, "ANALYSIS_ERROR_SERVICE_BUSY",
     "the service is busy; try again later"},
    {ANALYSIS_ERROR_UNREADABLE_ANSWER, "ANALYSIS_ERROR_UNREADABLE_ANSWER",
     "no readable answer came back from the service"},
    {ANALYSIS_ERROR_REQUEST_REFUSED, "ANALYSIS_ERROR_REQUEST_REFUSED",
     "the service refused the request"},
    {ANALYSIS_ERROR_STOPPED, "ANALYSIS_ERROR_STOPPED",
     "the analysis was stopped at the time limit before its end"},
};

} // namespace

std::string text(int code) {
  for (const Outcome& outcome : kOutcomes)
    if (outcome.code == code)
      return std::string(outcome.name) + " (" + std::to_string(code) + "): " + outcome.meaning;
  return "error code " + std::to_string(code);
}

std::string failure(int code, const KyServiceInputData& request, const KyServiceOutputData& answer,
                    const KyGraphNames& names) {
  const KyObject* owner = nullptr;
  std::wstring key;
  answer.visitValues([&](const KyObject* each, const wchar_t* name, KyObject* value) {
    if (std::wstring(name) == KyAnalysisKey::errorOption)
      if (const auto* message = dynamic_cast<const KyText*>(value)) {
        owner = each;
        key = message->pValue();
      }
  });
  if (code != ANALYSIS_ERROR_INVALID_OPTION || key.empty())
    return text(code);
  const std::string fullKey = KyFormatText::toUtf8(key.c_str());
  const std::string name = fullKey.substr(fullKey.rfind(':') + 1);
  const KyObject* value = request.pValue(owner, key.c_str());
  std::string line =
      "invalid " + name + " " +
      (value != nullptr ? KyRequestListing::optionText(request, key.c_str(), value, names)
                        : std::string("(not set)"));
  if (dynamic_cast<const KyNode*>(owner) != nullptr)
    line += " on node " + names.member(owner);
  else if (const auto* edge = dynamic_cast<const KyEdge*>(owner))
    line += edge->pName() != nullptr ? " on edge " + names.member(owner)
                                     : " on " + names.member(owner); // "edge 3 (a -> b)"
  line += " (ANALYSIS_ERROR_INVALID_OPTION, 13)";
  const KyVocabulary::Term& term = KyVocabulary::termOf(fullKey);
  if (*term.meaning != '\0')
    line += "; " + name + ": " + term.meaning;
  return line;
}

} // namespace KyAnswerCode
