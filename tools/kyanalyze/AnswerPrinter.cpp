#include "AnswerPrinter.h"

#include "AnalysisWords.h"

#include <algorithm>
#include <map>
#include <ostream>

namespace kyanalyze {
namespace {

std::string edgeText(const Json& edge) {
  return edge.at("source").get<std::string>() + " -> " + edge.at("target").get<std::string>();
}

std::string joined(const std::vector<std::string>& parts, const char* separator) {
  std::string text;
  for (const std::string& part : parts)
    text += (text.empty() ? "" : separator) + part;
  return text;
}

/// A value in words: "-" for none, nodes by name, edges as "a -> b", an
/// edge list that chains as a path, other lists separated by commas.
std::string valueText(const Json& value) {
  if (value.is_null())
    return "-";
  if (value.is_string())
    return value.get<std::string>();
  if (value.is_object())
    return edgeText(value);
  if (value.is_array()) {
    if (value.empty())
      return "none";
    const std::vector<std::string> path = chainedNodes(value);
    if (!path.empty())
      return joined(path, " -> ");
    std::vector<std::string> items;
    for (const Json& item : value)
      items.push_back(valueText(item));
    return joined(items, ", ");
  }
  return value.dump();
}

/// The members of an entry that name its owner ("node"; "from", "to"),
/// or the cells they give it.
std::vector<std::string> ownerColumns(const Json& entry, bool names) {
  std::vector<std::string> columns;
  for (const auto& [member, value] : entry.items())
    if (member != "value")
      columns.push_back(names ? member : valueText(value));
  return columns;
}

/// Rows of cells under a header, written with aligned columns.
struct Table {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;
  std::map<std::string, std::size_t> rowOfOwner;

  void write(std::ostream& out) const {
    std::vector<std::size_t> widths(header.size(), 0);
    auto measure = [&](const std::vector<std::string>& row) {
      for (std::size_t i = 0; i < row.size(); ++i)
        widths[i] = std::max(widths[i], row[i].size());
    };
    measure(header);
    for (const auto& row : rows)
      measure(row);
    auto line = [&](const std::vector<std::string>& row) {
      std::string text;
      for (std::size_t i = 0; i < row.size(); ++i) {
        text += row[i];
        if (i + 1 < row.size())
          text += std::string(widths[i] - row[i].size() + 2, ' ');
      }
      out << text << '\n';
    };
    line(header);
    for (const auto& row : rows)
      line(row);
  }
};

} // namespace

std::string pathText(const Json& path) {
  std::vector<std::string> nodes;
  for (const Json& node : path.at("nodes"))
    nodes.push_back(node.get<std::string>());
  return joined(nodes, " -> ") + "  (cost " + path.at("cost").dump() + ")";
}

void writeAnswer(std::ostream& out, const Json& answer) {
  const Json& results = answer.at("results");
  const auto totalCost = results.find("totalCost");
  std::map<std::string, Table> tables; // by scope
  std::vector<std::string> tableOrder;

  std::map<std::string, std::string> scopes;
  for (const ResultItem& item : resultsOf(analysisCode(answer.at("analysis").get<std::string>())))
    scopes[item.name] = item.scope;

  for (const auto& [name, value] : results.items()) {
    if (scopes[name] == "none") {
      if (value.is_array() && !value.empty() && value.front().is_array()) {
        out << name << ":\n";
        for (const Json& item : value)
          out << "  " << valueText(item) << '\n';
        continue;
      }
      out << name << ": " << valueText(value);
      if (!chainedNodes(value).empty() && totalCost != results.end() && totalCost->is_number())
        out << "  (cost " << totalCost->dump() << ")";
      out << '\n';
      continue;
    }
    if (value.empty())
      continue;
    const std::string& scope = scopes[name];
    if (tables.count(scope) == 0)
      tableOrder.push_back(scope);
    Table& table = tables[scope];
    if (table.header.empty())
      table.header = ownerColumns(value.front(), true);
    table.header.push_back(name);
    const std::size_t column = table.header.size() - 1;
    for (const Json& entry : value) {
      Json owner = entry; // parallel edges differ by their index only
      owner.erase("value");
      auto [row, added] = table.rowOfOwner.emplace(owner.dump(), table.rows.size());
      if (added)
        table.rows.push_back(ownerColumns(entry, false));
      table.rows[row->second].resize(column + 1, "-");
      table.rows[row->second][column] = valueText(entry.at("value"));
    }
  }
  for (const std::string& scope : tableOrder) {
    Table& table = tables[scope];
    for (auto& row : table.rows)
      row.resize(table.header.size(), "-");
    out << '\n';
    table.write(out);
  }

  const auto paths = answer.find("paths");
  if (paths != answer.end()) {
    out << "\npaths:" << (paths->empty() ? " none" : "") << '\n';
    for (const Json& path : *paths)
      out << "  " << pathText(path) << '\n';
  }
}

} // namespace kyanalyze
