// KyServerEndpoints: what the service answers, whatever carries requests.
#pragma once

#include "KyServerReply_p.h"
#include "KyServerWorkerPool_p.h"

#include <kyserver/KyAnalysisServerOptions.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>

/// What the log line of one request tells beyond the request itself.
struct KyServerRequestFacts {
  std::chrono::steady_clock::time_point start{};
  std::string analysis = "-";
  std::string graphSize = "-";
};

/// The service's side of every endpoint, with no knowledge of sockets: the
/// token check, the admission of work, the engine's answer, the health and
/// the log. The transport reads requests, asks here, and writes the reply.
/// Thread-safe.
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
  /// POST /v1/run with a whole body within the limit, from an authorized
  /// sender, on a worker: reads the request (400 when it cannot be), has
  /// the engine answer it and writes the answer (500 when it cannot be).
  /// Notes the analysis and the graph's size in `facts`.
  KyServerReply run(const std::string& body, KyServerRequestFacts& facts) const;
  /// POST /v1/run with a body past the limit.
  KyServerReply tooLarge() const;
  /// GET /v1/analyses, from an authorized sender.
  KyServerReply analyses() const;
  /// GET /healthz.
  KyServerReply health() const;
  /// Hands the log line of one answered request to the options' log.
  void log(const std::string& peer, const std::string& method, const std::string& path,
           const KyServerRequestFacts& facts, int status);

  std::size_t maxRequestBytes() const { return options_.maxRequestBytes; }
  int readSeconds() const { return options_.readSeconds; }
  int workers() const { return workers_.load().workers; }
  /// The queue: requests that may wait for a worker.
  int queue() const { return options_.queue; }

private:
  const KyAnalysisServerOptions& options_;
  KyServerWorkerPool workers_;
  std::mutex logMutex_;
};
