#include <kyanalysis/KyAllPairsShortestPathsInputTailor.h>
#include <kyanalysis/KyAllPairsShortestPathsOutputTailor.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyPair.h>
#include <kyanalysis/KyPath.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyEdgeDList.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>

#include <unordered_set>

namespace key = KyAnalysisKey::allPairsShortestPaths;

namespace {
// The end of `edge` away from `node`, whichever way the edge points; null
// when the edge does not touch `node`.
KyNode* otherEnd(const KyEdge* edge, const KyNode* node) {
  if (edge->pSourceNode() == node)
    return edge->pTargetNode();
  if (edge->pTargetNode() == node)
    return edge->pSourceNode();
  return nullptr;
}
} // namespace

KyAllPairsShortestPathsInputTailor::~KyAllPairsShortestPathsInputTailor() = default;

void KyAllPairsShortestPathsInputTailor::setAsCurrentOperation() {
  selectOperation(OPERATION_ALL_PAIRS_SHORTEST_PATHS);
}
int KyAllPairsShortestPathsInputTailor::undirected() const {
  return graphOption(key::graphUndirected);
}
int KyAllPairsShortestPathsInputTailor::undirected(int undirected) {
  return graphOption(key::graphUndirected, undirected);
}
int KyAllPairsShortestPathsInputTailor::undirected(KyEdge* edge) const {
  return memberOption(edge, key::edgeUndirected);
}
int KyAllPairsShortestPathsInputTailor::undirected(KyEdge* edge, int undirected) {
  return memberOption(edge, key::edgeUndirected, undirected);
}
int KyAllPairsShortestPathsInputTailor::cost(KyNode* node) const {
  return memberOption(node, key::nodeCost);
}
int KyAllPairsShortestPathsInputTailor::cost(KyNode* node, int cost) {
  return memberOption(node, key::nodeCost, cost);
}
int KyAllPairsShortestPathsInputTailor::cost(KyEdge* edge) const {
  return memberOption(edge, key::edgeCost);
}
int KyAllPairsShortestPathsInputTailor::cost(KyEdge* edge, int cost) {
  return memberOption(edge, key::edgeCost, cost);
}

KyAllPairsShortestPathsOutputTailor::~KyAllPairsShortestPathsOutputTailor() = default;

void KyAllPairsShortestPathsOutputTailor::buildShortestPathEdgeList(KyNode* from, KyNode* to,
                                                                    KyEdgeDList& edgeList) const {
  edgeList.deleteAllCells();
  KyPair pair(from, to);
  // Nodes the walk has reached other than `from`: reaching one again means
  // the stored edges run in a cycle and never lead back to `from`.
  std::unordered_set<const KyNode*> reached{to};
  KyNode* current = to;
  while (auto* edge = dynamic_cast<KyEdge*>(result(&pair, key::pairLastEdge))) {
    KyNode* previous = otherEnd(edge, current);
    if (previous == nullptr)
      break;
    edgeList.prependEdge(edge);
    if (previous == from)
      return;
    if (!reached.insert(previous).second)
      break;
    current = previous;
    pair.pSecondObject(current);
  }
  // No last edge for (from, to), or stored edges that do not lead back to
  // `from`: a partial path would be a wrong answer.
  edgeList.deleteAllCells();
}

int KyAllPairsShortestPathsOutputTailor::computeLengthOfShortestPath(KyNode* from,
                                                                     KyNode* to) const {
  KyPair pair(from, to);
  const auto* cost = dynamic_cast<const KyInt*>(result(&pair, key::pairTotalCost));
  return cost != nullptr ? cost->value() : KyPath::infiniteLength;
}
