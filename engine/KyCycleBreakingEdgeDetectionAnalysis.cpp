// Cycle-breaking edge detection: a small set of edges whose reversal leaves
// the graph acyclic (a feedback arc set).
//
// Edges are followed from source to target. Any order of the nodes breaks
// every cycle once the edges pointing backwards in it are reversed, and a
// least such set is a least feedback arc set. Edges between two strongly
// connected components never need reversing, so each component with edges
// inside it is ordered on its own; self-loops, which no reversal mends, are
// reported apart and never reversed. Parallel edges count one by one.
//
// Quality buys effort per component:
// - draft: the greedy order of Eades, Lin and Smyth, O(k + a) for k nodes
//   and a edges;
// - medium: that order, then passes that move single nodes to the place
//   among their neighbours where the fewest of their edges point backwards,
//   while a move strictly helps (never worse than draft);
// - proof: the least number, by a program over node subsets, for components
//   of at most kExactLimit nodes; medium for larger ones.
#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyCycleBreakingEdgeDetectionInputTailor.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineComponents_p.h"
#include "KyEngineNetwork_p.h"
#include "KyEngineRequest_p.h"
#include "KyEngineStop_p.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

namespace key = KyAnalysisKey::cycleBreakingEdgeDetection;

constexpr int kNone = -1;
// Largest component that proof quality solves exactly: 2^20 subsets take
// 5 MB and about 0.1 s of CPU (22 nodes: 20 MB and 0.5 s).
constexpr int kExactLimit = 20;
// Most improvement passes at medium quality; a pass costs O(a log a).
constexpr int kImprovementPasses = 16;

// A strongly connected component: its nodes (network positions) by local
// number, and its arcs (edges between two of its distinct nodes) as local
// ends with the network edge, grouped by tail and by head.
struct Component {
  std::vector<int> nodes;
  std::vector<int> from, to, edge;
  std::vector<int> outStart, outArcs, inStart, inArcs;

  int size() const { return static_cast<int>(nodes.size()); }
  template <class Visit> void forOut(int node, Visit visit) const {
    for (int i = outStart[node]; i < outStart[node + 1]; ++i)
      visit(outArcs[i]);
  }
  template <class Visit> void forIn(int node, Visit visit) const {
    for (int i = inStart[node]; i < inStart[node + 1]; ++i)
      visit(inArcs[i]);
  }
};

// The strongly connected components that hold an arc. O(n + m).
std::vector<Component> componentsWithArcs(const KyEngineNetwork& net) {
  const KyEngineComponents parts = stronglyConnectedComponents(net);
  const std::vector<int>& partOf = parts.of;
  const auto inside = [&](int e) {
    return net.source(e) != net.target(e) && partOf[net.source(e)] == partOf[net.target(e)];
  };

  std::vector<int> slot(static_cast<std::size_t>(parts.count), kNone);
  std::vector<Component> result;
  for (int e = 0; e < net.edgeCount(); ++e)
    if (inside(e) && slot[partOf[net.source(e)]] == kNone) {
      slot[partOf[net.source(e)]] = static_cast<int>(result.size());
      result.emplace_back();
    }
  std::vector<int> local(static_cast<std::size_t>(net.nodeCount()), kNone);
  for (int v = 0; v < net.nodeCount(); ++v)
    if (slot[partOf[v]] != kNone) {
      Component& c = result[slot[partOf[v]]];
      local[v] = c.size();
      c.nodes.push_back(v);
    }
  for (int e = 0; e < net.edgeCount(); ++e)
    if (inside(e)) {
      Component& c = result[slot[partOf[net.source(e)]]];
      c.from.push_back(local[net.source(e)]);
      c.to.push_back(local[net.target(e)]);
      c.edge.push_back(e);
    }
  for (Component& c : result) {
    groupByKey(c.size(), c.from, c.outStart, c.outArcs);
    groupByKey(c.size(), c.to, c.inStart, c.inArcs);
  }
  return result;
}

// Items 0..n-1 in doubly linked buckets, each item in at most one.
class Buckets {
public:
  Buckets(int items, int buckets)
      : head_(static_cast<std::size_t>(buckets), kNone), next_(items, kNone), prev_(items, kNone) {}
  int first(int bucket) const { return head_[bucket]; }
  void insert(int item, int bucket) {
    prev_[item] = kNone;
    next_[item] = head_[bucket];
    if (head_[bucket] != kNone)
      prev_[head_[bucket]] = item;
    head_[bucket] = item;
  }
  void erase(int item, int bucket) {
    if (prev_[item] != kNone)
      next_[prev_[item]] = next_[item];
    else
      head_[bucket] = next_[item];
    if (next_[item] != kNone)
      prev_[next_[item]] = prev_[item];
  }

private:
  std::vector<int> head_, next_, prev_;
};

