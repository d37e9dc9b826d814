// Partitioning in three steps per run:
//
// 1. Communities by the Louvain method: every unit moves to the neighbouring
//    community that raises the modularity most, then each community becomes
//    one node of a coarser graph, until nothing moves. A move that would join
//    two conflicting units is never made. The number of communities is the
//    number of clusters the ties themselves suggest.
// 2. The number of clusters k is that number, clamped to the bounds. Too many
//    communities are packed into k clusters (heaviest first, each where it
//    adds most modularity and the weight cap allows); units without ties go
//    to the lightest cluster they may join; clusters still empty get the
//    heavier half of the heaviest cluster.
// 3. Refinement: units leave clusters over the weight cap, cheapest move
//    first; then passes of single-unit moves that lower the cut cost, or keep
//    it and even out the weights, within the cap and the conflicts.
//
// Runs differ in the order units are visited; the answer is the run that
// breaks fewest conflicts, then exceeds the cap least, then has the highest
// modularity.
#include "KyEnginePartitioner_p.h"

#include "KyEngineNetwork_p.h"
#include "KyEngineStop_p.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <queue>
#include <random>
#include <tuple>
#include <utility>

namespace {

constexpr int kNone = -1;
constexpr double kTiny = 1e-9;
constexpr int kMaxLocalPasses = 64;
constexpr int kStalePasses = 3;
constexpr int kSettledShare = 1000;

std::vector<int> shuffled(int size, std::mt19937& random) {
  std::vector<int> order(static_cast<std::size_t>(size));
  std::iota(order.begin(), order.end(), 0);
  std::shuffle(order.begin(), order.end(), random);
  return order;
}

// Marks of a set of clusters, cleared in O(1) by moving to a new round.
class Marks {
public:
  explicit Marks(int size) : round_(static_cast<std::size_t>(size), 0) {}
  void clear() { ++now_; }
  bool has(int item) const { return round_[item] == now_; }
  void add(int item) { round_[item] = now_; }

private:
  std::vector<unsigned> round_;
  unsigned now_ = 1;
};

// The summed costs from one unit or node to each cluster it touches.
class Links {
public:
  explicit Links(int clusters) : cost_(static_cast<std::size_t>(clusters), 0.0), seen_(clusters) {}
  void clear() {
    seen_.clear();
    touched_.clear();
  }
  void add(int cluster, double cost) {
    if (!seen_.has(cluster)) {
      seen_.add(cluster);
      cost_[cluster] = 0.0;
      touched_.push_back(cluster);
    }
    cost_[cluster] += cost;
  }
  double to(int cluster) const { return seen_.has(cluster) ? cost_[cluster] : 0.0; }
  const std::vector<int>& touched() const { return touched_; }

private:
  std::vector<double> cost_;
  Marks seen_;
  std::vector<int> touched_;
};

int renumber(std::vector<int>& label) {
  std::vector<int> number(label.size(), kNone);
  int next = 0;
  for (int& l : label) {
    if (number[l] == kNone)
      number[l] = next++;
    l = number[l];
  }
  return next;
}

// One run of the three steps on a request.
class Run {
public:
  Run(const KyPartitionRequest& request, unsigned seed)
      : r_(request), units_(request.graph.size()), random_(seed) {
    for (int u = 0; u < units_; ++u)
      twiceTies_ += r_.graph.strength(u);
  }

  std::vector<int> cluster;
  int clusters = 0;

  void partition() {
    fitCount(louvain());
    rebalance();
    // A pass may overfill a cluster by up to the heaviest unit, which the
    // rebalancing after it relieves: so units can trade places under a tight
    // cap. The best state after any pass is kept.
    const double slack = static_cast<double>(*std::max_element(r_.weight.begin(), r_.weight.end()));
    std::vector<int> best = cluster;
    auto bestState = std::make_tuple(brokenConflicts(), excessWeight(), cutCost());
    for (int pass = 0, stale = 0; pass < r_.passes && stale < kStalePasses; ++pass) {
      KyEngineStop::check();
      const bool moved = refinePass(cap_ + slack);
      rebalance();
      const auto state = std::make_tuple(brokenConflicts(), excessWeight(), cutCost());
      stale = state < bestState ? 0 : stale + 1;
      if (state < bestState) {
        best = cluster;
        bestState = state;
      }
      if (!moved)
        break;
    }
    cluster = std::move(best);
    recount();
  }

