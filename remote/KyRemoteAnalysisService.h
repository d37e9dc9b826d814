// KyRemoteAnalysisService: the analysis service of another process, over HTTP.
#pragma once

#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyplatform/KyObject.h>
#include <kyremote/KyRemoteExport.h>

#include <string>

class KyServiceInputData;
class KyServiceOutputData;

/// Has an analysis service (`kyanalyze serve`) answer requests, with the
/// contract of KyLocalAnalysisService::run(): the request goes out as the
/// serializer's base-64 string in the body of POST URL/v1/run, the answer
/// comes back as a document of its own and is read into the output data,
/// its results on the caller's own graph, nodes, edges and constraints (the
/// request is written with a table of identifiers, and the answer read back
/// through it).
///
/// Settings, each a getter and a setter that returns the value given:
/// - pUrl(): "http://HOST:PORT" or "https://HOST:PORT", optionally followed
///   by a path that the service's own paths extend ("https://host/analysis"
///   posts to /analysis/v1/run); an IPv6 host goes in brackets.
/// - pToken(): sent as "Authorization: Bearer TOKEN" when not empty.
/// - connectTimeLimit(), readTimeLimit(): in milliseconds, the longest wait
///   for the connection, and for the next bytes while sending the request
///   or waiting for the answer (an analysis that runs longer than this on
///   the service times out). 10 000 and 300 000 at first.
/// - verifyingCertificate(): 1 at first: an https service must show a
///   certificate for its host name that a trusted authority signed; 0
///   accepts any certificate (testing only).
/// - pCertificateAuthorityFile(): a PEM file of the authorities to trust
///   instead of the system's; empty at first.
/// - retries(): how many times a request is sent again when that is safe:
///   no connection could be made, the service was busy (503; after its
///   Retry-After, at most 10 s), or the connection broke off before the
///   answer, the client's or, as a balancer in front tells with 502, the
///   balancer's to the service (the service keeps nothing of a request, so
///   none is done twice); never after a time limit. Waits 100 ms before the
///   first, twice as long before each next one, up to 2 s. 0 at first.
///
/// The object keeps no state between runs and opens a connection per run;
/// one object may serve several threads at once while its settings stay
/// unchanged. Copies carry the settings.
class KYREMOTE_EXPORT KyRemoteAnalysisService : public KyObject {
public:
  KyRemoteAnalysisService();
  /// With pUrl() set to `url`.
  explicit KyRemoteAnalysisService(const wchar_t* url);
  KyRemoteAnalysisService(const KyRemoteAnalysisService&);
  KyRemoteAnalysisService& operator=(const KyRemoteAnalysisService&);
  ~KyRemoteAnalysisService() override;

  /// Has the service answer the request in `input` into `output` and
  /// returns the outcome (KyAnalysisErrorEnum), which is also stored under
  /// "errorCode".
  ///
  /// As KyLocalAnalysisService::run(): the output data is emptied first
  /// (its service name stays; a KyAnalysisServiceName is attached when it
  /// has none) and then holds the answer, which refers to the caller's
  /// graph and its members and owns everything else (the path graph of a
  /// sorted-paths answer, lists, numbers); on any failure it holds
  /// "errorCode" alone ("errorOption" beside code 13, as the engine
  /// answers). With a null output data nothing is stored and only
  /// the code is returned. The input data is left exactly as it was,
  /// service name included, whatever happens. A request without a graph
  /// is answered without the service, with the engine's code for it.
  ///
  /// Codes beyond the engine's: ANALYSIS_ERROR_INVALID_OPTION when the
  /// request cannot be written (a value that does not fit its option);
  /// ANALYSIS_ERROR_CANNOT_CONNECT, _TIMED_OUT, _UNAUTHORIZED,
  /// _REQUEST_TOO_LARGE, _SERVICE_BUSY, _UNREADABLE_ANSWER and
  /// _REQUEST_REFUSED when the request did not reach the service or its
  /// answer did not come back. Cost: the service's, plus O(size of the
  /// request and of the answer) to write, send and read them.
  int run(KyServiceInputData* input, KyServiceOutputData* output) const;

  const wchar_t* pUrl() const { return url_.c_str(); }
  const wchar_t* pUrl(const wchar_t* url);
  const wchar_t* pToken() const { return token_.c_str(); }
  const wchar_t* pToken(const wchar_t* token);
  int connectTimeLimit() const { return connectTimeLimit_; }
  int connectTimeLimit(int milliseconds) { return connectTimeLimit_ = milliseconds; }
  int readTimeLimit() const { return readTimeLimit_; }
  int readTimeLimit(int milliseconds) { return readTimeLimit_ = milliseconds; }
  int verifyingCertificate() const { return verifyingCertificate_; }
  int verifyingCertificate(int verifying) { return verifyingCertificate_ = verifying; }
  const wchar_t* pCertificateAuthorityFile() const { return authorityFile_.c_str(); }
  const wchar_t* pCertificateAuthorityFile(const wchar_t* path);
  int retries() const { return retries_; }
  int retries(int times) { return retries_ = times; }

  static KyRemoteAnalysisService* castDown(const KyObject* object) {
    return static_cast<KyRemoteAnalysisService*>(const_cast<KyObject*>(object));
  }

private:
  std::wstring url_;
  std::wstring token_;
  int connectTimeLimit_ = 10000;
  int readTimeLimit_ = 300000;
  int verifyingCertificate_ = 1;
  std::wstring authorityFile_;
  int retries_ = 0;
};
