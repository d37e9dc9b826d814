#include "GraphOptions.h"

#include "Text.h"

#include <kyformats/KyGraphReader.h>

#include <CLI/CLI.hpp>

#include <ostream>

namespace kyanalyze {

CLI::Option* GraphOptions::attach(CLI::App& command) {
  CLI::Option* option = command.add_option(
      "--graph", graph,
      "Graph: an edge list, GraphML (.graphml) or an analysis document (.xml); - reads "
      "standard input");
  command.add_option("--nodes", nodes, "Node table: a header 'node NAME...', then one node a line");
  delimiterOption_ = command.add_option(
      "--delimiter", delimiter,
      "Field separator of text tables: a character, tab or blank (default: detected)");
  command.add_option("--column", columns,
                     "OPTION=NAME: read the column or GraphML attribute NAME as the per-node or "
                     "per-edge option OPTION (cost=weight)");
  command.add_option("--scale", scale,
                     "Multiply every number of the columns by N (1 to 1000000000) and round, so "
                     "that fractional values read; answers are divided back");
  command.add_flag("--undirected", undirected, "Follow every edge both ways");
  return option;
}

bool GraphOptions::readOptions(KyGraphReadOptions& options, std::string& error) const {
  if (delimiterOption_ != nullptr && delimiterOption_->count() > 0 &&
      !options.setDelimiter(delimiter, error))
    return false;
  for (const std::string& column : columns)
    if (!options.mapColumn(column, error))
      return false;
  return scale.empty() || options.setScale(scale, error);
}

bool GraphOptions::read(const KyGraphReadOptions& options, KyGraphData& data,
                        std::string& error) const {
  const KyGraphReader reader(options);
  return reader.readFile(graph, data, error) &&
         (nodes.empty() || reader.readNodeTableFile(nodes, data, error));
}

bool GraphOptions::overwrites(const std::string& output) const {
  return sameFile(output, graph) || (!nodes.empty() && sameFile(output, nodes));
}

void GraphOptions::writeNotes(std::ostream& err, const std::vector<std::string>& notes) {
  for (const std::string& note : notes)
    err << "kyanalyze: note: " << note << '\n';
}

} // namespace kyanalyze
