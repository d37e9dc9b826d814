// KyXMLObjectKind: what an object is to a document (graph, node, edge or
// anything else), told quickly. Internal to the platform library.
#pragma once

#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

#include <typeinfo>

enum class KyXMLObjectKind { graph = 0, node = 1, edge = 2, other = 3 };

/// The kind of `object` (not null). Only a graph makes nodes and edges, so
/// their exact type identifies them without a dynamic_cast, which would
/// walk the class hierarchy on every miss; graphs may be derived and are
/// told by a cast. Cost O(1).
inline KyXMLObjectKind kyXMLKindOf(const KyObject* object) {
  const std::type_info& type = typeid(*object);
  if (type == typeid(KyNode))
    return KyXMLObjectKind::node;
  if (type == typeid(KyEdge))
    return KyXMLObjectKind::edge;
  return dynamic_cast<const KyGraph*>(object) != nullptr ? KyXMLObjectKind::graph
                                                         : KyXMLObjectKind::other;
}
