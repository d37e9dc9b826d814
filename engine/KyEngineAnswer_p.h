// KyEngineAnswer: how the analyses of the local engine write their results.
// Internal to the engine; not installed.
#pragma once

#include <kyanalysis/KyInt.h>
#include <kyanalysis/KyServiceData.h>

#include <memory>
#include <unordered_map>

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
    auto found = integers_.find(value);
    if (found == integers_.end()) {
      auto made = std::make_unique<KyInt>(value);
      found = integers_.emplace(value, made.get()).first;
      made.release();
    }
    found->second->vClaim();
    output_.setValue(const_cast<KyObject*>(owner), key, found->second, 1, 0);
  }
  /// Stores a reference to `object`, which lives elsewhere: a member of the
  /// analysed graph, or a member of a graph the answer owns.
  void reference(const KyObject* owner, const wchar_t* key, KyObject* object) {
    output_.setValue(const_cast<KyObject*>(owner), key, object, 0, 0);
  }
  /// Hands `object` over to the output data.
  void handOver(const wchar_t* key, KyObject* object) {
    output_.setValue(nullptr, key, object, 1, 0);
  }

private:
  KyServiceOutputData& output_;
  std::unordered_map<int, KyInt*> integers_;
};