  // Fewest broken conflicts, then least weight over the cap, then highest
  // modularity.
  std::tuple<long, double, double> score() const {
    return {brokenConflicts(), excessWeight(), -modularity()};
  }

private:
  double gain(double link, double strength, double total) const {
    return link - r_.resolution * strength * total / twiceTies_;
  }

  // Step 1: community of every unit, kNone for units without ties.
  std::vector<int> louvain() {
    std::vector<int> unitNode(static_cast<std::size_t>(units_));
    std::iota(unitNode.begin(), unitNode.end(), 0);
    if (twiceTies_ > 0.0) {
      KyPartitionGraph level = r_.graph;
      while (louvainLevel(level, unitNode)) {
      }
      // Single units may still move to a better community.
      std::vector<int> single(static_cast<std::size_t>(units_));
      std::iota(single.begin(), single.end(), 0);
      localMoves(r_.graph, single, unitNode);
      renumber(unitNode);
    }
    for (int u = 0; u < units_; ++u)
      if (r_.graph.strength(u) <= 0.0)
        unitNode[u] = kNone;
    return unitNode;
  }

  // Local moves on one level, then the coarser level; false when nothing
  // moved.
  bool louvainLevel(KyPartitionGraph& level, std::vector<int>& unitNode) {
    const int n = level.size();
    std::vector<int> community(static_cast<std::size_t>(n));
    std::iota(community.begin(), community.end(), 0);
    if (!localMoves(level, unitNode, community))
      return false;
    const int coarse = renumber(community);
    for (int& node : unitNode)
      node = community[node];
    std::vector<int> from, to;
    std::vector<double> cost;
    for (int i = 0; i < n; ++i) {
      from.push_back(community[i]);
      to.push_back(community[i]);
      cost.push_back(level.loop[i]);
      for (int a = level.start[i]; a < level.start[i + 1]; ++a) {
        from.push_back(community[i]);
        to.push_back(community[level.neighbour[a]]);
        cost.push_back(level.cost[a]);
      }
    }
    level = makePartitionGraph(coarse, from, to, cost);
    return true;
  }

  // Moves each node of `level` (units unitNode[u] == node) to the community
  // (labels below the node count) that raises the modularity most, until
  // none moves; false when none moved at all.
  bool localMoves(const KyPartitionGraph& level, const std::vector<int>& unitNode,
                  std::vector<int>& community) {
    const int n = level.size();
    // The nodes each node conflicts with, through the units they hold.
    std::vector<int> conflictOwner, conflictNode, conflictStart, conflicts;
    for (int u = 0; u < units_; ++u)
      for (int v : r_.conflicts[u]) {
        conflictOwner.push_back(unitNode[u]);
        conflictNode.push_back(unitNode[v]);
      }
    groupByKey(n, conflictOwner, conflictStart, conflicts);
    std::vector<double> strength(static_cast<std::size_t>(n)), total(strength.size(), 0.0);
    for (int i = 0; i < n; ++i) {
      strength[i] = level.strength(i);
      total[community[i]] += strength[i];
    }
    Links links(n);
    Marks forbidden(n);
    const std::vector<int> order = shuffled(n, random_);
    bool movedAny = false;
    // A pass that moves fewer than one node in kSettledShare ends the level:
    // what is left is noise the coarser levels and the refinement settle.
    for (int pass = 0; pass < kMaxLocalPasses; ++pass) {
      KyEngineStop::check();
      int moved = 0;
      for (int i : order) {
        const int own = community[i];
        total[own] -= strength[i];
        links.clear();
        links.add(own, 0.0);
        for (int a = level.start[i]; a < level.start[i + 1]; ++a)
          links.add(community[level.neighbour[a]], level.cost[a]);
        forbidden.clear();
        for (int c = conflictStart[i]; c < conflictStart[i + 1]; ++c)
          forbidden.add(community[conflictNode[conflicts[c]]]);
        int best = own;
        double bestGain = gain(links.to(own), strength[i], total[own]);
        for (int c : links.touched()) {
          const double g = gain(links.to(c), strength[i], total[c]);
          if (!forbidden.has(c) && g > bestGain + kTiny * (std::abs(bestGain) + 1.0)) {
            best = c;
            bestGain = g;
          }
        }
        total[best] += strength[i];
        if (best != own) {
          community[i] = best;
          ++moved;
        }
      }
      movedAny = movedAny || moved > 0;
      if (moved * kSettledShare < n)
        break;
    }
    return movedAny;
  }

