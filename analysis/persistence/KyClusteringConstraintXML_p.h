// The element names of a clustering constraint, shared by its writer and reader.
#pragma once

namespace KyClusteringConstraintXML {

inline constexpr wchar_t kElement[] = L"clusteringConstraint";
inline constexpr wchar_t kFulfilled[] = L"fulfilled";
inline constexpr wchar_t kType[] = L"type";
inline constexpr wchar_t kNodeList[] = L"nodeList";
inline constexpr wchar_t kNodeRef[] = L"noderef";
inline constexpr wchar_t kValue[] = L"value";

/// The type names, indexed by type code.
inline constexpr const wchar_t* kTypeNames[] = {L"sameCluster", L"differentClusters",
                                                L"makeCompleteCluster"};

} // namespace KyClusteringConstraintXML
