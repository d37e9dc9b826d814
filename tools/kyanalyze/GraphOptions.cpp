#include "GraphOptions.h"

#include "Text.h"

#include <kyformats/KyGraphReader.h>

#include <CLI/CLI.hpp>

namespace kyanalyze {

CLI::Option* GraphOptions::attach(CLI::App& command) {
  CLI::Option* option = command.add_option(
      "--graph", graph,
      "Graph: an edge list, GraphML (.graphml) or an analysis document (.xml); - reads "
      "standard input");
  command.add_option("--nodes", nodes, "Node table: a header 'node NAME...', then one node a line");
  command.add_option("--delimiter", delimiter,
                     "Field separator of text tables: a character, tab or blank (default: "
                     "detected)");
  command.add_flag("--undirected", undirected, "Follow every edge both ways");
  return option;
}

bool GraphOptions::readOptions(KyGraphReadOptions& options, std::string& error) const {
  if (delimiter.empty())
    options.delimiter = 0;
  else if (delimiter == "tab" || delimiter == "\t")
    options.delimiter = '\t';
  else if (delimiter == "blank" || delimiter == " ")
    options.delimiter = ' ';
  else if (delimiter.size() == 1 && delimiter != "\"" && delimiter != "#" &&
           static_cast<unsigned char>(delimiter[0]) > 0x20 &&
           static_cast<unsigned char>(delimiter[0]) < 0x7F)
    options.delimiter = delimiter[0];
  else {
    error = "--delimiter '" + escaped(delimiter) +
            "': expected one character other than a quote or '#', tab or blank";
    return false;
  }
  return true;
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

} // namespace kyanalyze
