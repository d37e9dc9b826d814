// KyAnswerCode: the outcome codes of an analysis service in words.
#pragma once

#include <kyformats/KyFormatsExport.h>

#include <string>

class KyGraphNames;
class KyServiceInputData;
class KyServiceOutputData;

namespace KyAnswerCode {

/// The code's name and meaning, e.g. "ANALYSIS_ERROR_NO_START_NODE (6): the
/// start node option holds no node"; "error code N" for a code no service
/// gives.
KYFORMATS_EXPORT std::string text(int code);

/// What went wrong with a request a service refused with `code`, for one
/// line: text(), or for ANALYSIS_ERROR_INVALID_OPTION the option the answer
/// names, its owner and its value in the request, and what the option
/// means ("invalid capacity -1 on edge s -> a (...); capacity: the most
/// flow along the edge"). Nodes are named by their labels in `names`.
KYFORMATS_EXPORT std::string failure(int code, const KyServiceInputData& request,
                                     const KyServiceOutputData& answer, const KyGraphNames& names);

} // namespace KyAnswerCode
