#include <kyformats/KyEdgeListReader.h>

#include "KyColumnNames_p.h"

#include <kyformats/KyFormatText.h>

#include <kyplatform/KyEdge.h>
#include <kyplatform/KyNode.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string_view>
#include <unordered_map>

using KyFormatText::escaped;
using KyFormatText::fromUtf8;
using KyFormatText::invalidUtf8At;

namespace {

/// The lines of a text table split into fields, one line at a time, from
/// a text held whole or from one that comes in pieces, of which only the
/// lines not read yet are kept. Fields are views into the text, valid until
/// the next line is asked for; quoted fields are unquoted in place. The
/// text is checked to be UTF-8 as its lines arrive.
class TableLines {
public:
  TableLines(std::string text, KyEdgeListReader::Pieces more, const std::string& where,
             char delimiter)
      : text_(std::move(text)), more_(std::move(more)), where_(where), delimiter_(delimiter),
        ended_(!more_) {}

  /// The fields of the next line that has any; false at the end, or on a
  /// malformed line or text with `error` set and failed() true.
  bool next(std::string& error) {
    fields_.clear();
    quoted_.clear();
    while (fields_.empty()) {
      if (at_ >= end_ && !refill()) {
        if (problem_.empty())
          return false;
        error = problem_;
        failed_ = true;
        return false;
      }
      std::size_t end = text_.find('\n', at_);
      if (end == std::string::npos || end > end_)
        end = end_;
      std::size_t stop = end;
      if (stop > at_ && text_[stop - 1] == '\r')
        --stop;
      const std::size_t begin = at_;
      at_ = end + 1;
      ++line_;
      if (delimiter_ == 0) {
        delimiter_ = detect(begin, stop);
        detected_ = true;
      } else if (!consistent(begin, stop, error)) {
        failed_ = true;
        return false;
      }
      if (!split(begin, stop, error)) {
        failed_ = true;
        return false;
      }
    }
    return true;
  }

  /// Goes through the rest of the text, so that a byte anywhere in it that
  /// is not UTF-8, or a failure to read it, is told rather than what the
  /// lines held: false, with that in `error`, when there is one.
  bool rest(std::string& error) {
    for (;;) {
      line_ += static_cast<int>(std::count(text_.begin() + static_cast<long>(std::min(at_, end_)),
                                           text_.begin() + static_cast<long>(end_), '\n'));
      at_ = end_;
      if (!refill())
        break;
    }
    if (problem_.empty())
      return true;
    error = problem_;
    return false;
  }

  /// Whether next() met a malformed line.
  bool failed() const { return failed_; }

  /// `moving` is called before the text held changes, which ends the
  /// fields of every line read so far: a caller that keeps them past the
  /// current line uses them up there.
  void beforeTextMoves(std::function<void()> moving) { moving_ = std::move(moving); }

  const std::vector<std::string_view>& fields() const { return fields_; }
  bool quoted(std::size_t field) const { return quoted_[field] != 0; }
  /// "WHERE:LINE: " for messages about the current line.
  std::string here() const { return where_ + ":" + std::to_string(line_) + ": "; }

private:
  /// The delimiter of a table whose first significant line is [begin, stop):
  /// a comma; else a tab when no blank is there; else a semicolon; else a
  /// bar; else blanks. 0 while the line decides nothing (blank, a comment).
  char detect(std::size_t begin, std::size_t stop) const {
    const std::size_t first = text_.find_first_not_of(" \t", begin);
    if (first >= stop || text_[first] == '#')
      return 0;
    const std::string met = separators(begin, stop);
    for (const char candidate : {',', '\t', ';', '|'})
      if (met.find(candidate) != std::string::npos &&
          (candidate != '\t' || met.find(' ') == std::string::npos))
        return candidate;
    return ' ';
  }

  /// The separators that [begin, stop) holds outside quotes and comments,
  /// each once: ',', ';', '|', tab and blank.
  std::string separators(std::size_t begin, std::size_t stop) const {
    std::string met;
    bool quote = false;
    for (std::size_t i = begin; i < stop; ++i) {
      const char c = text_[i];
      if (c == '"')
        quote = !quote;
      else if (quote)
        continue;
      else if (c == '#')
        break;
      else if ((c == ',' || c == ';' || c == '|' || c == '\t' || c == ' ') &&
               met.find(c) == std::string::npos)
        met += c;
    }
    return met;
  }

