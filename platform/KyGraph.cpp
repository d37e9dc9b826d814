#include <kyplatform/KyEdge.h>
#include <kyplatform/KyEdgeIter.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

#include <algorithm>
#include <cwchar>
#include <limits>

namespace {
// Characters per block of the name store; a longer name gets a block of
// its own.
constexpr std::size_t kNameBlock = 4096;
} // namespace

const wchar_t* KyGraphMember::pName() const { return graph_->nameOf(*this); }

const wchar_t* KyGraphMember::pName(const wchar_t* name) { return graph_->name(*this, name); }

KyGraphMember::~KyGraphMember() = default;
KyNode::~KyNode() = default;
KyEdge::~KyEdge() = default;

KyNode* KyEdge::pSourceNode() const {
  return pOwnerGraph()->pNodeAt(pOwnerGraph()->edgeLinks(index()).source);
}

KyNode* KyEdge::pTargetNode() const {
  return pOwnerGraph()->pNodeAt(pOwnerGraph()->edgeLinks(index()).target);
}

int KyNode::numberOfOutEdges() const { return pOwnerGraph()->nodeLinks(index()).outCount; }

int KyNode::numberOfInEdges() const { return pOwnerGraph()->nodeLinks(index()).inCount; }

bool KyNode::ownerPlace(KyOwnerPlace& place) const {
  place = KyOwnerPlace{pOwnerGraph(), KyOwnerPlace::KY_PLACE_NODE, index(), 0, nullptr};
  return true;
}

bool KyEdge::ownerPlace(KyOwnerPlace& place) const {
  place = KyOwnerPlace{pOwnerGraph(), KyOwnerPlace::KY_PLACE_EDGE, index(), 0, nullptr};
  return true;
}

KyGraph::~KyGraph() {
  // Lists first: their cells refer to the members.
  nodeList_.reset();
  edgeList_.reset();
  for (int e = 0; e < numberOfEdges(); ++e)
    pEdgeAt(e)->~KyEdge();
  for (int v = 0; v < numberOfNodes(); ++v)
    pNodeAt(v)->~KyNode();
}

KyNode* KyGraph::addNode() {
  const int position = numberOfNodes();
  auto* node = new (nodes_.add(NodeLinks{-1, -1, -1, -1, 0, 0})) KyNode(this, position);
  if (!nodeNames_.empty())
    nodeNames_.push_back(nullptr);
  if (nodeList_ != nullptr)
    nodeList_->appendNode(node);
  return node;
}

KyEdge* KyGraph::linkEdge(int source, int target) {
  const int position = numberOfEdges();
  NodeLinks& from = nodes_.links(source);
  NodeLinks& to = nodes_.links(target);
  auto* edge = new (edges_.add(EdgeLinks{source, target, -1, from.lastOut, -1, to.lastIn}))
      KyEdge(this, position);
  if (from.lastOut >= 0)
    edges_.links(from.lastOut).nextOut = position;
  else
    from.firstOut = position;
  from.lastOut = position;
  ++from.outCount;
  if (to.lastIn >= 0)
    edges_.links(to.lastIn).nextIn = position;
  else
    to.firstIn = position;
  to.lastIn = position;
  ++to.inCount;
  if (!edgeNames_.empty())
    edgeNames_.push_back(nullptr);
  if (edgeList_ != nullptr)
    edgeList_->appendEdge(edge);
  return edge;
}

KyEdge* KyGraph::addEdge(KyNode* source, KyNode* target) {
  if (source == nullptr || target == nullptr || source->pOwnerGraph() != this ||
      target->pOwnerGraph() != this)
    return nullptr;
  return linkEdge(source->index(), target->index());
}

