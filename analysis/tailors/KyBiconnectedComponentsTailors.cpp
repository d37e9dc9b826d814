#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyBiconnectedComponentsInputTailor.h>
#include <kyanalysis/KyBiconnectedComponentsOutputTailor.h>
#include <kyplatform/KyNodeDList.h>

namespace key = KyAnalysisKey::biconnectedComponents;

KyBiconnectedComponentsInputTailor::~KyBiconnectedComponentsInputTailor() = default;

void KyBiconnectedComponentsInputTailor::setAsCurrentOperation() {
  selectOperation(OPERATION_BICONNECTED_COMPONENTS);
}

KyBiconnectedComponentsOutputTailor::~KyBiconnectedComponentsOutputTailor() = default;

void KyBiconnectedComponentsOutputTailor::buildComponentList(KyDList& list) const {
  buildListOfLists<KyNodeDList>(key::noneComponentList, list);
}
void KyBiconnectedComponentsOutputTailor::buildArticulationNodeList(KyNodeDList& list) const {
  buildList(nullptr, key::noneArticulationNodeList, list);
}
