// Starting, stopping and losing a service; TLS; the addresses it refuses.
#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyremote/KyRemoteAnalysisService.h>

#include "remote/KyRemoteTesting.h"
#include "remote/KyServiceHealth.h"
#include "support/KyProcess.h"
#include "support/KyServiceProcess.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <memory>
#include <thread>

namespace {

using kytest::RemoteCase;
using kytest::Renderer;
using kytest::RequestSnapshot;

TEST(ServiceLifecycle, AServiceKilledMidRequestLeavesTheCallersDataAsItWas) {
  kytest::ServiceProcess service({"--threads", "1"});
  ASSERT_TRUE(service.ok()) << service.log();
  RemoteCase heavy(OPERATION_ALL_PAIRS_SHORTEST_PATHS, 300, 1200, 11u);
  const RequestSnapshot before(heavy);
  KyServiceOutputData output;
  output.storeOwned(nullptr, KyAnalysisKey::errorCode, new KyInt(0));
  int code = -1;
  std::thread caller([&] {
    code = KyRemoteAnalysisService(service.wideUrl().c_str()).run(&heavy.input, &output);
  });
  ASSERT_TRUE(kytest::awaitLoad(service, 1, 0));
  service.kill();
  caller.join();
  EXPECT_EQ(code, ANALYSIS_ERROR_UNREADABLE_ANSWER);
  EXPECT_EQ(output.numberOfValues(), 1);
  EXPECT_EQ(output.getValueAsInteger(nullptr, KyAnalysisKey::errorCode), code);
  EXPECT_TRUE(RequestSnapshot(heavy) == before);
  EXPECT_EQ(KyRemoteAnalysisService(service.wideUrl().c_str()).run(&heavy.input, &output),
            ANALYSIS_ERROR_CANNOT_CONNECT);
}

TEST(ServiceLifecycle, SigtermAnswersTheRequestsInFlightThenExitsZero) {
  kytest::ServiceProcess service({"--threads", "1", "--queue", "4"});
  ASSERT_TRUE(service.ok()) << service.log();
  constexpr int kRequests = 3;
  std::vector<std::unique_ptr<RemoteCase>> cases;
  std::vector<KyServiceOutputData> answers(kRequests);
  std::vector<int> codes(kRequests, -1);
  std::vector<std::thread> callers;
  for (int i = 0; i < kRequests; ++i)
    cases.push_back(std::make_unique<RemoteCase>(OPERATION_ALL_PAIRS_SHORTEST_PATHS, 200, 800,
                                                 20u + static_cast<unsigned>(i)));
  for (int i = 0; i < kRequests; ++i)
    callers.emplace_back([&, i] {
      codes[i] =
          KyRemoteAnalysisService(service.wideUrl().c_str()).run(&cases[i]->input, &answers[i]);
    });
  ASSERT_TRUE(kytest::awaitLoad(service, 1, kRequests - 1));
  EXPECT_EQ(service.stop(), 0) << service.log();
  for (std::thread& caller : callers)
    caller.join();
  for (int i = 0; i < kRequests; ++i) {
    EXPECT_EQ(codes[i], ANALYSIS_ERROR_NONE) << "request " << i;
    KyServiceOutputData local;
    KyLocalAnalysisService().run(&cases[i]->input, &local);
    EXPECT_EQ(answers[i].numberOfValues(), local.numberOfValues());
  }
  EXPECT_NE(service.log().find("stopped"), std::string::npos);
}

/// A self-signed certificate for 127.0.0.1 and its key, in PEM files.
class TestCertificate {
public:
  TestCertificate() {
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(EVP_EC_gen("P-256"), EVP_PKEY_free);
    std::unique_ptr<X509, decltype(&X509_free)> certificate(X509_new(), X509_free);
    X509* x509 = certificate.get();
    X509_set_version(x509, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(x509), 1);
    X509_gmtime_adj(X509_getm_notBefore(x509), -60);
    X509_gmtime_adj(X509_getm_notAfter(x509), 3600);
    X509_set_pubkey(x509, key.get());
    X509_NAME* name = X509_get_subject_name(x509);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
    X509_set_issuer_name(x509, name);
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, x509, x509, nullptr, nullptr, 0);
    for (const auto& [nid, value] : {std::pair{NID_subject_alt_name, "IP:127.0.0.1"},
                                     std::pair{NID_basic_constraints, "critical,CA:TRUE"}}) {
      X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
      X509_add_ext(x509, extension, -1);
      X509_EXTENSION_free(extension);
    }
    X509_sign(x509, key.get(), EVP_sha256());
    std::FILE* out = std::fopen(certificate_.path().c_str(), "w");
    PEM_write_X509(out, x509);
    std::fclose(out);
    out = std::fopen(key_.path().c_str(), "w");
    PEM_write_PrivateKey(out, key.get(), nullptr, nullptr, 0, nullptr, nullptr);
    std::fclose(out);
  }
  const std::string& certificate() const { return certificate_.path(); }
  const std::string& key() const { return key_.path(); }

private:
  kytest::TempFile certificate_{"", ".pem"};
  kytest::TempFile key_{"", ".pem"};
};

