#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisRequestCheck.h>
#include <kyanalysis/KyAnalysisSerializer.h>
#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyanalysis/KyAnalysisWireContract.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyObjectTable.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyUtf8.h>
#include <kyremote/KyRemoteAnalysisService.h>

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <ctime>
#include <memory>
#include <new>
#include <pthread.h>
#include <regex>
#include <string>
#include <thread>

namespace {

/// Where the requests go: the scheme, host and port httplib connects to,
/// and the path of the run endpoint.
struct Endpoint {
  std::string origin;
  std::string runPath;
  bool tls = false;
};

bool parseUrl(const std::wstring& url, Endpoint& endpoint) {
  static const std::regex form(
      R"(^(https?)://(\[[0-9A-Fa-f:.]+\]|[^/:?#\[\]@]+)(:[0-9]{1,5})?(/[^?#]*)?$)");
  const std::string text = KyUtf8::fromWide(url);
  std::smatch parts;
  if (!std::regex_match(text, parts, form))
    return false;
  endpoint.tls = parts[1] == "https";
  endpoint.origin = parts[1].str() + "://" + parts[2].str() + parts[3].str();
  std::string path = parts[4].str();
  while (!path.empty() && path.back() == '/')
    path.pop_back();
  endpoint.runPath = path + KyAnalysisWireContract::runPath;
  return true;
}

/// Keeps SIGPIPE from the calling thread while a request is under way: a
/// write to a connection the service has closed must fail, not end the
/// caller's process. A SIGPIPE raised meanwhile is taken back before the
/// thread's signal mask is restored.
class SigpipeGuard {
public:
  SigpipeGuard() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    alreadyPending_ = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipe_, &previous_);
  }
  ~SigpipeGuard() {
    if (!alreadyPending_) {
      const timespec none{0, 0};
      while (sigtimedwait(&pipe_, nullptr, &none) == SIGPIPE) {
      }
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  SigpipeGuard(const SigpipeGuard&) = delete;
  SigpipeGuard& operator=(const SigpipeGuard&) = delete;

private:
  sigset_t pipe_;
  sigset_t previous_;
  bool alreadyPending_ = false;
};

/// The code for a request that got no HTTP answer.
int transportFailure(httplib::Error error, bool tookTheTimeLimit) {
  switch (error) {
  case httplib::Error::ConnectionTimeout:
    return ANALYSIS_ERROR_TIMED_OUT;
  case httplib::Error::Read:
  case httplib::Error::Write:
    // httplib says no more than that the connection failed: a failure
    // after the whole time limit is the limit's.
    return tookTheTimeLimit ? ANALYSIS_ERROR_TIMED_OUT : ANALYSIS_ERROR_UNREADABLE_ANSWER;
  default:
    return ANALYSIS_ERROR_CANNOT_CONNECT;
  }
}

/// How long to wait before attempt `attempt` + 2: 100 ms, doubled with
/// each attempt up to 2 s, or the seconds of the service's Retry-After (at
/// most 10).
std::chrono::milliseconds backoff(int attempt, const std::string& retryAfter) {
  if (!retryAfter.empty() && retryAfter.size() <= 2 &&
      retryAfter.find_first_not_of("0123456789") == std::string::npos)
    return std::chrono::seconds(std::min(std::stoi(retryAfter), 10));
  return std::chrono::milliseconds(100 << std::min(attempt, 4));
}

void setTimeLimit(int milliseconds, void (httplib::Client::*set)(time_t, time_t),
                  httplib::Client& client) {
  const int limit = milliseconds > 0 ? milliseconds : 0;
  (client.*set)(limit / 1000, (limit % 1000) * 1000);
}

} // namespace

KyRemoteAnalysisService::KyRemoteAnalysisService() = default;
KyRemoteAnalysisService::KyRemoteAnalysisService(const wchar_t* url) { pUrl(url); }
KyRemoteAnalysisService::KyRemoteAnalysisService(const KyRemoteAnalysisService&) = default;
KyRemoteAnalysisService&
KyRemoteAnalysisService::operator=(const KyRemoteAnalysisService&) = default;
KyRemoteAnalysisService::~KyRemoteAnalysisService() = default;

const wchar_t* KyRemoteAnalysisService::pUrl(const wchar_t* url) {
  url_ = url != nullptr ? url : L"";
  return url;
}

const wchar_t* KyRemoteAnalysisService::pToken(const wchar_t* token) {
  token_ = token != nullptr ? token : L"";
  return token;
}

const wchar_t* KyRemoteAnalysisService::pCertificateAuthorityFile(const wchar_t* path) {
  authorityFile_ = path != nullptr ? path : L"";
  return path;
}

