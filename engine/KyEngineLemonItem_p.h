// KyEngineLemonItem: the node and arc handles of the engine's LEMON
// digraphs. Internal to the engine; not installed.
#pragma once

#include <lemon/core.h>

struct KyEngineLemonNodeKind;
struct KyEngineLemonArcKind;

/// A node or an arc of the LEMON digraph `Graph`, as LEMON's digraph
/// concept wants it: a position, -1 for INVALID, compared by position.
/// Only `Graph` makes one from a position or reads it; `Kind` keeps nodes
/// and arcs apart. Four bytes, every operation O(1).
template <class Graph, class Kind> class KyEngineLemonItem {
  friend Graph;

protected:
  int id;
  explicit KyEngineLemonItem(int id) : id(id) {}

public:
  KyEngineLemonItem() = default;
  KyEngineLemonItem(lemon::Invalid) : id(-1) {}
  bool operator==(const KyEngineLemonItem& item) const { return id == item.id; }
  bool operator!=(const KyEngineLemonItem& item) const { return id != item.id; }
  bool operator<(const KyEngineLemonItem& item) const { return id < item.id; }
};
