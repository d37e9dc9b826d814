// Asks for the strongly connected components of a small graph and prints
// them: each node's component number, then the components one by one.
#include <kyanalysis/kyanalysis.h>

#include <iostream>

namespace {

KyNode* named(KyGraph& graph, const wchar_t* name) {
  KyNode* node = graph.addNode();
  node->pName(name);
  return node;
}

} // namespace

int main() {
  // a <-> b -> c <-> d -> e
  KyGraph graph;
  KyNode* a = named(graph, L"a");
  KyNode* b = named(graph, L"b");
  KyNode* c = named(graph, L"c");
  KyNode* d = named(graph, L"d");
  KyNode* e = named(graph, L"e");
  graph.addEdge(a, b);
  graph.addEdge(b, a);
  graph.addEdge(b, c);
  graph.addEdge(c, d);
  graph.addEdge(d, c);
  graph.addEdge(d, e);

  KyServiceInputData request;
  KyStronglyConnectedComponentsInputTailor input(&request);
  input.pGraph(&graph);
  input.setAsCurrentOperation();

  // Stands in for the service: the components {a, b}, {c, d} and {e}. The
  // answer takes over the list of components, which frees only its cells;
  // the component lists themselves live here.
  namespace scc = KyAnalysisKey::stronglyConnectedComponents;
  KyNodeDList ab, cd, alone;
  for (KyNode* node : {a, b})
    ab.appendNode(node);
  for (KyNode* node : {c, d})
    cd.appendNode(node);
  alone.appendNode(e);
  KyServiceOutputData answer;
  auto* components = new KyDList;
  int number = 0;
  for (KyNodeDList* component : {&ab, &cd, &alone}) {
    components->appendObject(component);
    for (KyNodeDListIter it(component); it; ++it)
      answer.storeOwned(it.pNode(), scc::nodeComponentNumber, new KyInt(number));
    ++number;
  }
  answer.storeOwned(nullptr, scc::noneComponentList, components);

  const KyStronglyConnectedComponentsOutputTailor result(&answer);
  for (KyNodeDListIter it(graph.pNodeList()); it; ++it)
    std::wcout << it.pNode()->pName() << L" is in component " << result.componentNumber(it.pNode())
               << L'\n';

  // The lists the builder makes are ours: deleteAllCellsAndObjects frees them.
  KyDList copies;
  result.buildComponentList(copies);
  std::wcout << copies.length() << L" components:\n";
  for (KyDListIter component(&copies); component; ++component) {
    std::wcout << L" ";
    for (KyNodeDListIter it(KyNodeDList::castDown(component.pObject())); it; ++it)
      std::wcout << L' ' << it.pNode()->pName();
    std::wcout << L'\n';
  }
  copies.deleteAllCellsAndObjects();
  return 0;
}
