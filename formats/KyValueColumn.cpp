#include <kyformats/KyValueColumn.h>

#include <kyformats/KyFormatText.h>

#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyplatform/KyDList.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>

#include <charconv>
#include <map>

namespace {

/// Option name -> value kind of the per-node and per-edge options of all
/// analyses, by scope; made once.
const std::map<std::string, std::map<std::string, KyValueKind>>& memberOptions() {
  static const auto options = [] {
    std::map<std::string, std::map<std::string, KyValueKind>> found;
    KyAnalysisServiceName service;
    for (KyDListIter it(service.pInputDescription()->pDescriptionList()); it; ++it) {
      const auto* description = KyServiceItemDescription::castDown(it.pObject());
      const std::string key = KyFormatText::toUtf8(description->pKey());
      const std::size_t first = key.find(':');
      const std::size_t second = key.find(':', first + 1);
      const std::string scope = key.substr(first + 1, second - first - 1);
      if (scope == "node" || scope == "edge")
        found[scope][key.substr(second + 1)] = std::wstring(description->pValueType()) == L"Boolean"
                                                   ? KyValueKind::boolean
                                                   : KyValueKind::integer;
    }
    return found;
  }();
  return options;
}

} // namespace

std::vector<std::string> KyValueColumn::optionNames(const std::string& scope) {
  std::vector<std::string> names;
  const auto found = memberOptions().find(scope);
  if (found != memberOptions().end())
    for (const auto& entry : found->second)
      names.push_back(entry.first);
  return names;
}

bool KyValueColumn::kindOf(const std::string& scope, const std::string& name, KyValueKind& kind) {
  const auto found = memberOptions().find(scope);
  if (found == memberOptions().end())
    return false;
  const auto option = found->second.find(name);
  if (option == found->second.end())
    return false;
  kind = option->second;
  return true;
}

bool KyValueColumn::parse(KyValueKind kind, std::string_view name, std::string_view text,
                          int& value, std::string& error) {
  using KyFormatText::escaped;
  if (kind == KyValueKind::boolean) {
    if (text == "0" || text == "1" || text == "true" || text == "false") {
      value = text == "1" || text == "true" ? 1 : 0;
      return true;
    }
    error = "the " + std::string(name) + " '" + escaped(text) + "' is not 0, 1, true or false";
    return false;
  }
  const char* end = text.data() + text.size();
  int parsed = 0;
  const auto [stop, failure] = std::from_chars(text.data(), end, parsed);
  if (failure == std::errc() && stop == end && !text.empty()) {
    value = parsed;
    return true;
  }
  error = "the " + std::string(name) + " '" + escaped(text) + "' is not a 32-bit integer";
  return false;
}