  // Step 2: exactly k clusters, k the number of communities within bounds.
  void fitCount(const std::vector<int>& community) {
    std::vector<int> label = community;
    int found = 0;
    for (int l : label)
      found = std::max(found, l + 1);
    clusters = found == 0 ? r_.minClusters : std::clamp(found, r_.minClusters, r_.maxClusters);
    cluster.assign(static_cast<std::size_t>(units_), kNone);
    weight_.assign(static_cast<std::size_t>(clusters), 0);
    size_.assign(static_cast<std::size_t>(clusters), 0);
    tieTotal_.assign(static_cast<std::size_t>(clusters), 0.0);
    cap_ = clusterWeightCap(std::accumulate(r_.weight.begin(), r_.weight.end(), std::int64_t{0}),
                            *std::max_element(r_.weight.begin(), r_.weight.end()), clusters,
                            r_.balance);

    // Communities, heaviest first; with no more than k of them each gets
    // a cluster of its own.
    std::vector<int> groupStart, groupUnits;
    std::vector<int> key(label.size());
    for (std::size_t u = 0; u < label.size(); ++u)
      key[u] = label[u] == kNone ? found : label[u];
    groupByKey(found + 1, key, groupStart, groupUnits);
    std::vector<std::int64_t> groupWeight(static_cast<std::size_t>(found), 0);
    for (int g = 0; g < found; ++g)
      for (int i = groupStart[g]; i < groupStart[g + 1]; ++i)
        groupWeight[g] += r_.weight[groupUnits[i]];
    std::vector<int> byWeight(static_cast<std::size_t>(found));
    std::iota(byWeight.begin(), byWeight.end(), 0);
    std::stable_sort(byWeight.begin(), byWeight.end(),
                     [&](int a, int b) { return groupWeight[a] > groupWeight[b]; });
    int emptyLeft = clusters;
    for (std::size_t rank = 0; rank < byWeight.size(); ++rank) {
      const int g = byWeight[rank];
      const bool mustOpen = static_cast<int>(byWeight.size() - rank) <= emptyLeft;
      const int target =
          found <= clusters || mustOpen
              ? firstEmpty()
              : bestClusterFor(groupUnits, groupStart[g], groupStart[g + 1], groupWeight[g]);
      emptyLeft -= size_[target] == 0 ? 1 : 0;
      for (int i = groupStart[g]; i < groupStart[g + 1]; ++i)
        place(groupUnits[i], target);
    }
    // Units without ties, heaviest first, each to the lightest cluster it may
    // join.
    std::vector<int> loose(groupUnits.begin() + groupStart[found], groupUnits.end());
    std::stable_sort(loose.begin(), loose.end(),
                     [&](int a, int b) { return r_.weight[a] > r_.weight[b]; });
    for (int u : loose)
      place(u, lightestAllowed(u));
    for (int empty = firstEmpty(); empty != kNone; empty = firstEmpty())
      splitHeaviest(empty);
  }

