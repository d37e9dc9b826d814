// Asks for the maximum flow through a small pipe network and prints the
// flow along each pipe.
#include <kyanalysis/kyanalysis.h>

#include <iostream>

namespace {

KyNode* named(KyGraph& graph, const wchar_t* name) {
  KyNode* node = graph.addNode();
  node->pName(name);
  return node;
}

// A pipe of the request's network that carries at most `capacity`.
KyEdge* pipe(KyMaximumFlowInputTailor& request, KyNode* from, KyNode* to, int capacity) {
  KyEdge* edge = request.pGraph()->addEdge(from, to);
  request.capacity(edge, capacity);
  return edge;
}

} // namespace

int main() {
  KyGraph network;
  KyNode* source = named(network, L"source");
  KyNode* left = named(network, L"left");
  KyNode* right = named(network, L"right");
  KyNode* sink = named(network, L"sink");

  KyServiceInputData request;
  KyMaximumFlowInputTailor input(&request);
  input.pGraph(&network);
  input.setAsCurrentOperation();
  input.pSourceNode(source);
  input.pSinkNode(sink);
  KyEdge* sourceLeft = pipe(input, source, left, 3);
  KyEdge* sourceRight = pipe(input, source, right, 2);
  KyEdge* leftRight = pipe(input, left, right, 1);
  KyEdge* leftSink = pipe(input, left, sink, 2);
  KyEdge* rightSink = pipe(input, right, sink, 3);

  // Stands in for the service: every pipe out of the source runs full, so
  // 5 units is the most that gets through.
  namespace flow = KyAnalysisKey::maximumFlow;
  KyServiceOutputData answer;
  const struct {
    KyEdge* pipe;
    int amount;
  } flows[] = {{sourceLeft, 3}, {sourceRight, 2}, {leftRight, 1}, {leftSink, 2}, {rightSink, 3}};
  for (const auto& entry : flows)
    answer.storeOwned(entry.pipe, flow::edgeFlow, new KyInt(entry.amount));
  answer.storeOwned(nullptr, flow::noneTotalFlow, new KyInt(5));

  const KyMaximumFlowOutputTailor result(&answer);
  std::wcout << L"Maximum flow from " << input.pSourceNode()->pName() << L" to "
             << input.pSinkNode()->pName() << L": " << result.totalFlow() << L'\n';
  for (KyEdgeDListIter it(network.pEdgeList()); it; ++it)
    std::wcout << L"  " << it.pEdge()->pSourceNode()->pName() << L" -> "
               << it.pEdge()->pTargetNode()->pName() << L": " << result.flow(it.pEdge()) << L" of "
               << input.capacity(it.pEdge()) << L'\n';
  return 0;
}
