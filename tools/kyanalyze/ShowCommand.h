// ShowCommand: `kyanalyze show FILE`, the request an analysis document holds.
#pragma once

#include "Command.h"

#include <string>

namespace kyanalyze {

/// Prints the operation, the graph's size, every option with its owner's
/// name and value, and the clustering constraints of a document's request.
class ShowCommand : public Command {
public:
  CLI::App* attach(CLI::App& app) override;
  /// kExitOk, or kExitFailure with one line on `err` when the file cannot
  /// be read or is not an analysis document.
  int run(std::ostream& out, std::ostream& err) override;

private:
  std::string file_;
};

} // namespace kyanalyze