  int firstEmpty() const {
    const auto found = std::find(size_.begin(), size_.end(), 0);
    return found == size_.end() ? kNone : static_cast<int>(found - size_.begin());
  }

  void place(int u, int c) {
    cluster[u] = c;
    weight_[c] += r_.weight[u];
    ++size_[c];
    tieTotal_[c] += r_.graph.strength(u);
  }
  void move(int u, int c) {
    const int from = cluster[u];
    weight_[from] -= r_.weight[u];
    --size_[from];
    tieTotal_[from] -= r_.graph.strength(u);
    place(u, c);
  }

  // The cluster where a community adds most modularity, among those it may
  // join within the cap; else the lightest it may join; else the lightest.
  int bestClusterFor(const std::vector<int>& units, int first, int last, std::int64_t weight) {
    Links links(clusters);
    Marks forbidden(clusters);
    double strength = 0.0;
    for (int i = first; i < last; ++i) {
      const int u = units[i];
      strength += r_.graph.strength(u);
      for (int a = r_.graph.start[u]; a < r_.graph.start[u + 1]; ++a)
        if (cluster[r_.graph.neighbour[a]] != kNone)
          links.add(cluster[r_.graph.neighbour[a]], r_.graph.cost[a]);
      for (int v : r_.conflicts[u])
        if (cluster[v] != kNone)
          forbidden.add(cluster[v]);
    }
    int best = kNone, lightest = kNone;
    for (int c = 0; c < clusters; ++c) {
      if (forbidden.has(c))
        continue;
      if (lightest == kNone || weight_[c] < weight_[lightest])
        lightest = c;
      if (static_cast<double>(weight_[c] + weight) <= cap_ + kTiny &&
          (best == kNone || gain(links.to(c), strength, tieTotal_[c]) >
                                gain(links.to(best), strength, tieTotal_[best]) + kTiny))
        best = c;
    }
    if (best != kNone)
      return best;
    return lightest != kNone ? lightest : lightestCluster();
  }

  int lightestAllowed(int u) {
    Marks forbidden(clusters);
    for (int v : r_.conflicts[u])
      if (cluster[v] != kNone)
        forbidden.add(cluster[v]);
    int best = kNone;
    for (int c = 0; c < clusters; ++c)
      if (!forbidden.has(c) && (best == kNone || weight_[c] < weight_[best]))
        best = c;
    return best != kNone ? best : lightestCluster();
  }
  int lightestCluster() const {
    return static_cast<int>(std::min_element(weight_.begin(), weight_.end()) - weight_.begin());
  }

  // Moves about half the weight of the heaviest cluster of two or more units
  // into the empty cluster `empty`: the units first reached by a search from
  // a far end of the cluster, along ties inside it.
  void splitHeaviest(int empty) {
    int heaviest = kNone;
    for (int c = 0; c < clusters; ++c)
      if (size_[c] >= 2 && (heaviest == kNone || weight_[c] > weight_[heaviest]))
        heaviest = c;
    std::vector<int> inside;
    for (int u = 0; u < units_; ++u)
      if (cluster[u] == heaviest)
        inside.push_back(u);
    const std::vector<int> firstOrder = searchOrder(inside, inside.front());
    const std::vector<int> order = searchOrder(inside, firstOrder.back());
    const std::int64_t half = weight_[heaviest] / 2;
    std::int64_t moved = 0;
    for (std::size_t i = 0; i + 1 < order.size() && (i == 0 || moved < half); ++i) {
      moved += r_.weight[order[i]];
      move(order[i], empty);
    }
  }

