// KyEdgeListReader: graphs from text tables, an edge list and a node table.
#pragma once

#include <kyformats/KyFormatsExport.h>
#include <kyformats/KyGraphData.h>
#include <kyformats/KyGraphReadOptions.h>

#include <functional>
#include <string>

/// Reads edge lists and node tables. Holds only its options; const reads
/// may run on many threads at once.
///
/// An edge list has one edge a line, "source target [cost]", or, after a
/// header line "source target NAME..." (the two words in any case), one
/// column per NAME, read as the per-edge option of that name in any case
/// (cost, capacity, undirected) or as the options' columns map it; columns
/// no option has the name of are left out and listed in a note of the data
/// read. A line with one name (or with empty fields after it) adds a lone
/// node; "#" outside quotes starts a comment; blank lines are skipped; a
/// UTF-8 byte-order mark is skipped. Names in double quotes may hold
/// blanks, delimiters and "#" ("" is a quote). Fields are separated by the
/// options' delimiter: ' ' for runs of blanks, any other character for
/// itself, 0 to detect it from the first line outside quotes (a comma;
/// else tabs but no blanks; else a semicolon; else a bar; else blanks), a
/// later line that holds none of it but another of those being refused.
/// Values are read as KyValueColumn::parse() reads them, with the options'
/// scale. Nodes are made in order of first mention.
///
/// A node table has a header "node NAME..." ("node" in any case), then one
/// node a line with its per-node options (cost, weight, capacity); an empty
/// field leaves an option unset.
class KYFORMATS_EXPORT KyEdgeListReader {
public:
  /// Where a text that comes in pieces gets its next one: appends it to
  /// `text` and returns true; returns false at the end, `error` untouched,
  /// or when the text cannot be read, with one line in `error`.
  using Pieces = std::function<bool(std::string& text, std::string& error)>;

  explicit KyEdgeListReader(const KyGraphReadOptions& options = KyGraphReadOptions());

  /// Reads the edge list `text`; `where` names it in messages. Quoted
  /// fields are unquoted inside the text, so no line costs an allocation;
  /// O(length) time on average. On success `data` holds the graph read,
  /// with its edge columns, and nothing else; false, with "WHERE:LINE: ..."
  /// in `error`, at the first malformed line, and `data` is as it was.
  bool read(std::string text, const std::string& where, KyGraphData& data,
            std::string& error) const;
  /// Reads the edge list that starts with `start` and goes on with what
  /// `more` hands out, as read() reads the whole text, holding only the
  /// lines not read yet besides the graph: the names of its nodes are kept
  /// once each, in one text. Whatever a line holds, the rest is still read
  /// through, so that a byte that is not UTF-8 anywhere, or a failure to
  /// read (the message of `more`), is what `error` tells.
  bool read(std::string start, const Pieces& more, const std::string& where, KyGraphData& data,
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
