#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisOperation.h>
#include <kyanalysis/KyAnalysisOptionDescriptionManager.h>
#include <kyplatform/KyDouble.h>
#include <kyplatform/KyHashMap.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceName.h>
#include <kyplatform/KyText.h>

#include <typeinfo>

namespace {
enum class Enumeration { none, operation, clusteringQuality, cycleBreakingQuality };

struct Default {
  enum Kind { None, Integer, Double } kind;
  int integerValue;
  double doubleValue;

  static constexpr Default none() { return {None, 0, 0.0}; }
  static constexpr Default integer(int value) { return {Integer, value, 0.0}; }
  static constexpr Default real(double value) { return {Double, 0, value}; }

  KyObject* make() const {
    switch (kind) {
    case Integer:
      return new KyInt(integerValue);
    case Double:
      return new KyDouble(doubleValue);
    case None:
      break;
    }
    return nullptr;
  }
};

struct Row {
  const wchar_t* key;
  const wchar_t* ownerType;
  const wchar_t* valueType;
  Default defaultValue;
  Enumeration enumeration;
};

// Registration order. The two options every request shares come first.
constexpr Row kRows[] = {
    {KyAnalysisKey::all::noneGraph, L"none", L"KyGraph", Default::none(), Enumeration::none},
    {KyAnalysisKey::all::noneOperation, L"none", L"Integer", Default::none(),
     Enumeration::operation},
    {KyAnalysisKey::allPairsShortestPaths::graphUndirected, L"KyGraph", L"Boolean",
     Default::integer(0), Enumeration::none},
    {KyAnalysisKey::allPairsShortestPaths::edgeUndirected, L"KyEdge", L"Boolean",
     Default::integer(0), Enumeration::none},
    {KyAnalysisKey::allPairsShortestPaths::nodeCost, L"KyNode", L"Integer", Default::integer(0),
     Enumeration::none},
    {KyAnalysisKey::allPairsShortestPaths::edgeCost, L"KyEdge", L"Integer", Default::integer(1),
     Enumeration::none},
    {KyAnalysisKey::breadthFirstSearch::graphUndirected, L"KyGraph", L"Boolean",
     Default::integer(0), Enumeration::none},
    {KyAnalysisKey::breadthFirstSearch::edgeUndirected, L"KyEdge", L"Boolean", Default::integer(0),
     Enumeration::none},
    {KyAnalysisKey::breadthFirstSearch::graphStartNode, L"KyGraph", L"KyNode", Default::none(),
     Enumeration::none},
    {KyAnalysisKey::clustering::edgeCost, L"KyEdge", L"Integer", Default::integer(1),
     Enumeration::none},
    {KyAnalysisKey::clustering::graphQuality, L"KyGraph", L"Integer", Default::integer(1),
     Enumeration::clusteringQuality},
    {KyAnalysisKey::clustering::nodeWeight, L"KyNode", L"Integer", Default::integer(1),
     Enumeration::none},
    {KyAnalysisKey::clustering::graphMinNumberOfClusters, L"KyGraph", L"Integer",
     Default::integer(1), Enumeration::none},
    {KyAnalysisKey::clustering::graphMaxNumberOfClusters, L"KyGraph", L"Integer",
     Default::integer(0), Enumeration::none},
    {KyAnalysisKey::clustering::graphBalance, L"KyGraph", L"Double", Default::real(1.0),
     Enumeration::none},
    {KyAnalysisKey::clustering::graphClusterSizeFactor, L"KyGraph", L"Double", Default::real(1.0),
     Enumeration::none},
    {KyAnalysisKey::clustering::graphConstraintManager, L"KyGraph", L"KyConstraintManager",
     Default::none(), Enumeration::none},
    {KyAnalysisKey::depthFirstSearch::graphUndirected, L"KyGraph", L"Boolean", Default::integer(0),
     Enumeration::none},
    {KyAnalysisKey::depthFirstSearch::edgeUndirected, L"KyEdge", L"Boolean", Default::integer(0),
     Enumeration::none},
    {KyAnalysisKey::depthFirstSearch::graphStartNode, L"KyGraph", L"KyNode", Default::none(),
     Enumeration::none},
    {KyAnalysisKey::disjointPaths::graphStartNode, L"KyGraph", L"KyNode", Default::none(),
     Enumeration::none},
    {KyAnalysisKey::disjointPaths::graphFinishNode, L"KyGraph", L"KyNode", Default::none(),
     Enumeration::none},
    {KyAnalysisKey::disjointPaths::graphNodeDisjointPaths, L"KyGraph", L"Boolean",
     Default::integer(0), Enumeration::none},
    {KyAnalysisKey::sortedPaths::graphStartNode, L"KyGraph", L"KyNode", Default::none(),
     Enumeration::none},
    {KyAnalysisKey::sortedPaths::graphFinishNode, L"KyGraph", L"KyNode", Default::none(),
     Enumeration::none},
    {KyAnalysisKey::sortedPaths::nodeCost, L"KyNode", L"Integer", Default::integer(0),
     Enumeration::none},
    {KyAnalysisKey::sortedPaths::edgeCost, L"KyEdge", L"Integer", Default::integer(1),
     Enumeration::none},
    {KyAnalysisKey::maximumFlow::graphSourceNode, L"KyGraph", L"KyNode", Default::none(),
     Enumeration::none},
    {KyAnalysisKey::maximumFlow::graphSinkNode, L"KyGraph", L"KyNode", Default::none(),
     Enumeration::none},
    {KyAnalysisKey::maximumFlow::nodeCapacity, L"KyNode", L"Integer", Default::integer(2147483647),
     Enumeration::none},
    {KyAnalysisKey::maximumFlow::edgeCapacity, L"KyEdge", L"Integer", Default::integer(1),
     Enumeration::none},
    {KyAnalysisKey::minimumCostFlow::graphSourceNode, L"KyGraph", L"KyNode", Default::none(),
     Enumeration::none},
    {KyAnalysisKey::minimumCostFlow::graphSinkNode, L"KyGraph", L"KyNode", Default::none(),
     Enumeration::none},
    {KyAnalysisKey::minimumCostFlow::nodeCapacity, L"KyNode", L"Integer",
     Default::integer(2147483647), Enumeration::none},
    {KyAnalysisKey::minimumCostFlow::edgeCapacity, L"KyEdge", L"Integer", Default::integer(1),
     Enumeration::none},
    {KyAnalysisKey::minimumCostFlow::nodeCost, L"KyNode", L"Integer", Default::integer(0),
     Enumeration::none},
    {KyAnalysisKey::minimumCostFlow::edgeCost, L"KyEdge", L"Integer", Default::integer(1),
     Enumeration::none},
    {KyAnalysisKey::minimumCostFlow::graphDesiredFlow, L"KyGraph", L"Integer", Default::integer(0),
     Enumeration::none},
    {KyAnalysisKey::minimumCut::graphSourceNode, L"KyGraph", L"KyNode", Default::none(),
     Enumeration::none},
    {KyAnalysisKey::minimumCut::graphSinkNode, L"KyGraph", L"KyNode", Default::none(),
     Enumeration::none},
    {KyAnalysisKey::minimumCut::edgeCost, L"KyEdge", L"Integer", Default::integer(1),
     Enumeration::none},
    {KyAnalysisKey::minimumSpanningTree::edgeCost, L"KyEdge", L"Integer", Default::integer(1),
     Enumeration::none},
    {KyAnalysisKey::newCycleTest::graphSourceNode, L"KyGraph", L"KyNode", Default::none(),
     Enumeration::none},
    {KyAnalysisKey::newCycleTest::graphTargetNode, L"KyGraph", L"KyNode", Default::none(),
     Enumeration::none},
    {KyAnalysisKey::pathExistsTest::graphUndirected, L"KyGraph", L"Boolean", Default::integer(0),
     Enumeration::none},
    {KyAnalysisKey::pathExistsTest::edgeUndirected, L"KyEdge", L"Boolean", Default::integer(0),
     Enumeration::none},
    {KyAnalysisKey::pathExistsTest::graphStartNode, L"KyGraph", L"KyNode", Default::none(),
     Enumeration::none},
    {KyAnalysisKey::pathExistsTest::graphFinishNode, L"KyGraph", L"KyNode", Default::none(),
     Enumeration::none},
    {KyAnalysisKey::reachableNodes::graphUndirected, L"KyGraph", L"Boolean", Default::integer(0),
     Enumeration::none},
    {KyAnalysisKey::reachableNodes::edgeUndirected, L"KyEdge", L"Boolean", Default::integer(0),
     Enumeration::none},
    {KyAnalysisKey::reachableNodes::nodeCost, L"KyNode", L"Integer", Default::integer(0),
     Enumeration::none},
    {KyAnalysisKey::reachableNodes::edgeCost, L"KyEdge", L"Integer", Default::integer(1),
     Enumeration::none},
    {KyAnalysisKey::reachableNodes::graphStartNode, L"KyGraph", L"KyNode", Default::none(),
     Enumeration::none},
    {KyAnalysisKey::reachableNodes::graphRange, L"KyGraph", L"Integer", Default::integer(-1),
     Enumeration::none},
    {KyAnalysisKey::reachableNodes::graphLevel, L"KyGraph", L"Integer", Default::integer(0),
     Enumeration::none},
    {KyAnalysisKey::rootCause::graphUndirected, L"KyGraph", L"Boolean", Default::integer(0),
     Enumeration::none},
    {KyAnalysisKey::rootCause::edgeUndirected, L"KyEdge", L"Boolean", Default::integer(0),
     Enumeration::none},
    {KyAnalysisKey::rootCause::nodeCost, L"KyNode", L"Integer", Default::integer(0),
     Enumeration::none},
    {KyAnalysisKey::rootCause::edgeCost, L"KyEdge", L"Integer", Default::integer(1),
     Enumeration::none},
    {KyAnalysisKey::rootCause::graphEffectNodeList, L"KyGraph", L"List<KyNode>", Default::none(),
     Enumeration::none},
    {KyAnalysisKey::rootCause::graphRange, L"KyGraph", L"Integer", Default::integer(-1),
     Enumeration::none},
    {KyAnalysisKey::rootCause::graphThreshold, L"KyGraph", L"Double", Default::real(1.0),
     Enumeration::none},
    {KyAnalysisKey::rootCause::nodeWeight, L"KyNode", L"Integer", Default::integer(1),
     Enumeration::none},
    {KyAnalysisKey::shortestPaths::graphUndirected, L"KyGraph", L"Boolean", Default::integer(0),
     Enumeration::none},
    {KyAnalysisKey::shortestPaths::edgeUndirected, L"KyEdge", L"Boolean", Default::integer(0),
     Enumeration::none},
    {KyAnalysisKey::shortestPaths::graphStartNode, L"KyGraph", L"KyNode", Default::none(),
     Enumeration::none},
    {KyAnalysisKey::shortestPaths::graphFinishNode, L"KyGraph", L"KyNode", Default::none(),
     Enumeration::none},
    {KyAnalysisKey::shortestPaths::nodeCost, L"KyNode", L"Integer", Default::integer(0),
     Enumeration::none},
    {KyAnalysisKey::shortestPaths::edgeCost, L"KyEdge", L"Integer", Default::integer(1),
     Enumeration::none},
    {KyAnalysisKey::treeTest::graphDirected, L"KyGraph", L"Boolean", Default::integer(0),
     Enumeration::none},
    {KyAnalysisKey::uniquePathTest::graphUndirected, L"KyGraph", L"Boolean", Default::integer(0),
     Enumeration::none},
    {KyAnalysisKey::uniquePathTest::edgeUndirected, L"KyEdge", L"Boolean", Default::integer(0),
     Enumeration::none},
    {KyAnalysisKey::uniquePathTest::graphStartNode, L"KyGraph", L"KyNode", Default::none(),
     Enumeration::none},
    {KyAnalysisKey::uniquePathTest::graphFinishNode, L"KyGraph", L"KyNode", Default::none(),
     Enumeration::none},
    {KyAnalysisKey::cycleBreakingEdgeDetection::graphQuality, L"KyGraph", L"Integer",
     Default::integer(1), Enumeration::cycleBreakingQuality},
};
constexpr int kSharedOptions = 2;

KyHashMap* makeMap(const wchar_t* const* names, int count) {
  auto* map = new KyHashMap(16);
  for (int code = 0; code < count; ++code)
    map->put(new KyText(names[code]), new KyInt(code));
  return map;
}

KyHashMap* makeEnumeration(Enumeration which) {
  static constexpr const wchar_t* clustering[] = {
      L"CLUSTERING_QUALITY_DRAFT", L"CLUSTERING_QUALITY_MEDIUM", L"CLUSTERING_QUALITY_PROOF"};
  static constexpr const wchar_t* cycleBreaking[] = {L"CYCLEBREAKING_QUALITY_DRAFT",
                                                     L"CYCLEBREAKING_QUALITY_MEDIUM",
                                                     L"CYCLEBREAKING_QUALITY_PROOF"};
  switch (which) {
  case Enumeration::operation: {
    const wchar_t* names[KyAnalysisOperation::count()];
    for (int code = 0; code < KyAnalysisOperation::count(); ++code)
      names[code] = KyAnalysisOperation::mapName(code);
    return makeMap(names, KyAnalysisOperation::count());
  }
  case Enumeration::clusteringQuality:
    return makeMap(clustering, 3);
  case Enumeration::cycleBreakingQuality:
    return makeMap(cycleBreaking, 3);
  case Enumeration::none:
    break;
  }
  return nullptr;
}
} // namespace

