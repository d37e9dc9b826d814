#include "KyServerEndpoints_p.h"

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisOperation.h>
#include <kyanalysis/KyAnalysisSerializer.h>
#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyanalysis/KyAnalysisWorkEstimate.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyObjectTable.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyUtf8.h>
#include <kyplatform/KyXMLWriteStop.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>
#include <strings.h>

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

/// Memory taken to read a request, for each byte of its body: the decoded
/// document, the graph and the stored options.
constexpr std::size_t kReadBytesPerBodyByte = 8;
/// Memory taken by one value of an answer: the stored value and its text in
/// the answer string.
constexpr std::size_t kBytesPerAnswerValue = 64;
/// Values past which what a request leaves is freed on the disposer's
/// thread rather than the worker's: freeing an answer of millions of values
/// takes a good part of a second.
constexpr int kFreeAsideValues = 10000;
/// Lines the log may hold back before it drops new ones.
constexpr std::size_t kLogBacklog = 10000;

std::string sizeText(std::uint64_t bytes) { return std::to_string(bytes) + " bytes"; }

/// A prefix that sets this process's request ids apart from another's.
std::string idPrefix() {
  std::random_device random;
  char text[16];
  std::snprintf(text, sizeof text, "%08x", random());
  return text;
}

/// The objects of one request: its graph, the table of its names, the
/// request and the answer. The graph is declared first so that it goes
/// last: the request and the answer refer to it.
struct Answering {
  std::unique_ptr<KyGraph> graph;
  KyObjectTable table;
  KyServiceInputData input;
  KyServiceOutputData output;
};

/// Frees a request's objects: a large one on the disposer's thread, so
/// that its worker takes the next request at once.
struct Disposal {
  KyServerDisposer& disposer;
  void operator()(Answering* objects) const {
    if (objects->input.numberOfValues() + objects->output.numberOfValues() > kFreeAsideValues)
      disposer.dispose([objects] { delete objects; });
    else
      delete objects;
  }
};

} // namespace

KyServerReply KyServerReply::retryLater(KyAnalysisRefusalEnum refusal, const std::string& message) {
  KyServerReply reply = KyServerReply::refusal(refusal, message);
  reply.headers.emplace_back(retryAfterHeader, "1");
  return reply;
}

KyServerReply KyServerReply::refusal(KyAnalysisRefusalEnum refusal, const std::string& message) {
  const Refusal& what = refusalOf(refusal);
  KyServerReply reply;
  reply.status = what.status;
  // A message may quote what a client sent: bytes that are not UTF-8 are
  // replaced rather than refused.
  reply.body = nlohmann::json{{"error", what.error}, {"message", message}}.dump(
                   -1, ' ', false, nlohmann::json::error_handler_t::replace) +
               "\n";
  return reply;
}

KyServerEndpoints::KyServerEndpoints(const KyAnalysisServerOptions& options, int workers)
    : options_(options), budget_(options.memoryBudgetBytes), idPrefix_(idPrefix()),
      log_(options.log, kLogBacklog), workers_(workers, options.queue) {}

bool KyServerEndpoints::authorized(const std::string& authorization) const {
  if (options_.token.empty())
    return true;
  // An authentication scheme's name is matched whatever its letters' case.
  const std::size_t length = std::strlen(tokenScheme);
  return authorization.size() >= length &&
         strncasecmp(authorization.c_str(), tokenScheme, length) == 0 &&
         sameToken(authorization.substr(length), options_.token);
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
  return KyServerReply::retryLater(REFUSAL_SERVICE_BUSY,
                                   "every worker is busy and the queue is full");
}

KyServerReply KyServerEndpoints::overBudget(std::size_t bytes) const {
  if (bytes > budget_.limit())
    return KyServerReply::refusal(REFUSAL_REQUEST_TOO_LARGE,
                                  "the request needs about " + sizeText(bytes) +
                                      " of memory, more than the " + sizeText(budget_.limit()) +
                                      " this service has for requests");
  return KyServerReply::retryLater(
      REFUSAL_SERVICE_BUSY, "the memory this service has for requests is taken; the request needs "
                            "about " +
                                sizeText(bytes));
}

