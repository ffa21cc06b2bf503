#include "common/SpreadsheetText.h"

#include <algorithm>

#include "common/TextRules.h"

namespace sheettext {

namespace {

// A decimal number with an optional sign, fraction and exponent; blanks
// around it are allowed, as data files pad their cells.
bool IsNumber(std::string_view t) {
  while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
  while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  size_t digits = 0;
  for (; i < t.size() && text::IsDigit(t[i]); ++i) ++digits;
  if (i < t.size() && t[i] == '.') {
    for (++i; i < t.size() && text::IsDigit(t[i]); ++i) ++digits;
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t exponent = 0;
    for (; i < t.size() && text::IsDigit(t[i]); ++i) ++exponent;
    if (exponent == 0) return false;
  }
  return i == t.size();
}

// The meter's mark for a reading it has no value for ("--.--"): dashes and
// points alone are text to every spreadsheet, and exports have always held
// the mark as the meter sent it.
bool IsNoValueMark(std::string_view t) {
  return t.find_first_not_of("-. ") == std::string_view::npos;
}

}  // namespace

bool StartsLikeFormula(std::string_view value) {
  if (value.empty()) return false;
  switch (value.front()) {
    case '=': case '+': case '-': case '@': case '\t': case '\r':
      return !IsNumber(value) && !IsNoValueMark(value);
    default:
      return false;
  }
}

std::string Defused(std::string_view value) {
  if (!StartsLikeFormula(value)) return std::string(value);
  std::string out = "'";
  out += value;
  return out;
}

void AppendCsvValue(std::string& out, std::string_view value) {
  // A plain loop: the library's search for any of several bytes calls
  // memchr for every byte of the text.
  const bool quoted = std::any_of(value.begin(), value.end(),
                                  [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
  if (quoted) out += '"';
  if (StartsLikeFormula(value)) out += '\'';
  if (!quoted) {
    out += value;
    return;
  }
  for (size_t quote = value.find('"'); quote != std::string_view::npos; quote = value.find('"')) {
    out.append(value.substr(0, quote + 1));
    out += '"';
    value.remove_prefix(quote + 1);
  }
  out += value;
  out += '"';
}

std::string CsvValue(std::string_view value) {
  std::string out;
  AppendCsvValue(out, value);
  return out;
}

}  // namespace sheettext
