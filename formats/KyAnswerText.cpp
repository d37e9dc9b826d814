#include "KyAnswerText_p.h"

#include <kyformats/KyFormatText.h>
#include <kyformats/KyGraphNames.h>

#include <map>
#include <ostream>

namespace KyAnswerText {

using KyAnswerModel::ResultItem;
using KyFormatText::displayWidth;
using KyFormatText::escaped;
using KyFormatText::padded;

namespace {

const char* const scaleMeaning =
    "the values read were multiplied by it; costs and flows are divided back";

std::string joined(const std::vector<std::string>& parts, const char* separator) {
  std::string text;
  for (const std::string& part : parts)
    text += (text.empty() ? "" : separator) + part;
  return text;
}

bool isNode(const Json& value) { return value.is_object() && value.contains("id"); }
bool isEdge(const Json& value) { return value.is_object() && value.contains("source"); }
bool isWalk(const Json& value) { return value.is_object() && value.contains("edges"); }

/// A value in words: "-" for none, nodes by label, edges as "a -> b", a walk
/// as its chain of nodes, other lists separated by commas.
std::string valueText(const Json& value, const KyGraphNames& names) {
  if (value.is_null())
    return "-";
  if (value.is_number())
    return KyAnswerModel::numberText(value);
  if (value.is_string())
    return escaped(value.get<std::string>());
  if (isNode(value))
    return names.node(value.at("id").get<int>());
  if (isEdge(value))
    return valueText(value.at("source"), names) + " -> " + valueText(value.at("target"), names);
  if (isWalk(value)) {
    const Json& nodes = value.at("nodes");
    if (nodes.empty())
      return valueText(value.at("edges"), names);
    std::vector<std::string> chain;
    for (const Json& node : nodes)
      chain.push_back(valueText(node, names));
    return joined(chain, " -> ");
  }
  if (value.is_object() && value.contains("type")) { // a constraint
    std::string text = value.at("type").get<std::string>() + ":";
    for (const Json& node : value.at("nodes"))
      text += " " + valueText(node, names);
    return text;
  }
  if (value.is_array()) {
    if (value.empty())
      return "none";
    std::vector<std::string> items;
    for (const Json& item : value)
      items.push_back(valueText(item, names));
    return joined(items, ", ");
  }
  return value.dump();
}

/// The text of one entry's value: the name of a named code, else the value.
std::string entryText(const Json& entry, const KyGraphNames& names) {
  const auto name = entry.find("valueName");
  if (name != entry.end() && !name->get<std::string>().empty())
    return name->get<std::string>();
  return valueText(entry.at("value"), names);
}

struct Table {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;
};

/// The owner columns of a scope, and an entry's cells in them.
std::vector<std::string> ownerHeader(const std::string& scope, bool csv) {
  if (scope == "node")
    return csv ? std::vector<std::string>{"id", "node"} : std::vector<std::string>{"node"};
  if (scope == "edge")
    return csv ? std::vector<std::string>{"index", "source", "target"}
               : std::vector<std::string>{"edge"};
  if (scope == "(KyNode,KyNode)")
    return {"from", "to"};
  return {"constraint"};
}

std::vector<std::string> ownerCells(const Json& entry, bool csv, const KyGraphNames& names) {
  if (const auto node = entry.find("node"); node != entry.end())
    return csv ? std::vector<std::string>{node->at("id").dump(), valueText(*node, names)}
               : std::vector<std::string>{valueText(*node, names)};
  if (const auto edge = entry.find("edge"); edge != entry.end())
    return csv ? std::vector<std::string>{edge->at("index").dump(),
                                          valueText(edge->at("source"), names),
                                          valueText(edge->at("target"), names)}
               : std::vector<std::string>{valueText(*edge, names)};
  if (entry.contains("from"))
    return {valueText(entry.at("from"), names), valueText(entry.at("to"), names)};
  return {valueText(entry.at("constraint"), names)};
}

/// The scope of every result of the answer's analysis, by name.
std::map<std::string, std::string> scopesOf(const Json& answer) {
  std::map<std::string, std::string> scopes;
  for (const ResultItem& item : KyAnswerModel::resultsOf(KyAnswerModel::operationOf(answer)))
    scopes[item.name] = item.scope;
  return scopes;
}

/// One table per kind of owner, in the order their results come, each with
/// a column per result; rows are the owners with a value, in graph order.
std::vector<Table> ownerTables(const Json& answer, bool csv, const KyGraphNames& names) {
  std::map<std::string, std::string> scopes = scopesOf(answer);
  std::vector<std::string> order;
  std::map<std::string, Table> tables;
  std::map<std::string, std::map<std::string, std::size_t>> rowOf; // by scope, owner
  for (const auto& [name, value] : answer.at("results").items()) {
    const std::string& scope = scopes[name];
    if (scope == "none" || value.empty())
      continue;
    Table& table = tables[scope];
    if (table.header.empty()) {
      order.push_back(scope);
      table.header = ownerHeader(scope, csv);
    }
    table.header.push_back(name);
    const std::size_t column = table.header.size() - 1;
    for (const Json& entry : value) {
      Json owner = entry;
      owner.erase("value");
      owner.erase("valueName");
      auto [row, added] = rowOf[scope].emplace(owner.dump(), table.rows.size());
      if (added)
        table.rows.push_back(ownerCells(entry, csv, names));
      table.rows[row->second].resize(column + 1, csv ? "" : "-");
      table.rows[row->second][column] = entryText(entry, names);
    }
  }
  std::vector<Table> result;
  for (const std::string& scope : order) {
    Table& table = tables[scope];
    for (auto& row : table.rows)
      row.resize(table.header.size(), csv ? "" : "-");
    result.push_back(std::move(table));
  }
  return result;
}

void writeAligned(std::ostream& out, const Table& table) {
  std::vector<std::size_t> widths(table.header.size(), 0);
  auto measure = [&](const std::vector<std::string>& row) {
    for (std::size_t i = 0; i < row.size(); ++i)
      widths[i] = std::max(widths[i], displayWidth(row[i]));
  };
  measure(table.header);
  for (const auto& row : table.rows)
    measure(row);
  auto line = [&](const std::vector<std::string>& row) {
    for (std::size_t i = 0; i < row.size(); ++i)
      out << (i + 1 < row.size() ? padded(row[i], widths[i] + 2) : row[i]);
    out << '\n';
  };
  line(table.header);
  for (const auto& row : table.rows)
    line(row);
}

std::string csvCell(const std::string& text) {
  if (text.find_first_of(",\"\n\r") == std::string::npos && text.find('#') != 0)
    return text;
  std::string quoted = "\"";
  for (char c : text)
    quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

void writeCsvTable(std::ostream& out, const Table& table) {
  auto line = [&](const std::vector<std::string>& row) {
    for (std::size_t i = 0; i < row.size(); ++i)
      out << (i > 0 ? "," : "") << csvCell(row[i]);
    out << '\n';
  };
  line(table.header);
  for (const auto& row : table.rows)
    line(row);
}

} // namespace

std::string pathText(const Json& path, const KyGraphNames& names) {
  return valueText(path, names) + "  (cost " + KyAnswerModel::numberText(path.at("cost")) + ")";
}

void write(std::ostream& out, const Json& answer, const KyGraphNames& names) {
  const Json& results = answer.at("results");
  const auto totalCost = results.find("totalCost");
  const bool costed = totalCost != results.end() && totalCost->is_number();
  std::map<std::string, std::string> scopes = scopesOf(answer);
  if (const auto scale = answer.find("scale"); scale != answer.end())
    out << "scale: " << scale->dump() << " (" << scaleMeaning << ")\n";
  for (const auto& [name, value] : results.items()) {
    if (scopes[name] != "none")
      continue;
    if (value.is_array() && !value.empty() && (value.front().is_array() || isWalk(value.front()))) {
      out << name << ":\n";
      for (const Json& item : value)
        out << "  " << valueText(item, names) << '\n';
      continue;
    }
    out << name << ": " << valueText(value, names);
    if (isWalk(value) && !value.at("nodes").empty() && costed)
      out << "  (cost " << KyAnswerModel::numberText(*totalCost) << ")";
    out << '\n';
  }
  for (const Table& table : ownerTables(answer, false, names)) {
    out << '\n';
    writeAligned(out, table);
  }
  const auto paths = answer.find("paths");
  if (paths != answer.end()) {
    out << "\npaths:" << (paths->empty() ? " none" : "") << '\n';
    for (const Json& path : *paths)
      out << "  " << pathText(path, names) << '\n';
  }
}

void writeCsv(std::ostream& out, const Json& answer, const KyGraphNames& names) {
  Table scalars{{"result", "value"}, {}};
  if (const auto scale = answer.find("scale"); scale != answer.end())
    scalars.rows.push_back({"scale", scale->dump()});
  std::map<std::string, std::string> scopes = scopesOf(answer);
  for (const auto& [name, value] : answer.at("results").items())
    if (scopes[name] == "none")
      scalars.rows.push_back({name, valueText(value, names)});
  writeCsvTable(out, scalars);
  for (const Table& table : ownerTables(answer, true, names)) {
    out << '\n';
    writeCsvTable(out, table);
  }
}

} // namespace KyAnswerText