  /// A line of a table whose delimiter was detected holds it, or no other
  /// separator: a line that another one splits would read as one name.
  bool consistent(std::size_t begin, std::size_t stop, std::string& error) const {
    // Most lines hold the delimiter: a look for the byte settles them.
    if (!detected_ || delimiter_ == ' ' ||
        std::memchr(text_.data() + begin, delimiter_, stop - begin) != nullptr)
      return true;
    const std::string met = separators(begin, stop);
    if (met.find(delimiter_) != std::string::npos)
      return true;
    for (const char other : {',', '\t', ';', '|'})
      if (met.find(other) != std::string::npos) {
        error = here() + "fields separated by " + separatorName(other) +
                ", but the first line separates them by " + separatorName(delimiter_) +
                "; --delimiter says which one separates fields";
        return false;
      }
    return true;
  }

  static std::string separatorName(char c) {
    return c == '\t' ? std::string("tabs") : "'" + std::string(1, c) + "'";
  }

  /// Unquotes the field that starts with the quote at `i`, in place; `i`
  /// ends past the closing quote.
  bool unquote(std::size_t& i, std::size_t stop, std::string& error) {
    const std::size_t begin = ++i;
    std::size_t out = begin;
    for (;;) {
      if (i >= stop) {
        error = here() + "a quoted name is not closed on its line";
        return false;
      }
      if (text_[i] == '"') {
        if (i + 1 < stop && text_[i + 1] == '"') {
          text_[out++] = '"';
          i += 2;
          continue;
        }
        ++i;
        break;
      }
      text_[out++] = text_[i++];
    }
    push(std::string_view(text_.data() + begin, out - begin), true);
    return true;
  }

  bool split(std::size_t i, std::size_t stop, std::string& error) {
    const bool blanks = delimiter_ == ' ' || delimiter_ == 0;
    auto isBlank = [&](char c) { return c == ' ' || (c == '\t' && delimiter_ != '\t'); };
    auto ended = [&] { return i >= stop || text_[i] == '#'; };
    auto skipBlanks = [&] {
      while (i < stop && isBlank(text_[i]))
        ++i;
    };
    for (bool afterDelimiter = false;;) {
      skipBlanks();
      if (ended()) {
        if (afterDelimiter)
          push(std::string_view(), false);
        return true;
      }
      if (text_[i] == '"') {
        if (!unquote(i, stop, error))
          return false;
        if (!ended() && !isBlank(text_[i]) && (blanks || text_[i] != delimiter_)) {
          error = here() + "text follows a closing quote";
          return false;
        }
      } else {
        const std::size_t begin = i;
        const std::array<char, 256>& ends = fieldEnds();
        while (i < stop && ends[static_cast<unsigned char>(text_[i])] == 0)
          ++i;
        std::size_t end = i;
        while (end > begin && isBlank(text_[end - 1]))
          --end;
        push(std::string_view(text_.data() + begin, end - begin), false);
      }
      skipBlanks();
      if (ended())
        return true;
      if (!blanks) {
        if (text_[i] != delimiter_) {
          error = here() + "text follows a closing quote";
          return false;
        }
        ++i;
        afterDelimiter = true;
      }
    }
  }

  /// The bytes that end an unquoted field under the current delimiter:
  /// blanks or the delimiter, and "#". Remade when the delimiter changes.
  const std::array<char, 256>& fieldEnds() {
    if (endsFor_ != delimiter_ || !endsMade_) {
      endsMade_ = true;
      endsFor_ = delimiter_;
      ends_.fill(0);
      ends_['#'] = 1;
      if (delimiter_ == ' ' || delimiter_ == 0)
        ends_[' '] = ends_['\t'] = 1;
      else
        ends_[static_cast<unsigned char>(delimiter_)] = 1;
    }
    return ends_;
  }

  void push(std::string_view field, bool quoted) {
    fields_.push_back(field);
    quoted_.push_back(quoted ? 1 : 0);
  }

