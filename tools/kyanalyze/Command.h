// Command: the frame every kyanalyze subcommand fits into.
#pragma once

#include <iosfwd>

namespace CLI {
class App;
} // namespace CLI

namespace kyanalyze {

/// Exit statuses of the tool.
enum ExitStatus {
  kExitOk = 0,
  /// Input could not be read or output could not be written.
  kExitFailure = 1,
  /// The command line is wrong: unknown option, subcommand or analysis.
  kExitUsage = 2
};

/// One subcommand. main() attaches every command to the command line and
/// runs the one the user chose once parsing has succeeded.
class Command {
public:
  virtual ~Command() = default;

  /// Adds the subcommand with its options and arguments to `app`; the
  /// parsed values land in the command itself.
  virtual CLI::App* attach(CLI::App& app) = 0;
  /// Does the work with the parsed values; results go to `out`,
  /// diagnostics to `err`. Returns the exit status.
  virtual int run(std::ostream& out, std::ostream& err) = 0;
};

} // namespace kyanalyze
