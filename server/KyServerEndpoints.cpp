#include "KyServerEndpoints_p.h"

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisOperation.h>
#include <kyanalysis/KyAnalysisSerializer.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyObjectTable.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyUtf8.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <sstream>

namespace {

using namespace KyAnalysisWireContract;

/// True when `given` equals `token`. Every byte up to the longer length is
/// compared, whatever the texts hold, so the time taken does not tell how
/// much of a guess was right.
bool sameToken(const std::string& given, const std::string& token) {
  const std::size_t length = std::max(given.size(), token.size());
  unsigned difference = given.size() == token.size() ? 0 : 1;
  for (std::size_t i = 0; i < length; ++i) {
    const unsigned char a = i < given.size() ? static_cast<unsigned char>(given[i]) : 0;
    const unsigned char b = i < token.size() ? static_cast<unsigned char>(token[i]) : 0;
    difference |= static_cast<unsigned>(a ^ b);
  }
  return difference == 0;
}

/// The UTC time of now, as 2024-05-01T12:00:00.123Z.
std::string timestamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[40];
  const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
  std::snprintf(text + length, sizeof text - length, ".%03dZ", static_cast<int>(millis));
  return text;
}

} // namespace

KyServerReply KyServerReply::refusal(KyAnalysisRefusalEnum refusal, const std::string& message) {
  const Refusal& what = refusalOf(refusal);
  KyServerReply reply;
  reply.status = what.status;
  reply.body = nlohmann::json{{"error", what.error}, {"message", message}}.dump() + "\n";
  return reply;
}

KyServerEndpoints::KyServerEndpoints(const KyAnalysisServerOptions& options, int workers)
    : options_(options), workers_(workers, options.queue) {}

bool KyServerEndpoints::authorized(const std::string& authorization) const {
  if (options_.token.empty())
    return true;
  const std::string scheme = tokenScheme;
  return authorization.compare(0, scheme.size(), scheme) == 0 &&
         sameToken(authorization.substr(scheme.size()), options_.token);
}

KyServerReply KyServerEndpoints::unauthorized(const std::string& authorization) {
  KyServerReply reply = KyServerReply::refusal(
      REFUSAL_UNAUTHORIZED,
      authorization.empty() ? "the request carries no token" : "the token is not accepted");
  reply.headers.emplace_back(challengeHeader, "Bearer");
  return reply;
}

KyServerReply KyServerEndpoints::tooLarge() const {
  return KyServerReply::refusal(REFUSAL_REQUEST_TOO_LARGE,
                                "the request is larger than the " +
                                    std::to_string(options_.maxRequestBytes) +
                                    " bytes this service accepts");
}

KyServerReply KyServerEndpoints::busy() {
  KyServerReply reply =
      KyServerReply::refusal(REFUSAL_SERVICE_BUSY, "every worker is busy and the queue is full");
  reply.headers.emplace_back(retryAfterHeader, "1");
  return reply;
}

KyServerReply KyServerEndpoints::run(const std::string& body, KyServerRequestFacts& facts) const {
  if (body.empty())
    return KyServerReply::refusal(REFUSAL_BAD_REQUEST, "the request is empty");
  // The serializer reads up to the first zero byte; a body that holds one
  // is not base 64, and none of it is read.
  if (body.find('\0') != std::string::npos)
    return KyServerReply::refusal(REFUSAL_BAD_REQUEST,
                                  "not an analysis request: the text is not base 64");

  // Declared first so that it goes last: the request and the answer refer
  // to the graph read from the request.
  std::unique_ptr<KyGraph> graph;
  KyObjectTable table;
  KyServiceInputData input;
  const KyAnalysisSerializer serializer;
  std::wstring reason;
  if (serializer.pInputDataFromString(reinterpret_cast<const unsigned char*>(body.c_str()), &table,
                                      &input, reason) == 0)
    return KyServerReply::refusal(REFUSAL_BAD_REQUEST,
                                  "not an analysis request: " + KyUtf8::fromWide(reason));
  graph.reset(dynamic_cast<KyGraph*>(input.pValue(nullptr, KyAnalysisKey::all::noneGraph)));
  // A request without a graph reads as one on an empty graph that the
  // document never named: the engine must see none, as it would locally.
  const bool named = graph != nullptr && table.pID(graph.get()) != nullptr;
  if (graph != nullptr && !named)
    input.removeValue(nullptr, KyAnalysisKey::all::noneGraph);
  if (const wchar_t* word = KyAnalysisOperation::word(
          input.getValueAsInteger(nullptr, KyAnalysisKey::all::noneOperation)))
    facts.analysis = KyUtf8::fromWide(word);
  if (named)
    facts.graphSize =
        std::to_string(graph->numberOfNodes()) + "/" + std::to_string(graph->numberOfEdges());

  KyServiceOutputData output;
  KyLocalAnalysisService().run(&input, &output);
  unsigned char* written = nullptr;
  unsigned long length = 0;
  if (serializer.pOutputDataToString(&output, &table, written, &length) == 0)
    return KyServerReply::refusal(REFUSAL_INTERNAL_ERROR, "the answer cannot be written");
  const std::unique_ptr<unsigned char[]> held(written);
  KyServerReply reply;
  reply.contentType = stringContentType;
  reply.body.assign(reinterpret_cast<const char*>(written), length);
  return reply;
}

KyServerReply KyServerEndpoints::analyses() const {
  KyServerReply reply;
  reply.body = options_.analyses;
  return reply;
}

KyServerReply KyServerEndpoints::health() const {
  const KyServerWorkerPool::Load load = workers_.load();
  KyServerReply reply;
  reply.body =
      nlohmann::json{
          {"status", "ok"}, {"workers", load.workers}, {"busy", load.busy}, {"queued", load.queued}}
          .dump() +
      "\n";
  return reply;
}

void KyServerEndpoints::log(const std::string& peer, const std::string& method,
                            const std::string& path, const KyServerRequestFacts& facts,
                            int status) {
  if (!options_.log)
    return;
  std::ostringstream line;
  line << timestamp() << ' ' << peer << ' ' << method << ' ' << path << ' ' << facts.analysis << ' '
       << facts.graphSize << ' ' << status << ' ';
  if (facts.start == std::chrono::steady_clock::time_point{})
    line << '-';
  else
    line << std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                  facts.start)
                .count();
  line << " ms";
  const std::lock_guard<std::mutex> lock(logMutex_);
  options_.log(line.str());
}
