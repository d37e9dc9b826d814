#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyPath.h>
#include <kyanalysis/KySortedPathIter.h>
#include <kyanalysis/KySortedPathsOutputTailor.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyEdgeDList.h>
#include <kyplatform/KyEdgeIter.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyServiceData.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <deque>
#include <vector>

namespace key = KyAnalysisKey::sortedPaths;

namespace {
// Lengths come from the service and are summed in 64 bits. A sum past the
// 32-bit range is held at its limit where it ranks a candidate, so the order
// never wraps round, and reported as KyPath::infiniteLength.
int saturated(std::int64_t value) {
  return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}
int reported(std::int64_t length) {
  return length == saturated(length) ? static_cast<int>(length) : KyPath::infiniteLength;
}

// Object results are read checked: a value of another class reads as none.
KyNode* nodeResult(const KyServiceOutputData* data, const KyObject* owner, const wchar_t* key) {
  return dynamic_cast<KyNode*>(data->pValue(owner, key));
}
KyEdge* edgeResult(const KyServiceOutputData* data, const KyObject* owner, const wchar_t* key) {
  return dynamic_cast<KyEdge*>(data->pValue(owner, key));
}

// One sidetrack edge of a candidate and the chain of those before it. A
// candidate's edges are the tree edges from the start node to the first
// sidetrack's source, that sidetrack, the tree edges on to the next
// sidetrack's source, and so on to the finish node. Extensions share their
// parent's chain up to where they cut it.
struct Link {
  const Link* previous;
  KyEdge* sidetrack;
};

constexpr int kUnread = -1;  // a tree edge not read from the answer yet
constexpr int kMissing = -2; // no tree edge, or one that does not leave its node
constexpr int kOnWalk = -3;  // while a walk to the finish is being measured
} // namespace

// A candidate path: its last node, its modified length in 64 bits, and its
// edges as a sidetrack chain instead of a list. Candidates are ranked by
// their length (modified length less the finish node cost) held within 32
// bits: the same order, as the finish node cost is one number, but lengths
// that can be reported stay apart from those that cannot. Equal ranks go
// out in their order of adding.
struct KySortedPathIter::Candidate {
  int rank;
  std::uint64_t added;
  std::int64_t modifiedLength;
  KyNode* lastNode;
  const Link* chain;

  // The heap order: true when `a` goes out after `b`. A type rather than a
  // function, so that the heap operations inline it.
  struct Later {
    bool operator()(const Candidate& a, const Candidate& b) const {
      return a.rank != b.rank ? a.rank > b.rank : a.added > b.added;
    }
  };
};

// The answer's shortest-path tree, read node by node on first use into
// arrays indexed by position in the analysed graph (the start node's), and
// the links of every candidate's chain (freed together with the tree). The
// walks follow the same rules as the answer read directly: a walk that
// leaves the analysed graph never reaches a node of it again, so it fails.
struct KySortedPathIter::Tree {
  Tree(const KyServiceOutputData* answer, KyNode* startNode, KyNode* finishNode)
      : data(answer), graph(startNode->pOwnerGraph()), start(startNode), finish(finishNode),
        size(graph->numberOfNodes()), edge(static_cast<std::size_t>(size), nullptr),
        next(static_cast<std::size_t>(size), kUnread),
        toFinish(static_cast<std::size_t>(size), kUnread) {}

  bool inGraph(const KyNode* node) const { return node->pOwnerGraph() == graph; }

  // The tree edge of `node`, from the arrays when the node is in the graph.
  KyEdge* treeEdge(KyNode* node) {
    if (!inGraph(node))
      return edgeResult(data, node, key::nodeTreeEdge);
    successor(node, node->index());
    return edge[static_cast<std::size_t>(node->index())];
  }

  // Position of the node the tree edge of `node` (at `at`) leads to, or
  // kMissing.
  int successor(KyNode* node, int at) {
    const auto i = static_cast<std::size_t>(at);
    if (next[i] == kUnread) {
      KyEdge* leaving = edgeResult(data, node, key::nodeTreeEdge);
      edge[i] = leaving;
      next[i] = leaving != nullptr && leaving->pSourceNode() == node
                    ? leaving->pTargetNode()->index()
                    : kMissing;
    }
    return next[i];
  }

