// KyValueColumn: the values of one per-node or per-edge option that a graph
// file carries, and the options such a column may name.
#pragma once

#include <kyformats/KyFormatsExport.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

/// How the values of a column read and are written.
enum class KyValueKind { integer, boolean };

/// The values of one per-node or per-edge option, by the position of the
/// node or edge in its graph.
struct KYFORMATS_EXPORT KyValueColumn {
  /// The option names the values go to, the first one an analysis has
  /// winning: the name from a header or a GraphML key, or "cost" then
  /// "capacity" for the third column of an edge list without a header.
  /// The first name is the column's own, as files write it.
  std::vector<std::string> names;
  KyValueKind kind = KyValueKind::integer;
  /// (position of the node or edge, value), in the order read.
  std::vector<std::pair<int, int>> values;
  /// What the file's integer values were multiplied by to give `values`
  /// (KyGraphReadOptions::scale); 1 for Booleans.
  int scale = 1;

  /// The names of the per-node ("node") or per-edge ("edge") options of all
  /// analyses, sorted, as columns may name them.
  static std::vector<std::string> optionNames(const std::string& scope);
  /// The kind of the column `name` of `scope`; false when no option of any
  /// analysis has that name and scope.
  static bool kindOf(const std::string& scope, const std::string& name, KyValueKind& kind);
  /// Parses a value of a column; false, with "the NAME 'TEXT' is not ..." in
  /// `error` and `value` untouched, when it does not fit the kind. Integers
  /// are decimal numbers with an integral value in 32 bits ("-7", "3.0",
  /// "1e3"); a fractional one is refused with a message that names the
  /// scale. Booleans are 0, 1, true or false in any case.
  static bool parse(KyValueKind kind, std::string_view name, std::string_view text, int& value,
                    std::string& error);
  /// The same, an integer multiplied by `scale` (from 1) and rounded to the
  /// nearest, halves away from zero; fractional values are then taken.
  /// False also when the product does not fit in 32 bits.
  static bool parse(KyValueKind kind, std::string_view name, std::string_view text, int scale,
                    int& value, std::string& error);
};
