// EngineOutcome: the local engine's error codes in words.
#pragma once

#include <string>

namespace kyanalyze {

/// The code's name and meaning, e.g. "ANALYSIS_ERROR_NO_START_NODE (6): the
/// start node option holds no node"; "error code N" for a code the tool does
/// not know.
std::string engineOutcome(int code);

} // namespace kyanalyze
