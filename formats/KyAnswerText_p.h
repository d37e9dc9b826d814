// KyAnswerText: an answer as text for people, or as CSV tables.
#pragma once

#include "KyAnswerModel_p.h"

#include <iosfwd>

class KyGraphNames;

namespace KyAnswerText {

using KyAnswerModel::Json;

/// Writes an answer answerJson() made: one "name: value" line per result of
/// scope none (lists of lists one item a line below it), then one table per
/// kind of owner with a column per result, then the paths of a sorted-paths
/// answer. Nodes are shown by their labels in `names`; walks as chains of
/// nodes ("a -> b -> c"), with "(cost N)" when the answer has a totalCost;
/// other edge lists as edges ("a -> b, c -> d"); named codes by name.
/// Columns are aligned by display width.
void write(std::ostream& out, const Json& answer, const KyGraphNames& names);

/// Writes the answer as CSV tables separated by blank lines: first
/// "result,value" for the results of scope none, then one table per kind
/// of owner ("id,node,...", "index,source,target,...", "from,to,...",
/// "constraint,...") with a column per result.
void writeCsv(std::ostream& out, const Json& answer, const KyGraphNames& names);

/// A path of pathsJson() as "a -> b -> c  (cost 7)".
std::string pathText(const Json& path, const KyGraphNames& names);

} // namespace KyAnswerText
