#include "AnalysisWords.h"

#include "Text.h"

#include <kyanalysis/KyAnalysisOperation.h>

#include <ostream>

namespace kyanalyze {

int analysisCode(const std::string& word) {
  for (int code = 0; code < KyAnalysisOperation::count(); ++code)
    if (toUtf8(KyAnalysisOperation::word(code)) == word)
      return code;
  return OPERATION_NONE;
}

std::string analysisWords() {
  std::string words;
  for (int code = 0; code < KyAnalysisOperation::count(); ++code)
    words += (code > 0 ? ", " : "") + toUtf8(KyAnalysisOperation::word(code));
  return words;
}

void reportUnknownAnalysis(std::ostream& err, const std::string& word) {
  err << "kyanalyze: unknown analysis '" << escaped(word)
      << "'; valid analyses: " << analysisWords() << '\n';
}

} // namespace kyanalyze
