// Helpers of the persistence tests: a small named graph with a request on
// it, and a description of a request that does not depend on addresses.
#pragma once

#include "support/KyDataTesting.h"

#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyanalysis/KyClusteringConstraint.h>
#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>
#include <kyplatform/KyServiceData.h>

#include <string>
#include <vector>

namespace kytest {

/// Nodes A, B, C and edges ab, bc, ca on a graph that the request names
/// under "all:none:graph".
struct Request {
  KyGraph graph;
  KyServiceInputData data;
  KyNode* a;
  KyNode* b;
  KyNode* c;
  KyEdge* ab;
  KyEdge* bc;
  KyEdge* ca;
  Request() {
    data.pServiceName(new KyAnalysisServiceName);
    a = graph.addNode();
    b = graph.addNode();
    c = graph.addNode();
    a->pName(L"A");
    b->pName(L"B");
    c->pName(L"C");
    ab = graph.addEdge(a, b);
    bc = graph.addEdge(b, c);
    ca = graph.addEdge(c, a);
    ab->pName(L"ab");
    bc->pName(L"bc");
    ca->pName(L"ca");
    data.setValue(nullptr, L"all:none:graph", &graph, 0, 0);
  }
};

/// A graph member by its name, a graph as "graph".
inline std::string member(const KyObject* object) {
  if (object == nullptr)
    return "none";
  if (const auto* node = dynamic_cast<const KyGraphMember*>(object))
    return narrow(node->pName());
  return dynamic_cast<const KyGraph*>(object) != nullptr ? "graph" : "?";
}

/// One clustering constraint as "{type fulfilled priority name: nodes}".
inline std::string describe(const KyClusteringConstraint& constraint) {
  std::string line = "{" + std::to_string(constraint.type()) + " " +
                     std::to_string(constraint.fulfilled()) + " " +
                     std::to_string(constraint.priority()) + " " + narrow(constraint.pName()) + ":";
  for (KyNodeDListIter it(constraint.pNodeList()); it; ++it)
    line += " " + member(it.pNode());
  return line + "}";
}

/// The values of a request, clustering constraints in full.
inline std::vector<std::string> describe(const KyServiceInputData& data) {
  return describeValues(data, member, [](const KyConstraint& constraint) {
    return describe(dynamic_cast<const KyClusteringConstraint&>(constraint));
  });
}

} // namespace kytest
