#include "device/Measurement.h"

#include <charconv>
#include <cmath>

#include "common/TextRules.h"

namespace meter {

namespace {

constexpr size_t kPlotValueLength = 6;  // the bytes of the log power the graph reads

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  return text::TrimRight(s);
}

// The length of the number at the start of `t` (sign, digits, one point,
// digits), or 0 when no digit is there.
size_t NumberLength(std::string_view t) {
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  size_t digits = 0;
  for (; i < t.size() && text::IsDigit(t[i]); ++i) ++digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    for (; i < t.size() && text::IsDigit(t[i]); ++i) ++digits;
  }
  return digits == 0 ? 0 : i;
}

// `t` is a whole number as NumberLength accepts it. More digits than a double
// holds give an infinity (a value that large) or zero (that small), never the
// zero from_chars leaves for both.
double ToDouble(std::string_view t) {
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  double value = 0;
  if (std::from_chars(t.data(), t.data() + t.size(), value).ec != std::errc::result_out_of_range) return value;
  const bool negative = !t.empty() && t.front() == '-';
  const std::string_view whole = t.substr(0, t.find('.'));
  const bool large = whole.find_first_not_of("-0") != std::string_view::npos;
  const double magnitude = large ? HUGE_VAL : 0.0;
  return negative ? -magnitude : magnitude;
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
  const std::string_view t = TrimBlanks(text);
  const size_t n = NumberLength(t);
  if (n == 0 || n != t.size()) return std::nullopt;
  return ToDouble(t);
}

Measurement Measure(const Reading& texts) {
  Measurement m;
  static_cast<Reading&>(m) = texts;
  m.dBm = ParseNumber(texts.logPower);
  if (const auto nm = ParseNumber(texts.wavelength); nm && *nm == std::floor(*nm) && *nm > 0 && *nm < 100000) {
    m.wavelengthNm = static_cast<int>(*nm);
  }
  const std::string_view linear = TrimBlanks(texts.linearPower);
  if (const size_t n = NumberLength(linear); n > 0) {
    m.linear = ToDouble(linear.substr(0, n));
    m.linearUnit = linear.substr(n);
  }
  m.plotDbm = text::LeadingInt(texts.logPower.substr(0, std::min(texts.logPower.size(), kPlotValueLength)));
  return m;
}

}  // namespace meter
