// Describes the values of service data independently of object addresses,
// for comparing a request with its copy after a round trip.
#pragma once

#include <kyplatform/KyConstraint.h>
#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyDouble.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>
#include <kyplatform/KyServiceData.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kytest {

inline std::string narrow(const wchar_t* text) {
  std::string out;
  for (; text != nullptr && *text != 0; ++text)
    out += static_cast<char>(*text);
  return out;
}

/// One sorted line per stored value: "key owner = value", with objects named
/// by `member`, constraints by `constraint` and doubles bit for bit.
inline std::vector<std::string>
describeValues(const KyServiceInputData& data,
               const std::function<std::string(const KyObject*)>& member,
               const std::function<std::string(const KyConstraint&)>& constraint) {
  std::vector<std::string> lines;
  data.visitValues([&](const KyObject* owner, const wchar_t* key, KyObject* value) {
    std::string line = narrow(key) + " " + member(owner) + " = ";
    if (const auto* integer = dynamic_cast<const KyInt*>(value)) {
      line += std::to_string(integer->value());
    } else if (const auto* real = dynamic_cast<const KyDouble*>(value)) {
      const double number = real->value();
      unsigned long long bits;
      std::memcpy(&bits, &number, sizeof bits);
      line += "bits " + std::to_string(bits);
    } else if (const auto* manager = dynamic_cast<const KyConstraintManager*>(value)) {
      for (KyDListIter it(manager->pConstraintList()); it; ++it)
        line += constraint(*dynamic_cast<const KyConstraint*>(it.pObject()));
    } else if (const auto* list = dynamic_cast<const KyNodeDList*>(value)) {
      for (KyNodeDListIter it(list); it; ++it)
        line += member(it.pNode()) + ";";
    } else {
      line += member(value);
    }
    lines.push_back(line);
  });
  std::sort(lines.begin(), lines.end());
  return lines;
}

/// Input data that keeps its values elsewhere: every write goes through its
/// setValue() and every read through its pValue(); `writes` counts the
/// writes. Nothing reaches the store it derives from.
class MirroringData : public KyServiceInputData {
public:
  void setValue(KyObject* owner, const wchar_t* key, KyObject* value, int owned,
                int ownerOwned) override {
    ++writes;
    Held& held = values_[{owner, key}];
    if (held.owned && held.value != nullptr && held.value != value)
      held.value->vRelease();
    held = Held{value, owned != 0 || (held.value == value && held.owned)};
    if (ownerOwned != 0 && owner != nullptr)
      owner->vRelease();
  }
  KyObject* pValue(const KyObject* owner, const wchar_t* key) const override {
    const auto found = values_.find({const_cast<KyObject*>(owner), key});
    return found != values_.end() ? found->second.value : nullptr;
  }
  ~MirroringData() override {
    for (auto& [at, held] : values_)
      if (held.owned && held.value != nullptr)
        held.value->vRelease();
  }

  int writes = 0;

private:
  struct Held {
    KyObject* value = nullptr;
    bool owned = false;
  };
  std::map<std::pair<KyObject*, std::wstring>, Held> values_;
};

} // namespace kytest
