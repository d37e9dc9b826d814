// GraphOptions: the command-line options that say where a graph comes from,
// shared by the commands that read one.
#pragma once

#include "GraphInput.h"

#include <string>

namespace CLI {
class App;
class Option;
} // namespace CLI

namespace kyanalyze {

/// --graph FILE, --nodes FILE, --delimiter D and --undirected.
struct GraphOptions {
  std::string graph;
  std::string nodes;
  std::string delimiter;
  bool undirected = false;

  /// Adds the options to `command`; returns the --graph option.
  CLI::Option* attach(CLI::App& command);
  /// The source the options name; false, with one line in `error`, for a
  /// delimiter that is none of ",", ";", "|", "tab", "blank" or a
  /// single character other than a quote or "#".
  bool source(GraphSource& source, std::string& error) const;
  /// Whether `output` would overwrite one of the input files.
  bool overwrites(const std::string& output) const;
};

} // namespace kyanalyze