int KyRemoteAnalysisService::run(KyServiceInputData* input, KyServiceOutputData* output) const {
  if (output == nullptr)
    return input == nullptr ? ANALYSIS_ERROR_NO_INPUT_DATA : ANALYSIS_ERROR_NO_OUTPUT_DATA;
  output->removeAllValues();
  if (output->pServiceName() == nullptr)
    output->pServiceName(new KyAnalysisServiceName);
  auto answerAlone = [output](int code) {
    output->removeAllValues();
    output->storeOwned(nullptr, KyAnalysisKey::errorCode, new KyInt(code));
    return code;
  };
  if (input == nullptr)
    return answerAlone(ANALYSIS_ERROR_NO_INPUT_DATA);

  // Without a graph a request cannot travel: its options name a graph the
  // document would lack. It is answered here as the engine answers it.
  if (dynamic_cast<const KyGraph*>(input->pValue(nullptr, KyAnalysisKey::all::noneGraph)) ==
      nullptr)
    return answerAlone(KyAnalysisRequestCheck::outcome(*input));
  try {
    // The request names the caller's objects by the identifiers of this
    // table; the answer is read back through it.
    KyObjectTable table;
    const KyAnalysisSerializer serializer;
    unsigned char* written = nullptr;
    unsigned long length = 0;
    const bool hadServiceName = input->pServiceName() != nullptr;
    const int made = serializer.pInputDataToString(input, &table, written, &length);
    // The serializer attached a name the caller did not have: take it back.
    if (!hadServiceName)
      input->pServiceName(nullptr);
    if (made == 0)
      return answerAlone(ANALYSIS_ERROR_INVALID_OPTION);
    const std::unique_ptr<unsigned char[]> request(written);

    Endpoint endpoint;
    if (!parseUrl(url_, endpoint))
      return answerAlone(ANALYSIS_ERROR_CANNOT_CONNECT);
    httplib::Client client(endpoint.origin);
    if (!client.is_valid())
      return answerAlone(ANALYSIS_ERROR_CANNOT_CONNECT);
    setTimeLimit(connectTimeLimit_, &httplib::Client::set_connection_timeout, client);
    setTimeLimit(readTimeLimit_, &httplib::Client::set_read_timeout, client);
    setTimeLimit(readTimeLimit_, &httplib::Client::set_write_timeout, client);
    // Headers and body go out in separate writes, which Nagle's algorithm
    // would hold until the service's delayed acknowledgement.
    client.set_tcp_nodelay(true);
    if (!token_.empty())
      client.set_bearer_token_auth(KyUtf8::fromWide(token_));
    if (endpoint.tls) {
      client.enable_server_certificate_verification(verifyingCertificate_ != 0);
      if (!authorityFile_.empty())
        client.set_ca_cert_path(KyUtf8::fromWide(authorityFile_));
    }

    // A request may be sent again whenever nothing of it can have been
    // kept: the service holds no state between requests, so even one that
    // broke off mid-run is safe to send once more. Not after a time limit:
    // the service may still be at work on it.
    auto start = std::chrono::steady_clock::now();
    const auto post = [&] {
      const SigpipeGuard guard;
      start = std::chrono::steady_clock::now();
      return client.Post(endpoint.runPath, reinterpret_cast<const char*>(request.get()), length,
                         KyAnalysisWireContract::stringContentType);
    };
    httplib::Result answer = post();
    for (int attempt = 0;; ++attempt) {
      if (attempt > 0)
        answer = post();
      int failed = ANALYSIS_ERROR_NONE;
      if (!answer)
        failed = transportFailure(answer.error(), std::chrono::steady_clock::now() - start >=
                                                      std::chrono::milliseconds(readTimeLimit_));
      else if (answer->status != KyAnalysisWireContract::statusOk)
        failed = KyAnalysisWireContract::outcomeOfStatus(answer->status);
      if (failed == ANALYSIS_ERROR_NONE)
        break;
      const bool again = failed == ANALYSIS_ERROR_CANNOT_CONNECT ||
                         failed == ANALYSIS_ERROR_SERVICE_BUSY ||
                         failed == ANALYSIS_ERROR_UNREADABLE_ANSWER ||
                         (answer && answer->status == KyAnalysisWireContract::statusBadGateway);
      if (!again || attempt >= retries_)
        return answerAlone(failed);
      std::this_thread::sleep_for(backoff(
          attempt, answer ? answer->get_header_value(KyAnalysisWireContract::retryAfterHeader)
                          : std::string()));
    }
    if (serializer.pOutputDataFromString(
            reinterpret_cast<const unsigned char*>(answer->body.c_str()), &table, output) == 0)
      return answerAlone(ANALYSIS_ERROR_UNREADABLE_ANSWER);
    const auto* code =
        dynamic_cast<const KyInt*>(output->pValue(nullptr, KyAnalysisKey::errorCode));
    if (code == nullptr)
      return answerAlone(ANALYSIS_ERROR_UNREADABLE_ANSWER);
    return code->value();
  } catch (const std::bad_alloc&) {
    return answerAlone(ANALYSIS_ERROR_OUT_OF_MEMORY);
  }
}
