// KyLibraryConstants: where this library's constants lie, and
// kyIsLibraryConstant(), whether a text is one of them. Internal to the
// tailors.
#pragma once

#include <cstdint>

/// The bounds of this library's read-only data, where the analysis key
/// constants are; found from the library's program headers when the library
/// is loaded, empty before that or where they cannot be found.
struct KyLibraryConstants {
  static std::uintptr_t begin, end;
};

/// Whether `text` lies in this library's read-only data. Such a text cannot
/// change while the library is loaded, so a value store may trust its
/// address alone. O(1): two comparisons.
inline bool kyIsLibraryConstant(const void* text) {
  const auto address = reinterpret_cast<std::uintptr_t>(text);
  return address >= KyLibraryConstants::begin && address < KyLibraryConstants::end;
}
