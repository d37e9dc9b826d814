#include "KyColumnNames_p.h"

#include <kyformats/KyFormatText.h>

#include <algorithm>

using KyFormatText::escaped;

std::string KyColumnNames::lowered(std::string text) {
  for (char& c : text)
    c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return text;
}

KyColumnNames::Outcome KyColumnNames::resolve(const std::string& scope, const std::string& name,
                                              KyValueColumn& column, std::string& error) {
  const std::string key = lowered(name);
  const auto mapped = options_.columns.find(key);
  const std::string option = mapped != options_.columns.end() ? mapped->second : key;
  if (!KyValueColumn::kindOf(scope, option, column.kind)) {
    if (mapped == options_.columns.end()) {
      ignore(scope, name);
      return Outcome::ignored;
    }
    std::string known;
    for (const std::string& each : KyValueColumn::optionNames(scope))
      known += (known.empty() ? "" : ", ") + each;
    error = "the " + scope + " column '" + escaped(name) + "' is mapped to " + option +
            ", which is no " + scope + " option; " + scope + " options: " + known;
    return Outcome::refused;
  }
  column.names = {option};
  column.scale = column.kind == KyValueKind::integer ? options_.scale : 1;
  return Outcome::option;
}

void KyColumnNames::ignore(const std::string& scope, const std::string& name) {
  const std::string item = scope + " " + what_ + " '" + escaped(name) + "'";
  if (std::find(ignored_.begin(), ignored_.end(), item) == ignored_.end())
    ignored_.push_back(item);
}

std::string KyColumnNames::note(const std::string& where) const {
  if (ignored_.empty())
    return "";
  std::string items;
  for (const std::string& item : ignored_)
    items += (items.empty() ? "" : ", ") + item;
  return where + ": ignored, as no option has their names: " + items +
         " (--column OPTION=NAME reads one as an option)";
}
