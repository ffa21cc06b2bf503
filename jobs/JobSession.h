#pragma once
// What the job panel does with live readings, without a window: it keeps the
// readings of the last minute, hands a capture the last N readings at one
// wavelength, tells how steady they are, scales the trend, picks the next
// point to measure and lays out the point list. The window's panel only draws
// what this says.
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "jobs/Job.h"

namespace jobs {

// The trend shows this much of the latest readings.
inline constexpr double kTrendSeconds = 60.0;

struct LiveReading {
  double seconds = 0;  // on a clock that only goes forward
  int wavelengthNm = 0;
  double dbm = 0;
  // When it arrived by the wall clock (WallClockMs), never before the
  // reading that arrived before it: what a result records of its readings.
  std::int64_t arrivedMs = 0;
  // Its place in the order the readings arrived in, given by
  // LiveReadings::Add and never given twice, across stops, restarts and a
  // lost meter alike: what a capture took is known by these numbers.
  std::uint64_t number = 0;
};

// Now by the wall clock, in milliseconds since the epoch: a reading's
// arrival as the panel and the command line stamp it.
std::int64_t WallClockMs();

// The readings of a real-time run as they arrive, and which of them a
// capture has taken: every reading feeds at most one result.
class LiveReadings {
 public:
  // A new run: the readings go, the count of arrivals and what captures took
  // stay, so a reading from before can never be taken again.
  void Clear() { m_readings.clear(); }
  void Add(LiveReading reading);

  std::optional<LiveReading> Latest() const;
  // The last `n` readings (fewer while the run is younger) at the latest
  // reading's wavelength, oldest first: a change of wavelength starts over,
  // so a capture never mixes two wavelengths.
  std::vector<double> LastAtLatestWavelength(size_t n) const;
  // The readings of the last kTrendSeconds before the latest, oldest first.
  const std::deque<LiveReading>& Trend() const { return m_readings; }

  // The readings no capture has taken yet at the latest reading's wavelength
  // (the last `n` at most, oldest first).
  std::vector<LiveReading> Untaken(size_t n) const;
  // Marks every reading up to and including `number` taken.
  void MarkTaken(std::uint64_t number);

 private:
  std::deque<LiveReading> m_readings;
  std::uint64_t m_nArrived = 0;
  std::uint64_t m_nTaken = 0;  // the last reading a capture took
  std::int64_t m_lastArrivedMs = 0;  // the latest reading's arrival, across runs
};

// What a capture takes: the wavelength and the last N readings at it that
// arrived after the readings of the previous capture.
struct CaptureInput {
  int wavelengthNm = 0;
  std::vector<double> readingsDbm;
  std::vector<LiveReading> readings;  // the same readings, with when they arrived
  // The first and the last reading's arrival (LiveReading::arrivedMs).
  std::int64_t firstArrivedMs = 0;
  std::int64_t lastArrivedMs = 0;
};
// nullopt while fewer than N such readings have arrived since the run, the
// wavelength or the previous capture began: a capture never reuses a
// reading, so a second press waits for N new ones.
std::optional<CaptureInput> CaptureInputOf(const LiveReadings& live, int samples);
// The same, with the readings marked taken: no later capture gets them.
std::optional<CaptureInput> TakeCaptureInput(LiveReadings& live, int samples);
// How many new readings a capture of `samples` still waits for (0: ready).
int ReadingsAwaited(const LiveReadings& live, int samples);

// The span of the last N readings; "unstable" over kUnstableSpanDb, judged on
// the two-decimal span shown.
struct Stability {
  int count = 0;  // readings the span covers (at most N)
  double spanDb = 0;
  bool unstable = false;
};
Stability StabilityOf(const LiveReadings& live, int samples);

// The point to select after a capture of `captured`: the first untested point
// after it in job order, else the first untested one before it; nullopt when
// every point has a result.
std::optional<std::string> NextUntested(const std::vector<std::string>& points, const std::vector<Result>& latest,
                                        const std::string& captured);

// The trend's value axis: the readings and every line drawn (limits,
// reference) inside, with a little room, ends on whole tenths of a dB, never
// narrower than 1 dB.
struct TrendScale {
  double low = 0;
  double high = 0;
};
TrendScale ScaleOf(const std::deque<LiveReading>& trend, const std::vector<double>& lines);

// The lines the trend draws at a wavelength: the profile's lower and upper
// power limits there, and the job's reference when one is set.
struct TrendLines {
  std::optional<double> low;
  std::optional<double> high;
  std::optional<double> reference;
  std::vector<double> Values() const;
};
TrendLines TrendLinesOf(const Job& job, int wavelengthNm);

// The point list: a row per point in job order, the value and the loss per
// wavelength, and the point's verdict (its worst wavelength's).
struct PointCell {
  std::string value;  // "-20.00", empty when untested at the wavelength
  std::string loss;   // "12.50", empty without a reference
  std::optional<Verdict> verdict;
};
struct PointRow {
  std::string point;
  std::vector<PointCell> cells;    // one per PointTable::wavelengths
  std::optional<Verdict> verdict;  // nullopt: untested
};
struct PointTable {
  // The profile's wavelengths and those with results, ascending.
  std::vector<int> wavelengths;
  std::vector<PointRow> rows;
  // The list's columns: the point, a power and a loss column per wavelength,
  // the verdict.
  int ColumnCount() const { return 2 + 2 * static_cast<int>(wavelengths.size()); }
};
// The point and the verdict are frozen at the list's two edges: they stay in
// view whatever the number of wavelengths, while the wavelengths' columns
// scroll between them when they do not all fit.
inline constexpr int kFrozenLeadingColumns = 1;   // the point
inline constexpr int kFrozenTrailingColumns = 1;  // the verdict
PointTable PointTableOf(const Job& job, const std::vector<std::string>& points, const std::vector<Result>& latest);

// The worse of two verdicts: FAIL, MARGINAL, PASS, NO LIMIT.
Verdict Worse(Verdict a, Verdict b);

}  // namespace jobs
