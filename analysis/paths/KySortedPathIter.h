// KySortedPathIter: the paths of a sorted-paths answer, cheapest first.
#pragma once

#include <kyanalysis/KyAnalysisExport.h>
#include <kyplatform/KyObject.h>

#include <memory>

class KyEdge;
class KyEdgeDList;
class KyNode;
class KyPath;
class KyServiceOutputData;
class KySortedPathsOutputTailor;

/// Enumerates, lazily and in order of increasing length, the paths from the
/// start node to the finish node of a sorted-paths answer.
///
/// The answer is compact: a shortest-path tree towards the finish node and a
/// path graph whose nodes stand for sidetrack edges. The iterator keeps the
/// candidate paths in a binary heap, equal lengths first in, first out; each
/// step takes the cheapest one out, turns every out-edge of its path-graph node into a new
/// candidate and stands on it. A candidate holds no edge list, only its sidetrack edges as a chain
/// shared with the candidate it extends; its edges are built once, when it is handed out, from the
/// tree edges read once per node into arrays by node position. A step thus costs O(log c) for c
/// candidates, O(1) store reads and a check of the tree walks per out-edge,
/// and the building of the one edge list handed out. Nothing is computed
/// for paths never asked for. When the path graph allows endless extension
/// the enumeration never ends: the caller bounds it.
///
/// A path is a KyPath whose edge list holds edges of the analysed graph from
/// the start node to the finish node, whose length() is its cost and whose
/// last node is a node of the path graph. The iterator owns the path it
/// stands on until pPath() hands it to the caller; it owns every candidate.
/// Lengths are summed in 64 bits: a length that does not fit in 32 bits is
/// reported as KyPath::infiniteLength, and a modified length is held at the
/// 32-bit limits.
///
/// Outcomes of unusable answers, where an object result of another class
/// (an integer where an edge should be, say) counts as missing: without
/// output data, with "sortedPaths:none:pathExists" 0, or with a start or
/// finish node missing, the iterator is empty. A missing root node reads as
/// a root without extensions. A tree edge or sidetrack edge missing where a path needs it
/// (or a tree edge that does not leave its node, or tree edges in a cycle)
/// ends the enumeration: the path being handed out is complete and still
/// yielded, every other candidate and a waiting empty path are released, so
/// what is yielded is a correct beginning of the order. Not copyable.
class KYANALYSIS_EXPORT KySortedPathIter : public KyObject {
public:
  /// Starts the enumeration on the answer `tailor` reads (none for a null
  /// tailor); the first path, if any, is ready on return. The output data
  /// and the graphs it refers to must outlive the iterator or its next
  /// init(); the tailor need not.
  explicit KySortedPathIter(const KySortedPathsOutputTailor* tailor);
  /// Releases the path not taken and every candidate.
  ~KySortedPathIter() override;

  /// Releases everything held and starts afresh on `tailor`'s answer, as
  /// the constructor does.
  void init(const KySortedPathsOutputTailor* tailor);

  /// Non-zero while the iterator stands on a path.
  operator int() const { return nextPath_ != nullptr ? 1 : 0; }
  /// The path the iterator stands on, handed to the caller, who releases it
  /// (vRelease()); null when the enumeration is over. Cost O(1).
  KyPath* pPath();
  /// Steps to the following path, first releasing the current one unless
  /// the caller took it. Stepping an ended enumeration leaves it ended.
  void operator++();
  void operator++(int);

  void debugOutput(int) override {}

  static KySortedPathIter* castDown(const KyObject* object) {
    return static_cast<KySortedPathIter*>(const_cast<KyObject*>(object));
  }

private:
  struct Candidate;
  struct Tree;

  KySortedPathIter(const KySortedPathIter&) = delete;
  KySortedPathIter& operator=(const KySortedPathIter&) = delete;

  /// Releases the path not taken, the empty path and the candidates, and sets every field to null
  /// or 0.
  void cleanup();
  /// Stands on the next path: the cheaper of the best candidate and the
  /// waiting empty path (the empty path on a tie).
  void storeNextPath();
  /// Adds a candidate per out-edge of `path`'s last node. Returns 0 when the
  /// answer lacks an edge one of them needs; the candidates added by then
  /// stay.
  int addPathExtensions(const Candidate& path);
  /// The path handed out for `candidate`, with its edge list built and the
  /// given length. Cost O(edges of the path).
  KyPath* completePath(const Candidate& candidate, int length);
  /// Appends to `list` the tree edges from `from` to `to`. Returns 0 when a
  /// tree edge is missing or the walk outgrows the analysed graph.
  int appendTreeEdges(KyNode* from, KyNode* to, KyEdgeDList* list) const;
  /// Releases every candidate and the waiting empty path.
  void discardCandidates();

  const KyServiceOutputData* outputData_ = nullptr;
  int finishNodeCost_ = 0;
  KyPath* emptyPath_ = nullptr;
  int hasBeenReturned_ = 0;
  KyPath* nextPath_ = nullptr;
  /// The tree edges read so far, the candidates and their sidetrack chains;
  /// null while the iterator is empty.
  std::unique_ptr<Tree> tree_;
};