  // Tree edges from `node` (in the graph) to the finish node, or kMissing
  // when the walk from it never gets there. Measured once per node: the
  // walk stops at a node already measured, and a node met twice closes a
  // cycle that never reaches the finish.
  int stepsToFinish(KyNode* node) {
    const int finishAt = inGraph(finish) ? finish->index() : kMissing;
    int at = node->index();
    stack.clear();
    int steps = kMissing;
    for (;;) {
      if (at == finishAt) {
        steps = 0;
        break;
      }
      const int known = toFinish[static_cast<std::size_t>(at)];
      if (known != kUnread) {
        steps = known == kOnWalk ? kMissing : known;
        break;
      }
      const int to = successor(node, at);
      if (to == kMissing)
        break;
      toFinish[static_cast<std::size_t>(at)] = kOnWalk;
      stack.push_back(at);
      node = edge[static_cast<std::size_t>(at)]->pTargetNode();
      at = to;
    }
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
      if (steps != kMissing)
        ++steps;
      toFinish[static_cast<std::size_t>(*it)] = steps;
    }
    if (at != finishAt && toFinish[static_cast<std::size_t>(at)] == kUnread)
      toFinish[static_cast<std::size_t>(at)] = kMissing;
    return stack.empty() ? steps : toFinish[static_cast<std::size_t>(stack.front())];
  }

  // Walks the tree edges from `from` to `to`, calling `visit` on each;
  // false when a tree edge is missing or the walk outgrows the graph.
  template <class Visit> bool walk(KyNode* from, const KyNode* to, Visit visit) {
    if (from == to)
      return true;
    if (!inGraph(from) || !inGraph(to))
      return false;
    const int toAt = to->index();
    KyNode* node = from;
    int at = from->index();
    for (int steps = 0; at != toAt; ++steps) {
      const int following = successor(node, at);
      if (following == kMissing || steps == size)
        return false;
      KyEdge* leaving = edge[static_cast<std::size_t>(at)];
      visit(leaving);
      at = following;
      if (next[static_cast<std::size_t>(at)] == kUnread)
        node = leaving->pTargetNode();
    }
    return true;
  }

  // Whether the tree walk from `from` reaches `to`. Where both reach the
  // finish node, `to` lies on the walk exactly when it is the node as many
  // steps short of the finish as it is; the full walk decides the rest.
  bool reaches(KyNode* from, KyNode* to) {
    if (from == to)
      return true;
    if (!inGraph(from) || !inGraph(to))
      return false;
    const int fromSteps = stepsToFinish(from);
    const int toSteps = stepsToFinish(to);
    if (fromSteps != kMissing && toSteps != kMissing && toSteps <= fromSteps) {
      int at = from->index();
      for (int step = toSteps; step < fromSteps; ++step)
        at = next[static_cast<std::size_t>(at)];
      if (at == to->index())
        return true;
    }
    return walk(from, to, [](KyEdge*) {});
  }

  // The last link of `chain` whose edge is not a tree edge, or null.
  const Link* lastSidetrack(const Link* chain) {
    while (chain != nullptr && treeEdge(chain->sidetrack->pSourceNode()) == chain->sidetrack)
      chain = chain->previous;
    return chain;
  }

  const KyServiceOutputData* data;
  KyGraph* graph;
  KyNode* start;
  KyNode* finish;
  int size;
  std::vector<KyEdge*> edge;
  std::vector<int> next;
  std::vector<int> toFinish;
  std::vector<int> stack;
  std::deque<Link> links;
  std::vector<const Link*> chain;    // scratch: a chain in order
  std::vector<Candidate> candidates; // a binary heap, the next one out first
  std::uint64_t added = 0;           // candidates made so far

  void addCandidate(KyNode* lastNode, std::int64_t modifiedLength, int finishNodeCost,
                    const Link* links) {
    candidates.push_back(Candidate{saturated(modifiedLength - finishNodeCost), added++,
                                   modifiedLength, lastNode, links});
    std::push_heap(candidates.begin(), candidates.end(), Candidate::Later());
  }
};

KySortedPathIter::KySortedPathIter(const KySortedPathsOutputTailor* tailor) { init(tailor); }

KySortedPathIter::~KySortedPathIter() { cleanup(); }

void KySortedPathIter::init(const KySortedPathsOutputTailor* tailor) {
  cleanup();
  if (tailor == nullptr || tailor->pServiceOutputData() == nullptr)
    return;
  const KyServiceOutputData* data = outputData_ = tailor->pServiceOutputData();
  finishNodeCost_ = data->getValueAsInteger(nullptr, key::noneFinishNodeCost);
  if (data->getValueAsInteger(nullptr, key::nonePathExists) != 0) {
    KyNode* start = nodeResult(data, nullptr, key::noneStartNode);
    KyNode* finish = nodeResult(data, nullptr, key::noneFinishNode);
    if (start != nullptr && finish != nullptr) {
      tree_ = std::make_unique<Tree>(data, start, finish);
      if (!tree_->reaches(start, finish))
        tree_.reset(); // no shortest path, hence no path at all
    }
    if (tree_ != nullptr) {
      const int shortest = data->getValueAsInteger(nullptr, key::noneShortestPathLength);
      KyNode* root = nodeResult(data, nullptr, key::noneRootNode);
      if (start == finish) {
        // The empty path's length is its modified length, nothing taken off.
        const Candidate empty{saturated(std::int64_t{shortest} - finishNodeCost_), 0, shortest,
                              root, nullptr};
        const int complete = addPathExtensions(empty);
        emptyPath_ = completePath(empty, shortest);
        if (!complete)
          discardCandidates();
      } else {
        tree_->addCandidate(root, shortest, finishNodeCost_, nullptr);
      }
    }
  }
  storeNextPath();
}

