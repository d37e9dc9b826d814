// AnswerModel: an engine's answer as JSON, read through the result descriptions.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

class KyEdge;
class KyGraph;
class KyNode;
class KyPath;
class KyServiceInputData;
class KyServiceOutputData;

namespace kyanalyze {

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

/// The answer of `operation` to the request `input` on `graph`:
/// {"analysis": word, "results": {name: value, ...}}. A result of scope
/// none is its value; one of another scope is an array of
/// {"node"|"edge"|"from","to"|"constraint": owner, "value": value} for
/// the owners that have a value, in graph order. Nodes are names, edges
/// {"source", "target", "index"}, lists arrays, Booleans true or false,
/// absent values null. Results that refer to the engine's own helper graph
/// (the path graph of sorted paths) are left out. A sorted-paths answer
/// also gets "paths": its `pathLimit` cheapest paths (pathsJson()).
Json answerJson(int operation, const KyGraph& graph, const KyServiceInputData& input,
                KyServiceOutputData& output, int pathLimit);

/// The first `limit` paths of a sorted-paths answer, cheapest first: each
/// {"nodes": [names], "edges": [edges], "cost": n}; `start` names the only
/// node of a path without edges.
Json pathsJson(KyServiceOutputData& output, const KyNode* start, int limit);

/// The nodes an edge list visits when its edges chain, each touching the
/// node where the one before ended (an edge may be walked against its
/// direction, as undirected analyses do). Empty when the list is empty or
/// does not chain.
std::vector<std::string> chainedNodes(const Json& edges);

} // namespace kyanalyze
