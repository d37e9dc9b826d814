// KyEdgeListReader: graphs from text tables, an edge list and a node table.
#pragma once

#include <kyformats/KyFormatsExport.h>
#include <kyformats/KyGraphData.h>
#include <kyformats/KyGraphReadOptions.h>

#include <string>

/// Reads edge lists and node tables. Holds only its options; const reads
/// may run on many threads at once.
///
/// An edge list has one edge a line, "source target [cost]", or, after a
/// header line "source target NAME...", one column per NAME, each a
/// per-edge option by its short name (cost, capacity, undirected). A line
/// with one name (or with empty fields after it) adds a lone node; "#"
/// outside quotes starts a comment; blank lines are skipped; a UTF-8
/// byte-order mark is skipped. Names in double quotes may hold blanks,
/// delimiters and "#" ("" is a quote). Fields are separated by the
/// options' delimiter: ' ' for runs of blanks, any other character for
/// itself, 0 to detect (a comma outside quotes in the first line: commas;
/// else tabs but no blanks: tabs; else blanks). Nodes are made in order of
/// first mention.
///
/// A node table has a header "node NAME...", then one node a line with its
/// per-node options (cost, weight, capacity); an empty field leaves an
/// option unset.
class KYFORMATS_EXPORT KyEdgeListReader {
public:
  explicit KyEdgeListReader(const KyGraphReadOptions& options = KyGraphReadOptions());

  /// Reads the edge list `text`; `where` names it in messages. Quoted
  /// fields are unquoted inside the text, so no line costs an allocation;
  /// O(length) time on average. On success `data` holds the graph read,
  /// with its edge columns, and nothing else; false, with "WHERE:LINE: ..."
  /// in `error`, at the first malformed line, and `data` is as it was.
  bool read(std::string text, const std::string& where, KyGraphData& data,
            std::string& error) const;

  /// Reads the node table `text` into `data`: a node is found by its name,
  /// or made at the end of the graph when no node has it; the columns join
  /// data.nodeColumns. A name that several nodes share is refused: the
  /// table cannot say which one it means. False, with "WHERE:LINE: ..." in
  /// `error`, at the first malformed line, and `data` is as it was.
  bool readNodeTable(std::string text, const std::string& where, KyGraphData& data,
                     std::string& error) const;

private:
  KyGraphReadOptions options_;
};
