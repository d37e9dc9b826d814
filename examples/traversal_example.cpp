// Asks for a depth-first search of a small graph and prints the answer:
// the nodes in the order visited, each with the node it was reached from,
// and the kind of every edge.
#include <kyanalysis/kyanalysis.h>

#include <iostream>

namespace {

KyNode* named(KyGraph& graph, const wchar_t* name) {
  KyNode* node = graph.addNode();
  node->pName(name);
  return node;
}

const wchar_t* kindOf(KyAnalysisEdgeTypeEnum type) {
  switch (type) {
  case EDGE_TYPE_TREE:
    return L"tree";
  case EDGE_TYPE_BACK:
    return L"back";
  case EDGE_TYPE_FORWARD:
    return L"forward";
  case EDGE_TYPE_CROSS:
    return L"cross";
  case EDGE_TYPE_NONE:
    break;
  }
  return L"unknown";
}

} // namespace

int main() {
  KyGraph graph;
  KyNode* a = named(graph, L"a");
  KyNode* b = named(graph, L"b");
  KyNode* c = named(graph, L"c");
  KyNode* d = named(graph, L"d");
  KyEdge* ab = graph.addEdge(a, b);
  KyEdge* bd = graph.addEdge(b, d);
  KyEdge* ac = graph.addEdge(a, c);
  KyEdge* cd = graph.addEdge(c, d);

  KyServiceInputData request;
  KyDepthFirstSearchInputTailor input(&request);
  input.pGraph(&graph);
  input.setAsCurrentOperation();
  input.pStartNode(a);

  // Stands in for the service: from a the search goes down to b and d, then
  // to c, whose edge leads into d, finished already.
  namespace dfs = KyAnalysisKey::depthFirstSearch;
  KyServiceOutputData answer;
  auto* order = new KyNodeDList;
  int number = 1;
  for (KyNode* node : {a, b, d, c}) {
    order->appendNode(node);
    answer.storeOwned(node, dfs::nodeOrderNumber, new KyInt(number++));
  }
  answer.storeOwned(nullptr, dfs::noneNodeList, order);
  answer.storeReference(b, dfs::nodeParent, a);
  answer.storeReference(d, dfs::nodeParent, b);
  answer.storeReference(c, dfs::nodeParent, a);
  for (KyEdge* edge : {ab, bd, ac})
    answer.storeOwned(edge, dfs::edgeType, new KyInt(EDGE_TYPE_TREE));
  answer.storeOwned(cd, dfs::edgeType, new KyInt(EDGE_TYPE_CROSS));

  const KyDepthFirstSearchOutputTailor result(&answer);
  KyNodeDList visited;
  result.buildNodeOrderList(visited);
  std::wcout << L"Visited from " << input.pStartNode()->pName() << L":\n";
  for (KyNodeDListIter it(&visited); it; ++it) {
    KyNode* parent = result.pParentNode(it.pNode());
    std::wcout << L"  " << result.orderNumber(it.pNode()) << L". " << it.pNode()->pName();
    if (parent != nullptr)
      std::wcout << L", reached from " << parent->pName();
    std::wcout << L'\n';
  }
  std::wcout << L"Edges:\n";
  for (KyEdgeDListIter it(graph.pEdgeList()); it; ++it)
    std::wcout << L"  " << it.pEdge()->pSourceNode()->pName() << L" -> "
               << it.pEdge()->pTargetNode()->pName() << L": " << kindOf(result.edgeType(it.pEdge()))
               << L'\n';
  return 0;
}
