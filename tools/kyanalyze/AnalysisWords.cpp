#include "AnalysisWords.h"

#include "Utf8.h"

#include <kyanalysis/KyAnalysisOperation.h>

#include <algorithm>
#include <ostream>

namespace kyanalyze {

int analysisCode(const std::string& word) {
  for (int code = 0; code < KyAnalysisOperation::count(); ++code)
    if (toUtf8(KyAnalysisOperation::word(code)) == word)
      return code;
  return OPERATION_NONE;
}

void reportUnknownAnalysis(std::ostream& err, const std::string& word) {
  err << "kyanalyze: unknown analysis '" << printable(word) << "'; valid analyses: ";
  for (int each = 0; each < KyAnalysisOperation::count(); ++each)
    err << (each > 0 ? ", " : "") << toUtf8(KyAnalysisOperation::word(each));
  err << '\n';
}

std::string printable(std::string text) {
  std::replace_if(
      text.begin(), text.end(),
      [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\x7f'; }, '?');
  return text;
}

} // namespace kyanalyze