// Eades, Lin and Smyth: sinks go to the back, sources to the front, and when
// neither is left the node of largest outdegree minus indegree goes to the
// front; degrees count the arcs among the nodes not yet placed. O(k + a).
std::vector<int> greedyOrder(const Component& c) {
  const int k = c.size();
  std::vector<int> out(k), in(k);
  int maxDegree = 1;
  for (int v = 0; v < k; ++v) {
    out[v] = c.outStart[v + 1] - c.outStart[v];
    in[v] = c.inStart[v + 1] - c.inStart[v];
    maxDegree = std::max({maxDegree, out[v], in[v]});
  }
  // Bucket 0 holds sinks, 1 sources, 2 + maxDegree + d the others of
  // outdegree minus indegree d.
  constexpr int kSinks = 0, kSources = 1;
  const auto bucketOf = [&](int v) {
    return out[v] == 0 ? kSinks : in[v] == 0 ? kSources : 2 + maxDegree + out[v] - in[v];
  };
  Buckets buckets(k, 3 + 2 * maxDegree);
  std::vector<int> bucket(k);
  int top = 2 + 2 * maxDegree;
  for (int v = 0; v < k; ++v)
    buckets.insert(v, bucket[v] = bucketOf(v));
  const auto rebucket = [&](int v) {
    buckets.erase(v, bucket[v]);
    buckets.insert(v, bucket[v] = bucketOf(v));
    top = std::max(top, bucket[v]);
  };

  std::vector<int> front, back;
  std::vector<char> placed(k, 0);
  for (int left = k; left > 0; --left) {
    int v = buckets.first(kSinks);
    if (v != kNone) {
      back.push_back(v);
    } else {
      v = buckets.first(kSources);
      while (v == kNone && buckets.first(top) == kNone)
        --top;
      if (v == kNone)
        v = buckets.first(top);
      front.push_back(v);
    }
    buckets.erase(v, bucket[v]);
    placed[v] = 1;
    c.forOut(v, [&](int arc) {
      if (!placed[c.to[arc]]) {
        --in[c.to[arc]];
        rebucket(c.to[arc]);
      }
    });
    c.forIn(v, [&](int arc) {
      if (!placed[c.from[arc]]) {
        --out[c.from[arc]];
        rebucket(c.from[arc]);
      }
    });
  }
  front.insert(front.end(), back.rbegin(), back.rend());
  return front;
}

// Improves `order` by moving single nodes: each goes to the gap between its
// neighbours where the fewest of its arcs point backwards, when that is
// strictly fewer than where it stands. Places are numbers, so that a move
// only changes the moved node's; they are renumbered after every pass.
// Passes repeat while some node moved, at most kImprovementPasses times.
void improveOrder(const Component& c, std::vector<int>& order) {
  const int k = c.size();
  std::vector<double> place(k);
  const auto renumber = [&] {
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return place[a] < place[b]; });
    for (int i = 0; i < k; ++i)
      place[order[i]] = i;
  };
  renumber();
  // (place of a neighbour, change in backward arcs when v moves past it).
  std::vector<std::pair<double, int>> marks;
  for (int pass = 0; pass < kImprovementPasses; ++pass) {
    KyEngineStop::check();
    bool moved = false;
    for (int v : order) {
      marks.clear();
      int here = 0;
      c.forOut(v, [&](int arc) {
        marks.emplace_back(place[c.to[arc]], +1);
        here += place[c.to[arc]] < place[v];
      });
      c.forIn(v, [&](int arc) {
        marks.emplace_back(place[c.from[arc]], -1);
        here += place[c.from[arc]] > place[v];
      });
      std::sort(marks.begin(), marks.end());
      // Before every neighbour, each incoming arc points backwards.
      int count = c.inStart[v + 1] - c.inStart[v];
      int best = count;
      std::size_t bestAfter = 0; // the gap after marks[bestAfter - 1]
      for (std::size_t i = 0; i < marks.size(); ++i) {
        count += marks[i].second;
        const bool gapFollows = i + 1 == marks.size() || marks[i + 1].first != marks[i].first;
        if (gapFollows && count < best) {
          best = count;
          bestAfter = i + 1;
        }
      }
      if (best >= here)
        continue;
      const double to = bestAfter == 0 ? marks.front().first - 1
                        : bestAfter == marks.size()
                            ? marks.back().first + 1
                            : (marks[bestAfter - 1].first + marks[bestAfter].first) / 2;
      if ((bestAfter > 0 && to <= marks[bestAfter - 1].first) ||
          (bestAfter < marks.size() && to >= marks[bestAfter].first))
        continue; // the gap is too narrow to split until renumbered
      place[v] = to;
      moved = true;
    }
    renumber();
    if (!moved)
      break;
  }
}

