// KyLibraryKeys: whether a key text is one of this library's key constants.
// Internal to the tailors.
#pragma once

/// This library's key constants (KyAnalysisKey) by address. A text that is
/// one of them cannot change while the library is loaded, so a value store
/// may trust its address alone.
struct KyLibraryKeys {
  /// Whether `key` is the address of one of the constants, as this library
  /// sees them. O(log of their number).
  static bool holds(const wchar_t* key);
};
