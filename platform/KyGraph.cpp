#include <kyplatform/KyEdge.h>
#include <kyplatform/KyEdgeIter.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

const wchar_t* KyGraphMember::pName(const wchar_t* name) {
  if (name == nullptr)
    name_.reset();
  else
    name_ = std::make_unique<std::wstring>(name);
  return pName();
}

KyGraphMember::~KyGraphMember() = default;
KyNode::~KyNode() = default;
KyEdge::~KyEdge() = default;

std::size_t KyNode::sizeOf() const {
  return sizeof(KyNode) + (out_.capacity() + in_.capacity()) * sizeof(KyEdge*);
}

KyGraph::~KyGraph() {
  for (KyEdgeDListIter it(&edges_); it; ++it)
    delete it.pEdge();
  for (KyNodeDListIter it(&nodes_); it; ++it)
    delete it.pNode();
}

KyNode* KyGraph::addNode() {
  auto* node = new KyNode(this, nodes_.length());
  nodes_.appendNode(node);
  return node;
}

KyEdge* KyGraph::addEdge(KyNode* source, KyNode* target) {
  if (source == nullptr || target == nullptr || source->pOwnerGraph() != this ||
      target->pOwnerGraph() != this)
    return nullptr;
  auto* edge = new KyEdge(this, edges_.length(), source, target);
  source->out_.push_back(edge);
  target->in_.push_back(edge);
  edges_.appendEdge(edge);
  return edge;
}

std::size_t KyGraph::sizeOf() const {
  return sizeof(KyGraph) + nodes_.sizeOf() + edges_.sizeOf();
}

KyNodeEdgeIter::KyNodeEdgeIter(const std::vector<KyEdge*>* edges, int direction)
    : edges_(edges), position_(0), step_(1) {
  if (direction == KY_ITER_BACKWARD) {
    position_ = size() - 1;
    step_ = -1;
  }
}

KyOutEdgeIter::KyOutEdgeIter(const KyNode* node, int direction)
    : KyNodeEdgeIter(node != nullptr ? &node->out_ : nullptr, direction) {}

KyInEdgeIter::KyInEdgeIter(const KyNode* node, int direction)
    : KyNodeEdgeIter(node != nullptr ? &node->in_ : nullptr, direction) {}
