// KyGraphData: a graph with the per-node and per-edge values a file gives,
// as the formats read and write it.
#pragma once

#include <kyformats/KyAnalysisDocument.h>
#include <kyformats/KyFormatsExport.h>
#include <kyformats/KyValueColumn.h>

#include <kyplatform/KyGraph.h>

#include <memory>
#include <string>
#include <vector>

/// A graph, its nodes named, with columns of values by the position of
/// their node or edge. Nodes and edges come in file order. Movable, not
/// copyable; owns everything it holds.
struct KYFORMATS_EXPORT KyGraphData {
  KyGraphData() = default;
  KyGraphData(KyGraphData&&) = default;
  /// Takes over what `other` holds; what this held goes, its document
  /// before its graph, as the document's request refers to the graph.
  KyGraphData& operator=(KyGraphData&& other) noexcept;
  ~KyGraphData() = default;

  std::unique_ptr<KyGraph> graph = std::make_unique<KyGraph>();
  std::vector<KyValueColumn> nodeColumns;
  std::vector<KyValueColumn> edgeColumns;
  /// The file says its edges run both ways (GraphML edgedefault="undirected").
  bool undirected = false;
  /// What a person should hear of the files read, one line each: columns
  /// and keys that were left out, as no option has their names.
  std::vector<std::string> notes;
  /// The analysis document the graph came from, its graph moved to `graph`
  /// above, else null. Declared last: its request refers to the graph.
  std::unique_ptr<KyAnalysisDocument> document;

  /// Turns the per-node and per-edge integer options of the document's
  /// request, of the request's own analysis, into columns (sorted by name,
  /// values in the store's order), for a format that has no request to
  /// keep them in. The keys of the other options go to `leftOut`, shown
  /// safely; the shared "all:" options do not. Nothing without a document.
  void takeDocumentColumns(std::vector<std::string>& leftOut);
};
