#include "KyEngineComponents_p.h"

#include "KyEngineForwardStar_p.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace {

// Renumbers the labels 0..labels-1 that `of` gives the nodes so that they
// come in order of their first node. O(n + labels).
void numberInNodeOrder(std::vector<int>& of, int labels) {
  std::vector<int> renumbered(static_cast<std::size_t>(labels), -1);
  int next = 0;
  for (int& label : of) {
    int& number = renumbered[label];
    if (number < 0)
      number = next++;
    label = number;
  }
}

} // namespace

KyEngineUnionFind::KyEngineUnionFind(int nodeCount)
    : parent_(static_cast<std::size_t>(nodeCount)), size_(parent_.size(), 1) {
  std::iota(parent_.begin(), parent_.end(), 0);
}

bool KyEngineUnionFind::join(int a, int b) {
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

KyEngineComponents connectedComponents(const KyEngineNetwork& net) {
  const int n = net.nodeCount();
  KyEngineComponents components;
  components.count = n;
  components.of.resize(static_cast<std::size_t>(n));
  {
    KyEngineUnionFind sets(n);
    for (int e = 0; e < net.edgeCount(); ++e)
      components.count -= sets.join(net.source(e), net.target(e)) ? 1 : 0;
    for (int v = 0; v < n; ++v)
      components.of[v] = sets.find(v);
  }
  numberInNodeOrder(components.of, n); // the representatives' positions
  return components;
}

KyEngineComponents stronglyConnectedComponents(const KyEngineNetwork& net) {
  // Pearce's space-saving form of Tarjan's search: rank[v] is 0 until the
  // search reaches v, then the least order of reaching among the nodes v's
  // subtree reaches and that are not yet placed, and once v is placed its
  // component's number counted down from n - 1, which no order of reaching
  // still in use exceeds.
  const int n = net.nodeCount();
  // The ways out of each node side by side: the search reads runs of
  // memory rather than following the graph's links, a cache miss a way.
  const KyEngineForwardStar ways(net, [](int) { return true; });
  std::vector<int> rank(static_cast<std::size_t>(n), 0);
  std::vector<int> open; // reached, neither placed nor the root of a component
  struct Call {
    int node;
    int way; // the next way out to follow, counting down to the node's first
    bool root;
  };
  std::vector<Call> calls;
  int order = 1;
  int number = n - 1;
  const auto lower = [&](Call& call, int reached) {
    if (rank[reached] < rank[call.node]) {
      rank[call.node] = rank[reached];
      call.root = false;
    }
  };
  const auto enter = [&](int v) {
    rank[v] = order++;
    calls.push_back(Call{v, ways.end(v) - 1, true});
  };
  for (int start = 0; start < n; ++start) {
    if (rank[start] != 0)
      continue;
    enter(start);
    while (!calls.empty()) {
      Call& call = calls.back();
      if (call.way >= ways.begin(call.node)) {
        const int w = ways.slot(call.way--).target;
        if (rank[w] == 0)
          enter(w);
        else
          lower(call, w);
        continue;
      }
      const Call done = call;
      calls.pop_back();
      if (done.root) {
        --order;
        while (!open.empty() && rank[done.node] <= rank[open.back()]) {
          rank[open.back()] = number;
          open.pop_back();
          --order;
        }
        rank[done.node] = number--;
      } else {
        open.push_back(done.node);
      }
      if (!calls.empty())
        lower(calls.back(), done.node);
    }
  }
  KyEngineComponents components;
  components.count = n - 1 - number;
  components.of = std::move(rank);
  for (int& of : components.of)
    of = n - 1 - of;
  numberInNodeOrder(components.of, components.count);
  return components;
}
