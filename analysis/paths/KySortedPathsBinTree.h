// KySortedPathsBinTree: candidate paths ordered by modified length.
#pragma once

#include <kyanalysis/KyAnalysisExport.h>
#include <kyplatform/KyBinTree.h>

class KySortedPathsOutputTailor;

/// The ordered set of candidate paths of a KySortedPathIter: KyPath objects
/// ordered by modified length (signed), least first; paths of equal
/// modified length keep their order of adding. A null object sorts before
/// every path.
///
/// Like every list, the tree owns its cells, not the paths in them. A deep
/// copy holds new cells referring to the same paths; an attribute copy
/// holds no cells. Both carry the algorithm, a tailor the tree refers to
/// without owning and never reads. Insertion and removal cost O(log n).
class KYANALYSIS_EXPORT KySortedPathsBinTree : public KySortedBinTree {
public:
  /// An empty tree referring to `algorithm` (may be null).
  explicit KySortedPathsBinTree(KySortedPathsOutputTailor* algorithm = nullptr);
  /// An empty tree, then a deep copy of `other` when `flag` is KY_DEEP_COPY,
  /// an attribute copy otherwise.
  KySortedPathsBinTree(const KySortedPathsBinTree& other, KyDeepFlagEnum flag = KY_DEEP_COPY);
  /// Deep copy; assigning a tree to itself changes nothing.
  KySortedPathsBinTree& operator=(const KySortedPathsBinTree& other);
  ~KySortedPathsBinTree() override;

  /// Deep, resp. attribute, copy of `source`, replacing the cells held (the
  /// paths they referred to are untouched); nothing happens when `source`
  /// is null, this tree, or not a KySortedPathsBinTree.
  void copyObject(const KyObject* source) override;
  void copyAttributes(const KyObject* source) override;
  /// A new deep, resp. attribute, copy; the caller owns it.
  KySortedPathsBinTree* cloneObject() const {
    return static_cast<KySortedPathsBinTree*>(vCloneObject());
  }
  KySortedPathsBinTree* cloneAttributes() const {
    return static_cast<KySortedPathsBinTree*>(vCloneAttributes());
  }

  void debugOutput(int) override {}

  static KySortedPathsBinTree* castDown(const KyObject* object) {
    return static_cast<KySortedPathsBinTree*>(const_cast<KyObject*>(object));
  }

protected:
  KyObject* vCloneObject() const override;
  virtual KyObject* vCloneAttributes() const;
  /// -1, 0 or 1 as `a`'s modified length is less than, equal to or greater
  /// than `b`'s; both are paths (or null).
  int virtualObjectCompare(const KyObject* a, const KyObject* b) const override;

private:
  KySortedPathsOutputTailor* pAlgorithm() const { return algorithm_; }
  KySortedPathsOutputTailor* pAlgorithm(KySortedPathsOutputTailor* algorithm) {
    return algorithm_ = algorithm;
  }
  void KySortedPathsBinTreedeepCopy(const KySortedPathsBinTree& other);
  void KySortedPathsBinTreeattributeCopy(const KySortedPathsBinTree& other);

  KySortedPathsOutputTailor* algorithm_;
};
