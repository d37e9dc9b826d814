#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyTreeTestInputTailor.h>
#include <kyanalysis/KyTreeTestOutputTailor.h>

namespace key = KyAnalysisKey::treeTest;

KyTreeTestInputTailor::~KyTreeTestInputTailor() = default;

void KyTreeTestInputTailor::setAsCurrentOperation() { selectOperation(OPERATION_TREE_TEST); }
int KyTreeTestInputTailor::directed() const { return graphOption(key::graphDirected); }
int KyTreeTestInputTailor::directed(int directed) {
  return graphOption(key::graphDirected, directed);
}

KyTreeTestOutputTailor::~KyTreeTestOutputTailor() = default;

int KyTreeTestOutputTailor::isTree() const { return scalarResult(key::noneTree); }
int KyTreeTestOutputTailor::isForest() const { return scalarResult(key::noneForest); }
