// `kyanalyze run` and `paths` with --service print what they print locally.
#include "support/KyProcess.h"
#include "support/KyServiceProcess.h"
#include "support/KyTestCertificate.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

TEST(ServiceCommandLine, RunAndPathsThroughAServicePrintTheLocalAnswer) {
  const kytest::TempFile token("road-token\n");
  kytest::ServiceProcess service({"--threads", "1", "--token-file", token.path()});
  ASSERT_TRUE(service.ok()) << service.log();
  const std::string roads = kytest::sourcePath("examples/roads.txt");
  const std::vector<std::vector<std::string>> commands = {
      {"run", "shortestPaths", "--graph", roads, "--set", "startNode=Ashby", "--set",
       "finishNode=Harlow", "--set", "undirected=1", "--json"},
      {"paths", "--graph", roads, "--from", "Ashby", "--to", "Harlow", "-k", "4"},
      {"run", "--request", kytest::sourcePath("docs/examples/request.xml")},
  };
  for (const auto& command : commands) {
    SCOPED_TRACE(command.front());
    const kytest::Outcome local = kytest::runProcess(KYANALYZE_PATH, command);
    std::vector<std::string> remote = command;
    remote.insert(remote.end(), {"--service", service.url(), "--token-file", token.path()});
    const kytest::Outcome answered = kytest::runProcess(KYANALYZE_PATH, remote);
    ASSERT_EQ(local.status, 0) << local.err;
    EXPECT_EQ(answered.status, 0) << answered.err;
    EXPECT_EQ(answered.out, local.out);
  }
  std::vector<std::string> unauthorized = commands.front();
  unauthorized.insert(unauthorized.end(), {"--service", service.url()});
  const kytest::Outcome refused = kytest::runProcess(KYANALYZE_PATH, unauthorized);
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("ANALYSIS_ERROR_UNAUTHORIZED"), std::string::npos) << refused.err;
}

TEST(ServiceCommandLine, AnAuthorityFileReachesAServiceOfItsOwnCertificate) {
  const kytest::TestCertificate certificate;
  kytest::ServiceProcess service(
      {"--threads", "1", "--tls-cert", certificate.certificate(), "--tls-key", certificate.key()});
  ASSERT_TRUE(service.ok()) << service.log();
  ASSERT_EQ(service.url().rfind("https://", 0), 0u) << service.url();
  const std::vector<std::string> command = {
      "paths",  "--graph",   kytest::sourcePath("examples/roads.txt"),
      "--from", "Ashby",     "--to",
      "Harlow", "--service", service.url()};
  const kytest::Outcome local =
      kytest::runProcess(KYANALYZE_PATH, {command.begin(), command.end() - 2});
  std::vector<std::string> trusting = command;
  trusting.insert(trusting.end(), {"--ca-file", certificate.certificate()});
  const kytest::Outcome answered = kytest::runProcess(KYANALYZE_PATH, trusting);
  EXPECT_EQ(answered.status, 0) << answered.err;
  EXPECT_EQ(answered.out, local.out);
  std::vector<std::string> distrusting = command;
  distrusting.insert(distrusting.end(), {"--retries", "0"});
  const kytest::Outcome refused = kytest::runProcess(KYANALYZE_PATH, distrusting);
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("ANALYSIS_ERROR_CANNOT_CONNECT"), std::string::npos) << refused.err;
}

TEST(ServiceCommandLine, AServiceThatNeverAnswersTimesOut) {
  // A socket that listens and never accepts: the system completes the
  // connection, and nothing ever comes back.
  const int listening = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listening, 4), 0);
  socklen_t length = sizeof address;
  getsockname(listening, reinterpret_cast<sockaddr*>(&address), &length);
  const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
  const kytest::Outcome outcome = kytest::runProcess(
      KYANALYZE_PATH, {"paths", "--graph", kytest::sourcePath("examples/roads.txt"), "--from",
                       "Ashby", "--to", "Harlow", "--service", url, "--timeout", "1"});
  close(listening);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("ANALYSIS_ERROR_TIMED_OUT"), std::string::npos) << outcome.err;
}

// The example is built unless the build leaves the examples out.
#ifdef KY_REMOTE_EXAMPLE_PATH
TEST(ServiceCommandLine, TheDocumentedExampleRunsAgainstAService) {
  kytest::ServiceProcess service({"--threads", "1"});
  ASSERT_TRUE(service.ok()) << service.log();
  const kytest::Outcome outcome = kytest::runProcess(KY_REMOTE_EXAMPLE_PATH, {service.url()});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "total cost 15 over 2 roads, by Carden\n");
}
#endif

} // namespace
