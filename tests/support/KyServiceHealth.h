// Waiting for a service under test to reach a load, through its /healthz.
#pragma once

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <string>
#include <thread>

namespace kytest {

/// Waits, 60 s at most, until /healthz of the service at `url` says `busy`
/// workers are busy and `queued` requests wait.
inline bool awaitLoad(const std::string& url, int busy, int queued) {
  httplib::Client client(url);
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
