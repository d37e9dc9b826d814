// KyPath: one path through a graph, with its cost and its ranking key.
#pragma once

#include <kyanalysis/KyAnalysisExport.h>
#include <kyplatform/KyObject.h>

class KyEdgeDList;
class KyNode;

/// A path: its edges in order from its first node to its last, its length
/// (the cost reported to the caller), its modified length (the key by which
/// candidate paths are ranked) and the node at which it ends and is extended.
///
/// The path owns its edge list, not the edges in it (they belong to their
/// graph), and gives the list up with vRelease() when it is destroyed or a
/// copy replaces it. The last node is a reference. A deep copy holds a list
/// of its own with the same edges; an attribute copy holds no list. Every
/// operation costs O(1) except deep copies, which cost O(number of edges).
class KYANALYSIS_EXPORT KyPath : public KyObject {
public:
  /// 2147483647, the largest 32-bit signed integer: a length not yet known,
  /// or the length between two nodes that no path joins.
  static constexpr int infiniteLength = 2147483647;

  /// A path ending at `lastNode`, ranked by `modifiedLength`, that takes
  /// over `edgeList` (may be null). Its length stays infiniteLength until set.
  KyPath(KyNode* lastNode, int modifiedLength, KyEdgeDList* edgeList);
  /// Deep copy of `other` when `flag` is KY_DEEP_COPY, attribute copy otherwise.
  KyPath(const KyPath& other, KyDeepFlagEnum flag = KY_DEEP_COPY);
  /// Deep copy; assigning a path to itself changes nothing.
  KyPath& operator=(const KyPath& other);
  ~KyPath() override;

  /// Deep, resp. attribute, copy of `source`; nothing happens when `source`
  /// is null, this path, or not a KyPath.
  void copyObject(const KyObject* source) override;
  void copyAttributes(const KyObject* source) override;
  /// A new deep, resp. attribute, copy; the caller owns it.
  KyPath* cloneObject() const { return static_cast<KyPath*>(vCloneObject()); }
  KyPath* cloneAttributes() const { return static_cast<KyPath*>(vCloneAttributes()); }

  KyNode* pLastNode() const { return lastNode_; }
  int length() const { return length_; }
  int length(int length) { return length_ = length; }
  int modifiedLength() const { return modifiedLength_; }
  /// The edges in order; null when the path holds no list.
  const KyEdgeDList* pEdgeList() const { return edgeList_; }

  static KyPath* castDown(const KyObject* object) {
    return static_cast<KyPath*>(const_cast<KyObject*>(object));
  }

protected:
  virtual KyObject* vCloneObject() const;
  virtual KyObject* vCloneAttributes() const;
  /// Sets every field to its initial value, holding no list.
  void init();

private:
  KyNode* pLastNode(KyNode* node) { return lastNode_ = node; }
  int modifiedLength(int length) { return modifiedLength_ = length; }
  /// Stores `list` as is; the list held before is not released.
  KyEdgeDList* pEdgeList(KyEdgeDList* list) { return edgeList_ = list; }
  void KyPathdeepCopy(const KyPath& other);
  void KyPathattributeCopy(const KyPath& other);
  void releaseEdgeList();

  KyNode* lastNode_;
  int modifiedLength_;
  int length_;
  KyEdgeDList* edgeList_;
};
