// EncodeCommand: `kyanalyze encode FILE`, the base-64 form of a document's request.
#pragma once

#include "Command.h"

#include <string>

namespace kyanalyze {

/// Reads an analysis document and prints, on one line, the base-64 string
/// the analysis serializer makes of its request: what travels between
/// processes.
class EncodeCommand : public Command {
public:
  CLI::App* attach(CLI::App& app) override;
  /// kExitOk, or kExitFailure with one line on `err` when the file cannot
  /// be read or is not an analysis document.
  int run(std::ostream& out, std::ostream& err) override;

private:
  std::string file_;
};

} // namespace kyanalyze
