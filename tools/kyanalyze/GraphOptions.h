// GraphOptions: the command-line options that say where a graph comes from,
// shared by the commands that read one.
#pragma once

#include <kyformats/KyGraphData.h>
#include <kyformats/KyGraphReadOptions.h>

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
  /// How the options say to read; false, with one line in `error`, for a
  /// delimiter that is none of ",", ";", "|", "tab", "blank" or a single
  /// character other than a quote or "#".
  bool readOptions(KyGraphReadOptions& options, std::string& error) const;
  /// Reads the graph, then the node table, the options name; false, with
  /// one line in `error`, when a file cannot be read or is malformed.
  bool read(const KyGraphReadOptions& options, KyGraphData& data, std::string& error) const;
  /// Whether `output` would overwrite one of the input files.
  bool overwrites(const std::string& output) const;
};

} // namespace kyanalyze