KyAnalysisOptionDescriptionManager::KyAnalysisOptionDescriptionManager() {
  int row = 0;
  for (const Row& r : kRows) {
    const bool shared = row++ < kSharedOptions;
    pOption(new KyServiceOptionDescription(r.key, r.ownerType, r.valueType, nullptr, shared ? 1 : 0,
                                           shared ? 0 : 1, makeEnumeration(r.enumeration),
                                           r.defaultValue.make()));
  }
}

KyAnalysisOptionDescriptionManager::~KyAnalysisOptionDescriptionManager() = default;

const KyAnalysisOptionDescriptionManager& KyAnalysisOptionDescriptionManager::built() {
  static const KyAnalysisOptionDescriptionManager descriptions;
  return descriptions;
}

int KyAnalysisOptionDescriptionManager::defaultInteger(const KyServiceInputData& input,
                                                       const wchar_t* key) {
  KyServiceName* name = input.pServiceName();
  const KyServiceItemDescriptionManager* options =
      name != nullptr ? name->pInputDescriptionForLookup() : nullptr;
  const auto* option = options != nullptr
                           ? dynamic_cast<const KyServiceOptionDescription*>(options->pOption(key))
                           : nullptr;
  const KyObject* value = option != nullptr ? option->pDefaultValue() : nullptr;
  return value != nullptr && typeid(*value) == typeid(KyInt) ? KyInt::castDown(value)->value() : 0;
}