int KyGraph::addEdges(const std::vector<int>& sources, const std::vector<int>& targets) {
  const int nodes = numberOfNodes();
  const auto isNode = [nodes](int position) { return position >= 0 && position < nodes; };
  const std::size_t count = sources.size();
  if (targets.size() != count ||
      count > static_cast<std::size_t>(std::numeric_limits<int>::max() - numberOfEdges()) ||
      !std::all_of(sources.begin(), sources.end(), isNode) ||
      !std::all_of(targets.begin(), targets.end(), isNode))
    return -1;
  // Adding an edge changes the links of both its ends and of the last
  // edges of their lists, anywhere in a large graph: each step asks for the
  // ends' links that the step some steps ahead changes, and, once those
  // are at hand, for the links of their last edges.
  constexpr std::size_t kAhead = 16;
  const int first = numberOfEdges();
  try {
    for (std::size_t e = 0; e < count; ++e) {
      if (e + kAhead < count) {
        __builtin_prefetch(&nodes_.links(sources[e + kAhead]));
        __builtin_prefetch(&nodes_.links(targets[e + kAhead]));
      }
      if (e + kAhead / 2 < count) {
        if (const int lastOut = nodes_.links(sources[e + kAhead / 2]).lastOut; lastOut >= 0)
          __builtin_prefetch(&edges_.links(lastOut));
        if (const int lastIn = nodes_.links(targets[e + kAhead / 2]).lastIn; lastIn >= 0)
          __builtin_prefetch(&edges_.links(lastIn));
      }
      linkEdge(sources[e], targets[e]);
    }
  } catch (...) {
    removeMembersFrom(nodes, first);
    throw;
  }
  return first;
}

void KyGraph::removeMembersFrom(int nodes, int edges) {
  // The newest edges are the last of their nodes' lists: unlink them from
  // the end.
  for (int e = numberOfEdges() - 1; e >= edges; --e) {
    const EdgeLinks links = edges_.links(e);
    NodeLinks& from = nodes_.links(links.source);
    NodeLinks& to = nodes_.links(links.target);
    from.lastOut = links.previousOut;
    if (from.lastOut >= 0)
      edges_.links(from.lastOut).nextOut = -1;
    else
      from.firstOut = -1;
    --from.outCount;
    to.lastIn = links.previousIn;
    if (to.lastIn >= 0)
      edges_.links(to.lastIn).nextIn = -1;
    else
      to.firstIn = -1;
    --to.inCount;
    // An edge whose appending to the list failed is the newest and absent.
    if (edgeList_ != nullptr && edgeList_->length() > e)
      edgeList_->discardCell(edgeList_->pLastCell());
    pEdgeAt(e)->~KyEdge();
    edges_.removeLast();
  }
  for (int v = numberOfNodes() - 1; v >= nodes; --v) {
    if (nodeList_ != nullptr && nodeList_->length() > v)
      nodeList_->discardCell(nodeList_->pLastCell());
    pNodeAt(v)->~KyNode();
    nodes_.removeLast();
  }
  if (!edgeNames_.empty())
    edgeNames_.resize(static_cast<std::size_t>(numberOfEdges()));
  if (!nodeNames_.empty())
    nodeNames_.resize(static_cast<std::size_t>(numberOfNodes()));
}

const KyNodeDList* KyGraph::pNodeList() const {
  if (nodeList_ == nullptr) {
    std::vector<KyObject*> nodes(static_cast<std::size_t>(numberOfNodes()));
    for (int v = 0; v < numberOfNodes(); ++v)
      nodes[static_cast<std::size_t>(v)] = pNodeAt(v);
    nodeList_ = std::make_unique<KyNodeDList>();
    nodeList_->appendObjects(std::move(nodes));
  }
  return nodeList_.get();
}

const KyEdgeDList* KyGraph::pEdgeList() const {
  if (edgeList_ == nullptr) {
    std::vector<KyObject*> edges(static_cast<std::size_t>(numberOfEdges()));
    for (int e = 0; e < numberOfEdges(); ++e)
      edges[static_cast<std::size_t>(e)] = pEdgeAt(e);
    edgeList_ = std::make_unique<KyEdgeDList>();
    edgeList_->appendObjects(std::move(edges));
  }
  return edgeList_.get();
}

const wchar_t* KyGraph::nameOf(const KyGraphMember& member) const {
  KyOwnerPlace place{};
  member.ownerPlace(place);
  const std::vector<wchar_t*>& names =
      place.kind == KyOwnerPlace::KY_PLACE_EDGE ? edgeNames_ : nodeNames_;
  return names.empty() ? nullptr : names[static_cast<std::size_t>(member.index())];
}

