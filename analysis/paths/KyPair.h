// KyPair: an ordered pair of two objects, compared member by member.
#pragma once

#include <kyanalysis/KyAnalysisExport.h>
#include <kyplatform/KyObject.h>

/// An ordered pair of two objects, either of which may be null.
///
/// The pair refers to its members and owns neither: copies share them, and
/// destroying a pair leaves them untouched. Two pairs are equal when their
/// members are equal position by position, so a fresh pair of the same two
/// nodes finds a value stored under another pair. The hash is the same for
/// (a, b) and (b, a); equals() tells them apart. Every operation costs O(1)
/// plus the members' own hashCode() and equals().
class KYANALYSIS_EXPORT KyPair : public KyObject {
public:
  KyPair();
  KyPair(KyObject* first, KyObject* second);
  /// Copy of `other`; deep and attribute copies alike share the members.
  KyPair(const KyPair& other, KyDeepFlagEnum flag = KY_DEEP_COPY);
  /// Deep copy; assigning a pair to itself changes nothing.
  KyPair& operator=(const KyPair& other);
  ~KyPair() override;

  /// Deep, resp. attribute, copy of `source`; nothing happens when `source`
  /// is null, this pair, or not a KyPair.
  void copyObject(const KyObject* source) override;
  void copyAttributes(const KyObject* source) override;
  /// A new deep, resp. attribute, copy; the caller owns it.
  KyPair* cloneObject() const { return static_cast<KyPair*>(vCloneObject()); }
  KyPair* cloneAttributes() const { return static_cast<KyPair*>(vCloneAttributes()); }

  KyObject* pFirstObject() const { return first_; }
  KyObject* pFirstObject(KyObject* object) { return first_ = object; }
  KyObject* pSecondObject() const { return second_; }
  KyObject* pSecondObject(KyObject* object) { return second_ = object; }

  /// The members' hashes combined by exclusive or; a null member counts 0.
  std::uint32_t hashCode() const override;
  /// True when `other` is a KyPair whose members equal these, position by
  /// position: a null member equals only null, any other member decides
  /// through its own equals().
  bool equals(const KyObject* other) const override;
  std::size_t sizeOf() const override { return sizeof(KyPair); }
  /// A pair of two nodes of one graph has their two positions as its place,
  /// so stores file it by position rather than by the hash (which is the
  /// same for (a, b), (b, a) and 0 for every (a, a)), and make a KyPair of
  /// the two nodes when someone wants it back.
  bool ownerPlace(KyOwnerPlace& place) const override;
  void debugOutput(int) override {}

  static KyPair* castDown(const KyObject* object) {
    return static_cast<KyPair*>(const_cast<KyObject*>(object));
  }

protected:
  virtual KyObject* vCloneObject() const;
  virtual KyObject* vCloneAttributes() const;
  /// Sets both members to null.
  void init();

private:
  void KyPairdeepCopy(const KyPair& other);
  void KyPairattributeCopy(const KyPair& other);

  KyObject* first_;
  KyObject* second_;
};