  /// Makes [at_, end_) hold complete lines, checked: those of the text
  /// held, or, once they are read, of the pieces that follow, which take
  /// the place of the lines read. False at the end, or with problem_ set
  /// when the text is not UTF-8 or cannot be read.
  bool refill() {
    if (!problem_.empty())
      return false;
    if (moving_ && more_)
      moving_();
    if (more_ && at_ > 0) {
      const std::size_t used = std::min(at_, end_);
      text_.erase(0, used);
      at_ -= used;
      end_ -= used;
      checked_ -= used;
    }
    for (;;) {
      // A byte-order mark is skipped once the text is long enough to tell.
      if (!started_ && (text_.size() >= 3 || ended_)) {
        started_ = true;
        if (text_.compare(0, 3, "\xEF\xBB\xBF") == 0)
          at_ = 3;
      }
      if (started_) {
        // Complete lines end at the last line break, or at the end; only
        // the text past what was checked can hold a new one, so that a
        // long line is searched once.
        const std::size_t last = std::string_view(text_).substr(checked_).rfind('\n');
        const std::size_t stop = ended_                      ? text_.size()
                                 : last == std::string::npos ? checked_
                                                             : checked_ + last + 1;
        if (stop > checked_ && !check(stop))
          return false;
        end_ = std::max(end_, stop);
        if (at_ < end_)
          return true;
      }
      if (ended_)
        return false;
      std::string failure;
      if (!more_(text_, failure)) {
        ended_ = true;
        if (!failure.empty()) {
          problem_ = failure;
          return false;
        }
      }
    }
  }

  /// Checks that [checked_, stop) is UTF-8 without zero bytes; else sets
  /// problem_ to "WHERE:LINE: not valid UTF-8 text".
  bool check(std::size_t stop) {
    const std::string_view piece = std::string_view(text_).substr(checked_, stop - checked_);
    const std::size_t bad = invalidUtf8At(piece);
    if (bad == piece.size()) {
      checked_ = stop;
      return true;
    }
    const std::size_t at = checked_ + bad;
    const std::size_t from = std::min(at_, at);
    problem_ = where_ + ":" +
               std::to_string(line_ + 1 +
                              std::count(text_.begin() + static_cast<long>(from),
                                         text_.begin() + static_cast<long>(at), '\n')) +
               ": not valid UTF-8 text";
    return false;
  }

  std::string text_;
  KyEdgeListReader::Pieces more_; // the pieces that follow the text, or empty
  const std::string& where_;
  char delimiter_;
  bool detected_ = false;   // the delimiter was told by the first line
  bool ended_;              // no piece follows
  bool started_ = false;    // a leading byte-order mark was looked for
  std::size_t at_ = 0;      // where the next line starts
  std::size_t end_ = 0;     // the end of the complete lines held
  std::size_t checked_ = 0; // the text before is UTF-8
  int line_ = 0;            // the lines before at_
  bool failed_ = false;
  std::string problem_; // what made the text stop: not UTF-8, or not read
  std::array<char, 256> ends_{};
  char endsFor_ = 0;
  bool endsMade_ = false;
  std::vector<std::string_view> fields_;
  std::vector<char> quoted_;
  std::function<void()> moving_;
};

bool isWord(std::string_view field, const char* word) {
  return KyColumnNames::lowered(std::string(field)) == word;
}

/// The columns a header names after its first `skip` fields, each read as
/// an option of `scope`, none twice: `slots` gets, for each such field, its
/// column's place in `columns`, or -1 for a column that is left out.
bool headerColumns(const TableLines& lines, std::size_t skip, const std::string& scope,
                   KyColumnNames& names, std::vector<KyValueColumn>& columns,
                   std::vector<int>& slots, std::string& error) {
  const auto& fields = lines.fields();
  for (std::size_t i = skip; i < fields.size(); ++i) {
    const std::string name(fields[i]);
    KyValueColumn column;
    switch (names.resolve(scope, name, column, error)) {
    case KyColumnNames::Outcome::refused:
      error = lines.here() + error;
      return false;
    case KyColumnNames::Outcome::ignored:
      slots.push_back(-1);
      continue;
    case KyColumnNames::Outcome::option:
      break;
    }
    for (std::size_t before = skip; before < i; ++before) {
      const int slot = slots[before - skip];
      if (slot >= 0 && columns[static_cast<std::size_t>(slot)].names == column.names) {
        const std::string other(fields[before]);
        error = lines.here() + (other == name
                                    ? "the column '" + escaped(name) + "' comes twice"
                                    : "the columns '" + escaped(other) + "' and '" + escaped(name) +
                                          "' both give " + column.names.front());
        return false;
      }
    }
    slots.push_back(static_cast<int>(columns.size()));
    columns.push_back(std::move(column));
  }
  return true;
}

/// Stores the values of a row's fields from `first` on in their columns
/// (`slots` as headerColumns() made them), for the member at `position`;
/// empty fields are left unset.
bool rowValues(const TableLines& lines, std::size_t first, int position,
               const std::vector<int>& slots, std::vector<KyValueColumn>& columns,
               std::string& error) {
  const auto& fields = lines.fields();
  for (std::size_t i = first; i < fields.size(); ++i) {
    const int slot = slots[i - first];
    if (fields[i].empty() || slot < 0)
      continue;
    KyValueColumn& column = columns[static_cast<std::size_t>(slot)];
    int value = 0;
    if (!KyValueColumn::parse(column.kind, column.names.front(), fields[i], column.scale, value,
                              error)) {
      error = lines.here() + error;
      return false;
    }
    column.values.emplace_back(position, value);
  }
  return true;
}

/// A hash of a name, cheap for the short names most files hold.
std::uint32_t hashOf(std::string_view name) {
  std::uint64_t hash = 0x9E3779B97F4A7C15u ^ name.size();
  std::size_t i = 0;
  for (; i + 8 <= name.size(); i += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, name.data() + i, 8);
    hash = (hash ^ word) * 0xBF58476D1CE4E5B9u;
    hash ^= hash >> 31;
  }
  std::uint64_t tail = 0;
  std::memcpy(&tail, name.data() + i, name.size() - i);
  hash = (hash ^ tail) * 0x94D049BB133111EBu;
  return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

/// The first bytes of a name, zeros past its end.
std::uint64_t headOf(std::string_view name) {
  std::uint64_t head = 0;
  std::memcpy(&head, name.data(), std::min(name.size(), sizeof head));
  return head;
}

/// Makes nodes named as in the file, each once. The names read are kept in
/// one text, each after its length, and found through an open-addressing
/// table of (head, where, hash, node) slots of 24 bytes, which stays in
/// cache far better than a node-based map. The file's text itself need not
/// be kept. A lookup costs a slot, and for a name of 8 bytes or more the
/// text it points to, far apart in a large table: a caller that knows the
/// names to come asks for them to be fetched ahead.
class NodeMaker {
public:
  explicit NodeMaker(KyGraph& graph) : graph_(graph), slots_(1024) {}

