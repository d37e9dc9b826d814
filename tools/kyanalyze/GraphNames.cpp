#include "GraphNames.h"

#include "Text.h"

#include <kyanalysis/KyClusteringConstraint.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

namespace kyanalyze {

std::string nodeName(const KyNode* node) { return toUtf8(node->pName()); }

GraphNames::GraphNames(const KyGraph& graph) {
  for (KyNodeDListIter it(graph.pNodeList()); it; ++it) {
    KyNode* node = it.pNode();
    const int index = static_cast<int>(nodes_.size());
    nodes_.push_back(node);
    const std::string name = nodeName(node);
    labels_.push_back(node->pName() != nullptr ? escaped(name) : "node " + std::to_string(index));
    if (node->pName() != nullptr)
      byName_[name].push_back(index);
  }
  // A label no other node has stays; the others get "#N" appended, and again
  // while they meet another label. Each round lengthens only those, so the
  // rounds end.
  std::unordered_map<std::string, int> uses;
  for (const std::string& label : labels_)
    ++uses[label];
  std::vector<char> kept(labels_.size(), 0);
  for (std::size_t i = 0; i < labels_.size(); ++i) {
    kept[i] = uses[labels_[i]] == 1;
    if (!kept[i])
      labels_[i] += "#" + std::to_string(i);
  }
  for (bool shared = true; shared;) {
    shared = false;
    std::unordered_map<std::string, std::vector<std::size_t>> holders;
    for (std::size_t i = 0; i < labels_.size(); ++i)
      holders[labels_[i]].push_back(i);
    for (const auto& entry : holders)
      if (entry.second.size() > 1)
        for (std::size_t i : entry.second)
          if (!kept[i]) {
            labels_[i] += "#" + std::to_string(i);
            shared = true;
          }
  }
  for (std::size_t i = 0; i < labels_.size(); ++i)
    byLabel_.emplace(labels_[i], static_cast<int>(i));
}

const std::string& GraphNames::node(const KyNode* node) const {
  return labels_.at(static_cast<std::size_t>(node->index()));
}

const std::string& GraphNames::node(int position) const {
  return labels_.at(static_cast<std::size_t>(position));
}

std::string GraphNames::edge(const KyEdge* edge) const {
  return node(edge->pSourceNode()) + " -> " + node(edge->pTargetNode());
}

std::string GraphNames::member(const KyObject* object) const {
  if (object == nullptr)
    return "-";
  if (const auto* node = dynamic_cast<const KyNode*>(object))
    return this->node(node);
  if (const auto* edge = dynamic_cast<const KyEdge*>(object))
    return edge->pName() != nullptr
               ? escaped(toUtf8(edge->pName()))
               : "edge " + std::to_string(edge->index()) + " (" + this->edge(edge) + ")";
  return dynamic_cast<const KyGraph*>(object) != nullptr ? "graph" : "?";
}

std::string GraphNames::nodeList(const KyObject* nodes) const {
  std::string text;
  for (KyNodeDListIter it(dynamic_cast<const KyDList*>(nodes)); it; ++it)
    text += (text.empty() ? "" : " ") + node(it.pNode());
  return text;
}

std::string GraphNames::constraint(const KyObject* constraint) const {
  const auto* clustering = dynamic_cast<const KyClusteringConstraint*>(constraint);
  if (clustering == nullptr)
    return "?";
  const std::string nodes = nodeList(clustering->pNodeList());
  return std::string(constraintTypeName(clustering->type())) + ":" +
         (nodes.empty() ? "" : " " + nodes);
}

KyNode* GraphNames::find(const std::string& name, std::string& error) const {
  if (const auto label = byLabel_.find(name); label != byLabel_.end())
    return nodes_[static_cast<std::size_t>(label->second)];
  const auto named = byName_.find(name);
  if (named == byName_.end()) {
    error = "the graph has no node named '" + escaped(name) + "'";
    return nullptr;
  }
  if (named->second.size() == 1)
    return nodes_[static_cast<std::size_t>(named->second.front())];
  error = "the graph has " + std::to_string(named->second.size()) + " nodes named '" +
          escaped(name) + "'; name one by its label:";
  for (int index : named->second)
    error += " " + labels_[static_cast<std::size_t>(index)];
  return nullptr;
}

const char* constraintTypeName(int type) {
  const char* const names[] = {"sameCluster", "differentClusters", "makeCompleteCluster"};
  return names[type >= 0 && type <= 2 ? type : 2];
}

} // namespace kyanalyze
