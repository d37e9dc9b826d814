// EngineOutcome: the local engine's error codes in words.
#pragma once

#include <string>

class KyObject;
class KyServiceInputData;
class KyServiceOutputData;

namespace kyanalyze {

class GraphNames;

/// The code's name and meaning, e.g. "ANALYSIS_ERROR_NO_START_NODE (6): the
/// start node option holds no node"; "error code N" for a code the tool does
/// not know.
std::string engineOutcome(int code);

/// What went wrong with a request the engine refused with `code`, for one
/// line: engineOutcome(), or for ANALYSIS_ERROR_INVALID_OPTION the option
/// the answer names, its owner and its value in the request, and what the
/// option means ("invalid capacity -1 on edge s -> a (...); capacity: the
/// most flow along the edge").
std::string engineFailure(int code, const KyServiceInputData& input,
                          const KyServiceOutputData& output, const GraphNames& names);

/// The value of an option as the document format writes it, nodes by
/// label, node lists as labels separated by blanks.
std::string optionText(const KyServiceInputData& input, const wchar_t* key, const KyObject* value,
                       const GraphNames& names);

} // namespace kyanalyze
