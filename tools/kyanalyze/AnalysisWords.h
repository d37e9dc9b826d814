// AnalysisWords: analyses named on the command line by their analysis words.
#pragma once

#include <iosfwd>
#include <string>

namespace kyanalyze {

/// The code whose analysis word is exactly `word`, or OPERATION_NONE.
int analysisCode(const std::string& word);
/// The analysis words in code order, separated by commas.
std::string analysisWords();
/// Writes the one-line diagnostic for an unknown analysis word, naming the
/// valid words.
void reportUnknownAnalysis(std::ostream& err, const std::string& word);

} // namespace kyanalyze
