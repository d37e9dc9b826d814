// Asks for a clustering of a small graph under two constraints and prints
// the answer.
#include <kyanalysis/kyanalysis.h>

#include <iostream>

int main() {
  KyGraph graph;
  KyNode* ann = graph.addNode();
  KyNode* bob = graph.addNode();
  KyNode* cid = graph.addNode();
  KyNode* dee = graph.addNode();
  ann->pName(L"ann");
  bob->pName(L"bob");
  cid->pName(L"cid");
  dee->pName(L"dee");
  graph.addEdge(ann, bob);
  graph.addEdge(bob, cid);
  graph.addEdge(cid, dee);

  // The request: two clusters at most; ann and bob together, ann and dee apart.
  KyServiceInputData request;
  KyClusteringInputTailor input(&request);
  input.pGraph(&graph);
  input.setAsCurrentOperation();
  input.maxNumberOfClusters(2);
  KyNodeDList together;
  together.appendNode(ann);
  together.appendNode(bob);
  KyNodeDList apart;
  apart.appendNode(ann);
  apart.appendNode(dee);
  KyClusteringConstraint* same = input.addSameClusterConstraint(&together);
  KyClusteringConstraint* different = input.addDifferentClusterConstraint(&apart);

  // Stands in for the service: the answer it would give to the request.
  KyNodeDList cluster0;
  cluster0.appendNode(ann);
  cluster0.appendNode(bob);
  KyNodeDList cluster1;
  cluster1.appendNode(cid);
  cluster1.appendNode(dee);
  KyDList clusters;
  clusters.appendObject(&cluster0);
  clusters.appendObject(&cluster1);
  KyServiceOutputData answer;
  answer.storeReference(nullptr, L"clustering:none:clusterList", &clusters);
  answer.storeOwned(ann, L"clustering:node:clusterNumber", new KyInt(0));
  answer.storeOwned(bob, L"clustering:node:clusterNumber", new KyInt(0));
  answer.storeOwned(cid, L"clustering:node:clusterNumber", new KyInt(1));
  answer.storeOwned(dee, L"clustering:node:clusterNumber", new KyInt(1));
  answer.storeOwned(same, L"clustering:constraint:fulfilled", new KyInt(1));
  answer.storeOwned(different, L"clustering:constraint:fulfilled", new KyInt(1));

  KyClusteringOutputTailor output(&answer);
  KyDList result;
  output.buildClusterList(result);
  int number = 0;
  for (KyDListIter cluster(&result); cluster; ++cluster, ++number) {
    std::wcout << L"cluster " << number << L":";
    for (KyNodeDListIter node(KyNodeDList::castDown(cluster.pObject())); node; ++node)
      std::wcout << L' ' << node.pNode()->pName() << L" (" << output.clusterNumber(node.pNode())
                 << L')';
    std::wcout << L'\n';
  }
  result.deleteAllCellsAndObjects();

  KyDList constraints;
  input.buildConstraintList(constraints);
  for (KyDListIter it(&constraints); it; ++it) {
    auto* constraint = KyClusteringConstraint::castDown(it.pObject());
    std::wcout << L"constraint of type " << constraint->type() << L" on "
               << constraint->pNodeList()->length() << L" nodes fulfilled: "
               << output.fulfilled(constraint) << L'\n';
  }
  return 0;
}
