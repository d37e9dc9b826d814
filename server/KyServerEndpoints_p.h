// KyServerEndpoints: what the service answers, whatever carries requests.
#pragma once

#include "KyServerDisposer_p.h"
#include "KyServerLog_p.h"
#include "KyServerMemoryBudget_p.h"
#include "KyServerMetrics_p.h"
#include "KyServerReply_p.h"
#include "KyServerWorkerPool_p.h"

#include <kyengine/KyAnalysisStop.h>
#include <kyserver/KyAnalysisServerOptions.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

/// What the log line of one request tells beyond the request itself.
struct KyServerRequestFacts {
  std::chrono::steady_clock::time_point start{};
  std::string id;
  std::string analysis = "-";
  std::string graphSize = "-";
  /// How the request ended when it did not end as its status says.
  std::string outcome;
  std::size_t received = 0;
};

/// The service's side of every endpoint, with no knowledge of sockets: the
/// token check, the admission of work and of memory, the engine's answer,
/// the health, readiness and metrics, and the log. The transport reads
/// requests, asks here, and writes the reply. Thread-safe.
class KyServerEndpoints {
public:
  /// `options` must outlive the endpoints; `workers` is the resolved
  /// number of workers.
  KyServerEndpoints(const KyAnalysisServerOptions& options, int workers);

  /// True when `authorization` (the Authorization header, empty when
  /// absent) carries the token, or none is wanted. O(length of the token),
  /// whatever the header holds.
  bool authorized(const std::string& authorization) const;
  /// The 401 for a request whose `authorization` is not accepted.
  static KyServerReply unauthorized(const std::string& authorization);

  /// Has a worker run `job` (a request of POST /v1/run) when one is free;
  /// false, running nothing, when every worker is busy and the queue full.
  bool submit(std::function<void()> job) { return workers_.submit(std::move(job)); }
  /// The 503 of a full service.
  static KyServerReply busy();
  /// The refusal of a body of `bytes` bytes that `hold` could not take.
  KyServerReply overBudget(std::size_t bytes) const;
  /// POST /v1/run with a whole body within the limit, from an authorized
  /// sender, on a worker: estimates the answer (413 past the options'
  /// limit), takes the memory to read and answer it into `hold` (503 when
  /// it does not fit now), reads the request (400 when it cannot be), has
  /// the engine answer it until `stop` is asked, and writes the answer
  /// (500 when it cannot be). Notes the analysis, the graph's size and a
  /// stop in `facts`.
  KyServerReply run(const std::string& body, KyServerRequestFacts& facts,
                    const KyAnalysisStop& stop, KyServerMemoryHold& hold) const;
  /// POST /v1/run with a body past the limit.
  KyServerReply tooLarge() const;
  /// GET /v1/analyses, from an authorized sender.
  KyServerReply analyses() const;
  /// GET /healthz.
  KyServerReply health() const;
  /// GET /readyz: 200 while the service takes requests, 503 while it
  /// drains (`draining`, as the caller read draining()) or its memory for
  /// requests is nearly taken.
  KyServerReply readiness(bool draining) const;
  /// GET /metrics, from an authorized sender, given the connections open.
  KyServerReply metrics(int connections) const;
  /// Notes one request that has ended (answered, or its connection lost),
  /// in the metrics and the log.
  void ended(const std::string& peer, const std::string& method, const std::string& path,
             const KyServerRequestFacts& facts, int status, std::size_t sent);

  /// A new request id, unique within the process.
  std::string nextId();
  /// From now on, answers ask for their connection to be closed and the
  /// service is not ready.
  void drain() { draining_ = true; }
  bool draining() const { return draining_; }

  KyServerMemoryBudget& budget() { return budget_; }
  KyServerDisposer& disposer() const { return disposer_; }
  const KyAnalysisServerOptions& options() const { return options_; }
  int workers() const { return workers_.load().workers; }

private:
  const KyAnalysisServerOptions& options_;
  KyServerMemoryBudget budget_;
  KyServerMetrics metrics_;
  std::atomic<bool> draining_{false};
  std::atomic<unsigned long long> ids_{0};
  const std::string idPrefix_;
  // Frees what large requests leave; thread-safe, so usable from const
  // members. Dropped after the workers, whose requests hand it work.
  mutable KyServerDisposer disposer_;
  // Made last and dropped first: the workers finish what they run before
  // the log and the metrics go.
  KyServerLog log_;
  KyServerWorkerPool workers_;
};
