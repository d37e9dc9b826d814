// Runs a program in a child process and captures what it prints: a test
// helper for command-line tools.
#pragma once

#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace kytest {

struct Outcome {
  int status = -1; // -1 when the process did not exit normally
  std::string out;
  std::string err;
};

/// Reads the whole of `file` and closes it.
inline std::string slurp(std::FILE* file) {
  std::fseek(file, 0, SEEK_END);
  std::string text(static_cast<std::size_t>(std::ftell(file)), '\0');
  std::rewind(file);
  text.resize(std::fread(text.data(), 1, text.size(), file));
  std::fclose(file);
  return text;
}

/// Runs `program` with `args` and `input` on standard input. Standard output
/// and error go to temporary files so that neither can block the other.
inline Outcome runProcess(const std::string& program, std::vector<std::string> args,
                          const std::string& input = "") {
  args.insert(args.begin(), program);
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

} // namespace kytest
