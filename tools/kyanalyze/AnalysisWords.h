// AnalysisWords: analyses named on the command line by their analysis words.
#pragma once

#include <iosfwd>
#include <string>

namespace kyanalyze {

/// The code whose analysis word is exactly `word`, or OPERATION_NONE.
int analysisCode(const std::string& word);
/// Writes the one-line diagnostic for an unknown analysis word, naming the
/// valid words.
void reportUnknownAnalysis(std::ostream& err, const std::string& word);
/// `text` with control characters shown as '?', so that echoing what the
/// user typed keeps a diagnostic on one line.
std::string printable(std::string text);

} // namespace kyanalyze
