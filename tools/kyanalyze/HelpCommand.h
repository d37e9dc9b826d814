// HelpCommand: `kyanalyze help [COMMAND]`, the help of the tool or a command.
#pragma once

#include "Command.h"

#include <string>

namespace kyanalyze {

/// Prints the help that --help prints, of the whole tool or of one command.
class HelpCommand : public Command {
public:
  CLI::App* attach(CLI::App& app) override;
  /// kExitOk, or kExitUsage with one line on `err` for an unknown command.
  int run(std::ostream& out, std::ostream& err) override;

private:
  CLI::App* app_ = nullptr;
  std::string command_;
};

} // namespace kyanalyze
