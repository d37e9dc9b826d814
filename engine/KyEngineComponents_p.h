// Partitions of the analysed graph's nodes into components, numbered in
// node order, and how the component analyses store them. Internal to the
// engine; not installed.
#pragma once

#include "KyEngineAnswer_p.h"
#include "KyEngineNetwork_p.h"

#include <kyplatform/KyNodeDList.h>

#include <utility>
#include <vector>

/// Components numbered 0..count-1 in order of their first node (the one of
/// lowest position): of[v] is the component of the node at position v.
struct KyEngineComponents {
  int count = 0;
  std::vector<int> of;
};

/// The connected components of the network with direction ignored, by
/// joining the ends of every edge. O(n + m) near enough.
KyEngineComponents connectedComponents(const KyEngineNetwork& net);

/// The strongly connected components of the network, its ways followed as
/// they go, by Tarjan's search (iterative, so a path of a million nodes
/// needs no deep call chain). O(n + m).
KyEngineComponents stronglyConnectedComponents(const KyEngineNetwork& net);

/// Stores the partition, which it takes: each node's component number,
/// counting from 1, under `numberKey`, and the components as node lists, in
/// number order, each in node order, under `listKey`. O(n).
inline void writeComponents(const KyEngineNetwork& net, KyEngineComponents components,
                            const wchar_t* numberKey, const wchar_t* listKey,
                            KyEngineAnswer& answer) {
  std::vector<std::vector<KyObject*>> lists = KyEngineAnswer::partition(
      components.count, net.nodeCount(), [&](int v) { return components.of[v]; },
      [&](int v) { return net.node(v); });
  // Numbered from 1; a node of no component (of -1) gets no number.
  for (int& c : components.of)
    ++c;
  answer.nodeIntegers(net.graph(), numberKey, components.of, 0);
  components = KyEngineComponents();
  answer.lists<KyNodeDList>(listKey, std::move(lists));
}

/// Disjoint sets of node positions, joined by size with path halving: each
/// step costs O(1) amortized, near enough. Not copyable.
class KyEngineUnionFind {
public:
  explicit KyEngineUnionFind(int nodeCount);
  KyEngineUnionFind(const KyEngineUnionFind&) = delete;
  KyEngineUnionFind& operator=(const KyEngineUnionFind&) = delete;

  /// The representative of the set of `v`.
  int find(int v) {
    while (parent_[v] != v) {
      parent_[v] = parent_[parent_[v]];
      v = parent_[v];
    }
    return v;
  }
  /// Joins the sets of `a` and `b`; false when they are one set already.
  bool join(int a, int b);

private:
  std::vector<int> parent_, size_;
};
