// KyEnginePartitioner: splits a graph of weighted units into clusters with
// few costly ties between them. Internal to the engine; not installed.
#pragma once

#include <cstdint>
#include <vector>

/// An undirected graph with positive costs, by position: the neighbours of
/// unit u are neighbour[start[u]] to neighbour[start[u+1]-1], each once,
/// with the summed cost of the ties to it; loop[u] is twice the cost of the
/// ties inside u. Plain data; O(units + ties) memory.
struct KyPartitionGraph {
  std::vector<int> start, neighbour;
  std::vector<double> cost;
  std::vector<double> loop;

  int size() const { return static_cast<int>(loop.size()); }
  /// The summed cost of u's ties, those inside it counted twice.
  double strength(int u) const;
};

/// The graph of `size` units from arcs from[i] -> to[i] of cost[i]: arcs
/// between two units are summed, an arc from a unit to itself adds to its
/// loop. Give each tie between two units as two arcs, one each way, and a
/// tie inside a unit as two arcs to itself. O(size + arcs).
KyPartitionGraph makePartitionGraph(int size, const std::vector<int>& from,
                                    const std::vector<int>& to, const std::vector<double>& cost);

/// What to split and how.
struct KyPartitionRequest {
  KyPartitionGraph graph;
  /// Per unit, not negative.
  std::vector<std::int64_t> weight;
  /// Per unit, the units it must not share a cluster with; symmetric, no
  /// unit conflicts with itself.
  std::vector<std::vector<int>> conflicts;
  /// 1 <= minClusters <= maxClusters <= number of units.
  int minClusters = 1;
  int maxClusters = 1;
  /// 0 (cluster weights free) to 1 (as even as the unit weights allow).
  double balance = 1.0;
  /// Modularity resolution: above 1 favours more, smaller clusters.
  double resolution = 1.0;
  /// Independent runs (the best is kept) and refinement passes per run.
  int runs = 1;
  int passes = 1;
};

/// The weight a cluster may reach when `clusters` clusters share `total`
/// and no unit weighs more than `heaviest`: the mean, stretched by
/// (1 - balance) (clusters - 1), plus (1 - 1/clusters) `heaviest`, so that
/// some split always keeps within it.
double clusterWeightCap(std::int64_t total, std::int64_t heaviest, int clusters, double balance);

/// Splits the units of a non-empty request into k clusters, minClusters <=
/// k <= maxClusters, and returns the cluster of each unit (0 to k-1, none
/// empty). Deterministic. Cost per run O((units + ties) passes + units k)
/// time, O(units + ties + conflicts) memory.
std::vector<int> partitionUnits(const KyPartitionRequest& request);
