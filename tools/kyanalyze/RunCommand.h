// RunCommand: `kyanalyze run`, one analysis on the local engine.
#pragma once

#include "Command.h"

#include <string>
#include <vector>

namespace CLI {
class Option;
} // namespace CLI

namespace kyanalyze {

/// Builds a request (an analysis on a graph file with options from the
/// command line, or a request saved as an analysis document), has the
/// local engine answer it and prints the answer as text or JSON,
/// optionally drawing it on the graph in Graphviz form.
class RunCommand : public Command {
public:
  CLI::App* attach(CLI::App& app) override;
  /// kExitOk; kExitUsage with one line on `err` for a wrong command line
  /// (unknown analysis or option, a value that does not fit its option, a
  /// node name the graph lacks); kExitFailure with one line for a file that
  /// cannot be read or written, or an engine error code.
  int run(std::ostream& out, std::ostream& err) override;

private:
  std::string analysis_;
  std::string graph_;
  std::string request_;
  std::vector<std::string> settings_;
  std::string dot_;
  bool json_ = false;
};

} // namespace kyanalyze
