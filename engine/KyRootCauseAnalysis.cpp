// Root cause: the nodes that best explain a set of effect nodes.
//
// A node reaches an effect when a walk leads from it to the effect costing
// at most the range (-1: any cost); walks follow edges from source to
// target, undirected ones both ways, and cost as in the path analyses:
// every edge followed and every node passed through, the node it starts
// from and the effect it ends at not included. Every effect reaches itself
// by the empty walk. A node's reach is the set of effects it reaches; it is
// a cause when its reach is not empty and weighs at least threshold times
// the weight of all effects (less kThresholdSlack of it, for rounding).
//
// The cause list covers the effects greedily: next comes the cause that
// reaches the most weight of effects not yet covered, then the most such
// effects, then the least summed cost to them, then the lowest position,
// until no cause covers another effect. As a cause's gain only shrinks,
// stale gains wait in a priority queue and are recomputed when they reach
// its top (lazy greedy).
//
// The search runs once per effect, backwards from it, so its cost does not
// grow with the number of candidate nodes.
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyRootCauseInputTailor.h>
#include <kyplatform/KyDouble.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineNetwork_p.h"
#include "KyEngineRequest_p.h"
#include "KyEngineSearch_p.h"
#include "KyEngineShortestPaths_p.h"

#include <cstdint>
#include <queue>
#include <tuple>
#include <utility>
#include <vector>

namespace {

namespace key = KyAnalysisKey::rootCause;

// A threshold such as 0.4 is not exact in binary: weights within this
// fraction of the total below threshold times the total still qualify.
constexpr double kThresholdSlack = 1e-9;

// The distinct effect nodes of `list`, by position in list order, or false
// when there is no list or it holds something other than a node of the
// graph.
bool readEffects(const KyNodeDList* list, const KyGraph& graph, std::vector<int>& effects) {
  if (list == nullptr)
    return false;
  std::vector<char> listed(graph.numberOfNodes(), 0);
  for (KyDListIter it(list); it; ++it) {
    const auto* node = dynamic_cast<const KyNode*>(it.pObject());
    if (node == nullptr || node->pOwnerGraph() != &graph)
      return false;
    if (!listed[node->index()]) {
      listed[node->index()] = 1;
      effects.push_back(node->index());
    }
  }
  return true;
}

// One node reaching one effect (index into the effect list) at a cost.
struct Reach {
  int node;
  int effect;
  std::int64_t cost;
};

// What choosing a cause would add: more weight, then more effects, then
// less cost, then a lower position is better.
struct Gain {
  std::int64_t weight = 0;
  int count = 0;
  std::int64_t cost = 0;
  int node = 0;

  bool operator<(const Gain& other) const { // worse than `other`
    return std::make_tuple(weight, count, -cost, -node) <
           std::make_tuple(other.weight, other.count, -other.cost, -other.node);
  }
};

} // namespace

int runRootCauseAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer) {
  const KyRootCauseInputTailor request(&input);
  std::vector<int> effects;
  if (!readEffects(request.pEffectNodeList(), graph, effects))
    return answer.invalidOption(&graph, key::graphEffectNodeList);
  const int range = request.range();
  const double threshold = request.threshold();
  if (range < -1)
    return answer.invalidOption(&graph, key::graphRange);
  if (holdsOtherClass<KyDouble>(input, graph, key::graphThreshold) ||
      !(threshold >= 0.0 && threshold <= 1.0))
    return answer.invalidOption(&graph, key::graphThreshold);
  // Searching the reversed network from an effect finds the walks to it.
  const KyEngineNetwork net =
      readSearchNetwork(input, graph, request, key::edgeUndirected).reversed();
  std::vector<std::int64_t> weight(effects.size());
  std::int64_t total = 0;
  for (std::size_t i = 0; i < effects.size(); ++i) {
    weight[i] = request.weight(net.node(effects[i]));
    if (weight[i] < 0)
      return answer.invalidOption(net.node(effects[i]), key::nodeWeight);
    total += weight[i];
  }

  const std::vector<int> nodeCost = nodeIntegers(input, graph, key::nodeCost);
  const std::vector<int> edgeCost = edgeIntegers(input, graph, key::edgeCost);
  KyEngineWalkSearch search(net, nodeCost, edgeCost);
  if (!search.prepare())
    return ANALYSIS_ERROR_NEGATIVE_CYCLE;
  const std::int64_t limit = range == -1 ? kEngineUnreached : range;
  std::vector<Reach> reaches;
  KyEngineWalkTree tree;
  for (std::size_t i = 0; i < effects.size(); ++i) {
    search.search(effects[i], limit, tree);
    for (int v = 0; v < net.nodeCount(); ++v)
      if (v == effects[i])
        reaches.push_back(Reach{v, static_cast<int>(i), 0});
      else if (tree.cost[v] != kEngineUnreached && tree.cost[v] <= limit)
        reaches.push_back(Reach{v, static_cast<int>(i), tree.cost[v]});
  }

  std::vector<int> nodeOf(reaches.size());
  for (std::size_t r = 0; r < reaches.size(); ++r)
    nodeOf[r] = reaches[r].node;
  std::vector<int> start, byNode; // the reaches of node v: byNode[start[v]..start[v+1])
  groupByKey(net.nodeCount(), nodeOf, start, byNode);

  std::vector<char> covered(effects.size(), 0);
  const auto gainOf = [&](int v) {
    Gain gain;
    gain.node = v;
    for (int r = start[v]; r < start[v + 1]; ++r) {
      const Reach& reach = reaches[byNode[r]];
      if (!covered[reach.effect]) {
        gain.weight += weight[reach.effect];
        ++gain.count;
        gain.cost += reach.cost;
      }
    }
    return gain;
  };
  std::priority_queue<Gain> queue;
  for (int v = 0; v < net.nodeCount(); ++v) {
    if (start[v] == start[v + 1])
      continue;
    std::vector<KyNode*> reached;
    for (int r = start[v]; r < start[v + 1]; ++r)
      reached.push_back(net.node(effects[reaches[byNode[r]].effect]));
    answer.nodeList(net.node(v), key::nodeReachedNodeList, reached);
    const Gain gain = gainOf(v);
    if (static_cast<double>(gain.weight) >=
        (threshold - kThresholdSlack) * static_cast<double>(total))
      queue.push(gain);
  }

  std::vector<KyNode*> causes;
  while (!queue.empty()) {
    const Gain stale = queue.top();
    queue.pop();
    const Gain gain = gainOf(stale.node);
    if (gain.count == 0)
      continue;
    if (!queue.empty() && gain < queue.top()) {
      queue.push(gain);
      continue;
    }
    causes.push_back(net.node(gain.node));
    for (int r = start[gain.node]; r < start[gain.node + 1]; ++r)
      covered[reaches[byNode[r]].effect] = 1;
  }
  answer.nodeList(nullptr, key::noneCauseNodeList, causes);
  return ANALYSIS_ERROR_NONE;
}
