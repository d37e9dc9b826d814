#include <kyanalysis/KyPath.h>
#include <kyplatform/KyEdgeDList.h>

KyPath::KyPath(KyNode* lastNode, int modifiedLength, KyEdgeDList* edgeList) {
  init();
  pLastNode(lastNode);
  this->modifiedLength(modifiedLength);
  pEdgeList(edgeList);
}

KyPath::KyPath(const KyPath& other, KyDeepFlagEnum flag) : KyObject() {
  init();
  if (flag == KY_DEEP_COPY)
    KyPathdeepCopy(other);
  else
    KyPathattributeCopy(other);
}

KyPath& KyPath::operator=(const KyPath& other) {
  if (&other != this)
    KyPathdeepCopy(other);
  return *this;
}

KyPath::~KyPath() {
  releaseEdgeList();
  pLastNode(nullptr);
}

void KyPath::copyObject(const KyObject* source) {
  const auto* other = dynamic_cast<const KyPath*>(source);
  if (other != nullptr && other != this)
    KyPathdeepCopy(*other);
}

void KyPath::copyAttributes(const KyObject* source) {
  const auto* other = dynamic_cast<const KyPath*>(source);
  if (other != nullptr && other != this)
    KyPathattributeCopy(*other);
}

KyObject* KyPath::vCloneObject() const { return new KyPath(*this, KY_DEEP_COPY); }

KyObject* KyPath::vCloneAttributes() const { return new KyPath(*this, KY_ATTRIBUTE_COPY); }

void KyPath::init() {
  lastNode_ = nullptr;
  modifiedLength_ = infiniteLength;
  length_ = infiniteLength;
  edgeList_ = nullptr;
}

void KyPath::KyPathdeepCopy(const KyPath& other) {
  KyObject::copyObject(&other);
  pLastNode(other.lastNode_);
  modifiedLength(other.modifiedLength_);
  length(other.length_);
  // Copy first: releasing first would lose a list that both paths named.
  KyEdgeDList* copy = nullptr;
  if (other.edgeList_ != nullptr) {
    copy = new KyEdgeDList;
    copy->copyAllCells(*other.edgeList_);
  }
  releaseEdgeList();
  pEdgeList(copy);
}

void KyPath::KyPathattributeCopy(const KyPath& other) {
  KyObject::copyAttributes(&other);
  pLastNode(other.lastNode_);
  modifiedLength(other.modifiedLength_);
  length(other.length_);
  releaseEdgeList();
}

void KyPath::releaseEdgeList() {
  if (edgeList_ != nullptr)
    edgeList_->vRelease();
  pEdgeList(nullptr);
}
