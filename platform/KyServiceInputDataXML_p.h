// What the service input part reader and writer share. Internal to the
// platform library.
#pragma once

#include <kyanalysis/KyEdge.h>
#include <kyanalysis/KyGraph.h>
#include <kyanalysis/KyNode.h>

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
    return dynamic_cast<const KyGraph*>(owner) != nullptr;
  if (ownerType == L"KyNode")
    return dynamic_cast<const KyNode*>(owner) != nullptr;
  if (ownerType == L"KyEdge")
    return dynamic_cast<const KyEdge*>(owner) != nullptr;
  return true;
}

} // namespace KyServiceInputDataXML
