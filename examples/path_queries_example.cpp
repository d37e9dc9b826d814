// Asks for the shortest route between two towns of a small road map and
// reads the answer back, then rebuilds the same route from all-pairs
// results.
#include <kyanalysis/kyanalysis.h>

#include <iostream>

namespace {

KyNode* town(KyGraph& map, const wchar_t* name) {
  KyNode* node = map.addNode();
  node->pName(name);
  return node;
}

// A one-way road of the request's map, `km` long.
KyEdge* road(KyShortestPathsInputTailor& request, KyNode* from, KyNode* to, int km) {
  KyEdge* edge = request.pGraph()->addEdge(from, to);
  request.cost(edge, km);
  return edge;
}

void printRoute(const KyEdgeDList& roads) {
  KyEdgeDListIter it(&roads);
  if (!it) {
    std::wcout << L"  no route\n";
    return;
  }
  std::wcout << L"  " << it.pEdge()->pSourceNode()->pName();
  for (; it; ++it)
    std::wcout << L" -> " << it.pEdge()->pTargetNode()->pName();
  std::wcout << L'\n';
}

} // namespace

int main() {
  KyGraph map;
  KyNode* ashford = town(map, L"Ashford");
  KyNode* bramley = town(map, L"Bramley");
  KyNode* cobham = town(map, L"Cobham");
  KyNode* dorking = town(map, L"Dorking");

  KyServiceInputData request;
  KyShortestPathsInputTailor input(&request);
  input.pGraph(&map);
  input.setAsCurrentOperation();
  input.pStartNode(ashford);
  input.pFinishNode(dorking);
  road(input, ashford, bramley, 4);
  KyEdge* ashfordCobham = road(input, ashford, cobham, 2);
  KyEdge* cobhamBramley = road(input, cobham, bramley, 1);
  KyEdge* bramleyDorking = road(input, bramley, dorking, 3);
  road(input, cobham, dorking, 8);

  // Stands in for the service: the answer it gives to this request.
  namespace shortest = KyAnalysisKey::shortestPaths;
  KyServiceOutputData answer;
  auto* route = new KyEdgeDList;
  route->appendEdge(ashfordCobham);
  route->appendEdge(cobhamBramley);
  route->appendEdge(bramleyDorking);
  answer.storeOwned(nullptr, shortest::nonePathExists, new KyInt(1));
  answer.storeOwned(nullptr, shortest::noneEdgeList, route);
  answer.storeOwned(nullptr, shortest::noneTotalCost, new KyInt(6));

  const KyShortestPathsOutputTailor result(&answer);
  KyEdgeDList roads;
  result.buildEdgeList(roads);
  std::wcout << L"Shortest route, " << result.totalCost() << L" km:\n";
  printRoute(roads);

  // Stands in for the service again: all-pairs results, each stored under a
  // pair of towns that the store takes over. Only the pairs starting at
  // Ashford are filled in here.
  namespace allPairs = KyAnalysisKey::allPairsShortestPaths;
  KyServiceOutputData table;
  const struct {
    KyNode* to;
    KyEdge* lastRoad;
    int km;
  } fromAshford[] = {
      {cobham, ashfordCobham, 2}, {bramley, cobhamBramley, 3}, {dorking, bramleyDorking, 6}};
  for (const auto& entry : fromAshford) {
    table.setValue(new KyPair(ashford, entry.to), allPairs::pairLastEdge, entry.lastRoad, 0, 1);
    table.setValue(new KyPair(ashford, entry.to), allPairs::pairTotalCost, new KyInt(entry.km), 1,
                   1);
  }

  const KyAllPairsShortestPathsOutputTailor pairs(&table);
  pairs.buildShortestPathEdgeList(ashford, dorking, roads);
  std::wcout << L"Ashford to Dorking from all-pairs results, "
             << pairs.computeLengthOfShortestPath(ashford, dorking) << L" km:\n";
  printRoute(roads);
  pairs.buildShortestPathEdgeList(dorking, ashford, roads);
  std::wcout << L"Dorking to Ashford:\n";
  printRoute(roads);
  return 0;
}
