// Runs kyanalyze's show, encode and decode on the example document and on
// broken input: output, round trip, and one-line failures with status 1.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Outcome {
  int status = -1; // -1 when the process did not exit normally
  std::string out;
  std::string err;
};

std::string slurp(std::FILE* file) {
  std::fseek(file, 0, SEEK_END);
  std::string text(static_cast<std::size_t>(std::ftell(file)), '\0');
  std::rewind(file);
  text.resize(std::fread(text.data(), 1, text.size(), file));
  std::fclose(file);
  return text;
}

/// Runs kyanalyze with `args` and `input` on standard input.
Outcome run(std::vector<std::string> args, const std::string& input = "") {
  args.insert(args.begin(), KYANALYZE_PATH);
  std::vector<char*> argv;
  for (std::string& arg : args)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::FILE* in = std::tmpfile();
  std::fwrite(input.data(), 1, input.size(), in);
  std::rewind(in);
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  Outcome outcome;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(fileno(in), STDIN_FILENO);
    dup2(fileno(out), STDOUT_FILENO);
    dup2(fileno(err), STDERR_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
    outcome.status = WEXITSTATUS(status);
  std::fclose(in);
  outcome.out = slurp(out);
  outcome.err = slurp(err);
  return outcome;
}

std::string example() {
  const std::string source = __FILE__;
  return source.substr(0, source.rfind("tests/tools/")) + "docs/examples/request.xml";
}

TEST(RequestCommands, ShowPrintsTheExampleRequest) {
  const Outcome shown = run({"show", example()});
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_EQ(shown.err, "");
  for (const char* line :
       {"operation: clustering (20)\n", "graph: 4 nodes, 3 edges\n",
        "  clustering:edge:cost  query  5\n", "  clustering:node:weight  db  4\n",
        "  clustering:graph:balance  graph  0.75\n",
        "  differentClusters  priority 1  open: db queue\n"})
    EXPECT_NE(shown.out.find(line), std::string::npos) << line << shown.out;
}

TEST(RequestCommands, EncodeThenDecodeGivesADocumentThatShowsAlike) {
  const Outcome encoded = run({"encode", example()});
  ASSERT_EQ(encoded.status, 0) << encoded.err;
  ASSERT_EQ(encoded.out.find('\n'), encoded.out.size() - 1);
  const Outcome decoded = run({"decode"}, encoded.out);
  ASSERT_EQ(decoded.status, 0) << decoded.err;

  char path[] = "/tmp/kyanalyze-decodedXXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(write(fd, decoded.out.data(), decoded.out.size()),
            static_cast<ssize_t>(decoded.out.size()));
  close(fd);
  const Outcome again = run({"show", path});
  const Outcome original = run({"show", example()});
  std::remove(path);
  EXPECT_EQ(again.out, original.out);
}

TEST(RequestCommands, UnreadableInputGetsOneLineAndStatusOne) {
  const struct {
    std::vector<std::string> args;
    std::string input;
    std::string says;
  } cases[] = {
      {{"show", "/nonexistent/request.xml"}, "", "/nonexistent/request.xml: cannot be read"},
      {{"encode", "/nonexistent/request.xml"}, "", "cannot be read"},
      {{"show", KYANALYZE_PATH}, "", "line 1"},
      {{"decode"}, "not base 64!", "standard input: not valid base 64"},
      {{"decode"}, "PGRvY3VtZW50Lz4=", "standard input: "}, // <document/>
      {{"decode"}, "PHJlcXVlc3QvPg==", "standard input: "}, // <request/>
      {{"decode"}, "PGRvY3VtZW50", "standard input: "},     // <document
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.args[0] + " " + test.input);
    const Outcome outcome = run(test.args, test.input);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err.rfind("kyanalyze: ", 0), 0u) << outcome.err;
    EXPECT_NE(outcome.err.find(test.says), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
  }
}

} // namespace
