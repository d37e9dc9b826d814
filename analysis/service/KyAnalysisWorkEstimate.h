// KyAnalysisWorkEstimate: how large an answer may grow, told before it is made.
#pragma once

#include <kyanalysis/KyAnalysisExport.h>

#include <cstdint>

class KyServiceInputData;

/// Upper bounds on the number of values (numbers, references, list items)
/// an answer may hold, so that a service can refuse a request whose answer
/// would not fit before any work is done: all pairs of n nodes give 2n²,
/// the sorted paths of a graph of n nodes and m edges O((n + m) log(n + m)),
/// every other analysis O(n + m).
class KYANALYSIS_EXPORT KyAnalysisWorkEstimate {
public:
  /// The bound for `operation` on a graph of `nodes` nodes and `edges` edges.
  /// O(1).
  static std::uint64_t answerValues(int operation, std::uint64_t nodes, std::uint64_t edges);
  /// The bound for the request in `input`; 0 without a graph. O(1).
  static std::uint64_t answerValues(const KyServiceInputData& input);
  /// The bound for a request string (the serializer's base-64 text, zero
  /// terminated) before it is read: node and edge elements counted as the
  /// serializer writes them (comments included), the
  /// operation taken from its option as the serializer writes it, and any
  /// analysis but the two above when that option is not found there. 0 when
  /// the text is not base 64. O(length of the text), with a decoded copy.
  static std::uint64_t answerValues(const unsigned char* requestString);
};
