// AnswerPrinter: an answer as text for people.
#pragma once

#include "AnswerModel.h"

#include <iosfwd>

namespace kyanalyze {

/// Writes an answer answerJson() made: one "name: value"
/// line per result of scope none (lists of lists one item a line below
/// it), then one table per owner scope with a column per result, then the
/// paths of a sorted-paths answer. Edge lists whose edges chain read as
/// paths ("a -> b -> c"), with "(cost N)" when the answer has a totalCost.
void writeAnswer(std::ostream& out, const Json& answer);

/// A path of pathsJson() as "a -> b -> c  (cost 7)".
std::string pathText(const Json& path);

} // namespace kyanalyze
