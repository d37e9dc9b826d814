// `kyanalyze run` and `paths` with --service print what they print locally.
#include "support/KyProcess.h"
#include "support/KyServiceProcess.h"

#include <gtest/gtest.h>

#include <string>
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
