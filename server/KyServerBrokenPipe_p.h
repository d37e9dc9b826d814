// KyServerBrokenPipe: the server's own threads never die of a closed pipe.
// Internal to the server; not installed.
#pragma once

#include <csignal>
#include <pthread.h>

namespace KyServerBrokenPipe {

/// Blocks SIGPIPE on the calling thread, so that writing to a pipe or
/// socket whose reader has gone fails with EPIPE instead of ending the
/// process. O(1).
inline void ignoreOnThisThread() {
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
}

} // namespace KyServerBrokenPipe
