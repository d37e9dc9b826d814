#include <kyformats/KyGraphNames.h>

#include <kyformats/KyFormatText.h>

#include <kyanalysis/KyClusteringConstraint.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

using KyFormatText::escaped;
using KyFormatText::toUtf8;

std::string KyGraphNames::nameOf(const KyNode* node) { return KyFormatText::toUtf8(node->pName()); }

KyGraphNames::KyGraphNames(const KyGraph& graph) {
  const int count = graph.numberOfNodes();
  nodes_.reserve(static_cast<std::size_t>(count));
  labels_.reserve(static_cast<std::size_t>(count));
  for (int index = 0; index < count; ++index) {
    KyNode* node = graph.pNodeAt(index);
    nodes_.push_back(node);
    labels_.push_back(node->pName() != nullptr ? escaped(nameOf(node))
                                               : "node " + std::to_string(index));
  }
  // A label no other node has stays; the others get "#N" appended, and again
  // while they meet another label. Each round lengthens only those, so the
  // rounds end; the last one, where no two labels meet, leaves the index.
  std::vector<char> kept;
  for (bool first = true;; first = false) {
    byLabel_.clear();
    std::vector<char> meets(labels_.size(), 0);
    bool any = false;
    for (std::size_t i = 0; i < labels_.size(); ++i) {
      const auto [at, added] = byLabel_.emplace(labels_[i], static_cast<int>(i));
      if (!added) {
        meets[static_cast<std::size_t>(at->second)] = meets[i] = 1;
        any = true;
      }
    }
    if (first) {
      kept.resize(labels_.size());
      for (std::size_t i = 0; i < labels_.size(); ++i)
        kept[i] = !meets[i];
    }
    if (!any)
      break;
    for (std::size_t i = 0; i < labels_.size(); ++i)
      if (meets[i] && !kept[i])
        labels_[i] += "#" + std::to_string(i);
  }
}

const std::string& KyGraphNames::node(const KyNode* node) const {
  return labels_.at(static_cast<std::size_t>(node->index()));
}

const std::string& KyGraphNames::node(int position) const {
  return labels_.at(static_cast<std::size_t>(position));
}

std::string KyGraphNames::edge(const KyEdge* edge) const {
  return node(edge->pSourceNode()) + " -> " + node(edge->pTargetNode());
}

std::string KyGraphNames::member(const KyObject* object) const {
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

std::string KyGraphNames::nodeList(const KyObject* nodes) const {
  std::string text;
  for (KyNodeDListIter it(dynamic_cast<const KyDList*>(nodes)); it; ++it)
    text += (text.empty() ? "" : " ") + node(it.pNode());
  return text;
}

std::string KyGraphNames::constraint(const KyObject* constraint) const {
  const auto* clustering = dynamic_cast<const KyClusteringConstraint*>(constraint);
  if (clustering == nullptr)
    return "?";
  const std::string nodes = nodeList(clustering->pNodeList());
  return std::string(constraintType(clustering->type())) + ":" + (nodes.empty() ? "" : " " + nodes);
}

KyNode* KyGraphNames::find(const std::string& name, std::string& error) const {
  if (const auto label = byLabel_.find(name); label != byLabel_.end())
    return nodes_[static_cast<std::size_t>(label->second)];
  // Not a label: the nodes of that name, found by a walk, as this is rare.
  std::vector<std::size_t> named;
  for (std::size_t i = 0; i < nodes_.size(); ++i)
    if (nodes_[i]->pName() != nullptr && nameOf(nodes_[i]) == name)
      named.push_back(i);
  if (named.empty()) {
    error = "the graph has no node named '" + escaped(name) + "'";
    return nullptr;
  }
  if (named.size() == 1)
    return nodes_[named.front()];
  error = "the graph has " + std::to_string(named.size()) + " nodes named '" + escaped(name) +
          "'; name one by its label:";
  for (std::size_t index : named)
    error += " " + labels_[index];
  return nullptr;
}

const char* KyGraphNames::constraintType(int type) {
  const char* const names[] = {"sameCluster", "differentClusters", "makeCompleteCluster"};
  return names[type >= 0 && type <= 2 ? type : 2];
}
