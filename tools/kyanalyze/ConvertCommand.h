// ConvertCommand: `kyanalyze convert IN OUT`, a graph from one format to another.
#pragma once

#include "Command.h"
#include "GraphOptions.h"

#include <string>
#include <vector>

namespace kyanalyze {

/// Turns a graph with its per-node and per-edge values from one format into
/// another, each known by its file name: an analysis document (.xml; the
/// columns become the options of the analysis --analysis names, with
/// --set on top), GraphML (.graphml), or an edge list (.csv with commas,
/// .tsv with tabs, anything else with blanks; the node columns go to the
/// node table --nodes-out names).
class ConvertCommand : public Command {
public:
  CLI::App* attach(CLI::App& app) override;
  /// kExitOk, with a note on `err` for what the output cannot hold;
  /// kExitUsage with one line for a wrong command line; kExitFailure with
  /// one line for a file that cannot be read or written.
  int run(std::ostream& out, std::ostream& err) override;

private:
  GraphOptions graph_;
  std::string output_;
  std::string nodesOut_;
  std::string analysis_;
  std::vector<std::string> settings_;
};

} // namespace kyanalyze
