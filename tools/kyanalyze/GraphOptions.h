// GraphOptions: the command-line options that say where a graph comes from,
// shared by the commands that read one.
#pragma once

#include <kyformats/KyGraphData.h>
#include <kyformats/KyGraphReadOptions.h>

#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
class Option;
} // namespace CLI

namespace kyanalyze {

/// --graph FILE, --nodes FILE, --delimiter D, --column OPTION=NAME,
/// --scale N and --undirected.
struct GraphOptions {
  std::string graph;
  std::string nodes;
  std::string delimiter;
  std::vector<std::string> columns;
  std::string scale;
  bool undirected = false;

  /// Adds the options to `command`; returns the --graph option.
  CLI::Option* attach(CLI::App& command);
  /// How the options say to read, as KyGraphReadOptions takes them; false,
  /// with one line in `error`, for a delimiter, a column mapping or a scale
  /// it refuses (an empty delimiter too).
  bool readOptions(KyGraphReadOptions& options, std::string& error) const;
  /// Reads the graph, then the node table, the options name; false, with
  /// one line in `error`, when a file cannot be read or is malformed.
  bool read(const KyGraphReadOptions& options, KyGraphData& data, std::string& error) const;
  /// Whether `output` would overwrite one of the input files.
  bool overwrites(const std::string& output) const;
  /// Writes each note as "kyanalyze: note: NOTE" to `err`.
  static void writeNotes(std::ostream& err, const std::vector<std::string>& notes);

private:
  CLI::Option* delimiterOption_ = nullptr;
};

} // namespace kyanalyze
