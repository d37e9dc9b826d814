#include "KyEngineRequest_p.h"

#include <kyanalysis/KyAnalysisOptionDescriptionManager.h>

int graphInteger(const KyServiceInputData& input, const KyGraph& graph, const wchar_t* key) {
  int stored = 0;
  return input.findInteger(&graph, key, stored)
             ? stored
             : KyAnalysisOptionDescriptionManager::defaultInteger(input, key);
}

std::vector<int> nodeIntegers(const KyServiceInputData& input, const KyGraph& graph,
                              const wchar_t* key) {
  return input.memberIntegers(key, graph, false,
                              KyAnalysisOptionDescriptionManager::defaultInteger(input, key));
}

std::vector<int> edgeIntegers(const KyServiceInputData& input, const KyGraph& graph,
                              const wchar_t* key) {
  return input.memberIntegers(key, graph, true,
                              KyAnalysisOptionDescriptionManager::defaultInteger(input, key));
}
