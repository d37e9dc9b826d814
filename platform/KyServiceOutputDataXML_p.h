// What the service output part reader and writer share. Internal to the
// platform library.
#pragma once

#include <string_view>

namespace KyServiceOutputDataXML {

/// For a value type "List<List<T>>", the type of its inner lists,
/// "List<T>"; empty for any other type.
inline std::wstring_view innerListType(std::wstring_view type) {
  constexpr std::wstring_view prefix = L"List<";
  if (type.size() > 2 * prefix.size() + 2 && type.substr(0, prefix.size()) == prefix &&
      type.substr(prefix.size(), prefix.size()) == prefix && type.back() == L'>')
    return type.substr(prefix.size(), type.size() - prefix.size() - 1);
  return {};
}

} // namespace KyServiceOutputDataXML
