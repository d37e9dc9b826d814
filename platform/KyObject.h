// KyObject: the root of every class of the platform and of the library.
#pragma once

#include <kyplatform/KyPlatformExport.h>

#include <cstddef>
#include <cstdint>

/// How a value class copies another: 0 copies deeply (owned sub-objects are
/// duplicated), any other value copies attributes only (scalars and
/// references, never an owned sub-object).
enum KyDeepFlagEnum { KY_DEEP_COPY = 0, KY_ATTRIBUTE_COPY = 1 };

/// Where an iterator starts and which way it walks.
enum KyIterDirectionEnum { KY_ITER_FORWARD = 1, KY_ITER_BACKWARD = 2 };

class KyGraph;
class KyObject;

/// Where a value store may file the values an object owns by position
/// rather than by hashCode() and equals(): a node or an edge of a graph at
/// its position, a pair of two nodes of one graph at their two positions.
/// Objects of one place are equal, and objects of different places are not.
/// A store keeps no object with a place as an owner: it asks the graph for
/// a member, and `make` for a new pair, when someone wants the owner.
struct KyOwnerPlace {
  enum Kind { KY_PLACE_NODE, KY_PLACE_EDGE, KY_PLACE_NODE_PAIR };
  const KyGraph* graph;
  Kind kind;
  int first;
  int second; // the second node of a pair; 0 otherwise
  /// For a pair: makes a new object of the place, for the caller to own.
  KyObject* (*make)(const KyOwnerPlace& place);
};

/// Root object with claim-counted lifetime.
///
/// A new object holds one claim. vClaim() adds a claim, vRelease() ends one
/// and deletes the object when the last claim ends. An owner may also simply
/// delete an object that nobody else holds a claim on.
///
/// Identity is the default notion of equality: hashCode() derives from the
/// address and equals() compares addresses. Value classes override both.
class KYPLATFORM_EXPORT KyObject {
public:
  KyObject() = default;
  /// A copy starts with a claim of its own; claims are never copied.
  KyObject(const KyObject&) {}
  KyObject& operator=(const KyObject&) { return *this; }
  virtual ~KyObject();

  /// Deep copy of `source` into this object; the root has nothing to copy.
  virtual void copyObject(const KyObject* source);
  /// Attribute copy of `source` into this object; the root has nothing to copy.
  virtual void copyAttributes(const KyObject* source);
  /// 32-bit hash; by default identityHash() of the object. Cost O(1).
  virtual std::uint32_t hashCode() const;
  /// The hash of an object with identity equality at `address`.
  static std::uint32_t identityHash(const void* address) {
    // Objects are at least 8-byte aligned: drop the constant low bits, then
    // take the high half of a Fibonacci product, which every address bit
    // reaches. Nearby objects thus get unrelated hashes, and so do their
    // combinations: the exclusive or of two sequential addresses' hashes
    // would otherwise take only a few thousand values for a million pairs.
    const std::uint64_t bits = reinterpret_cast<std::uintptr_t>(address) >> 3;
    return static_cast<std::uint32_t>((bits * 0x9E3779B97F4A7C15ull) >> 32);
  }
  /// True when `other` is the same object; value classes compare contents.
  virtual bool equals(const KyObject* other) const;
  /// Size of the object in bytes.
  virtual std::size_t sizeOf() const;
  /// Fills `place` and returns true when the object has a place
  /// (KyOwnerPlace); false, the default, for objects filed by hashCode().
  virtual bool ownerPlace(KyOwnerPlace& place) const;
  /// Diagnostic hook; prints nothing.
  virtual void debugOutput(int level);
  /// Ends one claim; deletes the object when it was the last one.
  virtual void vRelease();
  /// Adds a claim; each claim is ended by one vRelease().
  void vClaim() { ++claims_; }
  /// Number of claims held on the object.
  int claims() const { return claims_; }

  static KyObject* castDown(const KyObject* object) { return const_cast<KyObject*>(object); }

private:
  int claims_ = 1;
};
