// KyAnalysisOperation: names of the 23 analysis operations.
#pragma once

#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisExport.h>

/// The two names of every operation code: the word that starts its keys
/// ("shortestPaths") and its name in the operation map
/// ("OPERATION_SHORTEST_PATHS"). Lookups by code cost O(1), by word O(23).
class KYANALYSIS_EXPORT KyAnalysisOperation {
public:
  /// Number of operations; their codes run from 0 to count() - 1.
  static constexpr int count() { return 23; }
  /// The analysis word of `code`, or null for a code outside 0..22.
  static const wchar_t* word(int code);
  /// The operation map name of `code`, or null for a code outside 0..22.
  static const wchar_t* mapName(int code);
  /// The code whose analysis word is `word`; OPERATION_NONE when none is.
  static KyAnalysisOperationEnum fromWord(const wchar_t* word);
};
