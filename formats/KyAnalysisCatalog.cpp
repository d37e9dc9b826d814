#include <kyformats/KyAnalysisCatalog.h>

#include "KyVocabulary_p.h"

#include <kyformats/KyFormatText.h>

#include <kyanalysis/KyAnalysisOperation.h>
#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyplatform/KyDList.h>
#include <kyplatform/KyDouble.h>
#include <kyplatform/KyHashMap.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyText.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cwchar>
#include <ostream>

namespace KyAnalysisCatalog {
namespace {

using KyFormatText::padded;
using KyFormatText::toUtf8;

// Members keep the order they were added in, so the JSON reads like the text.
using Json = nlohmann::ordered_json;

Json itemJson(const KyServiceItemDescription& description) {
  const std::string key = toUtf8(description.pKey());
  return Json{{"key", key},
              {"ownerType", toUtf8(description.pOwnerType())},
              {"valueType", toUtf8(description.pValueType())},
              {"meaning", KyVocabulary::termOf(key).meaning}};
}

/// The default as a JSON number (integer for KyInt, floating for KyDouble),
/// or null when there is none.
Json defaultJson(const KyObject* value) {
  if (const auto* integer = dynamic_cast<const KyInt*>(value))
    return integer->value();
  if (const auto* real = dynamic_cast<const KyDouble*>(value))
    return real->value();
  return nullptr;
}

/// The names and codes of an enumerated option in map order, or null.
Json enumerationJson(const KyHashMap* map) {
  if (map == nullptr)
    return nullptr;
  Json entries = Json::array();
  for (int i = 0; i < map->length(); ++i)
    entries.push_back(Json{{"name", toUtf8(KyText::castDown(map->pKeyAt(i))->pValue())},
                           {"code", KyInt::castDown(map->pValueAt(i))->value()}});
  return entries;
}

Json optionJson(const KyServiceOptionDescription& description) {
  Json option = itemJson(description);
  option["default"] = defaultJson(description.pDefaultValue());
  option["enumeration"] = enumerationJson(description.pEnumeration());
  return option;
}

/// The operation code of the analysis whose word starts `key` (the text
/// before its first ':'), or OPERATION_NONE for the keys every request
/// shares ("all:..." and "errorCode").
int analysisOf(const wchar_t* key) {
  const wchar_t* colon = std::wcschr(key, L':');
  std::wstring word = colon != nullptr ? std::wstring(key, colon) : std::wstring(key);
  return KyAnalysisOperation::fromWord(word.c_str());
}

/// Every analysis in code order, each with its options and results in
/// registration order, and the shared options and results.
Json describeAll() {
  Json analyses = Json::array();
  for (int code = 0; code < KyAnalysisOperation::count(); ++code)
    analyses.push_back(Json{{"code", code},
                            {"word", toUtf8(KyAnalysisOperation::word(code))},
                            {"mapName", toUtf8(KyAnalysisOperation::mapName(code))},
                            {"options", Json::array()},
                            {"results", Json::array()}});
  Json shared = Json{{"options", Json::array()}, {"results", Json::array()}};
  auto sectionOf = [&](const wchar_t* key) -> Json& {
    int code = analysisOf(key);
    return code == OPERATION_NONE ? shared : analyses[static_cast<std::size_t>(code)];
  };

  KyAnalysisServiceName serviceName;
  for (KyDListIter it(serviceName.pInputDescription()->pDescriptionList()); it; ++it) {
    const auto* option = KyServiceOptionDescription::castDown(it.pObject());
    sectionOf(option->pKey())["options"].push_back(optionJson(*option));
  }
  for (KyDListIter it(serviceName.pOutputDescription()->pDescriptionList()); it; ++it) {
    const auto* result = KyServiceItemDescription::castDown(it.pObject());
    sectionOf(result->pKey())["results"].push_back(itemJson(*result));
  }
  return Json{{"analyses", std::move(analyses)}, {"shared", std::move(shared)}};
}

struct Widths {
  std::size_t key = 0;
  std::size_t owner = 0;
  std::size_t value = 0;
  std::size_t fallback = 1; // the default column
};

const std::string& text(const Json& value) { return value.get_ref<const std::string&>(); }

void measure(const Json& section, Widths& widths) {
  for (const char* list : {"options", "results"})
    for (const Json& item : section.at(list)) {
      widths.key = std::max(widths.key, text(item.at("key")).size());
      widths.owner = std::max(widths.owner, text(item.at("ownerType")).size());
      widths.value = std::max(widths.value, text(item.at("valueType")).size());
      if (item.contains("default") && !item.at("default").is_null())
        widths.fallback = std::max(widths.fallback, item.at("default").dump().size());
    }
}

/// One line per option and result, columns aligned to `widths`, its meaning
/// last; the names and codes of an enumerated option follow it, indented.
void writeItems(std::ostream& out, const Json& section, const Widths& widths) {
  const Json& options = section.at("options");
  if (options.empty())
    out << "  no options\n";
  for (const Json& option : options) {
    const Json& value = option.at("default");
    out << "  option  " << padded(text(option.at("key")), widths.key) << "  "
        << padded(text(option.at("ownerType")), widths.owner) << "  "
        << padded(text(option.at("valueType")), widths.value) << "  "
        << padded(value.is_null() ? "-" : value.dump(), widths.fallback) << "  "
        << text(option.at("meaning")) << '\n';
    const Json& enumeration = option.at("enumeration");
    if (enumeration.is_array())
      for (const Json& entry : enumeration)
        out << "            " << text(entry.at("name")) << " = " << entry.at("code").dump() << '\n';
  }
  const Json& results = section.at("results");
  if (results.empty())
    out << "  no results\n";
  for (const Json& result : results)
    out << "  result  " << padded(text(result.at("key")), widths.key) << "  "
        << padded(text(result.at("ownerType")), widths.owner) << "  "
        << padded(text(result.at("valueType")), widths.value) << "  " << padded("", widths.fallback)
        << "  " << text(result.at("meaning")) << '\n';
}

void writeModel(std::ostream& out, const Json& model) {
  Widths widths;
  for (const Json& analysis : model.at("analyses"))
    measure(analysis, widths);
  measure(model.at("shared"), widths);

  for (const Json& analysis : model.at("analyses")) {
    out << text(analysis.at("word")) << " (code " << analysis.at("code").dump() << ", "
        << text(analysis.at("mapName")) << ")\n";
    writeItems(out, analysis, widths);
    out << '\n';
  }
  out << "shared by every request\n";
  writeItems(out, model.at("shared"), widths);
}

/// The catalogue of every analysis, or of `operation` alone when it is one.
Json catalog(int operation) {
  Json model = describeAll();
  if (KyAnalysisOperation::word(operation) != nullptr) {
    Json chosen = std::move(model["analyses"][static_cast<std::size_t>(operation)]);
    model["analyses"] = Json::array({std::move(chosen)});
  }
  return model;
}

} // namespace

std::string json(int operation) { return catalog(operation).dump(2); }

void writeText(std::ostream& out, int operation) { writeModel(out, catalog(operation)); }

} // namespace KyAnalysisCatalog
