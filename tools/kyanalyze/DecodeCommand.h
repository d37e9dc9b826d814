// DecodeCommand: `kyanalyze decode`, base 64 on standard input to a document.
#pragma once

#include "Command.h"

#include <iosfwd>

namespace kyanalyze {

/// Reads a base-64 request from standard input (white space anywhere is
/// skipped) and prints the analysis document it holds, indented. Only a
/// string that reads as a whole analysis request is printed.
class DecodeCommand : public Command {
public:
  /// Reads from `in`; main() gives standard input.
  explicit DecodeCommand(std::istream& in) : in_(in) {}
  CLI::App* attach(CLI::App& app) override;
  /// kExitOk, or kExitFailure with one line on `err` when the input is not
  /// base 64 or not an analysis document.
  int run(std::ostream& out, std::ostream& err) override;

private:
  std::istream& in_;
};

} // namespace kyanalyze
