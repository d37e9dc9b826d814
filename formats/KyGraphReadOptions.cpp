#include <kyformats/KyGraphReadOptions.h>

#include "KyColumnNames_p.h"

#include <kyformats/KyFormatText.h>
#include <kyformats/KyValueColumn.h>

#include <algorithm>
#include <charconv>

using KyFormatText::escaped;

bool KyGraphReadOptions::setDelimiter(const std::string& text, std::string& error) {
  const auto byte = text.size() == 1 ? static_cast<unsigned char>(text[0]) : 0;
  if (text == "tab" || text == "\t") {
    delimiter = '\t';
  } else if (text == "blank" || text == " ") {
    delimiter = ' ';
  } else if (byte > 0x20 && byte < 0x7F && byte != '"' && byte != '#') {
    delimiter = text[0];
  } else {
    error = "--delimiter '" + escaped(text) +
            "': expected one character other than a quote or '#', tab or blank";
    return false;
  }
  return true;
}

bool KyGraphReadOptions::mapColumn(const std::string& assignment, std::string& error) {
  const std::size_t equals = assignment.find('=');
  const std::string option = assignment.substr(0, std::min(equals, assignment.size()));
  const std::string name = equals == std::string::npos ? "" : assignment.substr(equals + 1);
  if (option.empty() || name.empty()) {
    error = "--column '" + escaped(assignment) + "': expected OPTION=NAME, as in cost=weight";
    return false;
  }
  KyValueKind kind;
  if (!KyValueColumn::kindOf("node", option, kind) &&
      !KyValueColumn::kindOf("edge", option, kind)) {
    std::vector<std::string> options = KyValueColumn::optionNames("node");
    for (const std::string& each : KyValueColumn::optionNames("edge"))
      options.push_back(each);
    std::sort(options.begin(), options.end());
    options.erase(std::unique(options.begin(), options.end()), options.end());
    std::string known;
    for (const std::string& each : options)
      known += (known.empty() ? "" : ", ") + each;
    error = "--column " + escaped(assignment) + ": '" + escaped(option) +
            "' is no per-node or per-edge option; they are " + known;
    return false;
  }
  const std::string key = KyColumnNames::lowered(name);
  const bool optionMapped = std::any_of(columns.begin(), columns.end(),
                                        [&](const auto& entry) { return entry.second == option; });
  if (columns.count(key) != 0 || optionMapped) {
    error = "--column " + escaped(assignment) + ": " +
            (columns.count(key) != 0 ? "the column '" + escaped(name) + "' is" : option + " is") +
            " mapped already";
    return false;
  }
  columns[key] = option;
  return true;
}

bool KyGraphReadOptions::setScale(const std::string& text, std::string& error) {
  int parsed = 0;
  const char* end = text.data() + text.size();
  const auto [stop, failure] = std::from_chars(text.data(), end, parsed);
  if (failure != std::errc() || stop != end || parsed < 1 || parsed > 1000000000) {
    error = "--scale '" + escaped(text) + "': expected a whole number from 1 to 1000000000";
    return false;
  }
  scale = parsed;
  return true;
}
