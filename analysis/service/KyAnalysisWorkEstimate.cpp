#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisWorkEstimate.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyXMLUtilities.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string_view>

namespace {

std::uint64_t count(std::string_view text, std::string_view word) {
  std::uint64_t found = 0;
  for (std::size_t at = text.find(word); at != std::string_view::npos;
       at = text.find(word, at + word.size()))
    ++found;
  return found;
}

/// The operation code of the document `text`, as the serializer writes it:
/// the first `value` after the key of the operation option; OPERATION_NONE
/// when it is not there in that form.
int operationOf(std::string_view text) {
  const std::size_t key = text.find("key=\"all:none:operation\"");
  if (key == std::string_view::npos)
    return OPERATION_NONE;
  const std::string_view value = "value=\"";
  const std::size_t at = text.find(value, key);
  if (at == std::string_view::npos || at > text.find("</option>", key))
    return OPERATION_NONE;
  int code = 0;
  std::size_t digit = at + value.size();
  if (digit >= text.size() || text[digit] < '0' || text[digit] > '9')
    return OPERATION_NONE;
  for (; digit < text.size() && text[digit] >= '0' && text[digit] <= '9' && code < 1000; ++digit)
    code = code * 10 + (text[digit] - '0');
  return code;
}

} // namespace

std::uint64_t KyAnalysisWorkEstimate::answerValues(int operation, std::uint64_t nodes,
                                                   std::uint64_t edges) {
  const std::uint64_t members = nodes + edges;
  switch (operation) {
  case OPERATION_ALL_PAIRS_SHORTEST_PATHS:
    return 2 * nodes * nodes + members;
  case OPERATION_SORTED_PATHS:
    return 4 * members *
           (2 + static_cast<std::uint64_t>(std::log2(static_cast<double>(members) + 1)));
  default:
    return 4 * members + 16;
  }
}

std::uint64_t KyAnalysisWorkEstimate::answerValues(const KyServiceInputData& input) {
  const auto* graph =
      dynamic_cast<const KyGraph*>(input.pValue(nullptr, KyAnalysisKey::all::noneGraph));
  if (graph == nullptr)
    return 0;
  const auto* operation =
      dynamic_cast<const KyInt*>(input.pValue(nullptr, KyAnalysisKey::all::noneOperation));
  return answerValues(operation != nullptr ? operation->value() : OPERATION_NONE,
                      static_cast<std::uint64_t>(graph->numberOfNodes()),
                      static_cast<std::uint64_t>(graph->numberOfEdges()));
}

std::uint64_t KyAnalysisWorkEstimate::answerValues(const unsigned char* requestString) {
  unsigned long length = 0;
  const std::unique_ptr<unsigned char[]> document(
      KyXMLUtilities::decodeBase64(requestString, &length));
  if (document == nullptr)
    return 0;
  const std::string_view text(reinterpret_cast<const char*>(document.get()), length);
  return answerValues(operationOf(text), count(text, "<node "), count(text, "<edge "));
}
