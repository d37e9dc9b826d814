// PathsCommand: `kyanalyze paths`, the k cheapest paths between two nodes.
#pragma once

#include "Command.h"
#include "GraphOptions.h"
#include "ServiceChoice.h"

#include <string>

namespace kyanalyze {

/// Runs a sorted-paths analysis on a graph file and prints its cheapest
/// paths from one node to another, one a line as "a -> b -> c  (cost 7)",
/// or as JSON.
class PathsCommand : public Command {
public:
  CLI::App* attach(CLI::App& app) override;
  /// kExitOk (also when no path joins the nodes); kExitUsage with one line
  /// on `err` for a node name the graph lacks or an option value the engine
  /// refuses; kExitFailure with one line for a file that cannot be read or
  /// another engine error code.
  int run(std::ostream& out, std::ostream& err) override;

private:
  GraphOptions graph_;
  std::string from_;
  std::string to_;
  int limit_ = 10;
  bool json_ = false;
  ServiceChoice service_;
};

} // namespace kyanalyze
