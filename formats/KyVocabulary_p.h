// KyVocabulary: what every option and result of the analyses means, and how
// the renderings show each result.
#pragma once

#include <string>
#include <vector>

namespace KyVocabulary {

/// How a result is shown.
enum class Shape {
  /// As its value.
  value,
  /// An edge list that walks from the node of a graph option: a chain of nodes.
  walk,
  /// A list of such edge lists.
  walks,
  /// An edge list to remove from the graph (a cut): edges, drawn dashed.
  cut,
  /// Refers to the engine's own helper graph; left out of answers.
  helper,
  /// Integer codes with names.
  named
};

/// One option or result.
struct Term {
  /// The key, or "*:scope:name" for the name in every analysis.
  const char* key;
  /// One line saying what it means.
  const char* meaning;
  Shape shape = Shape::value;
  /// For a walk: the graph option of the node it starts from.
  const char* start = nullptr;
  /// For named codes: the names of the codes from 0, separated by blanks.
  const char* names = nullptr;
};

/// The term of `key` (its own row, else the "*:scope:name" row); a term
/// without meaning for a key the table lacks. O(rows).
const Term& termOf(const std::string& key);

/// The name of `code` under a named-codes term, or "" when it has none.
std::string codeName(const Term& term, int code);

/// What the numbers of a result are sums of, so that they can be counted
/// back when the values they sum were read with a scale.
enum class Unit { none, cost, capacity, costTimesCapacity };

/// The unit of the result `key`: totals and lengths of walks are costs,
/// flows capacities, and the total cost of a minimum-cost flow their
/// product.
Unit unitOf(const std::string& key);

} // namespace KyVocabulary
