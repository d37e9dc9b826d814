// Waiting for a service under test to reach a load, through its /healthz.
#pragma once

#include "support/KyServiceProcess.h"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <thread>

namespace kytest {

/// Waits, 60 s at most, until the service's /healthz says `busy` workers
/// are busy and `queued` requests wait.
inline bool awaitLoad(const ServiceProcess& service, int busy, int queued) {
  httplib::Client client(service.url());
  for (int i = 0; i < 6000; ++i) {
    if (auto health = client.Get("/healthz")) {
      const auto state = nlohmann::json::parse(health->body);
      if (state.at("busy") == busy && state.at("queued") == queued)
        return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

} // namespace kytest
