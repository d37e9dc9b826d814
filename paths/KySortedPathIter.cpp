#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyEdge.h>
#include <kyanalysis/KyEdgeDList.h>
#include <kyanalysis/KyEdgeIter.h>
#include <kyanalysis/KyGraph.h>
#include <kyanalysis/KyNode.h>
#include <kyanalysis/KyPath.h>
#include <kyanalysis/KyServiceData.h>
#include <kyanalysis/KySortedPathIter.h>
#include <kyanalysis/KySortedPathsBinTree.h>
#include <kyanalysis/KySortedPathsOutputTailor.h>

#include <climits>

namespace key = KyAnalysisKey::sortedPaths;

namespace {
// Lengths come from the service; a sum past the 32-bit range is held at its
// limit rather than wrapped round to the other end of the order.
int saturated(long long value) {
  return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

KyNode* nodeResult(const KyServiceOutputData* data, const wchar_t* key) {
  return KyNode::castDown(data->pValue(nullptr, key));
}

KyEdge* treeEdge(const KyServiceOutputData* data, const KyNode* node) {
  return KyEdge::castDown(data->pValue(node, key::nodeTreeEdge));
}

// An edge on a path is a tree edge when it is the tree edge of its source.
bool isTreeEdge(const KyServiceOutputData* data, const KyDListCell* cell) {
  const KyEdge* edge = KyEdge::castDown(cell->pObject());
  return treeEdge(data, edge->pSourceNode()) == edge;
}

// The last cell of `cell` and its predecessors that is not a tree edge, or
// null when there is none.
const KyDListCell* lastSidetrack(const KyServiceOutputData* data, const KyDListCell* cell) {
  while (cell != nullptr && isTreeEdge(data, cell))
    cell = cell->pPrevious();
  return cell;
}

// Appends to `list` the edges of `edges` from the first through `cut`;
// nothing when `cut` is null.
void copyThrough(const KyDList* edges, const KyDListCell* cut, KyEdgeDList* list) {
  if (cut == nullptr)
    return;
  for (const KyDListCell* cell = edges->pFirstCell();; cell = cell->pNext()) {
    list->appendObject(cell->pObject());
    if (cell == cut)
      return;
  }
}
} // namespace

KySortedPathIter::KySortedPathIter(const KySortedPathsOutputTailor* tailor) {
  init();
  init(tailor);
}

KySortedPathIter::~KySortedPathIter() { cleanup(); }

void KySortedPathIter::init(const KySortedPathsOutputTailor* tailor) {
  cleanup();
  if (tailor == nullptr || tailor->pServiceOutputData() == nullptr)
    return;
  const KyServiceOutputData* data = pOutputData(tailor->pServiceOutputData());
  pPathSet(new KySortedPathsBinTree);
  finishNodeCost(data->getValueAsInteger(nullptr, key::noneFinishNodeCost));
  if (data->getValueAsInteger(nullptr, key::nonePathExists) != 0) {
    KyNode* start = nodeResult(data, key::noneStartNode);
    KyNode* finish = nodeResult(data, key::noneFinishNode);
    auto* shortest = new KyEdgeDList;
    if (start == nullptr || finish == nullptr || !appendTreeEdges(start, finish, shortest)) {
      shortest->vRelease(); // no shortest path, hence no path at all
    } else {
      auto* root =
          new KyPath(nodeResult(data, key::noneRootNode),
                     data->getValueAsInteger(nullptr, key::noneShortestPathLength), shortest);
      if (start == finish) {
        root->length(root->modifiedLength());
        pEmptyPath(root);
        if (!addPathExtensions(root))
          discardCandidates();
      } else {
        root->length(saturated(static_cast<long long>(root->modifiedLength()) - finishNodeCost()));
        pPathSet()->addObject(root);
      }
    }
  }
  storeNextPath();
}

KyPath* KySortedPathIter::pPath() {
  hasBeenReturned(1);
  return pNextPath();
}

void KySortedPathIter::operator++() {
  if (!hasBeenReturned() && pNextPath() != nullptr)
    pNextPath()->vRelease();
  pNextPath(nullptr);
  storeNextPath();
}

void KySortedPathIter::operator++(int) { ++*this; }

void KySortedPathIter::init() {
  pPathSet(nullptr);
  pOutputData(nullptr);
  finishNodeCost(0);
  pEmptyPath(nullptr);
  hasBeenReturned(0);
  pNextPath(nullptr);
}

void KySortedPathIter::cleanup() {
  if (!hasBeenReturned() && pNextPath() != nullptr)
    pNextPath()->vRelease();
  discardCandidates();
  if (pPathSet() != nullptr)
    pPathSet()->vRelease();
  init();
}

void KySortedPathIter::storeNextPath() {
  hasBeenReturned(0);
  KySortedPathsBinTree* set = pPathSet();
  if (set != nullptr && set->length() > 0) {
    KyPath* best = KyPath::castDown(set->pFirstCell()->pObject());
    best->length(saturated(static_cast<long long>(best->modifiedLength()) - finishNodeCost()));
    if (pEmptyPath() == nullptr || pEmptyPath()->length() > best->length()) {
      set->searchAndRemoveObject(best)->vRelease();
      if (!addPathExtensions(best))
        discardCandidates(); // best itself is complete: it is still handed out
      pNextPath(best);
      return;
    }
  }
  pNextPath(pEmptyPath());
  pEmptyPath(nullptr);
}

int KySortedPathIter::addPathExtensions(KyPath* path) {
  const KyServiceOutputData* data = pOutputData();
  KyNode* start = nodeResult(data, key::noneStartNode);
  KyNode* finish = nodeResult(data, key::noneFinishNode);
  // The tail cut depends only on the path and the extension's type, so find
  // both cuts once: an appending extension keeps the edges up to the path's
  // last sidetrack edge, a replacing one those up to the sidetrack edge
  // before it. A null cut keeps nothing.
  const KyEdgeDList* edges = path->pEdgeList();
  const KyDListCell* appendCut = lastSidetrack(data, edges ? edges->pLastCell() : nullptr);
  const KyDListCell* replaceCut =
      appendCut != nullptr ? lastSidetrack(data, appendCut->pPrevious()) : nullptr;
  for (KyOutEdgeIter it(path->pLastNode()); it; ++it) {
    KyEdge* extension = it.pEdge();
    KyNode* target = extension->pTargetNode();
    KyEdge* sidetrack = KyEdge::castDown(data->pValue(target, key::nodeSidetrackEdge));
    if (sidetrack == nullptr)
      return 0;
    const int modifiedLength = saturated(static_cast<long long>(path->modifiedLength()) +
                                         data->getValueAsInteger(extension, key::edgeCost));
    const KyDListCell* cut =
        data->getValueAsInteger(extension, key::edgeType) == 1 ? replaceCut : appendCut;
    auto* list = new KyEdgeDList;
    copyThrough(edges, cut, list);
    KyNode* from =
        list->length() == 0 ? start : KyEdge::castDown(list->pLastCell()->pObject())->pTargetNode();
    int complete = appendTreeEdges(from, sidetrack->pSourceNode(), list);
    if (complete) {
      list->appendEdge(sidetrack);
      complete = appendTreeEdges(sidetrack->pTargetNode(), finish, list);
    }
    if (!complete) {
      list->vRelease();
      return 0;
    }
    pPathSet()->addObject(new KyPath(target, modifiedLength, list));
  }
  return 1;
}

int KySortedPathIter::appendTreeEdges(KyNode* from, KyNode* to, KyEdgeDList* list) const {
  if (from == to)
    return 1;
  if (from == nullptr)
    return 0;
  // A walk along a tree passes each node at most once; a longer one runs in
  // a cycle of tree edges and would never end.
  const int bound = from->pOwnerGraph()->numberOfNodes();
  int steps = 0;
  for (KyNode* node = from; node != to; ++steps) {
    KyEdge* edge = treeEdge(pOutputData(), node);
    if (edge == nullptr || edge->pSourceNode() != node || steps == bound)
      return 0;
    list->appendEdge(edge);
    node = edge->pTargetNode();
  }
  return 1;
}

void KySortedPathIter::discardCandidates() {
  if (pPathSet() != nullptr)
    pPathSet()->deleteAllCellsAndObjects();
  if (pEmptyPath() != nullptr)
    pEmptyPath()->vRelease();
  pEmptyPath(nullptr);
}
