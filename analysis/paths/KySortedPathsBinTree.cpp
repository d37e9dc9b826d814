#include <kyanalysis/KyPath.h>
#include <kyanalysis/KySortedPathsBinTree.h>

KySortedPathsBinTree::KySortedPathsBinTree(KySortedPathsOutputTailor* algorithm)
    : algorithm_(algorithm) {}

KySortedPathsBinTree::KySortedPathsBinTree(const KySortedPathsBinTree& other, KyDeepFlagEnum flag)
    : KySortedBinTree(), algorithm_(nullptr) {
  if (flag == KY_DEEP_COPY)
    KySortedPathsBinTreedeepCopy(other);
  else
    KySortedPathsBinTreeattributeCopy(other);
}

KySortedPathsBinTree& KySortedPathsBinTree::operator=(const KySortedPathsBinTree& other) {
  if (&other != this)
    KySortedPathsBinTreedeepCopy(other);
  return *this;
}

KySortedPathsBinTree::~KySortedPathsBinTree() = default;

void KySortedPathsBinTree::copyObject(const KyObject* source) {
  const auto* other = dynamic_cast<const KySortedPathsBinTree*>(source);
  if (other != nullptr && other != this)
    KySortedPathsBinTreedeepCopy(*other);
}

void KySortedPathsBinTree::copyAttributes(const KyObject* source) {
  const auto* other = dynamic_cast<const KySortedPathsBinTree*>(source);
  if (other != nullptr && other != this)
    KySortedPathsBinTreeattributeCopy(*other);
}

KyObject* KySortedPathsBinTree::vCloneObject() const {
  return new KySortedPathsBinTree(*this, KY_DEEP_COPY);
}

KyObject* KySortedPathsBinTree::vCloneAttributes() const {
  return new KySortedPathsBinTree(*this, KY_ATTRIBUTE_COPY);
}

int KySortedPathsBinTree::virtualObjectCompare(const KyObject* a, const KyObject* b) const {
  if (a == nullptr || b == nullptr)
    return a == b ? 0 : a == nullptr ? -1 : 1;
  const int la = KyPath::castDown(a)->modifiedLength();
  const int lb = KyPath::castDown(b)->modifiedLength();
  return la < lb ? -1 : la > lb ? 1 : 0;
}

void KySortedPathsBinTree::KySortedPathsBinTreedeepCopy(const KySortedPathsBinTree& other) {
  KySortedBinTree::copyObject(&other);
  pAlgorithm(other.pAlgorithm());
  deleteAllCells();
  copyAllCells(other);
}

void KySortedPathsBinTree::KySortedPathsBinTreeattributeCopy(const KySortedPathsBinTree& other) {
  KySortedBinTree::copyAttributes(&other);
  pAlgorithm(other.pAlgorithm());
  deleteAllCells();
}
