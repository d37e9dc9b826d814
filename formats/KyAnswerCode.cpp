#include <kyformats/KyAnswerCode.h>

#include "KyVocabulary_p.h"

#include <kyformats/KyFormatText.h>
#include <kyformats/KyGraphNames.h>
#include <kyformats/KyRequestListing.h>

#include <kyanalysis/KyAnalysisError.h>
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

/// What each outcome code means, indexed by code.
const char* const kMeanings[] = {
    "the request was answered",
    "there is no request",
    "there is no answer store",
    "the request holds no graph",
    "the request names no analysis",
    "the local engine does not answer this analysis",
    "the start node option holds no node",
    "the finish node option holds no node",
    "the start node is not in the graph",
    "the finish node is not in the graph",
    "a cycle of negative cost leaves no cheapest walk",
    "a cost does not fit in a 32-bit integer",
    "memory ran out",
    "an option holds a value the analysis cannot work with",
    "no connection could be made to the service",
    "the service did not answer within the time limit",
    "the service did not accept the token",
    "the request is larger than the service accepts",
    "the service is busy; try again later",
    "no readable answer came back from the service",
    "the service refused the request",
    "the analysis was stopped at the time limit before its end",
};
static_assert(sizeof(kMeanings) / sizeof(kMeanings[0]) == KyAnalysisError::count(),
              "one meaning per code");

} // namespace

std::string text(int code) {
  const char* name = KyAnalysisError::name(code);
  if (name == nullptr)
    return "error code " + std::to_string(code);
  return std::string(name) + " (" + std::to_string(code) + "): " + kMeanings[code];
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
