#include "GraphNames.h"

#include "Utf8.h"

#include <kyanalysis/KyClusteringConstraint.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

namespace kyanalyze {

std::string memberName(const KyObject* object) {
  if (object == nullptr)
    return "-";
  if (const auto* member = dynamic_cast<const KyGraphMember*>(object)) {
    if (member->pName() != nullptr)
      return toUtf8(member->pName());
    const char* kind = dynamic_cast<const KyNode*>(object) != nullptr ? "node " : "edge ";
    return kind + std::to_string(member->index());
  }
  return dynamic_cast<const KyGraph*>(object) != nullptr ? "graph" : "?";
}

std::string edgeName(const KyEdge* edge) {
  return memberName(edge->pSourceNode()) + " -> " + memberName(edge->pTargetNode());
}

std::string nodeNames(const KyObject* nodes) {
  std::string text;
  for (KyNodeDListIter it(dynamic_cast<const KyDList*>(nodes)); it; ++it)
    text += (text.empty() ? "" : " ") + memberName(it.pNode());
  return text;
}

const char* constraintTypeName(int type) {
  const char* const names[] = {"sameCluster", "differentClusters", "makeCompleteCluster"};
  return names[type >= 0 && type <= 2 ? type : 2];
}

std::string constraintName(const KyObject* constraint) {
  const auto* clustering = dynamic_cast<const KyClusteringConstraint*>(constraint);
  if (clustering == nullptr)
    return "?";
  return std::string(constraintTypeName(clustering->type())) + ": " +
         nodeNames(clustering->pNodeList());
}

NodeFinder::NodeFinder(const KyGraph& graph) {
  for (KyNodeDListIter it(graph.pNodeList()); it; ++it)
    nodes_[memberName(it.pNode())].push_back(it.pNode());
}

KyNode* NodeFinder::find(const std::string& name, std::string& error) const {
  const auto found = nodes_.find(name);
  if (found == nodes_.end()) {
    error = "the graph has no node named '" + name + "'";
    return nullptr;
  }
  if (found->second.size() > 1) {
    error = "the graph has " + std::to_string(found->second.size()) + " nodes named '" + name + "'";
    return nullptr;
  }
  return found->second.front();
}

} // namespace kyanalyze
