// KyGraphKey: the graph whose members a value store files by position.
// Internal to the platform library.
#pragma once

#include <kyplatform/KyGraph.h>

#include <memory>

/// A graph known by its address and its life token: a graph made where a
/// gone one was has another token, so it never finds the gone one's values,
/// and those are never walked. O(1) each.
struct KyGraphKey {
  explicit KyGraphKey(const KyGraph* graph)
      : graph(graph), life(graph->lifeToken()), lifeAddress(graph->lifeAddress()) {}

  /// Whether `other`, a graph that is there, is this one.
  bool is(const KyGraph* other) const {
    return other == graph && other->lifeAddress() == lifeAddress;
  }
  /// Whether the graph is gone; `graph` must not be used then.
  bool gone() const { return life.expired(); }

  const KyGraph* graph;
  std::weak_ptr<const void> life;
  const void* lifeAddress;
};
