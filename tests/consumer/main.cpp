// Sets up a breadth-first search request on an installed kyanalysis and reads
// an answer back: proof that the package, its headers and both libraries are
// usable from outside the source tree.
#include <kyanalysis/kyanalysis.h>

#include <cstdio>

int main() {
  KyGraph graph;
  KyNode* a = graph.addNode();
  KyNode* b = graph.addNode();
  graph.addEdge(a, b);

  KyServiceInputData request;
  KyBreadthFirstSearchInputTailor input(&request);
  input.pGraph(&graph);
  input.setAsCurrentOperation();
  input.pStartNode(a);

  KyServiceOutputData answer;
  answer.setValue(b, KyAnalysisKey::breadthFirstSearch::nodeOrderNumber, new KyInt(2), 1, 0);
  KyBreadthFirstSearchOutputTailor output(&answer);

  const bool ok = input.operationType() == OPERATION_BREADTH_FIRST_SEARCH &&
                  input.pStartNode() == a && input.undirected() == 0 &&
                  output.orderNumber(b) == 2 && request.pServiceName() != nullptr;
  std::printf("consumer: %s\n", ok ? "ok" : "FAILED");
  return ok ? 0 : 1;
}
