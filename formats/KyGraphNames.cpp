#include <kyformats/KyGraphNames.h>

#include <kyformats/KyFormatText.h>

#include <kyanalysis/KyClusteringConstraint.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

#include <functional>
#include <stdexcept>

using KyFormatText::escaped;
using KyFormatText::toUtf8;

namespace {

/// Appends `name` to `text` when it is printable ASCII alone, which labels
/// as it is, as most names are; false, and `text` as it was, otherwise.
bool appendPrintable(const wchar_t* name, std::string& text) {
  const std::size_t size = text.size();
  for (const wchar_t* c = name; *c != L'\0'; ++c) {
    if (*c < 0x20 || *c > 0x7e) {
      text.resize(size);
      return false;
    }
    text += static_cast<char>(*c);
  }
  return true;
}

} // namespace

std::string KyGraphNames::nameOf(const KyNode* node) { return KyFormatText::toUtf8(node->pName()); }

KyGraphNames::KyGraphNames(const KyGraph& graph) : graph_(&graph) {
  const int count = graph.numberOfNodes();
  start_.reserve(static_cast<std::size_t>(count) + 1);
  start_.push_back(0);
  for (int index = 0; index < count; ++index) {
    const KyNode* node = graph.pNodeAt(index);
    const wchar_t* name = node->pName();
    if (name == nullptr)
      text_ += "node " + std::to_string(index);
    else if (!appendPrintable(name, text_))
      text_ += escaped(nameOf(node));
    start_.push_back(text_.size());
  }
  // A label no other node has stays; the others get "#N" appended, and again
  // while they meet another label. Each round lengthens only those, so the
  // rounds end; the last one, where no two labels meet, leaves the index.
  const auto size = static_cast<std::size_t>(count);
  std::vector<char> kept;
  for (bool first = true;; first = false) {
    std::vector<char> meets(size, 0);
    const bool unique = index(meets);
    if (first) {
      kept.resize(size);
      for (std::size_t i = 0; i < size; ++i)
        kept[i] = !meets[i];
    }
    if (unique)
      break;
    std::string text;
    std::vector<std::size_t> start{0};
    start.reserve(size + 1);
    for (std::size_t i = 0; i < size; ++i) {
      text += label(i);
      if (meets[i] && !kept[i])
        text += "#" + std::to_string(i);
      start.push_back(text.size());
    }
    text_ = std::move(text);
    start_ = std::move(start);
  }
  text_.shrink_to_fit();
}

bool KyGraphNames::index(std::vector<char>& meets) {
  const std::size_t count = start_.size() - 1;
  std::size_t size = 2;
  while (size < 2 * count)
    size *= 2;
  slots_.assign(size, -1);
  bool unique = true;
  for (std::size_t i = 0; i < count; ++i) {
    std::int32_t& slot = slots_[slotOf(label(i))];
    if (slot < 0) {
      slot = static_cast<std::int32_t>(i);
    } else {
      meets[static_cast<std::size_t>(slot)] = meets[i] = 1;
      unique = false;
    }
  }
  return unique;
}

std::size_t KyGraphNames::slotOf(std::string_view label) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = std::hash<std::string_view>()(label) & mask;; at = (at + 1) & mask) {
    const std::int32_t held = slots_[at];
    if (held < 0 || this->label(static_cast<std::size_t>(held)) == label)
      return at;
  }
}

std::string KyGraphNames::node(const KyNode* node) const { return this->node(node->index()); }

std::string KyGraphNames::node(int position) const {
  if (position < 0 || static_cast<std::size_t>(position) + 1 >= start_.size())
    throw std::out_of_range("KyGraphNames::node: no node at position " + std::to_string(position));
  return std::string(label(static_cast<std::size_t>(position)));
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
  if (const std::int32_t held = slots_[slotOf(name)]; held >= 0)
    return graph_->pNodeAt(held);
  // Not a label: the nodes of that name, found by a walk, as this is rare.
  const std::size_t count = start_.size() - 1;
  std::vector<std::size_t> named;
  for (std::size_t i = 0; i < count; ++i) {
    const KyNode* node = graph_->pNodeAt(static_cast<int>(i));
    if (node->pName() != nullptr && nameOf(node) == name)
      named.push_back(i);
  }
  if (named.empty()) {
    error = "the graph has no node named '" + escaped(name) + "'";
    return nullptr;
  }
  if (named.size() == 1)
    return graph_->pNodeAt(static_cast<int>(named.front()));
  error = "the graph has " + std::to_string(named.size()) + " nodes named '" + escaped(name) +
          "'; name one by its label:";
  for (std::size_t index : named)
    error += " " + std::string(label(index));
  return nullptr;
}

const char* KyGraphNames::constraintType(int type) {
  const char* const names[] = {"sameCluster", "differentClusters", "makeCompleteCluster"};
  return names[type >= 0 && type <= 2 ? type : 2];
}