// The order with the fewest backward arcs. best[S] is the fewest backward
// arcs among the nodes of S placed first, in some order of them; placing v
// after S adds the arcs from v into S, counted from bit masks, one per bit
// of the number of parallel arcs. O(2^k k b) time for b such bits,
// 5 * 2^k bytes.
std::vector<int> exactOrder(const Component& c) {
  const int k = c.size();
  std::vector<std::vector<int>> parallel(k, std::vector<int>(k, 0));
  int most = 0;
  for (std::size_t arc = 0; arc < c.from.size(); ++arc)
    most = std::max(most, ++parallel[c.from[arc]][c.to[arc]]);
  std::vector<std::vector<std::uint32_t>> masks; // masks[bit][v]
  for (int bit = 0; (most >> bit) != 0; ++bit) {
    masks.emplace_back(k, 0);
    for (int v = 0; v < k; ++v)
      for (int u = 0; u < k; ++u)
        if ((parallel[v][u] >> bit) & 1)
          masks.back()[v] |= std::uint32_t{1} << u;
  }

  const std::uint32_t all = (std::uint32_t{1} << k) - 1;
  std::vector<std::uint32_t> best(std::size_t{all} + 1, 0);
  std::vector<std::uint8_t> last(std::size_t{all} + 1, 0);
  for (std::uint32_t set = 1; set <= all; ++set) {
    std::uint32_t fewest = UINT32_MAX;
    for (std::uint32_t rest = set; rest != 0; rest &= rest - 1) {
      const int v = __builtin_ctz(rest);
      const std::uint32_t before = set & ~(std::uint32_t{1} << v);
      std::uint32_t count = best[before];
      for (std::size_t bit = 0; bit < masks.size(); ++bit)
        count += static_cast<std::uint32_t>(__builtin_popcount(masks[bit][v] & before)) << bit;
      if (count < fewest) {
        fewest = count;
        last[set] = static_cast<std::uint8_t>(v);
      }
    }
    best[set] = fewest;
  }
  std::vector<int> order(k);
  std::uint32_t set = all;
  for (int i = k - 1; i >= 0; --i) {
    order[i] = last[set];
    set &= ~(std::uint32_t{1} << order[i]);
  }
  return order;
}

} // namespace

int runCycleBreakingEdgeDetectionAnalysis(KyServiceInputData& input, KyGraph& graph,
                                          KyEngineAnswer& answer) {
  const KyCycleBreakingEdgeDetectionInputTailor request(&input);
  const int quality = request.quality();
  if (holdsOtherClass<KyInt>(input, graph, key::graphQuality) ||
      quality < CYCLEBREAKING_QUALITY_DRAFT || quality > CYCLEBREAKING_QUALITY_PROOF)
    return answer.invalidOption(&graph, key::graphQuality);

  const KyEngineNetwork net = readNetwork(graph);
  std::vector<int> backward(static_cast<std::size_t>(net.edgeCount()), 0);
  for (const Component& c : componentsWithArcs(net)) {
    std::vector<int> order;
    if (quality == CYCLEBREAKING_QUALITY_PROOF && c.size() <= kExactLimit) {
      order = exactOrder(c);
    } else {
      order = greedyOrder(c);
      if (quality != CYCLEBREAKING_QUALITY_DRAFT)
        improveOrder(c, order);
    }
    std::vector<int> rank(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
      rank[order[i]] = static_cast<int>(i);
    for (std::size_t arc = 0; arc < c.edge.size(); ++arc)
      backward[c.edge[arc]] = rank[c.from[arc]] > rank[c.to[arc]];
  }

  std::vector<KyEdge*> reversed, loops;
  for (int e = 0; e < net.edgeCount(); ++e) {
    if (backward[e])
      reversed.push_back(net.edge(e));
    if (net.source(e) == net.target(e))
      loops.push_back(net.edge(e));
  }
  // Every edge gets its mark, 0 included.
  answer.edgeIntegers(graph, key::edgeBackward, backward, -1);
  answer.edgeList(nullptr, key::noneEdgeList, reversed);
  answer.edgeList(nullptr, key::noneReflexiveEdgeList, loops);
  return ANALYSIS_ERROR_NONE;
}
