// Runs a program in a child process and captures what it prints, and holds
// the files it reads and writes: test helpers for command-line tools.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
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

/// The path of `path`, given from the source tree's root. The build names
/// the root (KY_SOURCE_DIR): __FILE__ may be relative to the build tree, as
/// a compiler cache makes it, which is no place to start from.
inline std::string sourcePath(const std::string& path) { return KY_SOURCE_DIR "/" + path; }

/// A temporary file holding `text`, removed with the object.
class TempFile {
public:
  explicit TempFile(const std::string& text, const std::string& suffix = ".txt") {
    char pattern[] = "/tmp/kyanalyze-testXXXXXX";
    close(mkstemp(pattern));
    std::remove(pattern);
    path_ = pattern + suffix;
    std::ofstream(path_, std::ios::binary) << text;
  }
  ~TempFile() { std::remove(path_.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::string& path() const { return path_; }
  std::string read() const {
    std::ifstream in(path_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

private:
  std::string path_;
};

} // namespace kytest
