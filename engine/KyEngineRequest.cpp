#include "KyEngineRequest_p.h"

#include <kyplatform/KyInt.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyServiceName.h>

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

} // namespace

int graphInteger(const KyServiceInputData& input, const KyGraph& graph, const wchar_t* key) {
  int stored = 0;
  return input.findInteger(&graph, key, stored) ? stored : defaultInteger(input, key);
}

std::vector<int> nodeIntegers(const KyServiceInputData& input, const KyGraph& graph,
                              const wchar_t* key) {
  return input.memberIntegers(key, graph, false, defaultInteger(input, key));
}

std::vector<int> edgeIntegers(const KyServiceInputData& input, const KyGraph& graph,
                              const wchar_t* key) {
  return input.memberIntegers(key, graph, true, defaultInteger(input, key));
}
