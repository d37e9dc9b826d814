#include "KyEngineRequest_p.h"

#include <kyplatform/KyInt.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyServiceName.h>

#include <cwchar>
#include <typeinfo>

namespace {

// The integer a value reads as: a KyInt's own, 0 for any other class.
int integerOf(const KyObject* value) {
  return value != nullptr && typeid(*value) == typeid(KyInt) ? KyInt::castDown(value)->value() : 0;
}

// The default the input descriptions give the option under `key`.
int defaultInteger(const KyServiceInputData& input, const wchar_t* key) {
  KyServiceName* name = input.pServiceName();
  const KyServiceItemDescriptionManager* options =
      name != nullptr ? name->pInputDescription() : nullptr;
  const auto* option = options != nullptr
                           ? dynamic_cast<const KyServiceOptionDescription*>(options->pOption(key))
                           : nullptr;
  return integerOf(option != nullptr ? option->pDefaultValue() : nullptr);
}

template <class Member>
std::vector<int> memberIntegers(const KyServiceInputData& input, const std::vector<Member*>& members,
                                const wchar_t* key) {
  std::vector<int> values(members.size(), defaultInteger(input, key));
  // The store hands out one key text per key: compare texts only when it
  // changes.
  const wchar_t* seenKey = nullptr;
  bool wanted = false;
  input.visitValues([&](const KyObject* owner, const wchar_t* valueKey, KyObject* value) {
    if (valueKey != seenKey) {
      seenKey = valueKey;
      wanted = std::wcscmp(valueKey, key) == 0;
    }
    // Nodes and edges are made by their graph as exactly these classes: the
    // exact test spares most owners the cost of a dynamic_cast.
    const Member* member = nullptr;
    if (wanted && owner != nullptr)
      member = typeid(*owner) == typeid(Member) ? static_cast<const Member*>(owner)
                                                : dynamic_cast<const Member*>(owner);
    if (member == nullptr)
      return;
    const std::size_t position = static_cast<std::size_t>(member->index());
    if (position < members.size() && members[position] == member)
      values[position] = integerOf(value);
  });
  return values;
}

} // namespace

std::vector<int> nodeIntegers(const KyServiceInputData& input, const KyEngineNetwork& net,
                              const wchar_t* key) {
  return memberIntegers(input, net.nodes, key);
}

std::vector<int> edgeIntegers(const KyServiceInputData& input, const KyEngineNetwork& net,
                              const wchar_t* key) {
  return memberIntegers(input, net.edges, key);
}
