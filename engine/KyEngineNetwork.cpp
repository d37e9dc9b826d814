#include "KyEngineNetwork_p.h"

#include <utility>

void groupByKey(int groups, const std::vector<int>& key, std::vector<int>& start,
                std::vector<int>& items) {
  start.assign(static_cast<std::size_t>(groups) + 1, 0);
  for (int k : key)
    ++start[k + 1];
  for (int g = 0; g < groups; ++g)
    start[g + 1] += start[g];
  items.resize(key.size());
  std::vector<int> next(start.begin(), start.end() - 1);
  for (std::size_t i = 0; i < key.size(); ++i)
    items[next[key[i]]++] = static_cast<int>(i);
}

KyEngineNetwork::KyEngineNetwork(const KyGraph& graph, bool reversed)
    : graph_(&graph), reversed_(reversed), nodeCount_(graph.numberOfNodes()),
      edgeCount_(graph.numberOfEdges()) {}

KyEngineNetwork::KyEngineNetwork(const KyGraph& graph, int nodeCount, std::vector<int> source,
                                 std::vector<int> target, std::vector<char> undirected)
    : graph_(&graph), built_(true), nodeCount_(nodeCount),
      edgeCount_(static_cast<int>(source.size())), source_(std::move(source)),
      target_(std::move(target)), undirected_(std::move(undirected)) {
  // Each way an edge may be followed; an undirected edge adds the reverse
  // way unless it is a self-loop. Grouped by the node they leave, each
  // node's ways in order of edge.
  std::vector<int> from, edge;
  from.reserve(source_.size());
  edge.reserve(source_.size());
  for (int e = 0; e < edgeCount_; ++e) {
    from.push_back(source_[e]);
    edge.push_back(e);
    if (this->undirected(e) && source_[e] != target_[e]) {
      from.push_back(target_[e]);
      edge.push_back(e);
    }
  }
  std::vector<int> order;
  groupByKey(nodeCount_, from, outStart_, order);
  wayEdge_.resize(order.size());
  wayFrom_.resize(order.size());
  for (std::size_t w = 0; w < order.size(); ++w) {
    wayEdge_[w] = edge[order[w]];
    wayFrom_[w] = from[order[w]];
  }
  std::vector<int> to(order.size());
  for (std::size_t w = 0; w < order.size(); ++w)
    to[w] = wayTo(static_cast<int>(w));
  groupByKey(nodeCount_, to, inStart_, inWays_);
  inPlace_.resize(inWays_.size());
  for (std::size_t i = 0; i < inWays_.size(); ++i)
    inPlace_[inWays_[i]] = static_cast<int>(i);
}

KyEngineNetwork KyEngineNetwork::reversed() const {
  if (!built_)
    return KyEngineNetwork(*graph_, !reversed_);
  return KyEngineNetwork(*graph_, nodeCount_, target_, source_, undirected_);
}
