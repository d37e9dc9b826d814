// What the service input part reader and writer share. Internal to the
// platform library.
#pragma once

#include "KyXMLObjectKind_p.h"

#include <string_view>

namespace KyServiceInputDataXML {

/// The value type whose values are written as elements, not as text.
constexpr std::wstring_view kConstraintManagerType = L"KyConstraintManager";

/// True when `owner` may own a value of an option whose owner type is
/// `ownerType`: no owner for "none"; none or an object of the type for
/// "KyGraph", "KyNode" and "KyEdge"; anything for other owner types.
inline bool ownerFits(const KyObject* owner, std::wstring_view ownerType) {
  if (ownerType == L"none")
    return owner == nullptr;
  if (owner == nullptr)
    return true;
  if (ownerType == L"KyGraph")
    return kyXMLKindOf(owner) == KyXMLObjectKind::graph;
  if (ownerType == L"KyNode")
    return kyXMLKindOf(owner) == KyXMLObjectKind::node;
  if (ownerType == L"KyEdge")
    return kyXMLKindOf(owner) == KyXMLObjectKind::edge;
  return true;
}

} // namespace KyServiceInputDataXML
