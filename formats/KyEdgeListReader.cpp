#include <kyformats/KyEdgeListReader.h>

#include "KyColumnNames_p.h"

#include <kyformats/KyFormatText.h>

#include <kyplatform/KyEdge.h>
#include <kyplatform/KyNode.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string_view>
#include <unordered_map>

using KyFormatText::escaped;
using KyFormatText::fromUtf8;
using KyFormatText::invalidUtf8At;

namespace {

/// The lines of a text table split into fields, one line at a time. Fields
/// are views into the text; quoted fields are unquoted in place.
class TableLines {
public:
  TableLines(std::string& text, const std::string& where, char delimiter)
      : text_(text), where_(where), delimiter_(delimiter) {
    if (text_.compare(0, 3, "\xEF\xBB\xBF") == 0)
      at_ = 3;
  }

  /// The fields of the next line that has any; false at the end, or on a
  /// malformed line with `error` set and failed() true.
  bool next(std::string& error) {
    fields_.clear();
    quoted_.clear();
    while (fields_.empty() && at_ < text_.size()) {
      std::size_t end = text_.find('\n', at_);
      if (end == std::string::npos)
        end = text_.size();
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
    return !fields_.empty();
  }
  /// Whether next() met a malformed line.
  bool failed() const { return failed_; }

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
        while (!ended() && (blanks ? !isBlank(text_[i]) : text_[i] != delimiter_))
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

  void push(std::string_view field, bool quoted) {
    fields_.push_back(field);
    quoted_.push_back(quoted ? 1 : 0);
  }

  std::string& text_;
  const std::string& where_;
  char delimiter_;
  bool detected_ = false; // the delimiter was told by the first line
  std::size_t at_ = 0;
  int line_ = 0;
  bool failed_ = false;
  std::vector<std::string_view> fields_;
  std::vector<char> quoted_;
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

bool validText(const std::string& text, const std::string& where, std::string& error) {
  const std::size_t bad = invalidUtf8At(text);
  if (bad == text.size())
    return true;
  const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<long>(bad), '\n');
  error = where + ":" + std::to_string(line) + ": not valid UTF-8 text";
  return false;
}

/// Makes nodes named as in the file, each once. Names are found in an
/// open-addressing table of (hash, name, node) slots in one array, which
/// stays in cache far better than a node-based map: the lookups are most of
/// the reading.
class NodeMaker {
public:
  explicit NodeMaker(KyGraph& graph) : graph_(graph), slots_(1024) {}
  KyNode* node(std::string_view name) {
    const std::size_t hash = std::hash<std::string_view>()(name);
    std::size_t at = hash & (slots_.size() - 1);
    for (;; at = (at + 1) & (slots_.size() - 1)) {
      Slot& slot = slots_[at];
      if (slot.node == nullptr)
        break;
      if (slot.hash == hash && slot.name == name)
        return slot.node;
    }
    fromUtf8(name, wide_); // valid: the whole text was checked
    KyNode* made = graph_.addNode();
    made->pName(wide_.c_str());
    slots_[at] = Slot{hash, name, made};
    if (2 * ++used_ > slots_.size())
      grow();
    return made;
  }

private:
  struct Slot {
    std::size_t hash = 0;
    std::string_view name;
    KyNode* node = nullptr;
  };

  void grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& slot : old)
      if (slot.node != nullptr) {
        std::size_t at = slot.hash & (slots_.size() - 1);
        while (slots_[at].node != nullptr)
          at = (at + 1) & (slots_.size() - 1);
        slots_[at] = slot;
      }
  }

  KyGraph& graph_;
  std::vector<Slot> slots_; // a power of two, at most half full
  std::size_t used_ = 0;
  std::wstring wide_;
};

} // namespace

KyEdgeListReader::KyEdgeListReader(const KyGraphReadOptions& options) : options_(options) {}

bool KyEdgeListReader::read(std::string text, const std::string& where, KyGraphData& data,
                            std::string& error) const {
  if (!validText(text, where, error))
    return false;
  KyGraphData made;
  TableLines lines(text, where, options_.delimiter);
  NodeMaker maker(*made.graph);
  KyColumnNames names(options_, "column");
  std::vector<KyValueColumn>& columns = made.edgeColumns;
  std::vector<int> slots;
  bool header = false;
  for (bool first = true; lines.next(error); first = false) {
    const auto& fields = lines.fields();
    if (first && fields.size() >= 2 && isWord(fields[0], "source") && isWord(fields[1], "target") &&
        !lines.quoted(0) && !lines.quoted(1)) {
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
      maker.node(fields[0]);
      continue;
    }
    KyNode* source = maker.node(fields[0]);
    KyEdge* edge = made.graph->addEdge(source, maker.node(fields[1]));
    if (!header && fields.size() == 3 && columns.empty()) {
      columns.push_back(
          KyValueColumn{{"cost", "capacity"}, KyValueKind::integer, {}, options_.scale});
      slots.push_back(0);
    }
    if (!rowValues(lines, 2, edge->index(), slots, columns, error))
      return false;
  }
  if (lines.failed())
    return false;
  if (const std::string note = names.note(where); !note.empty())
    made.notes.push_back(note);
  data = std::move(made);
  return true;
}

bool KyEdgeListReader::readNodeTable(std::string text, const std::string& where, KyGraphData& data,
                                     std::string& error) const {
  if (!validText(text, where, error))
    return false;
  TableLines lines(text, where, options_.delimiter);
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
