#include <kyformats/KyValueColumn.h>

#include "KyColumnNames_p.h"

#include <kyformats/KyFormatText.h>

#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyplatform/KyDList.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>

#include <charconv>
#include <climits>
#include <cmath>
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

bool digit(char c) { return c >= '0' && c <= '9'; }

/// Whether `text` is a decimal number, "[+-]D[.D][(e|E)[+-]D]" with digits
/// before or after the point; if so, whether its value is a whole number
/// and, when it is one that fits, that number.
bool decimal(std::string_view text, bool& integral, long long& whole) {
  std::size_t i = 0;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+'))
    ++i;
  std::string digits;
  long long exponent = 0; // the value is digits times 10^exponent
  const std::size_t start = i;
  for (; i < text.size() && digit(text[i]); ++i)
    digits += text[i];
  bool any = i > start;
  if (i < text.size() && text[i] == '.') {
    const std::size_t fraction = ++i;
    for (; i < text.size() && digit(text[i]); ++i, --exponent)
      digits += text[i];
    any = any || i > fraction;
  }
  if (!any)
    return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    const bool down = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
      ++i;
    const std::size_t first = i;
    long long power = 0;
    for (; i < text.size() && digit(text[i]); ++i)
      power = std::min(power * 10 + (text[i] - '0'), 1000000000LL);
    if (i == first)
      return false;
    exponent += down ? -power : power;
  }
  if (i != text.size())
    return false;
  digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
  while (!digits.empty() && digits.back() == '0') {
    digits.pop_back();
    ++exponent;
  }
  integral = digits.empty() || exponent >= 0;
  whole = LLONG_MAX; // too large, unless it fits
  if (digits.empty()) {
    whole = 0;
  } else if (integral && static_cast<long long>(digits.size()) + exponent <= 12) {
    whole = 0;
    for (char c : digits)
      whole = whole * 10 + (c - '0');
    for (long long k = 0; k < exponent; ++k)
      whole *= 10;
  }
  if (negative && whole != LLONG_MAX)
    whole = -whole;
  return true;
}

bool fits(long long value) { return value >= INT_MIN && value <= INT_MAX; }

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
  return parse(kind, name, text, 1, value, error);
}

bool KyValueColumn::parse(KyValueKind kind, std::string_view name, std::string_view text, int scale,
                          int& value, std::string& error) {
  using KyFormatText::escaped;
  const auto refuse = [&](const std::string& why) {
    error = "the " + std::string(name) + " '" + escaped(text) + "' " + why;
    return false;
  };
  if (kind == KyValueKind::boolean) {
    const std::string lower = KyColumnNames::lowered(std::string(text));
    if (lower == "0" || lower == "1" || lower == "true" || lower == "false") {
      value = lower == "1" || lower == "true" ? 1 : 0;
      return true;
    }
    return refuse("is not 0, 1, true or false");
  }
  // Most values are plain integers: read them without more ado.
  const char* end = text.data() + text.size();
  int parsed = 0;
  const auto [stop, failure] = std::from_chars(text.data(), end, parsed);
  if (failure == std::errc() && stop == end && !text.empty()) {
    const long long scaled = static_cast<long long>(parsed) * scale;
    if (!fits(scaled))
      return refuse("times the scale " + std::to_string(scale) + " is not a 32-bit integer");
    value = static_cast<int>(scaled);
    return true;
  }
  bool integral = false;
  long long whole = 0;
  if (!decimal(text, integral, whole))
    return refuse("is not a 32-bit integer");
  if (scale == 1) {
    if (!integral)
      return refuse("is not an integer; --scale N reads such values multiplied by N");
    if (!fits(whole))
      return refuse("is not a 32-bit integer");
    value = static_cast<int>(whole);
    return true;
  }
  double real = 0;
  std::string plain(text[0] == '+' ? text.substr(1) : text); // from_chars takes no '+'
  const bool read =
      std::from_chars(plain.data(), plain.data() + plain.size(), real).ec == std::errc();
  const double scaled = std::round(real * scale);
  if (!read || !(std::fabs(scaled) <= INT_MAX))
    return refuse("times the scale " + std::to_string(scale) + " is not a 32-bit integer");
  value = static_cast<int>(scaled);
  return true;
}
