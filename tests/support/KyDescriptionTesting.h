// Helpers for tests that walk a description manager and take keys apart.
#pragma once

#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>

#include <string>
#include <utility>
#include <vector>

namespace kytest {

/// The descriptions of `manager` in registration order, downcast to `T`
/// (null where a description is of another class). Cost O(n).
template <class T = KyServiceItemDescription>
std::vector<const T*> descriptionsOf(const KyServiceItemDescriptionManager& manager) {
  std::vector<const T*> descriptions;
  for (KyDListIter it(manager.pDescriptionList()); it; ++it)
    descriptions.push_back(dynamic_cast<const T*>(it.pObject()));
  return descriptions;
}

/// Part `index` (0: analysis word, 1: scope, 2: name) of a colon-joined key;
/// empty when the key has fewer parts. Scopes may hold no colon.
inline std::wstring keyPart(const wchar_t* key, int index) {
  std::wstring text(key);
  std::size_t begin = 0;
  for (int part = 0; part < index; ++part) {
    begin = text.find(L':', begin);
    if (begin == std::wstring::npos)
      return {};
    ++begin;
  }
  return text.substr(begin, text.find(L':', begin) - begin);
}

/// The owner type that a key scope stands for; empty for an unknown scope.
inline std::wstring ownerTypeOfScope(const std::wstring& scope) {
  static const std::pair<const wchar_t*, const wchar_t*> kScopes[] = {
      {L"none", L"none"},
      {L"graph", L"KyGraph"},
      {L"node", L"KyNode"},
      {L"edge", L"KyEdge"},
      {L"constraint", L"KyClusteringConstraint"},
      {L"(KyNode,KyNode)", L"KyPair"},
  };
  for (const auto& [name, ownerType] : kScopes)
    if (scope == name)
      return ownerType;
  return {};
}

} // namespace kytest
