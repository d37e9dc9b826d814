// KyServiceData: the generic value store of requests and answers.
#pragma once

#include <kyplatform/KyGraphMember.h>
#include <kyplatform/KyObject.h>

#include <functional>
#include <memory>
#include <vector>

class KyServiceName;
class KyValueStore;

/// Values keyed by (owner object, key text), plus the service name that
/// says which service the data is meant for.
///
/// Owners are matched by hashCode() and equals(), so an equal owner object
/// (a fresh pair of the same two nodes, say) finds a value stored under
/// another; keys are matched by their text. Owners with a place
/// (KyOwnerPlace: nodes, edges, pairs of nodes of one graph) are matched by
/// that place and their values kept in arrays by position; the store keeps
/// no such owner object, and hands out an equal one (the member itself, a
/// pair it makes) when asked. Another owner that is not handed over must
/// outlive its entries. Lookups and stores cost O(length of the key) plus
/// O(1) on average. The store owns the attached service name, every value
/// or owner handed over to it and the integers and doubles it makes, and
/// releases them when they are replaced, removed, or when the store goes.
/// A store serves one thread at a time, reads included: a read may make the
/// object it hands out. Not copyable.
class KYPLATFORM_EXPORT KyServiceData : public KyObject {
public:
  KyServiceData();
  ~KyServiceData() override;
  KyServiceData(const KyServiceData&) = delete;
  KyServiceData& operator=(const KyServiceData&) = delete;

  /// Stores `value` under (owner, key), replacing what was there; a null
  /// value removes the entry. `owned` 1 hands the value over to the store;
  /// 0 stores a reference to an object that stays the caller's (storing the
  /// value the entry already owns keeps it owned).
  /// `ownerOwned` 1 hands the owner object over too: the store keeps it
  /// while the entry lives, or releases it at once when the entry already
  /// has an equal owner or when the owner has a place (a pair made just to
  /// key the value, say). A null key stores nothing and releases what was
  /// handed over.
  virtual void setValue(KyObject* owner, const wchar_t* key, KyObject* value, int owned,
                        int ownerOwned);
  /// The named forms of setValue() for the two common cases: storeOwned()
  /// hands `value` over to the store (setValue(owner, key, value, 1, 0)),
  /// storeReference() stores `object`, which stays the caller's
  /// (setValue(owner, key, object, 0, 0)), and removeValue() removes the
  /// entry (setValue(owner, key, nullptr, 0, 0)). The owner is never handed
  /// over.
  void storeOwned(KyObject* owner, const wchar_t* key, KyObject* value) {
    setValue(owner, key, value, 1, 0);
  }
  void storeReference(KyObject* owner, const wchar_t* key, KyObject* object) {
    setValue(owner, key, object, 0, 0);
  }
  void removeValue(KyObject* owner, const wchar_t* key) { setValue(owner, key, nullptr, 0, 0); }
  /// Stores under (owner, key) a KyInt, or a KyDouble, holding `value`, as
  /// storeOwned() stores a new one. The store's own classes keep an integer
  /// plain and make its KyInt only when pValue() asks for it; a subclass
  /// gets a new KyInt or KyDouble through setValue(), so that an override
  /// sees every write. Either way the object pValue() hands out is owned by
  /// the store and honours claims: one claimed keeps its value until its
  /// holder releases it. `ownerOwned` 1 hands the owner over as setValue()
  /// does. A null key stores nothing. O(1) on average.
  void storeInteger(KyObject* owner, const wchar_t* key, int value, int ownerOwned = 0);
  void storeDouble(KyObject* owner, const wchar_t* key, double value);
  /// The value under (owner, key), or null when there is none.
  virtual KyObject* pValue(const KyObject* owner, const wchar_t* key) const;
  /// The integer held by the KyInt under (owner, key); 0 when there is no
  /// value or the value is not a KyInt.
  int getValueAsInteger(const KyObject* owner, const wchar_t* key) const;
  /// Whether a value is stored under (owner, key); when one is, `integer`
  /// gets what it reads as: a KyInt's value, 0 for another value. Unlike
  /// pValue(), this makes no KyInt for an integer the store keeps plain
  /// (unless a subclass overrides pValue(), which is then asked).
  bool findInteger(const KyObject* owner, const wchar_t* key, int& integer) const;
  /// findInteger() for a node or an edge (or a null owner). Once a read has
  /// found the store's own class, the member's value is found by its graph
  /// and position, without a virtual call on the member. O(length of the
  /// key); O(1) for a key that trustKeys() vouches for, once a value was
  /// stored under its address.
  bool findMemberInteger(const KyGraphMember* member, const wchar_t* key, int& integer) const {
    return readsStore_ > 0 && member != nullptr ? storedMemberInteger(*member, key, integer)
                                                : findInteger(member, key, integer);
  }
  /// Tells which key texts cannot change while the store lives: `test`
  /// (null: none) is asked about a key address when a value is first
  /// stored through it, and a read through an address it vouched for is
  /// then not compared by text. A library passes a test of its own key
  /// constants. Reads follow the text of any other key, a reused buffer's
  /// included.
  using KeyTest = bool (*)(const wchar_t* key);
  void trustKeys(KeyTest test);
  /// The values under `key` on every node (`edges` false) or edge of
  /// `graph`, by position, read as integers: a KyInt gives its value,
  /// another value 0, a member without a value `missing`. O(members); a
  /// subclass is asked through pValue() for each member.
  std::vector<int> memberIntegers(const wchar_t* key, const KyGraph& graph, bool edges,
                                  int missing) const;
  /// The reverse of memberIntegers(): stores `values[i]` under `key` on the
  /// node (`edges` false) or edge of `graph` at position i, as
  /// storeInteger() would one by one; positions holding `missing` are left
  /// as they are. Values past the last member are ignored. O(values), with
  /// the key looked up once; a subclass gets each value through setValue().
  void storeMemberIntegers(const wchar_t* key, const KyGraph& graph, bool edges,
                           const std::vector<int>& values, int missing);
  /// Stores under `key` on the node (`edges` false) or edge of `graph` at
  /// position i a reference to `objects[i]`, as storeReference() would one
  /// by one; null positions are left as they are. Objects past the last
  /// member are ignored. O(objects), with the key looked up once; a
  /// subclass gets each reference through setValue().
  void storeMemberReferences(const wchar_t* key, const KyGraph& graph, bool edges,
                             const std::vector<KyObject*>& objects);
  /// Removes every value, releasing what the store owns; the service name
  /// stays. No owner is asked anything while the entries go, so an owner
  /// that belongs to a graph held under a key without owner (the path graph
  /// of an answer) may go before its entry. O(number of values).
  void removeAllValues();
  /// Number of values stored.
  int numberOfValues() const;
  /// Calls `visit` once per stored value with its owner and key, in no
  /// particular order; writers sort what they need sorted. The owner of a
  /// pair's value is a KyPair the store makes on the first walk and keeps
  /// while the entry lives. The data must not change during the walk. Cost
  /// O(number of values).
  void visitValues(const std::function<void(const KyObject* owner, const wchar_t* key,
                                            KyObject* value)>& visit) const;

