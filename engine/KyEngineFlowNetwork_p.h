// KyEngineFlowNetwork: the analysed graph as a LEMON flow network, for the
// flow and cut analyses. Internal to the engine; not installed.
#pragma once

#include "KyEngineAnswer_p.h"
#include "KyEngineFlatDigraph_p.h"
#include "KyEngineNetwork_p.h"

#include <kyplatform/KyGraph.h>
#include <kyplatform/KyServiceData.h>

#include <lemon/smart_graph.h>

#include <cstdint>
#include <vector>

/// A node capacity of this value puts no bound on the node (the default).
inline constexpr int kEngineUnboundedCapacity = 2147483647;

/// The amounts of a flow request by position. An empty node vector means
/// no node is bounded or priced; empty edge costs mean a request without
/// costs.
struct KyEngineFlowAmounts {
  std::vector<int> edgeCapacity;
  std::vector<int> nodeCapacity;
  std::vector<int> edgeCost;
  std::vector<int> nodeCost;
};

/// The network as a LEMON digraph with 64-bit capacities and costs: one arc
/// per edge, from its source to its target.
///
/// A node with a bounded capacity or a cost other than 0 is split into an
/// entry and an exit joined by one arc that carries every unit passing the
/// node: edges arrive at the entry and leave from the exit. Flow starts at
/// the source's entry and ends at the sink's exit, so the source's bound
/// and cost apply to what leaves it and the sink's to what arrives. An
/// unbounded node split for its cost gets a finite stand-in, the sum of all
/// edge capacities, which no flow through it can exceed. Other nodes stay
/// one LEMON node (entry = exit).
///
/// A self-loop can carry only flow around itself, which lowers the cost
/// when the loop's edge cost plus its node's cost is negative: only then
/// does it get an arc. Building costs O(n + m); not copyable.
class KyEngineFlowNetwork {
public:
  using Graph = lemon::SmartDigraph;
  using Amount = std::int64_t;
  using AmountMap = Graph::ArcMap<Amount>;

  KyEngineFlowNetwork(const KyEngineNetwork& net, const KyEngineFlowAmounts& amounts);
  KyEngineFlowNetwork(const KyEngineFlowNetwork&) = delete;
  KyEngineFlowNetwork& operator=(const KyEngineFlowNetwork&) = delete;

  /// Where the flow of a source at `position` starts.
  Graph::Node entry(int position) const { return entry_[position]; }
  /// Where the flow into a sink at `position` ends.
  Graph::Node exit(int position) const { return exit_[position]; }
  /// The arc of the edge at `position`, or INVALID for a self-loop left out.
  Graph::Arc arc(int position) const { return edgeArc_[position]; }

  Graph graph;
  AmountMap capacity;
  AmountMap cost;

private:
  std::vector<Graph::Node> entry_, exit_;
  std::vector<Graph::Arc> edgeArc_;
};

/// Edge amounts by position (capacities, say) as a LEMON read map, 64 bits
/// wide, on the flat digraph of a graph's view, whose arc ids are the
/// edges' positions. A flow without bounded nodes or costs runs on that
/// digraph, its self-loops closed (closeLoops()), as it would on a
/// KyEngineFlowNetwork, without making the amounts maps.
struct KyEngineEdgeAmounts {
  using Key = KyEngineFlatDigraph::Arc;
  using Value = std::int64_t;
  Value operator[](const Key& arc) const { return amounts[KyEngineFlatDigraph::id(arc)]; }
  const int* amounts;
};

/// Sets the capacity of every self-loop of `net` to 0. A loop without
/// capacity is never pushed along nor walked as residual, so a preflow and
/// its cut leave it out as if the digraph had no such arc; the digraph
/// then need not test every step for loops. O(m).
void closeLoops(const KyEngineNetwork& net, std::vector<int>& capacity);

/// Stores under `key` the flow flowOf(arc) of every edge that carries any,
/// its arc given by arcOf(position) (INVALID for none), in order of
/// position. Edges without flow hold no value, which reads as 0: a flow
/// usually uses few of a large graph's edges. O(m).
template <class ArcOf, class FlowOf>
void writeEdgeFlows(const KyEngineNetwork& net, const wchar_t* key, ArcOf arcOf, FlowOf flowOf,
                    KyEngineAnswer& answer) {
  for (int e = 0; e < net.edgeCount(); ++e) {
    const auto arc = arcOf(e);
    if (arc == lemon::INVALID)
      continue;
    if (const std::int64_t amount = flowOf(arc); amount != 0)
      answer.integer(net.edge(e), key, static_cast<int>(amount));
  }
}

/// The keys under which a flow analysis reads its request. A null key
/// reads nothing: no node bounded, no costs, no desired amount.
struct KyEngineFlowKeys {
  const wchar_t* sinkNode; // the graph option a sink equal to the source is blamed on
  const wchar_t* edgeCapacity;
  const wchar_t* nodeCapacity = nullptr;
  const wchar_t* edgeCost = nullptr;
  const wchar_t* nodeCost = nullptr;
  const wchar_t* desiredFlow = nullptr; // a graph option
};

/// A flow request as read: source and sink by position, the desired
/// amount (0 without a key for it) and the amounts by position.
struct KyEngineFlowRequest {
  int source = 0;
  int sink = 0;
  int desiredFlow = 0;
  KyEngineFlowAmounts amounts;
};

/// Reads the request of a flow analysis from the source and sink nodes its
/// tailor gives and the options under `keys`, and checks it, in this
/// order: the codes of checkEndNodes(); ANALYSIS_ERROR_INVALID_OPTION noted
/// on the sink option when source and sink are one node; then, each
/// ANALYSIS_ERROR_INVALID_OPTION noted on its owner and key, a desired
/// amount below 0, the first negative edge capacity and the first negative
/// node capacity. Returns ANALYSIS_ERROR_NONE or the code of the first
/// check that fails. O(n + m).
int readFlowRequest(const KyNode* source, const KyNode* sink, const KyServiceInputData& input,
                    const KyGraph& graph, const KyEngineFlowKeys& keys,
                    KyEngineFlowRequest& request, KyEngineAnswer& answer);