  // Breadth-first order of `inside` (units of one cluster) from `from`,
  // along ties inside the cluster; unreached units follow in order.
  std::vector<int> searchOrder(const std::vector<int>& inside, int from) const {
    const int home = cluster[from];
    std::vector<char> seen(static_cast<std::size_t>(units_), 0);
    std::vector<int> order;
    std::size_t next = 0;
    const auto visit = [&](int u) {
      if (!seen[u]) {
        seen[u] = 1;
        order.push_back(u);
      }
      for (; next < order.size(); ++next)
        for (int a = r_.graph.start[order[next]]; a < r_.graph.start[order[next] + 1]; ++a)
          if (cluster[r_.graph.neighbour[a]] == home && !seen[r_.graph.neighbour[a]]) {
            seen[r_.graph.neighbour[a]] = 1;
            order.push_back(r_.graph.neighbour[a]);
          }
    };
    visit(from);
    for (int u : inside)
      visit(u);
    return order;
  }

  // The best move of u to another cluster it may join without passing
  // `limit`: (cut cost saved, target), target kNone when there is none. Ties
  // go to the lighter target.
  std::pair<double, int> bestMove(int u, double limit, Links& links, Marks& forbidden) const {
    const int from = cluster[u];
    links.clear();
    for (int a = r_.graph.start[u]; a < r_.graph.start[u + 1]; ++a)
      links.add(cluster[r_.graph.neighbour[a]], r_.graph.cost[a]);
    links.add(lightestCluster(), 0.0);
    forbidden.clear();
    for (int v : r_.conflicts[u])
      forbidden.add(cluster[v]);
    double bestGain = 0.0;
    int best = kNone;
    for (int c : links.touched()) {
      if (c == from || forbidden.has(c) ||
          static_cast<double>(weight_[c] + r_.weight[u]) > limit + kTiny)
        continue;
      const double g = links.to(c) - links.to(from);
      if (best == kNone || g > bestGain + kTiny ||
          (g > bestGain - kTiny && weight_[c] < weight_[best])) {
        best = c;
        bestGain = g;
      }
    }
    return {bestGain, best};
  }

  // Step 3a: units leave clusters over the cap, least cut cost first.
  void rebalance() {
    Links links(clusters);
    Marks forbidden(clusters);
    std::priority_queue<std::pair<double, int>> queue;
    for (int u = 0; u < units_; ++u)
      if (static_cast<double>(weight_[cluster[u]]) > cap_ + kTiny && r_.weight[u] > 0)
        queue.emplace(bestMove(u, cap_, links, forbidden).first, u);
    while (!queue.empty()) {
      const auto [queued, u] = queue.top();
      queue.pop();
      if (static_cast<double>(weight_[cluster[u]]) <= cap_ + kTiny || size_[cluster[u]] < 2)
        continue;
      const auto [g, target] = bestMove(u, cap_, links, forbidden);
      if (target == kNone)
        continue;
      if (g < queued - kTiny)
        queue.emplace(g, u);
      else
        move(u, target);
    }
  }

  // Step 3b: one pass of single-unit moves within `limit`; false when
  // nothing moved. A unit that shares its cluster with a unit it conflicts
  // with takes the best move whatever it costs.
  bool refinePass(double limit) {
    Links links(clusters);
    Marks forbidden(clusters);
    bool moved = false;
    for (int u : shuffled(units_, random_)) {
      const int from = cluster[u];
      if (size_[from] < 2)
        continue;
      const auto [g, target] = bestMove(u, limit, links, forbidden);
      if (target == kNone)
        continue;
      const bool conflicted = forbidden.has(from);
      const bool evener = r_.weight[u] > 0 && weight_[target] + r_.weight[u] < weight_[from];
      if (conflicted || g > kTiny || (g > -kTiny && evener)) {
        move(u, target);
        moved = true;
      }
    }
    return moved;
  }

