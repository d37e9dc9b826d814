#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyNewCycleTestInputTailor.h>
#include <kyanalysis/KyNewCycleTestOutputTailor.h>
#include <kyplatform/KyNode.h>

namespace key = KyAnalysisKey::newCycleTest;

KyNewCycleTestInputTailor::~KyNewCycleTestInputTailor() = default;

void KyNewCycleTestInputTailor::setAsCurrentOperation() {
  selectOperation(OPERATION_NEW_CYCLE_TEST);
}
KyNode* KyNewCycleTestInputTailor::pSourceNode() const {
  return objectGraphOption<KyNode>(key::graphSourceNode);
}
KyNode* KyNewCycleTestInputTailor::pSourceNode(KyNode* node) {
  return objectGraphOption(key::graphSourceNode, node);
}
KyNode* KyNewCycleTestInputTailor::pTargetNode() const {
  return objectGraphOption<KyNode>(key::graphTargetNode);
}
KyNode* KyNewCycleTestInputTailor::pTargetNode(KyNode* node) {
  return objectGraphOption(key::graphTargetNode, node);
}

KyNewCycleTestOutputTailor::~KyNewCycleTestOutputTailor() = default;

int KyNewCycleTestOutputTailor::willCreateCycle() const {
  return scalarResult(key::noneWillCreateCycle);
}
