// Lists the cheapest routes between two towns of a small road map in order
// of length: the local engine answers the request, and the sorted path
// iterator rebuilds the routes one at a time, only as far as it is stepped.
#include <kyanalysis/kyanalysis.h>
#include <kyengine/KyLocalAnalysisService.h>

#include <iostream>

namespace {

KyNode* town(KyGraph& map, const wchar_t* name) {
  KyNode* node = map.addNode();
  node->pName(name);
  return node;
}

// A road both ways, `km` long.
void road(KySortedPathsInputTailor& request, KyNode* a, KyNode* b, int km) {
  request.cost(request.pGraph()->addEdge(a, b), km);
  request.cost(request.pGraph()->addEdge(b, a), km);
}

void printRoute(const KyPath& route) {
  KyEdgeDListIter it(route.pEdgeList());
  std::wcout << L"  " << route.length() << L" km: " << it.pEdge()->pSourceNode()->pName();
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
  KyNode* epsom = town(map, L"Epsom");

  KyServiceInputData request;
  KySortedPathsInputTailor input(&request);
  input.pGraph(&map);
  input.setAsCurrentOperation();
  input.pStartNode(ashford);
  input.pFinishNode(dorking);
  road(input, ashford, bramley, 4);
  road(input, ashford, cobham, 2);
  road(input, bramley, cobham, 1);
  road(input, bramley, dorking, 5);
  road(input, cobham, epsom, 3);
  road(input, epsom, dorking, 3);

  KyServiceOutputData answer;
  const int error = KyLocalAnalysisService().run(&request, &answer);
  if (error != 0) {
    std::wcout << L"the engine answered with error " << error << L'\n';
    return 1;
  }

  // Roads run both ways, so routes may turn back; the iterator yields them
  // all in order of length, for as long as it is stepped.
  std::wcout << L"The five shortest routes from Ashford to Dorking:\n";
  KySortedPathsOutputTailor output(&answer);
  int shown = 0;
  for (KySortedPathIter routes(&output); routes && shown < 5; ++routes, ++shown) {
    KyPath* route = routes.pPath(); // taken: the caller releases it
    printRoute(*route);
    route->vRelease();
  }
  return 0;
}
