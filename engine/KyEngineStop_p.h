// KyEngineStop: where the engine's loops look whether their run is to stop.
// Internal to the engine; not installed.
#pragma once

#include <kyengine/KyAnalysisStop.h>

/// The stop of the run on the calling thread. Loops of the analyses and
/// the answer writer call check() as they go, often enough that a run
/// stops within a second of the request; it throws Stopped, which
/// KyLocalAnalysisService::run() turns into ANALYSIS_ERROR_STOPPED, the
/// partial answer dropped as on any failure.
namespace KyEngineStop {

struct Stopped {};

/// The stop being watched on this thread; null when none.
extern thread_local const KyAnalysisStop* current;

inline void check() {
  if (current != nullptr && current->requested())
    throw Stopped{};
}

/// Watches `stop` on this thread for the life of the object.
class Watching {
public:
  explicit Watching(const KyAnalysisStop* stop) : previous_(current) { current = stop; }
  ~Watching() { current = previous_; }
  Watching(const Watching&) = delete;
  Watching& operator=(const Watching&) = delete;

private:
  const KyAnalysisStop* previous_;
};

} // namespace KyEngineStop
