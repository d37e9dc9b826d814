// KyEngineAnswer: how the analyses of the local engine write their results.
// Internal to the engine; not installed.
#pragma once

#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyEdgeDList.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>
#include <kyplatform/KyOwningDList.h>
#include <kyplatform/KyServiceData.h>

#include <memory>
#include <unordered_map>
#include <vector>

/// Writes results into an output data, which owns every value stored.
///
/// Integer results of equal value share one KyInt: each entry holds a claim
/// of its own on it, so the output data still releases exactly what it was
/// handed, while an answer of millions of integers keeps only as many
/// objects as it has distinct values. The writer's own claims end with it.
/// Each store costs O(length of the key) plus O(1) on average. Not copyable.
class KyEngineAnswer {
public:
  explicit KyEngineAnswer(KyServiceOutputData& output) : output_(output) {}
  ~KyEngineAnswer() {
    for (auto& entry : integers_)
      entry.second->vRelease();
  }
  KyEngineAnswer(const KyEngineAnswer&) = delete;
  KyEngineAnswer& operator=(const KyEngineAnswer&) = delete;

  /// Stores `value` under (owner, key) as a KyInt.
  void integer(const KyObject* owner, const wchar_t* key, int value) {
    KyInt* shared = sharedInteger(value);
    shared->vClaim();
    output_.storeOwned(const_cast<KyObject*>(owner), key, shared);
  }
  /// Stores a reference to `object`, which lives elsewhere: a member of the
  /// analysed graph, or a member of a graph the answer owns.
  void reference(const KyObject* owner, const wchar_t* key, KyObject* object) {
    output_.storeReference(const_cast<KyObject*>(owner), key, object);
  }
  /// Hands `object` over to the output data, stored under (owner, key).
  void handOver(const KyObject* owner, const wchar_t* key, std::unique_ptr<KyObject> object) {
    output_.storeOwned(const_cast<KyObject*>(owner), key, object.get());
    object.release();
  }
  /// Stores `value` as integer() does, or `object` as reference() does,
  /// under (owner, key) where `owner` is an object made only to key
  /// results (a KyPair of two nodes): each entry keyed on it holds a claim
  /// on it, and the output data releases it with the last of them. The
  /// caller ends its own claim. O(1) on average.
  void onMadeOwner(KyObject* owner, const wchar_t* key, int value) {
    KyInt* shared = sharedInteger(value);
    shared->vClaim();
    output_.setValue(owner, key, shared, /*owned=*/1, /*ownerOwned=*/1);
    owner->vClaim();
  }
  void onMadeOwner(KyObject* owner, const wchar_t* key, KyObject* object) {
    output_.setValue(owner, key, object, /*owned=*/0, /*ownerOwned=*/1);
    owner->vClaim();
  }
  /// Stores a new list of `nodes`, in order, under (owner, key).
  void nodeList(const KyObject* owner, const wchar_t* key, const std::vector<KyNode*>& nodes) {
    handOver(owner, key, makeList<KyNodeDList>(nodes));
  }
  /// Stores a new list of `edges`, in order, under (owner, key).
  void edgeList(const KyObject* owner, const wchar_t* key, const std::vector<KyEdge*>& edges) {
    handOver(owner, key, makeList<KyEdgeDList>(edges));
  }
  /// Stores under key a list of lists (of nodes or edges, as `List` says),
  /// one inner list per item of `items`, as a KyOwningDList: the output
  /// data owns all of them.
  template <class List, class Item>
  void listOfLists(const wchar_t* key, const std::vector<std::vector<Item*>>& items) {
    auto lists = std::make_unique<KyOwningDList>();
    for (const auto& item : items) {
      auto inner = makeList<List>(item);
      lists->appendObject(inner.get());
      inner.release();
    }
    handOver(nullptr, key, std::move(lists));
  }

  /// Notes that the request's value under (owner, key) is one the analysis
  /// cannot work with, and returns ANALYSIS_ERROR_INVALID_OPTION; the
  /// service stores the note as "errorOption" beside the error code.
  int invalidOption(const KyObject* owner, const wchar_t* key) {
    invalidOwner_ = owner;
    invalidKey_ = key;
    return ANALYSIS_ERROR_INVALID_OPTION;
  }
  /// The option invalidOption() noted last: its owner and key (null when none).
  const KyObject* invalidOwner() const { return invalidOwner_; }
  const wchar_t* invalidKey() const { return invalidKey_; }

private:
  // The KyInt of `value` that the writer keeps a claim on.
  KyInt* sharedInteger(int value) {
    auto found = integers_.find(value);
    if (found == integers_.end()) {
      auto made = std::make_unique<KyInt>(value);
      found = integers_.emplace(value, made.get()).first;
      made.release();
    }
    return found->second;
  }
  template <class List, class Item>
  static std::unique_ptr<List> makeList(const std::vector<Item*>& items) {
    auto list = std::make_unique<List>();
    for (Item* item : items)
      list->appendObject(item);
    return list;
  }

  KyServiceOutputData& output_;
  std::unordered_map<int, KyInt*> integers_;
  const KyObject* invalidOwner_ = nullptr;
  const wchar_t* invalidKey_ = nullptr;
};