  /// The position of the node named `name`, whose hashOf() is `hash`; the
  /// node is made when none is.
  int node(std::string_view name, std::uint32_t hash) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = hash & mask;
    const std::uint64_t head = headOf(name);
    for (;; at = (at + 1) & mask) {
      const Slot& slot = slots_[at];
      if (slot.node < 0)
        break;
      // Names hold no zero byte, so a head settles a name shorter than
      // itself without a look at the text.
      if (slot.hash == hash && slot.head == head &&
          (name.size() < sizeof head || nameAt(slot.at) == name))
        return slot.node;
    }
    fromUtf8(name, wide_); // valid: the text was checked
    KyNode* made = graph_.addNode();
    made->pName(wide_.c_str());
    const std::size_t size = name.size();
    slots_[at] = Slot{head, names_.size(), hash, made->index()};
    names_.append(reinterpret_cast<const char*>(&size), sizeof size);
    names_.append(name);
    if (2 * ++used_ > slots_.size())
      grow();
    return made->index();
  }

  /// Starts fetching the slot where a name of hash `hash` is looked up.
  void fetchSlot(std::uint32_t hash) const {
    __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
  }
  /// Starts fetching the text of a name of hash `hash` and size `size`,
  /// once its slot is in, when the lookup will need it.
  void fetchName(std::uint32_t hash, std::size_t size) const {
    if (size < sizeof(Slot::head))
      return;
    const Slot& slot = slots_[hash & (slots_.size() - 1)];
    if (slot.node >= 0)
      __builtin_prefetch(names_.data() + slot.at);
  }

private:
  struct Slot {
    std::uint64_t head = 0; // the name's first bytes, zeros past its end
    std::size_t at = 0;     // where the name's length is in names_
    std::uint32_t hash = 0;
    std::int32_t node = -1; // its position, -1 in a free slot
  };

  std::string_view nameAt(std::size_t at) const {
    std::size_t size = 0;
    std::memcpy(&size, names_.data() + at, sizeof size);
    return std::string_view(names_).substr(at + sizeof size, size);
  }

