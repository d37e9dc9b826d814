// KyAnalysisCatalog: the analyses with their options and results, and what
// each means, for people and programs.
#pragma once

#include <kyformats/KyFormatsExport.h>

#include <iosfwd>
#include <string>

namespace KyAnalysisCatalog {

/// Every analysis in code order (or only `operation`, when it is one), each
/// with its options and results in registration order, then the options
/// and results every request shares, as JSON indented by two without a
/// final line break: {"analyses": [{"code", "word", "mapName", "options":
/// [{"key", "ownerType", "valueType", "meaning", "default", "enumeration"}],
/// "results": [{"key", "ownerType", "valueType", "meaning"}]}], "shared":
/// {"options", "results"}}. Defaults are numbers or null, enumerations
/// arrays of {"name", "code"} or null.
KYFORMATS_EXPORT std::string json(int operation);

/// The same as text: a heading per analysis, then one line per option and
/// result, columns aligned, its meaning last; the names and codes of an
/// enumerated option follow it, indented.
KYFORMATS_EXPORT void writeText(std::ostream& out, int operation);

} // namespace KyAnalysisCatalog
