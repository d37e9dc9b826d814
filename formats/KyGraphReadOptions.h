// KyGraphReadOptions: how a graph file is read, as an application or a
// command line chooses.
#pragma once

#include <kyformats/KyFormatsExport.h>

#include <map>
#include <string>

/// The formats a graph is read from.
enum class KyGraphFormat {
  /// Told by the content, whatever the file's name: XML whose root element
  /// is "graphml" is GraphML, other XML an analysis document, anything else
  /// an edge list.
  detect,
  /// An edge list: one edge a line, columns named by a header.
  edgeList,
  /// GraphML.
  graphML,
  /// An analysis document: a graph with a request.
  analysisDocument
};

/// The choices a reader takes. Plain values; copy at will. The setters take
/// them as people write them and refuse, with one line in `error` and the
/// options unchanged, what they cannot take.
struct KYFORMATS_EXPORT KyGraphReadOptions {
  KyGraphFormat format = KyGraphFormat::detect;
  /// The field separator of edge lists and node tables: 0 to detect it from
  /// the first line, ' ' for runs of blanks, any other character for itself.
  char delimiter = 0;
  /// Columns of text tables and GraphML attributes read as a per-node or
  /// per-edge option of another name: the name in the file, in lower case,
  /// to the option's ("weight" to "cost"). Names match without regard to
  /// case.
  std::map<std::string, std::string> columns;
  /// What every integer value of a column is multiplied by, and rounded to
  /// the nearest integer, so that fractional values read; from 1.
  int scale = 1;

  /// The delimiter from "tab", "blank" or one printable character other
  /// than a quote or '#'.
  bool setDelimiter(const std::string& text, std::string& error);
  /// Adds "OPTION=NAME" to `columns`: OPTION the short name of a per-node or
  /// per-edge option (cost, capacity, weight, undirected), NAME a column
  /// mapped to no other option; no option is mapped twice.
  bool mapColumn(const std::string& assignment, std::string& error);
  /// The scale from a whole number from 1 to 1000000000.
  bool setScale(const std::string& text, std::string& error);
};
