#include <kyformats/KyEdgeListReader.h>

#include <kyformats/KyFormatText.h>

#include <kyplatform/KyEdge.h>
#include <kyplatform/KyNode.h>

#include <algorithm>
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
      if (delimiter_ == 0)
        delimiter_ = detect(begin, stop);
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
  /// The delimiter of a table whose first significant line is [begin, stop).
  char detect(std::size_t begin, std::size_t stop) const {
    bool tab = false, space = false, quote = false;
    for (std::size_t i = begin; i < stop; ++i) {
      const char c = text_[i];
      if (c == '"')
        quote = !quote;
      else if (quote)
        continue;
      else if (c == '#')
        break;
      else if (c == ',')
        return ',';
      else if (c == '\t')
        tab = true;
      else if (c == ' ')
        space = true;
    }
    // Blank lines and comments decide nothing yet.
    const std::size_t first = text_.find_first_not_of(" \t", begin);
    if (first >= stop || text_[first] == '#')
      return 0;
    return tab && !space ? '\t' : ' ';
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
  std::size_t at_ = 0;
  int line_ = 0;
  bool failed_ = false;
  std::vector<std::string_view> fields_;
  std::vector<char> quoted_;
};

/// The columns a header names after its first `skip` fields, each a known
/// option name of `scope`, none twice.
bool headerColumns(const TableLines& lines, std::size_t skip, const std::string& scope,
                   std::vector<KyValueColumn>& columns, std::string& error) {
  const auto& fields = lines.fields();
  for (std::size_t i = skip; i < fields.size(); ++i) {
    const std::string name(fields[i]);
    KyValueColumn column;
    column.names = {name};
    if (!KyValueColumn::kindOf(scope, name, column.kind)) {
      std::string known;
      for (const std::string& each : KyValueColumn::optionNames(scope))
        known += (known.empty() ? "" : ", ") + each;
      error = lines.here() + "'" + escaped(name) + "' is no " + scope + " option; " + scope +
              " columns: " + known;
      return false;
    }
    for (const KyValueColumn& before : columns)
      if (before.names.front() == name) {
        error = lines.here() + "the column '" + name + "' comes twice";
        return false;
      }
    columns.push_back(std::move(column));
  }
  return true;
}

/// Stores the values of a row's fields from `first` on in `columns`, for
/// the member at `position`; empty fields are left unset.
bool rowValues(const TableLines& lines, std::size_t first, int position,
               std::vector<KyValueColumn>& columns, std::string& error) {
  const auto& fields = lines.fields();
  for (std::size_t i = first; i < fields.size(); ++i) {
    if (fields[i].empty())
      continue;
    KyValueColumn& column = columns[i - first];
    int value = 0;
    if (!KyValueColumn::parse(column.kind, column.names.front(), fields[i], value, error)) {
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
  std::vector<KyValueColumn>& columns = made.edgeColumns;
  bool header = false;
  for (bool first = true; lines.next(error); first = false) {
    const auto& fields = lines.fields();
    if (first && fields.size() >= 2 && fields[0] == "source" && fields[1] == "target" &&
        !lines.quoted(0) && !lines.quoted(1)) {
      header = true;
      if (!headerColumns(lines, 2, "edge", columns, error))
        return false;
      continue;
    }
    const bool lone = std::all_of(fields.begin() + 1, fields.end(),
                                  [](std::string_view field) { return field.empty(); });
    const std::size_t most = header ? 2 + columns.size() : 3;
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
    if (!header && fields.size() == 3 && columns.empty())
      columns.push_back(KyValueColumn{{"cost", "capacity"}, KyValueKind::integer, {}});
    if (!rowValues(lines, 2, edge->index(), columns, error))
      return false;
  }
  if (lines.failed())
    return false;
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
  std::vector<KyValueColumn> columns;
  for (bool first = true; lines.next(error); first = false) {
    const auto& fields = lines.fields();
    if (first) {
      if (fields[0] != "node" || lines.quoted(0)) {
        error = lines.here() + "a node table starts with a header 'node NAME...'";
        return false;
      }
      if (!headerColumns(lines, 1, "node", columns, error))
        return false;
      continue;
    }
    if (fields.size() > 1 + columns.size()) {
      error = lines.here() + "expected at most " + std::to_string(1 + columns.size()) +
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
    if (!rowValues(lines, 1, nodes.front(), columns, error))
      return false;
  }
  if (lines.failed())
    return false;
  std::wstring wide;
  for (std::string_view name : made) {
    fromUtf8(name, wide); // valid: the whole text was checked
    data.graph->addNode()->pName(wide.c_str());
  }
  for (KyValueColumn& column : columns)
    data.nodeColumns.push_back(std::move(column));
  return true;
}
