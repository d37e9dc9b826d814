// A partition of the analysed graph's nodes into components, numbered in
// node order, and how the component analyses store it. Internal to the
// engine; not installed.
#pragma once

#include "KyEngineAnswer_p.h"
#include "KyEngineLemon_p.h"
#include "KyEngineNetwork_p.h"

#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>

#include <lemon/connectivity.h>

#include <numeric>
#include <utility>
#include <vector>

/// Components numbered 0..count-1 in order of their first node (the one of
/// lowest position): of[v] is the component of the node at position v, and
/// the nodes of component c, in node order, are nodes[start[c]] to
/// nodes[start[c+1]-1].
struct KyEngineComponents {
  int count = 0;
  std::vector<int> of;
  std::vector<int> start, nodes;
};

/// Renumbers a partition of `nodeCount` nodes whose component numbers
/// numberOf(position) are 0..count-1 in any order (as a library algorithm
/// numbers them). O(n).
template <class NumberOf>
KyEngineComponents componentsInNodeOrder(int nodeCount, int count, NumberOf numberOf) {
  KyEngineComponents components;
  components.count = count;
  components.of.resize(static_cast<std::size_t>(nodeCount));
  std::vector<int> renumbered(static_cast<std::size_t>(count), -1);
  int next = 0;
  for (int v = 0; v < nodeCount; ++v) {
    int& number = renumbered[numberOf(v)];
    if (number < 0)
      number = next++;
    components.of[v] = number;
  }
  groupByKey(count, components.of, components.start, components.nodes);
  return components;
}

/// Disjoint sets of node positions, joined by size with path halving: each
/// step costs O(1) amortized, near enough. Not copyable.
class KyEngineUnionFind {
public:
  explicit KyEngineUnionFind(int nodeCount)
      : parent_(static_cast<std::size_t>(nodeCount)), size_(parent_.size(), 1) {
    std::iota(parent_.begin(), parent_.end(), 0);
  }
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
  bool join(int a, int b) {
    a = find(a);
    b = find(b);
    if (a == b)
      return false;
    if (size_[a] < size_[b])
      std::swap(a, b);
    parent_[b] = a;
    size_[a] += size_[b];
    return true;
  }

private:
  std::vector<int> parent_, size_;
};

/// The connected components of the network with direction ignored,
/// numbered in node order. O(n + m) near enough.
inline KyEngineComponents connectedComponents(const KyEngineNetwork& net) {
  const int n = net.nodeCount();
  std::vector<int> root(static_cast<std::size_t>(n));
  int count = 0;
  {
    KyEngineUnionFind sets(n);
    for (int e = 0; e < net.edgeCount(); ++e)
      count += sets.join(net.source(e), net.target(e)) ? 1 : 0;
    for (int v = 0; v < n; ++v)
      root[v] = sets.find(v);
  }
  count = n - count;
  // Number the roots in order of their first node; reuse `root` for it.
  std::vector<int> number(static_cast<std::size_t>(n), -1);
  int next = 0;
  for (int v = 0; v < n; ++v) {
    int& of = number[root[v]];
    if (of < 0)
      of = next++;
    root[v] = of;
  }
  return componentsInNodeOrder(n, count, [&](int v) { return root[v]; });
}

/// The strongly connected components of the digraph (LEMON's Tarjan
/// search), numbered in node order. O(n + m).
inline KyEngineComponents stronglyConnectedComponents(const KyEngineNetwork& net,
                                                      const KyEngineDigraph& digraph) {
  KyEngineDigraph::Graph::NodeMap<int> number(digraph.graph);
  const int count = lemon::stronglyConnectedComponents(digraph.graph, number);
  return componentsInNodeOrder(net.nodeCount(), count,
                               [&](int v) { return number[digraph.node(v)]; });
}

/// Stores the partition: each node's component number, counting from 1,
/// under `numberKey`, and the components as node lists, in number order,
/// under `listKey`. O(n).
inline void writeComponents(const KyEngineNetwork& net, const KyEngineComponents& components,
                            const wchar_t* numberKey, const wchar_t* listKey,
                            KyEngineAnswer& answer) {
  for (int v = 0; v < net.nodeCount(); ++v)
    answer.integer(net.node(v), numberKey, components.of[v] + 1);
  answer.partitionLists<KyNodeDList>(
      listKey, components.count, net.nodeCount(), [&](int v) { return components.of[v]; },
      [&](int v) { return net.node(v); });
}