TEST(ServiceLifecycle, TlsWithATrustedCertificateAndAClientThatRefusesAnUnknownOne) {
  const TestCertificate certificate;
  kytest::ServiceProcess service(
      {"--threads", "1", "--tls-cert", certificate.certificate(), "--tls-key", certificate.key()});
  ASSERT_TRUE(service.ok()) << service.log();
  ASSERT_EQ(service.url().rfind("https://", 0), 0u);
  const std::wstring file(certificate.certificate().begin(), certificate.certificate().end());

  KyRemoteAnalysisService trusting(service.wideUrl().c_str());
  trusting.pCertificateAuthorityFile(file.c_str());
  KyRemoteAnalysisService unverifying(service.wideUrl().c_str());
  unverifying.verifyingCertificate(0);
  const KyRemoteAnalysisService refusing(service.wideUrl().c_str());
  struct Case {
    const char* name;
    const KyRemoteAnalysisService* service;
    int code;
  };
  for (const Case& test :
       {Case{"trusting the certificate", &trusting, ANALYSIS_ERROR_NONE},
        Case{"not verifying", &unverifying, ANALYSIS_ERROR_NONE},
        Case{"an unknown certificate", &refusing, ANALYSIS_ERROR_CANNOT_CONNECT}}) {
    SCOPED_TRACE(test.name);
    RemoteCase c(OPERATION_MINIMUM_SPANNING_TREE, 8, 12, 30u);
    const RequestSnapshot before(c);
    KyServiceOutputData remote, local;
    EXPECT_EQ(test.service->run(&c.input, &remote), test.code);
    EXPECT_TRUE(RequestSnapshot(c) == before);
    if (test.code == ANALYSIS_ERROR_NONE) {
      KyLocalAnalysisService().run(&c.input, &local);
      const Renderer renderer(c.graph, c.input);
      EXPECT_EQ(renderer.lines(remote), renderer.lines(local));
    }
  }
}

TEST(ServiceLifecycle, ServeRefusesWhatItCannotDoSafely) {
  const kytest::TempFile token("t0ken\n");
  const kytest::TempFile empty("\n");
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"all interfaces, nothing else", {"--listen", "0.0.0.0:8080"}, 2, "beyond this machine"},
      {"all interfaces with a token only",
       {"--listen", "0.0.0.0:8080", "--token-file", token.path()},
       2,
       "beyond this machine"},
      {"an address without port", {"--listen", "127.0.0.1"}, 2, "HOST:PORT"},
      {"a port out of range", {"--listen", "127.0.0.1:70000"}, 2, "HOST:PORT"},
      {"a certificate without key", {"--tls-cert", token.path()}, 2, "--tls-key"},
      {"a token file that is missing",
       {"--listen", "127.0.0.1:0", "--token-file", "/nonexistent"},
       1,
       "cannot be read"},
      {"an empty token file",
       {"--listen", "127.0.0.1:0", "--token-file", empty.path()},
       1,
       "no token"},
      {"a certificate that is no certificate",
       {"--listen", "127.0.0.1:0", "--tls-cert", token.path(), "--tls-key", token.path()},
       1,
       "cannot be read"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    std::vector<std::string> args = test.args;
    args.insert(args.begin(), "serve");
    const kytest::Outcome outcome = kytest::runProcess(KYANALYZE_PATH, args);
    EXPECT_EQ(outcome.status, test.status) << outcome.err;
    EXPECT_NE(outcome.err.find(test.message), std::string::npos) << outcome.err;
  }
}

TEST(ServiceLifecycle, APortInUseIsRefusedAndItsServiceKeepsAnswering) {
  kytest::ServiceProcess first;
  ASSERT_TRUE(first.ok()) << first.log();
  // Bounded: a second service that did listen would never end.
  const kytest::Outcome second =
      kytest::runProcess("/usr/bin/timeout", {"10", KYANALYZE_PATH, "serve", "--listen",
                                              "127.0.0.1:" + std::to_string(first.port())});
  EXPECT_EQ(second.status, 1) << second.err;
  EXPECT_NE(second.err.find("cannot listen on"), std::string::npos) << second.err;
  kytest::RemoteCase c(OPERATION_SHORTEST_PATHS, 8, 12, 1);
  KyServiceOutputData answer;
  EXPECT_EQ(KyRemoteAnalysisService(first.wideUrl().c_str()).run(&c.input, &answer),
            ANALYSIS_ERROR_NONE);
  EXPECT_EQ(first.stop(), 0);
}

} // namespace
