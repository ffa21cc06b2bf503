#include "field/Readout.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "common/TextRules.h"

namespace field {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  return text::TrimRight(s);
}

// Hundredths, the precision everything is shown and judged in. Kept as a
// double: a whole number of hundredths is exact in it up to 2^53, and beyond
// that it stays a number instead of overflowing an integer.
double Hundredths(double value) { return std::round(value * 100.0); }

}  // namespace

bool IsDecibels(double value) { return std::isfinite(value) && std::fabs(value) <= kMaxDecibels; }

std::optional<double> ParseDecibels(std::string_view text) {
  const std::optional<double> value = ParseNumber(text);
  if (!value || !IsDecibels(*value)) return std::nullopt;
  return value;
}

std::string FormatTwoDecimals(double value) {
  if (!std::isfinite(value)) return std::isnan(value) ? "nan" : value < 0 ? "-inf" : "inf";
  // Near the top of the range value * 100 is no longer finite; such a value
  // has no hundredths to round.
  double shown = Hundredths(value) / 100.0;
  if (!std::isfinite(shown)) shown = value;
  // -0.004 would print as "-0.00".
  if (shown == 0) shown = 0.0;
  // The largest double has 309 digits before the point. std::to_chars writes
  // what printf's "%.2f" writes, without its locale and format parsing: a
  // job's tens of thousands of values are formatted at once.
  char buffer[330];
  const std::to_chars_result end = std::to_chars(buffer, buffer + sizeof buffer, shown, std::chars_format::fixed, 2);
  return std::string(buffer, end.ptr);
}

std::string FormatSigned(double value) {
  std::string s = FormatTwoDecimals(value);
  if (s.front() != '-') s.insert(s.begin(), '+');
  return s;
}

Sample SampleOf(const meter::Measurement& m) {
  Sample s;
  s.wavelength = Trim(m.wavelength);
  s.linearPower = Trim(m.linearPower);
  s.logPower = Trim(m.logPower);
  s.dbm = m.dBm;
  s.wavelengthNm = m.wavelengthNm;
  return s;
}

// ---- statistics --------------------------------------------------------------

void Statistics::Add(double dbm) {
  if (m_nCount == 0 || dbm < m_dMin) m_dMin = dbm;
  if (m_nCount == 0 || dbm > m_dMax) m_dMax = dbm;
  m_dLinearSum += std::pow(10.0, dbm / 10.0);
  ++m_nCount;
}

double Statistics::MeanDbm() const {
  return m_nCount ? 10.0 * std::log10(m_dLinearSum / m_nCount) : 0.0;
}

std::string Statistics::SummaryLine() const {
  auto number = [this](double v) { return m_nCount ? FormatTwoDecimals(v) : std::string("-"); };
  return "count " + std::to_string(m_nCount) + "  min " + number(Min()) + " dBm  max " +
         number(Max()) + " dBm  mean " + number(MeanDbm()) + " dBm  span " + number(Span()) + " dB";
}

// ---- limits ------------------------------------------------------------------

Verdict Judge(double value, const std::optional<Window>& window) {
  if (!window) return Verdict::None;
  const double v = Hundredths(value);
  return v >= Hundredths(window->low) && v <= Hundredths(window->high) ? Verdict::Pass : Verdict::Fail;
}

std::optional<Window> Limits::WindowFor(std::optional<int> wavelengthNm, bool againstReference) const {
  if (againstReference) return relative;
  if (wavelengthNm) {
    const auto it = byWavelength.find(*wavelengthNm);
    if (it != byWavelength.end()) return it->second;
  }
  return anyWavelength;
}

Limits Limits::PonPresets() {
  Limits l;
  l.byWavelength = {{1310, {-28.0, -8.0}}, {1490, {-27.0, -8.0}}, {1550, {-8.0, 2.0}}};
  return l;
}

// ---- the readout -------------------------------------------------------------

void Readout::Restart() {
  m_stats.Reset();
  m_latest.reset();
  m_bAnyFailed = false;
}

void Readout::JudgeRow(Row& row) const {
  row.reference.reset();
  row.relative.reset();
  row.verdict = Verdict::None;
  const auto dbm = row.sample.dbm;
  if (!dbm) return;
  if (m_judge) {
    const Judged judged = m_judge->judge(*dbm, row.sample.wavelengthNm);
    row.reference = judged.reference;
    if (row.reference) row.relative = *dbm - *row.reference;
    row.verdict = judged.verdict;
    return;
  }
  row.reference = m_reference;
  if (m_reference) row.relative = *dbm - *m_reference;
  const double value = row.relative.value_or(*dbm);
  row.verdict = Judge(value, m_limits.WindowFor(row.sample.wavelengthNm, m_reference.has_value()));
}

const Row& Readout::Add(const meter::Measurement& measurement) {
  Row row;
  row.sample = SampleOf(measurement);
  if (const auto dbm = row.sample.dbm) m_stats.Add(*dbm);
  JudgeRow(row);
  if (row.verdict == Verdict::Fail) m_bAnyFailed = true;
  m_latest = std::move(row);
  return *m_latest;
}

void Readout::JudgeBy(std::optional<ReadingJudge> judge) {
  m_judge = std::move(judge);
  if (m_latest) JudgeRow(*m_latest);
}

std::optional<double> Readout::ShownReference() const {
  if (!m_judge) return m_reference;
  return m_latest ? m_latest->reference : std::nullopt;
}

}  // namespace field
