#include <kyanalysis/KyAcyclicTestInputTailor.h>
#include <kyanalysis/KyAcyclicTestOutputTailor.h>
#include <kyanalysis/KyAnalysisKeys.h>

namespace key = KyAnalysisKey::acyclicTest;

KyAcyclicTestInputTailor::~KyAcyclicTestInputTailor() = default;

void KyAcyclicTestInputTailor::setAsCurrentOperation() { selectOperation(OPERATION_ACYCLIC_TEST); }

KyAcyclicTestOutputTailor::~KyAcyclicTestOutputTailor() = default;

int KyAcyclicTestOutputTailor::acyclic() const { return scalarResult(key::noneAcyclic); }
