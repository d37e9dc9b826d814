// KyGraphReadOptions: how a graph file is read, as an application or a
// command line chooses.
#pragma once

/// The formats a graph is read from.
enum class KyGraphFormat {
  /// Told by the file name (".xml": an analysis document, ".graphml":
  /// GraphML), else by the content: XML whose root element is "graphml" is
  /// GraphML, other XML an analysis document, anything else an edge list.
  detect,
  /// An edge list: one edge a line, columns named by a header.
  edgeList,
  /// GraphML.
  graphML,
  /// An analysis document: a graph with a request.
  analysisDocument
};

/// The choices a reader takes. Plain values; copy at will.
struct KyGraphReadOptions {
  KyGraphFormat format = KyGraphFormat::detect;
  /// The field separator of edge lists and node tables: 0 to detect it from
  /// the first line, ' ' for runs of blanks, any other character for itself.
  char delimiter = 0;
};