  void grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old)
      if (slot.node >= 0) {
        std::size_t at = slot.hash & mask;
        while (slots_[at].node >= 0)
          at = (at + 1) & mask;
        slots_[at] = slot;
      }
  }

  KyGraph& graph_;
  std::vector<Slot> slots_; // a power of two, at most half full
  std::size_t used_ = 0;
  std::string names_; // each name made after its length, one after another
  std::wstring wide_;
};

/// The rows read since the text last moved, made into nodes and edges
/// together: the slots and names of many lookups, and the links of many
/// edges, lie far apart in a large graph, and are fetched ahead of their
/// use instead of one after another. Rows are made in the order they were
/// read, so nodes and edges come out as they would one row at a time.
class RowBatch {
public:
  RowBatch(KyGraph& graph, NodeMaker& maker) : graph_(graph), maker_(maker) {
    rows_.reserve(kRows);
  }

  /// A row naming a node alone.
  void addNode(std::string_view name) { rows_.push_back(Row{name, {}, 0, 0, -1, -1, true}); }
  /// A row of an edge; the position that edge will have.
  int addEdge(std::string_view source, std::string_view target) {
    rows_.push_back(Row{source, target, 0, 0, -1, -1, false});
    return graph_.numberOfEdges() + edges_++;
  }
  bool full() const { return rows_.size() == kRows; }

  /// Makes the nodes and edges of the rows held, and forgets the rows.
  void make() {
    for (Row& row : rows_) {
      row.sourceHash = hashOf(row.source);
      if (!row.lone)
        row.targetHash = hashOf(row.target);
    }
    const std::size_t count = rows_.size();
    for (std::size_t i = 0; i < count; ++i) {
      if (i + kAhead < count) {
        const Row& later = rows_[i + kAhead];
        maker_.fetchSlot(later.sourceHash);
        if (!later.lone)
          maker_.fetchSlot(later.targetHash);
      }
      if (i + kAhead / 2 < count) {
        const Row& later = rows_[i + kAhead / 2];
        maker_.fetchName(later.sourceHash, later.source.size());
        if (!later.lone)
          maker_.fetchName(later.targetHash, later.target.size());
      }
      Row& row = rows_[i];
      row.sourceNode = maker_.node(row.source, row.sourceHash);
      if (!row.lone)
        row.targetNode = maker_.node(row.target, row.targetHash);
    }
    sources_.clear();
    targets_.clear();
    for (const Row& row : rows_)
      if (!row.lone) {
        sources_.push_back(row.sourceNode);
        targets_.push_back(row.targetNode);
      }
    graph_.addEdges(sources_, targets_);
    rows_.clear();
    edges_ = 0;
  }

private:
  static constexpr std::size_t kRows = 1024;
  static constexpr std::size_t kAhead = 16; // rows fetched ahead
  struct Row {
    std::string_view source, target;
    std::uint32_t sourceHash, targetHash;
    int sourceNode, targetNode;
    bool lone;
  };

  KyGraph& graph_;
  NodeMaker& maker_;
  std::vector<Row> rows_;
  std::vector<int> sources_, targets_; // the edges' ends, by position
  int edges_ = 0;                      // rows of edges held
};

} // namespace

KyEdgeListReader::KyEdgeListReader(const KyGraphReadOptions& options) : options_(options) {}

bool KyEdgeListReader::read(std::string text, const std::string& where, KyGraphData& data,
                            std::string& error) const {
  return read(std::move(text), Pieces(), where, data, error);
}