  /// The attached service name, or null.
  KyServiceName* pServiceName() const { return serviceName_; }
  /// Attaches `name`, which the store then owns; a name attached before is
  /// deleted. Returns `name`.
  KyServiceName* pServiceName(KyServiceName* name);

  static KyServiceData* castDown(const KyObject* object) {
    return static_cast<KyServiceData*>(const_cast<KyObject*>(object));
  }

private:
  friend struct KyServiceDataStore; // the library's writers walk the store
  // Whether reads and writes may go straight to the store: true for the
  // store's own classes, false for a subclass, which may answer pValue()
  // and setValue() its own way. Decided on the first use, once the
  // object's class is final.
  bool readsStore() const;
  // The member's value as the store keeps it, read as findInteger() does.
  bool storedMemberInteger(const KyGraphMember& member, const wchar_t* key, int& integer) const;

  mutable signed char readsStore_ = -1; // -1 until the first read
  std::unique_ptr<KyValueStore> values_;
  KyServiceName* serviceName_ = nullptr;
};

/// The options of one request, and the graph they refer to.
class KYPLATFORM_EXPORT KyServiceInputData : public KyServiceData {
public:
  static KyServiceInputData* castDown(const KyObject* object) {
    return static_cast<KyServiceInputData*>(const_cast<KyObject*>(object));
  }
};

/// The results of one answered request.
class KYPLATFORM_EXPORT KyServiceOutputData : public KyServiceData {
public:
  static KyServiceOutputData* castDown(const KyObject* object) {
    return static_cast<KyServiceOutputData*>(const_cast<KyObject*>(object));
  }
};
