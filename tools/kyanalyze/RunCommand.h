// RunCommand: `kyanalyze run`, one analysis on the local engine.
#pragma once

#include "Command.h"
#include "GraphOptions.h"
#include "ServiceChoice.h"

#include <string>
#include <vector>

namespace kyanalyze {

/// Builds a request (an analysis on a graph file with options from the
/// command line, or a request saved as an analysis document), has the
/// local engine answer it and prints the answer as text, JSON or CSV,
/// optionally drawing it on the graph in Graphviz form.
class RunCommand : public Command {
public:
  CLI::App* attach(CLI::App& app) override;
  /// kExitOk; kExitUsage with one line on `err` for a wrong command line
  /// (unknown analysis or option, a value that does not fit its option, a
  /// node name the graph lacks, an option value the engine refuses);
  /// kExitFailure with one line for a file that cannot be read or written,
  /// or another engine error code.
  int run(std::ostream& out, std::ostream& err) override;

private:
  std::string analysis_;
  GraphOptions graph_;
  std::string request_;
  std::vector<std::string> settings_;
  std::string dot_;
  bool json_ = false;
  bool csv_ = false;
  ServiceChoice service_;
};

} // namespace kyanalyze