  long brokenConflicts() const {
    long broken = 0;
    for (int u = 0; u < units_; ++u)
      for (int v : r_.conflicts[u])
        broken += v > u && cluster[v] == cluster[u] ? 1 : 0;
    return broken;
  }
  double excessWeight() const {
    double excess = 0.0;
    for (std::int64_t w : weight_)
      excess += std::max(0.0, static_cast<double>(w) - cap_);
    return excess;
  }
  double cutCost() const {
    double cut = 0.0;
    for (int u = 0; u < units_; ++u)
      for (int a = r_.graph.start[u]; a < r_.graph.start[u + 1]; ++a)
        cut += cluster[r_.graph.neighbour[a]] != cluster[u] ? r_.graph.cost[a] : 0.0;
    return cut / 2.0;
  }
  void recount() {
    std::fill(weight_.begin(), weight_.end(), 0);
    std::fill(size_.begin(), size_.end(), 0);
    std::fill(tieTotal_.begin(), tieTotal_.end(), 0.0);
    for (int u = 0; u < units_; ++u)
      place(u, cluster[u]);
  }

  double modularity() const {
    if (twiceTies_ <= 0.0)
      return 0.0;
    double inside = 0.0;
    for (int u = 0; u < units_; ++u) {
      inside += r_.graph.loop[u];
      for (int a = r_.graph.start[u]; a < r_.graph.start[u + 1]; ++a)
        inside += cluster[r_.graph.neighbour[a]] == cluster[u] ? r_.graph.cost[a] : 0.0;
    }
    double expected = 0.0;
    for (double t : tieTotal_)
      expected += (t / twiceTies_) * (t / twiceTies_);
    return inside / twiceTies_ - r_.resolution * expected;
  }

  const KyPartitionRequest& r_;
  int units_;
  std::mt19937 random_;
  double twiceTies_ = 0.0;
  double cap_ = 0.0;
  std::vector<std::int64_t> weight_;
  std::vector<int> size_;
  std::vector<double> tieTotal_;
};

} // namespace

double KyPartitionGraph::strength(int u) const {
  double sum = loop[u];
  for (int a = start[u]; a < start[u + 1]; ++a)
    sum += cost[a];
  return sum;
}

KyPartitionGraph makePartitionGraph(int size, const std::vector<int>& from,
                                    const std::vector<int>& to, const std::vector<double>& cost) {
  KyPartitionGraph graph;
  graph.loop.assign(static_cast<std::size_t>(size), 0.0);
  std::vector<int> arcStart, arcs;
  groupByKey(size, from, arcStart, arcs);
  std::vector<int> slot(static_cast<std::size_t>(size), kNone);
  graph.start.push_back(0);
  for (int u = 0; u < size; ++u) {
    const auto first = graph.neighbour.size();
    for (int i = arcStart[u]; i < arcStart[u + 1]; ++i) {
      const int v = to[arcs[i]];
      if (v == u) {
        graph.loop[u] += cost[arcs[i]];
      } else if (slot[v] == kNone || static_cast<std::size_t>(slot[v]) < first) {
        slot[v] = static_cast<int>(graph.neighbour.size());
        graph.neighbour.push_back(v);
        graph.cost.push_back(cost[arcs[i]]);
      } else {
        graph.cost[slot[v]] += cost[arcs[i]];
      }
    }
    graph.start.push_back(static_cast<int>(graph.neighbour.size()));
  }
  return graph;
}

double clusterWeightCap(std::int64_t total, std::int64_t heaviest, int clusters, double balance) {
  const double k = clusters;
  return static_cast<double>(total) / k * (1.0 + (1.0 - balance) * (k - 1.0)) +
         (1.0 - 1.0 / k) * static_cast<double>(heaviest);
}

std::vector<int> partitionUnits(const KyPartitionRequest& request) {
  std::vector<int> best;
  std::tuple<long, double, double> bestScore;
  for (int run = 0; run < request.runs; ++run) {
    Run attempt(request, 0x9e3779b9u + static_cast<unsigned>(run));
    attempt.partition();
    const auto score = attempt.score();
    if (best.empty() || score < bestScore) {
      best = std::move(attempt.cluster);
      bestScore = score;
    }
  }
  return best;
}
