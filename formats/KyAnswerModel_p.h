// KyAnswerModel: an answer as JSON, read through the result descriptions;
// the model every rendering of an answer starts from.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

class KyEdge;
class KyGraph;
class KyNode;
class KyServiceInputData;
class KyServiceOutputData;

namespace KyAnswerModel {

// Members keep the order they were added in, so the JSON reads like the text.
using Json = nlohmann::ordered_json;

/// One result of an analysis, as its description gives it.
struct ResultItem {
  std::wstring key;
  /// The last part of the key ("edgeList").
  std::string name;
  /// The middle part of the key: "none", "node", "edge", "constraint" or
  /// "(KyNode,KyNode)".
  std::string scope;
  std::string valueType;
};

/// The results of the analysis `operation`, in registration order.
std::vector<ResultItem> resultsOf(int operation);
/// The operation code of an answer's "analysis" word; OPERATION_NONE for none.
int operationOf(const Json& answer);

/// The graph an answer refers to. Edges from position `originalEdges` on
/// are twins that a request added to follow edges both ways (edge
/// i + originalEdges runs against edge i): the answer names their
/// originals instead. Holds the members by position; O(n + m) to make.
class AnsweredGraph {
public:
  AnsweredGraph(const KyGraph& graph, int originalEdges);
  const KyGraph& graph() const { return graph_; }
  const std::vector<KyNode*>& nodes() const { return nodes_; }
  /// The original edges, by position.
  const std::vector<KyEdge*>& edges() const { return edges_; }
  /// The twin of an original edge, or null when the graph has none.
  const KyEdge* twin(const KyEdge* edge) const;
  /// The edge itself, or the original of a twin.
  const KyEdge* original(const KyEdge* edge) const;

private:
  const KyGraph& graph_;
  std::vector<KyNode*> nodes_;
  std::vector<KyEdge*> edges_;
  std::vector<KyEdge*> twins_;
};

/// A node as {"id": position, "name": name or null}.
Json nodeJson(const KyNode* node);
/// An edge as {"index": position, "source": node, "target": node}.
Json edgeJson(const KyEdge* edge);

/// The answer of `operation` to the request `input`:
/// {"analysis": word, "results": {name: value, ...}}. A result of scope
/// none is its value; one of another scope is an array of
/// {"node"|"edge"|"from","to"|"constraint": owner, "value": value} for
/// the owners that have a value, in graph order ("valueName" beside the
/// value for named codes). Nodes and edges as nodeJson() and edgeJson(),
/// lists as arrays, Booleans true or false, absent values null. A walk is
/// {"nodes": [...], "edges": [...]}, its nodes following its edges from the
/// node it starts at. Results that refer to the engine's own helper graph
/// are left out. A sorted-paths answer also gets "paths": its `pathLimit`
/// cheapest paths (pathsJson()). Per-edge integers of a twin count against
/// its original's (a flow against the edge is negative).
Json answerJson(int operation, const AnsweredGraph& graph, const KyServiceInputData& input,
                KyServiceOutputData& output, int pathLimit);

/// Counts the numbers of an answer made by answerJson() back into the unit
/// of the files read, when the request's columns were read with `scale`:
/// costs are divided by `costScale`, flows by `capacityScale`, the cost of
/// a minimum-cost flow by both, and the answer gets "scale": `scale` after
/// "analysis". 2147483647, which marks no walk, stays. Nothing for a scale
/// of 1.
void unscale(Json& answer, int scale, int costScale, int capacityScale);

/// A number as text: integers as they are, others in the fewest digits that
/// read back as the same double ("2.5", "3").
std::string numberText(const Json& number);

/// The first `limit` paths of a sorted-paths answer, cheapest first: each
/// {"nodes": [nodes], "edges": [edges], "cost": n}, the nodes following the
/// edges from `start`; a path without edges is `start` alone.
Json pathsJson(KyServiceOutputData& output, const KyNode* start, const AnsweredGraph& graph,
               int limit);

} // namespace KyAnswerModel