const wchar_t* KyGraph::name(const KyGraphMember& member, const wchar_t* name) {
  KyOwnerPlace place{};
  member.ownerPlace(place);
  const bool edge = place.kind == KyOwnerPlace::KY_PLACE_EDGE;
  std::vector<wchar_t*>& names = edge ? edgeNames_ : nodeNames_;
  if (names.empty()) {
    if (name == nullptr)
      return nullptr;
    names.assign(static_cast<std::size_t>(edge ? numberOfEdges() : numberOfNodes()), nullptr);
  }
  wchar_t*& kept = names[static_cast<std::size_t>(member.index())];
  if (name == nullptr) {
    kept = nullptr;
    return nullptr;
  }
  const std::size_t size = std::wcslen(name) + 1;
  if (kept == nullptr || size > std::wcslen(kept) + 1) {
    wchar_t* room;
    if (size > kNameBlock) {
      room = nameBlocks_.emplace_back(new wchar_t[size]).get();
    } else {
      if (size > nameRoom_) {
        nameFree_ = nameBlocks_.emplace_back(new wchar_t[kNameBlock]).get();
        nameRoom_ = kNameBlock;
      }
      room = nameFree_;
      nameFree_ += size;
      nameRoom_ -= size;
    }
    std::wmemcpy(room, name, size);
    kept = room;
  } else {
    std::wmemmove(kept, name, size); // `name` may be the old text itself
  }
  return kept;
}

std::size_t KyGraph::sizeOf() const {
  return sizeof(KyGraph) + nodes_.bytes() + edges_.bytes() +
         (nodeNames_.capacity() + edgeNames_.capacity()) * sizeof(wchar_t*) +
         (nodeList_ != nullptr ? nodeList_->sizeOf() : 0) +
         (edgeList_ != nullptr ? edgeList_->sizeOf() : 0);
}

KyNodeEdgeIter::KyNodeEdgeIter(const KyNode* node, bool outgoing, int direction)
    : outgoing_(outgoing) {
  if (node == nullptr)
    return;
  graph_ = node->pOwnerGraph();
  node_ = node->index();
  const KyGraph::NodeLinks& links = graph_->nodeLinks(node_);
  if (direction == KY_ITER_BACKWARD) {
    step_ = -1;
    position_ = (outgoing ? links.outCount : links.inCount) - 1;
    edge_ = outgoing ? links.lastOut : links.lastIn;
  } else {
    edge_ = outgoing ? links.firstOut : links.firstIn;
  }
}

KyEdge* KyNodeEdgeIter::pEdge() const { return edge_ >= 0 ? graph_->pEdgeAt(edge_) : nullptr; }

void KyNodeEdgeIter::step(int by) {
  position_ += by;
  if (graph_ == nullptr)
    return;
  const KyGraph::NodeLinks& links = graph_->nodeLinks(node_);
  const int count = outgoing_ ? links.outCount : links.inCount;
  if (position_ < 0 || position_ >= count) {
    edge_ = -1;
    return;
  }
  const auto next = [&](int edge) {
    const KyGraph::EdgeLinks& e = graph_->edgeLinks(edge);
    return outgoing_ ? e.nextOut : e.nextIn;
  };
  const auto previous = [&](int edge) {
    const KyGraph::EdgeLinks& e = graph_->edgeLinks(edge);
    return outgoing_ ? e.previousOut : e.previousIn;
  };
  if (edge_ >= 0) {
    edge_ = by > 0 ? next(edge_) : previous(edge_);
    return;
  }
  // Back from past an end, or onto edges added meanwhile: from the nearer end.
  if (position_ < count / 2) {
    edge_ = outgoing_ ? links.firstOut : links.firstIn;
    for (int i = 0; i < position_; ++i)
      edge_ = next(edge_);
  } else {
    edge_ = outgoing_ ? links.lastOut : links.lastIn;
    for (int i = count - 1; i > position_; --i)
      edge_ = previous(edge_);
  }
}