KyServerReply KyServerEndpoints::run(const std::string& body, KyServerRequestFacts& facts,
                                     const KyAnalysisStop& stop, KyServerMemoryHold& hold) const {
  if (body.empty())
    return KyServerReply::refusal(REFUSAL_BAD_REQUEST, "the request is empty");
  // The serializer reads up to the first zero byte; a body that holds one
  // is not base 64, and none of it is read.
  if (body.find('\0') != std::string::npos)
    return KyServerReply::refusal(REFUSAL_BAD_REQUEST,
                                  "not an analysis request: the text is not base 64");
  const auto* text = reinterpret_cast<const unsigned char*>(body.c_str());
  // A first estimate from the text alone refuses most requests too large
  // to answer before any of them is read; the request read is checked
  // again below.
  const auto tooMuchWork = [this](std::uint64_t values) {
    return KyServerReply::refusal(REFUSAL_REQUEST_TOO_LARGE,
                                  "the answer would hold up to " + std::to_string(values) +
                                      " values; this service answers at most " +
                                      std::to_string(options_.maxAnswerValues));
  };
  std::uint64_t values = KyAnalysisWorkEstimate::answerValues(text);
  if (values > options_.maxAnswerValues)
    return tooMuchWork(values);
  if (!hold.grow(body.size() * kReadBytesPerBodyByte))
    return overBudget(hold.held() + body.size() * kReadBytesPerBodyByte);

  const std::unique_ptr<Answering, Disposal> objects(new Answering, Disposal{disposer_});
  std::unique_ptr<KyGraph>& graph = objects->graph;
  KyObjectTable& table = objects->table;
  KyServiceInputData& input = objects->input;
  const KyAnalysisSerializer serializer;
  std::wstring reason;
  if (serializer.pInputDataFromString(text, &table, &input, reason) == 0)
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
  values = KyAnalysisWorkEstimate::answerValues(input);
  if (values > options_.maxAnswerValues)
    return tooMuchWork(values);
  if (!hold.grow(values * kBytesPerAnswerValue))
    return overBudget(hold.held() + values * kBytesPerAnswerValue);

  KyServiceOutputData& output = objects->output;
  KyLocalAnalysisService().run(&input, &output, &stop);
  unsigned char* written = nullptr;
  unsigned long length = 0;
  int wrote = 0;
  if (!stop.requested()) {
    // A long answer takes a while to write: a stop asked meanwhile ends
    // the write too.
    const KyXMLWriteStop writeStop([&stop] { return stop.requested(); });
    wrote = serializer.pOutputDataToString(&output, &table, written, &length);
  }
  if (wrote == 0 && stop.requested()) {
    // Asked while the engine ran or while its answer was written: the
    // answer, however far it got, is not sent (it is freed with the
    // request); its code says why.
    facts.outcome = stop.reason() == KyAnalysisStop::WITHDRAWN ? "withdrawn" : "timeLimit";
    KyServiceOutputData stopped;
    stopped.pServiceName(new KyAnalysisServiceName);
    stopped.storeInteger(nullptr, KyAnalysisKey::errorCode, ANALYSIS_ERROR_STOPPED);
    wrote = serializer.pOutputDataToString(&stopped, &table, written, &length);
  }
  if (wrote == 0)
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

KyServerReply KyServerEndpoints::readiness(bool draining) const {
  // Nearly full: a tenth of the budget is left, too little for most
  // requests to be taken.
  const bool full = budget_.used() > budget_.limit() - budget_.limit() / 10;
  const char* status = draining ? "draining" : full ? "full" : "ready";
  KyServerReply reply;
  if (draining || full)
    reply.status = refusalOf(REFUSAL_SERVICE_BUSY).status;
  reply.body = nlohmann::json{{"status", status},
                              {"memoryUsed", budget_.used()},
                              {"memoryBudget", budget_.limit()}}
                   .dump() +
               "\n";
  return reply;
}

KyServerReply KyServerEndpoints::metrics(int connections) const {
  const KyServerWorkerPool::Load load = workers_.load();
  const bool ready = readiness(draining_).status == statusOk;
  KyServerReply reply;
  reply.contentType = "text/plain; version=0.0.4";
  reply.body = metrics_.text({load.workers, load.busy, load.queued, connections, budget_.used(),
                              budget_.limit(), log_.dropped(), ready});
  return reply;
}

std::string KyServerEndpoints::nextId() {
  char text[24];
  std::snprintf(text, sizeof text, "-%llx", ++ids_);
  return idPrefix_ + text;
}

void KyServerEndpoints::ended(const std::string& peer, const std::string& method,
                              const std::string& path, const KyServerRequestFacts& facts,
                              int status, std::size_t sent) {
  const auto took = std::chrono::steady_clock::now() - facts.start;
  metrics_.ended(status, facts.analysis, took, facts.received, sent);
  if (!log_.wanted())
    return;
  nlohmann::ordered_json line = {
      {"time", timestamp()},
      {"id", facts.id},
      {"peer", peer},
      {"method", method},
      {"path", path},
      {"analysis", facts.analysis},
      {"graph", facts.graphSize},
      {"status", status},
      {"ms", std::chrono::duration_cast<std::chrono::milliseconds>(took).count()},
      {"received", facts.received},
      {"sent", sent}};
  if (!facts.outcome.empty())
    line["outcome"] = facts.outcome;
  // Whatever a client sent (a path of control characters, bytes that are
  // not UTF-8) is escaped: a line is one line.
  log_.add(line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
}
