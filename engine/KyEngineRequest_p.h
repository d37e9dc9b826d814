// How the engine's analyses read the parts of a request every analysis
// checks the same way. Internal to the engine; not installed.
#pragma once

#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyServiceData.h>

#include <algorithm>
#include <typeinfo>
#include <vector>

/// Whether the option under (graph, key) holds a value of another class than
/// `Value`. The tailors read such a value as 0; where 0 would be a
/// meaningful answer to a meaningless request (a quality, a threshold), the
/// engine refuses it with ANALYSIS_ERROR_INVALID_OPTION instead.
template <class Value>
bool holdsOtherClass(const KyServiceInputData& input, const KyGraph& graph, const wchar_t* key) {
  const KyObject* stored = input.pValue(&graph, key);
  return stored != nullptr && typeid(*stored) != typeid(Value);
}

/// Checks the two end nodes of a request (start and finish, or source and
/// sink): ANALYSIS_ERROR_NONE, or the code of the first check that fails,
/// missing before foreign, start before finish.
inline int checkEndNodes(const KyNode* start, const KyNode* finish, const KyGraph& graph) {
  if (start == nullptr)
    return ANALYSIS_ERROR_NO_START_NODE;
  if (finish == nullptr)
    return ANALYSIS_ERROR_NO_FINISH_NODE;
  if (start->pOwnerGraph() != &graph)
    return ANALYSIS_ERROR_START_NODE_NOT_IN_GRAPH;
  if (finish->pOwnerGraph() != &graph)
    return ANALYSIS_ERROR_FINISH_NODE_NOT_IN_GRAPH;
  return ANALYSIS_ERROR_NONE;
}

/// Checks the one start node of a request: ANALYSIS_ERROR_NONE, 6 or 8.
inline int checkStartNode(const KyNode* start, const KyGraph& graph) {
  if (start == nullptr)
    return ANALYSIS_ERROR_NO_START_NODE;
  return start->pOwnerGraph() == &graph ? ANALYSIS_ERROR_NONE
                                        : ANALYSIS_ERROR_START_NODE_NOT_IN_GRAPH;
}

/// The position of the first negative value of `values`, or -1.
inline int firstNegative(const std::vector<int>& values) {
  const auto found =
      std::find_if(values.begin(), values.end(), [](int value) { return value < 0; });
  return found == values.end() ? -1 : static_cast<int>(found - values.begin());
}

/// The integer option under (graph, key), read as the input tailors read
/// it: a stored KyInt gives its value, another stored value 0, and no
/// value the option's default. O(length of the key).
int graphInteger(const KyServiceInputData& input, const KyGraph& graph, const wchar_t* key);

/// The integer option under `key` of every node (nodeIntegers) or edge
/// (edgeIntegers) of `graph`, by position, read as the input tailors read
/// it: a stored KyInt gives its value, another stored value 0, and a
/// member without a value the option's default. One pass over the key's
/// column of the store, O(n) or O(m).
std::vector<int> nodeIntegers(const KyServiceInputData& input, const KyGraph& graph,
                              const wchar_t* key);
std::vector<int> edgeIntegers(const KyServiceInputData& input, const KyGraph& graph,
                              const wchar_t* key);
