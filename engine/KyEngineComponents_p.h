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
  std::vector<std::vector<KyNode*>> lists(static_cast<std::size_t>(components.count));
  for (int c = 0; c < components.count; ++c)
    for (int i = components.start[c]; i < components.start[c + 1]; ++i) {
      KyNode* node = net.nodes[components.nodes[i]];
      answer.integer(node, numberKey, c + 1);
      lists[c].push_back(node);
    }
  answer.listOfLists<KyNodeDList>(listKey, lists);
}
