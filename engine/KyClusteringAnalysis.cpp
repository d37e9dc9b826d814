// Clustering with constraints.
//
// Same-cluster and complete-cluster constraints join their nodes into units
// that are never split, in request order, as long as enough units remain for
// the fewest clusters asked. A unit made by a complete-cluster constraint is
// sealed: it gets a cluster of its own that nothing else joins, as long as
// the most clusters allowed leave room for it. Different-cluster constraints
// become conflicts between the units of their nodes, which no partitioning
// step joins on its own accord. The remaining units are split by
// partitionUnits(). Whether each constraint holds is read off the final
// clusters, never assumed.
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyClusteringConstraint.h>
#include <kyanalysis/KyClusteringInputTailor.h>
#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>
#include <kyplatform/KyServiceData.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineNetwork_p.h"
#include "KyEnginePartitioner_p.h"
#include "KyEngineRequest_p.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <vector>

namespace {

namespace key = KyAnalysisKey::clustering;
constexpr int kNone = -1;

// The options every clustering reads once.
struct Settings {
  int runs = 1;
  int passes = 1;
  int minClusters = 1;
  int maxClusters = 0; // 0: no bound
  double balance = 1.0;
  double resolution = 1.0;
};

// Null, or the key of the first setting the analysis cannot work with: a
// quality outside 0 to 2, a negative bound, a most number below a least one
// (0 meaning no most), a balance outside 0 to 1 or a size factor that is not
// a positive finite number.
const wchar_t* readSettings(const KyClusteringInputTailor& request, Settings& settings) {
  switch (request.quality()) {
  case CLUSTERING_QUALITY_DRAFT:
    settings.runs = 1;
    settings.passes = 2;
    break;
  case CLUSTERING_QUALITY_MEDIUM:
    settings.runs = 3;
    settings.passes = 8;
    break;
  case CLUSTERING_QUALITY_PROOF:
    settings.runs = 10;
    settings.passes = 30;
    break;
  default:
    return key::graphQuality;
  }
  settings.minClusters = request.minNumberOfClusters();
  settings.maxClusters = request.maxNumberOfClusters();
  settings.balance = request.balance();
  const double factor = request.clusterSizeFactor();
  if (settings.minClusters < 0)
    return key::graphMinNumberOfClusters;
  if (settings.maxClusters < 0 ||
      (settings.maxClusters > 0 && settings.minClusters > settings.maxClusters))
    return key::graphMaxNumberOfClusters;
  if (!(settings.balance >= 0.0 && settings.balance <= 1.0))
    return key::graphBalance;
  if (!(factor > 0.0 && std::isfinite(factor)))
    return key::graphClusterSizeFactor;
  settings.resolution = 1.0 / factor;
  return nullptr;
}

// A clustering constraint of the request with its distinct nodes by
// position; an invalid one (unknown type, a node of another graph) binds
// nothing and never holds.
struct Constraint {
  const KyClusteringConstraint* constraint;
  bool valid;
  std::vector<int> nodes;
};

// The clustering constraints of the request in order, read checked: a
// manager or a constraint of another class reads as none.
std::vector<Constraint> readConstraints(const KyServiceInputData& input, const KyGraph& graph) {
  std::vector<Constraint> constraints;
  const auto* manager =
      dynamic_cast<const KyConstraintManager*>(input.pValue(&graph, key::graphConstraintManager));
  if (manager == nullptr)
    return constraints;
  for (KyDListIter it(manager->pConstraintList()); it; ++it) {
    const auto* constraint = dynamic_cast<const KyClusteringConstraint*>(it.pObject());
    if (constraint == nullptr)
      continue;
    Constraint entry{constraint, constraint->valid(&graph) == 1, {}};
    if (entry.valid) {
      for (KyNodeDListIter node(constraint->pNodeList()); node; ++node)
        entry.nodes.push_back(node.pNode()->index());
      std::sort(entry.nodes.begin(), entry.nodes.end());
      entry.nodes.erase(std::unique(entry.nodes.begin(), entry.nodes.end()), entry.nodes.end());
    }
    constraints.push_back(std::move(entry));
  }
  return constraints;
}

// Disjoint sets of nodes, by position.
class NodeGroups {
public:
  explicit NodeGroups(int nodes) : parent_(static_cast<std::size_t>(nodes)) {
    std::iota(parent_.begin(), parent_.end(), 0);
  }
  int find(int node) {
    while (parent_[node] != node)
      node = parent_[node] = parent_[parent_[node]];
    return node;
  }
  void join(int a, int b) { parent_[find(a)] = find(b); }

private:
  std::vector<int> parent_;
};

// Nodes that must stay together, as units numbered in order of their first
// node; sealed units have a cluster to themselves.
struct Units {
  std::vector<int> of;
  int count = 0;
  std::vector<char> sealed;
  std::vector<int> sealOrder;
};

Units makeUnits(int nodes, const std::vector<Constraint>& constraints, const Settings& settings) {
  const int fewest = std::min(std::max(settings.minClusters, 1), nodes);
  NodeGroups groups(nodes);
  int remaining = nodes;
  std::vector<int> sealCandidates;
  for (const Constraint& c : constraints) {
    const auto type = c.constraint->type();
    if (!c.valid || c.nodes.empty() || type == CLUSTERING_CONSTRAINT_DIFFERENT_CLUSTERS)
      continue;
    std::vector<int> roots;
    for (int node : c.nodes)
      roots.push_back(groups.find(node));
    std::sort(roots.begin(), roots.end());
    const int joins = static_cast<int>(std::unique(roots.begin(), roots.end()) - roots.begin()) - 1;
    if (remaining - joins < fewest)
      continue;
    for (int node : c.nodes)
      groups.join(node, c.nodes.front());
    remaining -= joins;
    if (type == CLUSTERING_CONSTRAINT_COMPLETE_CLUSTER)
      sealCandidates.push_back(c.nodes.front());
  }

  Units units;
  units.of.assign(static_cast<std::size_t>(nodes), kNone);
  std::vector<int> unitOfRoot(static_cast<std::size_t>(nodes), kNone);
  for (int node = 0; node < nodes; ++node) {
    int& unit = unitOfRoot[groups.find(node)];
    if (unit == kNone)
      unit = units.count++;
    units.of[node] = unit;
  }
  const int most =
      settings.maxClusters == 0 ? units.count : std::min(settings.maxClusters, units.count);
  units.sealed.assign(static_cast<std::size_t>(units.count), 0);
  for (int node : sealCandidates) {
    const int unit = units.of[node];
    const int sealedAfter = static_cast<int>(units.sealOrder.size()) + 1;
    const int openAfter = units.count - sealedAfter;
    if (!units.sealed[unit] && sealedAfter + (openAfter > 0 ? 1 : 0) <= most) {
      units.sealed[unit] = 1;
      units.sealOrder.push_back(unit);
    }
  }
  return units;
}

// Splits the units that are not sealed; returns the cluster of each node,
// sealed units first in order of sealing. O(partitionUnits).
std::vector<int> clusterNodes(const KyEngineNetwork& net, const std::vector<int>& weight,
                              const std::vector<int>& cost,
                              const std::vector<Constraint>& constraints, const Units& units,
                              const Settings& settings) {
  const int sealedCount = static_cast<int>(units.sealOrder.size());
  std::vector<int> open(static_cast<std::size_t>(units.count), kNone);
  int openCount = 0;
  for (int unit = 0; unit < units.count; ++unit)
    if (!units.sealed[unit])
      open[unit] = openCount++;

  std::vector<int> unitCluster(static_cast<std::size_t>(units.count), kNone);
  for (int i = 0; i < sealedCount; ++i)
    unitCluster[units.sealOrder[i]] = i;
  if (openCount > 0) {
    KyPartitionRequest request;
    request.weight.assign(static_cast<std::size_t>(openCount), 0);
    for (int node = 0; node < net.nodeCount(); ++node)
      if (open[units.of[node]] != kNone)
        request.weight[open[units.of[node]]] += weight[node];
    request.conflicts.resize(static_cast<std::size_t>(openCount));
    int apart = 1;
    for (const Constraint& c : constraints) {
      if (!c.valid || c.constraint->type() != CLUSTERING_CONSTRAINT_DIFFERENT_CLUSTERS)
        continue;
      std::vector<int> members;
      for (int node : c.nodes)
        if (open[units.of[node]] != kNone)
          members.push_back(open[units.of[node]]);
      std::sort(members.begin(), members.end());
      members.erase(std::unique(members.begin(), members.end()), members.end());
      apart = std::max(apart, static_cast<int>(members.size()));
      for (int a : members)
        for (int b : members)
          if (a != b)
            request.conflicts[a].push_back(b);
    }
    for (auto& list : request.conflicts) {
      std::sort(list.begin(), list.end());
      list.erase(std::unique(list.begin(), list.end()), list.end());
    }
    std::vector<int> from, to;
    std::vector<double> arcCost;
    for (int e = 0; e < net.edgeCount(); ++e) {
      const int a = open[units.of[net.source(e)]], b = open[units.of[net.target(e)]];
      if (cost[e] == 0 || net.source(e) == net.target(e) || a == kNone || b == kNone)
        continue;
      from.insert(from.end(), {a, b});
      to.insert(to.end(), {b, a});
      arcCost.insert(arcCost.end(), 2, static_cast<double>(cost[e]));
    }
    request.graph = makePartitionGraph(openCount, from, to, arcCost);
    const int fewest = std::max(settings.minClusters, 1) - sealedCount;
    const int most = (settings.maxClusters == 0 ? units.count : settings.maxClusters) - sealedCount;
    request.maxClusters = std::clamp(most, 1, openCount);
    request.minClusters = std::clamp(std::max(fewest, apart), 1, request.maxClusters);
    request.balance = settings.balance;
    request.resolution = settings.resolution;
    request.runs = settings.runs;
    request.passes = settings.passes;
    const std::vector<int> openCluster = partitionUnits(request);
    for (int unit = 0; unit < units.count; ++unit)
      if (open[unit] != kNone)
        unitCluster[unit] = sealedCount + openCluster[open[unit]];
  }
  std::vector<int> nodeCluster(static_cast<std::size_t>(net.nodeCount()));
  for (int node = 0; node < net.nodeCount(); ++node)
    nodeCluster[node] = unitCluster[units.of[node]];
  return nodeCluster;
}

// Whether `c` holds for the clusters; `size` is the node count per cluster.
bool holds(const Constraint& c, const std::vector<int>& cluster, const std::vector<int>& size) {
  if (!c.valid)
    return false;
  std::vector<int> used;
  for (int node : c.nodes)
    used.push_back(cluster[node]);
  std::sort(used.begin(), used.end());
  const auto distinct = std::unique(used.begin(), used.end()) - used.begin();
  switch (c.constraint->type()) {
  case CLUSTERING_CONSTRAINT_SAME_CLUSTER:
    return distinct <= 1;
  case CLUSTERING_CONSTRAINT_DIFFERENT_CLUSTERS:
    return static_cast<std::size_t>(distinct) == c.nodes.size();
  case CLUSTERING_CONSTRAINT_COMPLETE_CLUSTER:
    return distinct == 1 && static_cast<std::size_t>(size[used.front()]) == c.nodes.size();
  }
  return false;
}

} // namespace

int runClusteringAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer) {
  const KyClusteringInputTailor request(&input);
  Settings settings;
  if (const wchar_t* invalid = readSettings(request, settings))
    return answer.invalidOption(&graph, invalid);
  const KyEngineNetwork net = readNetwork(graph);
  const std::vector<int> weight = nodeIntegers(input, graph, key::nodeWeight);
  const std::vector<int> cost = edgeIntegers(input, graph, key::edgeCost);
  if (const int node = firstNegative(weight); node >= 0)
    return answer.invalidOption(graph.pNodeAt(node), key::nodeWeight);
  if (const int edge = firstNegative(cost); edge >= 0)
    return answer.invalidOption(graph.pEdgeAt(edge), key::edgeCost);

  const std::vector<Constraint> constraints = readConstraints(input, graph);
  const Units units = makeUnits(net.nodeCount(), constraints, settings);
  std::vector<int> cluster = clusterNodes(net, weight, cost, constraints, units, settings);

  // Clusters are numbered from 0 in the order of their first node.
  std::vector<int> number(cluster.size(), kNone);
  std::vector<std::vector<KyNode*>> lists;
  for (int node = 0; node < net.nodeCount(); ++node) {
    int& n = number[cluster[node]];
    if (n == kNone) {
      n = static_cast<int>(lists.size());
      lists.emplace_back();
    }
    cluster[node] = n;
    lists[n].push_back(net.node(node));
  }
  answer.nodeIntegers(graph, key::nodeClusterNumber, cluster, kNone);
  std::vector<int> size;
  for (const auto& list : lists)
    size.push_back(static_cast<int>(list.size()));
  answer.listOfLists<KyNodeDList>(key::noneClusterList, lists);
  for (const Constraint& c : constraints)
    answer.integer(c.constraint, key::constraintFulfilled, holds(c, cluster, size) ? 1 : 0);
  return ANALYSIS_ERROR_NONE;
}