bool KyEdgeListReader::read(std::string start, const Pieces& more, const std::string& where,
                            KyGraphData& data, std::string& error) const {
  KyGraphData made;
  TableLines lines(std::move(start), more, where, options_.delimiter);
  NodeMaker maker(*made.graph);
  RowBatch batch(*made.graph, maker);
  lines.beforeTextMoves([&batch] { batch.make(); });
  KyColumnNames names(options_, "column");
  std::vector<KyValueColumn>& columns = made.edgeColumns;
  std::vector<int> slots;
  bool header = false;
  const auto rows = [&] {
    for (bool first = true; lines.next(error); first = false) {
      const auto& fields = lines.fields();
      if (first && fields.size() >= 2 && isWord(fields[0], "source") &&
          isWord(fields[1], "target") && !lines.quoted(0) && !lines.quoted(1)) {
        header = true;
        if (!headerColumns(lines, 2, "edge", names, columns, slots, error))
          return false;
        continue;
      }
      const bool lone = std::all_of(fields.begin() + 1, fields.end(),
                                    [](std::string_view field) { return field.empty(); });
      const std::size_t most = header ? 2 + slots.size() : 3;
      if (fields.size() > most && !lone) {
        error = lines.here() +
                (header ? "expected at most " + std::to_string(most) + " fields as the header says"
                        : std::string("expected 'source target [cost]'")) +
                ", found " + std::to_string(fields.size()) + " fields";
        return false;
      }
      if (fields[0].empty() || (!lone && fields[1].empty())) {
        error = lines.here() + (fields[0].empty() ? "the source" : "the target") + " is empty";
        return false;
      }
      if (lone) {
        batch.addNode(fields[0]);
        continue;
      }
      const int edge = batch.addEdge(fields[0], fields[1]);
      if (!header && fields.size() == 3 && columns.empty()) {
        columns.push_back(
            KyValueColumn{{"cost", "capacity"}, KyValueKind::integer, {}, options_.scale});
        slots.push_back(0);
      }
      if (!rowValues(lines, 2, edge, slots, columns, error))
        return false;
      if (batch.full())
        batch.make();
    }
    return !lines.failed();
  };
  const bool read = rows();
  if (read)
    batch.make();
  lines.beforeTextMoves(nullptr);
  // A byte that is not UTF-8, or a failure to read, anywhere in the text is
  // told before what a line held.
  if (!lines.rest(error) || !read)
    return false;
  if (const std::string note = names.note(where); !note.empty())
    made.notes.push_back(note);
  data = std::move(made);
  return true;
}

bool KyEdgeListReader::readNodeTable(std::string text, const std::string& where, KyGraphData& data,
                                     std::string& error) const {
  TableLines lines(std::move(text), Pieces(), where, options_.delimiter);
  std::unordered_map<std::string_view, std::vector<int>> named; // positions by name
  std::vector<std::string> names; // the graph's names, which `named` views
  names.reserve(static_cast<std::size_t>(data.graph->numberOfNodes()));
  for (KyNodeDListIter it(data.graph->pNodeList()); it; ++it)
    if (it.pNode()->pName() != nullptr)
      names.push_back(KyFormatText::toUtf8(it.pNode()->pName()));
    else
      names.emplace_back();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (data.graph->pNodeAt(static_cast<int>(i))->pName() != nullptr)
      named[names[i]].push_back(static_cast<int>(i));
  // The table is read whole before the graph changes: nodes it names that
  // the graph lacks are made, and its columns joined, only at the end.
  std::vector<std::string_view> made;
  KyColumnNames columnNames(options_, "column");
  std::vector<KyValueColumn> columns;
  std::vector<int> slots;
  for (bool first = true; lines.next(error); first = false) {
    const auto& fields = lines.fields();
    if (first) {
      if (!isWord(fields[0], "node") || lines.quoted(0)) {
        error = lines.here() + "a node table starts with a header 'node NAME...'";
        return false;
      }
      if (!headerColumns(lines, 1, "node", columnNames, columns, slots, error))
        return false;
      continue;
    }
    if (fields.size() > 1 + slots.size()) {
      error = lines.here() + "expected at most " + std::to_string(1 + slots.size()) +
              " fields as the header says, found " + std::to_string(fields.size()) + " fields";
      return false;
    }
    if (fields[0].empty()) {
      error = lines.here() + "the node is empty";
      return false;
    }
    std::vector<int>& nodes = named[fields[0]];
    if (nodes.size() > 1) {
      error = lines.here() + std::to_string(nodes.size()) + " nodes are named '" +
              escaped(fields[0]) + "'";
      return false;
    }
    if (nodes.empty()) {
      nodes.push_back(data.graph->numberOfNodes() + static_cast<int>(made.size()));
      made.push_back(fields[0]);
    }
    if (!rowValues(lines, 1, nodes.front(), slots, columns, error))
      return false;
  }
  if (lines.failed())
    return false;
  if (const std::string note = columnNames.note(where); !note.empty())
    data.notes.push_back(note);
  std::wstring wide;
  for (std::string_view name : made) {
    fromUtf8(name, wide); // valid: the whole text was checked
    data.graph->addNode()->pName(wide.c_str());
  }
  for (KyValueColumn& column : columns)
    data.nodeColumns.push_back(std::move(column));
  return true;
}
