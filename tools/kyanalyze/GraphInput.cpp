#include "GraphInput.h"

#include "EdgeListReader.h"
#include "GraphML.h"
#include "InputFile.h"
#include "Text.h"

#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyplatform/KyDList.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>

#include <charconv>
#include <map>

namespace kyanalyze {
namespace {

bool endsWith(const std::string& text, const char* suffix) {
  const std::string tail = suffix;
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

/// The root element's name of an XML text, or "" when the text does not
/// start like XML (after a byte-order mark and blanks).
std::string xmlRoot(const std::string& bytes) {
  std::size_t at = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  at = bytes.find_first_not_of(" \t\r\n", at);
  if (at == std::string::npos || bytes[at] != '<')
    return "";
  // Skip the declaration, comments and processing instructions.
  for (;;) {
    at = bytes.find('<', at);
    if (at == std::string::npos)
      return "";
    if (bytes.compare(at, 2, "<?") == 0 || bytes.compare(at, 2, "<!") == 0) {
      at = bytes.find('>', at);
      continue;
    }
    const std::size_t end = bytes.find_first_of(" \t\r\n/>", at + 1);
    std::string name = bytes.substr(at + 1, end == std::string::npos ? 0 : end - at - 1);
    const std::size_t colon = name.find(':');
    return colon == std::string::npos ? name : name.substr(colon + 1);
  }
}

/// Option name -> value kind of the per-node and per-edge options of all
/// analyses, by scope.
const std::map<std::string, std::map<std::string, ValueKind>>& memberOptions() {
  static const auto options = [] {
    std::map<std::string, std::map<std::string, ValueKind>> found;
    KyAnalysisServiceName service;
    for (KyDListIter it(service.pInputDescription()->pDescriptionList()); it; ++it) {
      const auto* description = KyServiceItemDescription::castDown(it.pObject());
      const std::string key = toUtf8(description->pKey());
      const std::size_t first = key.find(':');
      const std::size_t second = key.find(':', first + 1);
      const std::string scope = key.substr(first + 1, second - first - 1);
      if (scope == "node" || scope == "edge")
        found[scope][key.substr(second + 1)] = std::wstring(description->pValueType()) == L"Boolean"
                                                   ? ValueKind::boolean
                                                   : ValueKind::integer;
    }
    return found;
  }();
  return options;
}

} // namespace

std::vector<std::string> columnNames(const std::string& scope) {
  std::vector<std::string> names;
  const auto found = memberOptions().find(scope);
  if (found != memberOptions().end())
    for (const auto& entry : found->second)
      names.push_back(entry.first);
  return names;
}

bool columnKind(const std::string& scope, const std::string& name, ValueKind& kind) {
  const auto found = memberOptions().find(scope);
  if (found == memberOptions().end())
    return false;
  const auto option = found->second.find(name);
  if (option == found->second.end())
    return false;
  kind = option->second;
  return true;
}

bool parseValue(ValueKind kind, std::string_view name, std::string_view text, int& value,
                std::string& error) {
  if (kind == ValueKind::boolean) {
    if (text == "0" || text == "1" || text == "true" || text == "false") {
      value = text == "1" || text == "true" ? 1 : 0;
      return true;
    }
    error = "the " + std::string(name) + " '" + escaped(text) + "' is not 0, 1, true or false";
    return false;
  }
  const char* end = text.data() + text.size();
  const auto [stop, failure] = std::from_chars(text.data(), end, value);
  if (failure == std::errc() && stop == end && !text.empty())
    return true;
  error = "the " + std::string(name) + " '" + escaped(text) + "' is not a 32-bit integer";
  return false;
}

bool readGraph(const GraphSource& source, GraphInput& input, std::string& error) {
  std::string bytes;
  if (!readInput(source.path, bytes, error))
    return false;
  const std::string where = shownPath(source.path);
  const std::string root = endsWith(source.path, ".xml")       ? "document"
                           : endsWith(source.path, ".graphml") ? "graphml"
                                                               : xmlRoot(bytes);
  if (root == "graphml") {
    if (!readGraphML(bytes, where, input, error))
      return false;
  } else if (!root.empty()) {
    input.document = std::make_unique<LoadedRequest>();
    if (!loadRequest(bytes, where, *input.document, error))
      return false;
    input.graph = std::move(input.document->graph);
  } else if (!readEdgeList(bytes, where, source.delimiter, input, error)) {
    return false;
  }
  if (source.nodes.empty())
    return true;
  std::string table;
  return readInput(source.nodes, table, error) &&
         readNodeTable(table, shownPath(source.nodes), source.delimiter, input, error);
}

} // namespace kyanalyze
