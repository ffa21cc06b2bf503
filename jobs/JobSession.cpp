#include "jobs/JobSession.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <set>

#include "device/Measurement.h"
#include "device/meters/Registry.h"
#include "field/Readout.h"
#include "jobs/JobTable.h"

namespace jobs {

std::int64_t WallClockMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

void LiveReadings::Add(LiveReading reading) {
  // A reading that is no power of the meter's (no number in range, or at a
  // wavelength it does not have) is kept for no capture, as the readout does.
  if (!field::IsDecibels(reading.dbm) || !meter::HasWavelength(meters::StationModel(), reading.wavelengthNm)) return;
  reading.number = ++m_nArrived;
  // A wall clock set back (by hand or by time sync) would date a reading
  // before the one that came before it, and a result's span would end before
  // it began: a reading is never dated earlier than its predecessor.
  reading.arrivedMs = std::max(reading.arrivedMs, m_lastArrivedMs);
  m_lastArrivedMs = reading.arrivedMs;
  m_readings.push_back(reading);
  while (!m_readings.empty() && reading.seconds - m_readings.front().seconds > kTrendSeconds) {
    m_readings.pop_front();
  }
}

std::optional<LiveReading> LiveReadings::Latest() const {
  if (m_readings.empty()) return std::nullopt;
  return m_readings.back();
}

std::vector<double> LiveReadings::LastAtLatestWavelength(size_t n) const {
  std::vector<double> last;
  if (m_readings.empty()) return last;
  const int wavelength = m_readings.back().wavelengthNm;
  for (auto it = m_readings.rbegin(); it != m_readings.rend() && last.size() < n; ++it) {
    if (it->wavelengthNm != wavelength) break;
    last.push_back(it->dbm);
  }
  std::reverse(last.begin(), last.end());
  return last;
}

std::vector<LiveReading> LiveReadings::Untaken(size_t n) const {
  std::vector<LiveReading> last;
  if (m_readings.empty()) return last;
  const int wavelength = m_readings.back().wavelengthNm;
  for (auto it = m_readings.rbegin(); it != m_readings.rend() && last.size() < n; ++it) {
    if (it->wavelengthNm != wavelength || it->number <= m_nTaken) break;
    last.push_back(*it);
  }
  std::reverse(last.begin(), last.end());
  return last;
}

void LiveReadings::MarkTaken(std::uint64_t number) { m_nTaken = std::max(m_nTaken, number); }

std::optional<CaptureInput> CaptureInputOf(const LiveReadings& live, int samples) {
  if (samples < 1) return std::nullopt;
  std::vector<LiveReading> readings = live.Untaken(static_cast<size_t>(samples));
  if (readings.size() < static_cast<size_t>(samples)) return std::nullopt;
  CaptureInput input;
  input.wavelengthNm = readings.back().wavelengthNm;
  for (const LiveReading& r : readings) input.readingsDbm.push_back(r.dbm);
  input.firstArrivedMs = readings.front().arrivedMs;
  input.lastArrivedMs = readings.back().arrivedMs;
  input.readings = std::move(readings);
  return input;
}

std::optional<CaptureInput> TakeCaptureInput(LiveReadings& live, int samples) {
  std::optional<CaptureInput> input = CaptureInputOf(live, samples);
  if (input) live.MarkTaken(input->readings.back().number);
  return input;
}

int ReadingsAwaited(const LiveReadings& live, int samples) {
  const size_t wanted = static_cast<size_t>(std::max(samples, 1));
  return static_cast<int>(wanted - live.Untaken(wanted).size());
}

Stability StabilityOf(const LiveReadings& live, int samples) {
  const std::vector<double> last = live.LastAtLatestWavelength(static_cast<size_t>(std::max(samples, 1)));
  Stability s;
  s.count = static_cast<int>(last.size());
  if (last.empty()) return s;
  const auto [lo, hi] = std::minmax_element(last.begin(), last.end());
  s.spanDb = *hi - *lo;
  s.unstable = std::round(s.spanDb * 100.0) > std::round(kUnstableSpanDb * 100.0);
  return s;
}

std::optional<std::string> NextUntested(const std::vector<std::string>& points, const std::vector<Result>& latest,
                                        const std::string& captured) {
  std::set<std::string> tested;
  for (const Result& r : latest) tested.insert(r.point);
  const auto at = std::find(points.begin(), points.end(), captured);
  const size_t start = at == points.end() ? 0 : static_cast<size_t>(at - points.begin()) + 1;
  for (size_t i = 0; i < points.size(); ++i) {
    const std::string& p = points[(start + i) % points.size()];
    if (!tested.count(p)) return p;
  }
  return std::nullopt;
}

TrendScale ScaleOf(const std::deque<LiveReading>& trend, const std::vector<double>& lines) {
  std::vector<double> values = lines;
  for (const LiveReading& r : trend) values.push_back(r.dbm);
  if (values.empty()) return {-1.0, 0.0};
  const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
  double low = *lo;
  double high = *hi;
  const double room = std::max((high - low) * 0.05, 0.1);
  low = std::floor((low - room) * 10.0) / 10.0;
  high = std::ceil((high + room) * 10.0) / 10.0;
  if (high - low < 1.0) {
    const double middle = (high + low) / 2.0;
    low = std::floor((middle - 0.5) * 10.0) / 10.0;
    high = low + 1.0;
  }
  return {low, high};
}

std::vector<double> TrendLines::Values() const {
  std::vector<double> v;
  for (const std::optional<double>& line : {low, high, reference}) {
    if (line) v.push_back(*line);
  }
  return v;
}

TrendLines TrendLinesOf(const Job& job, int wavelengthNm) {
  TrendLines lines;
  if (const auto it = job.profile.limits.find(wavelengthNm); it != job.profile.limits.end()) {
    lines.low = it->second.low;
    lines.high = it->second.high;
  }
  if (const auto it = job.referencesDbm.find(wavelengthNm); it != job.referencesDbm.end()) {
    lines.reference = it->second;
  }
  return lines;
}

Verdict Worse(Verdict a, Verdict b) {
  const auto rank = [](Verdict v) {
    switch (v) {
      case Verdict::Fail: return 3;
      case Verdict::Marginal: return 2;
      case Verdict::Pass: return 1;
      case Verdict::NoLimit: break;
    }
    return 0;
  };
  return rank(a) >= rank(b) ? a : b;
}

PointTable PointTableOf(const Job& job, const std::vector<std::string>& points, const std::vector<Result>& latest) {
  std::set<int> wavelengths;
  for (const auto& [nm, range] : job.profile.limits) wavelengths.insert(nm);
  std::map<std::string, std::map<int, const Result*>> byPoint;
  for (const Result& r : latest) {
    wavelengths.insert(r.wavelengthNm);
    byPoint[r.point][r.wavelengthNm] = &r;
  }
  PointTable table;
  table.wavelengths.assign(wavelengths.begin(), wavelengths.end());
  table.rows.reserve(points.size());
  for (const std::string& point : points) {
    PointRow row;
    row.point = point;
    const auto results = byPoint.find(point);
    for (int nm : table.wavelengths) {
      PointCell cell;
      if (results != byPoint.end()) {
        if (const auto it = results->second.find(nm); it != results->second.end()) {
          const Result& r = *it->second;
          cell.value = FormatDb(r.powerDbm);
          if (r.lossDb) cell.loss = FormatDb(*r.lossDb);
          cell.verdict = r.verdict;
          row.verdict = row.verdict ? Worse(*row.verdict, r.verdict) : r.verdict;
        }
      }
      row.cells.push_back(std::move(cell));
    }
    table.rows.push_back(std::move(row));
  }
  return table;
}

}  // namespace jobs