KyPath* KySortedPathIter::pPath() {
  hasBeenReturned_ = 1;
  return nextPath_;
}

void KySortedPathIter::operator++() {
  if (!hasBeenReturned_ && nextPath_ != nullptr)
    nextPath_->vRelease();
  nextPath_ = nullptr;
  storeNextPath();
}

void KySortedPathIter::operator++(int) { ++*this; }

void KySortedPathIter::cleanup() {
  if (!hasBeenReturned_ && nextPath_ != nullptr)
    nextPath_->vRelease();
  discardCandidates();
  outputData_ = nullptr;
  finishNodeCost_ = 0;
  hasBeenReturned_ = 0;
  nextPath_ = nullptr;
  tree_.reset();
}

void KySortedPathIter::storeNextPath() {
  hasBeenReturned_ = 0;
  if (tree_ != nullptr && !tree_->candidates.empty()) {
    std::vector<Candidate>& heap = tree_->candidates;
    const Candidate best = heap.front();
    if (emptyPath_ == nullptr || emptyPath_->length() > best.rank) {
      std::pop_heap(heap.begin(), heap.end(), Candidate::Later());
      heap.pop_back();
      if (!addPathExtensions(best))
        discardCandidates(); // best itself is complete: it is still handed out
      nextPath_ = completePath(best, reported(best.modifiedLength - finishNodeCost_));
      return;
    }
  }
  nextPath_ = emptyPath_;
  emptyPath_ = nullptr;
}

int KySortedPathIter::addPathExtensions(const Candidate& path) {
  Tree& tree = *tree_;
  // The tail cut depends only on the path and the extension's type, so find
  // both cuts once: an appending extension keeps the chain up to the path's
  // last sidetrack edge, a replacing one up to the sidetrack edge before it.
  // A null cut keeps nothing.
  const Link* appendCut = tree.lastSidetrack(path.chain);
  const Link* replaceCut = appendCut != nullptr ? tree.lastSidetrack(appendCut->previous) : nullptr;
  for (KyOutEdgeIter it(path.lastNode); it; ++it) {
    KyEdge* extension = it.pEdge();
    KyNode* target = extension->pTargetNode();
    KyEdge* sidetrack = edgeResult(outputData_, target, key::nodeSidetrackEdge);
    if (sidetrack == nullptr)
      return 0;
    const std::int64_t modifiedLength =
        path.modifiedLength + outputData_->getValueAsInteger(extension, key::edgeCost);
    const bool replaces =
        outputData_->getValueAsInteger(extension, key::edgeType) == SORTED_PATHS_EDGE_REPLACE;
    const Link* cut = replaces ? replaceCut : appendCut;
    KyNode* from = cut != nullptr ? cut->sidetrack->pTargetNode() : tree.start;
    if (!tree.reaches(from, sidetrack->pSourceNode()) ||
        !tree.reaches(sidetrack->pTargetNode(), tree.finish))
      return 0;
    tree.links.push_back(Link{cut, sidetrack});
    tree.addCandidate(target, modifiedLength, finishNodeCost_, &tree.links.back());
  }
  return 1;
}

KyPath* KySortedPathIter::completePath(const Candidate& candidate, int length) {
  Tree& tree = *tree_;
  tree.chain.clear();
  for (const Link* link = candidate.chain; link != nullptr; link = link->previous)
    tree.chain.push_back(link);
  // Every walk below was checked when the candidate was made.
  auto* edges = new KyEdgeDList;
  KyNode* from = tree.start;
  for (auto it = tree.chain.rbegin(); it != tree.chain.rend(); ++it) {
    appendTreeEdges(from, (*it)->sidetrack->pSourceNode(), edges);
    edges->appendEdge((*it)->sidetrack);
    from = (*it)->sidetrack->pTargetNode();
  }
  appendTreeEdges(from, tree.finish, edges);
  auto* path = new KyPath(candidate.lastNode, saturated(candidate.modifiedLength), edges);
  path->length(length);
  return path;
}

int KySortedPathIter::appendTreeEdges(KyNode* from, KyNode* to, KyEdgeDList* list) const {
  return tree_->walk(from, to, [list](KyEdge* edge) { list->appendEdge(edge); }) ? 1 : 0;
}

void KySortedPathIter::discardCandidates() {
  if (tree_ != nullptr)
    tree_->candidates.clear();
  if (emptyPath_ != nullptr)
    emptyPath_->vRelease();
  emptyPath_ = nullptr;
}
