#pragma once
// The field readout: what a technician at the fibre wants of each real-time
// reading beyond its table row. The power as a number, the statistics of the
// run (count, minimum, maximum, mean, span), the loss against a stored
// reference, and a go/no-go verdict against limits. The windowed program's
// readout panel and km360r-cli's field options both run on this.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "device/Measurement.h"

namespace field {

// The numbers of one real-time reading.
struct Sample {
  std::optional<double> dbm;        // the logarithmic power; nullopt when its text is no number
  std::optional<int> wavelengthNm;  // nullopt when the wavelength text is no whole number
  std::string wavelength;           // the meter's texts (GBK), blanks trimmed
  std::string linearPower;          // with its unit, e.g. "12.24uW"
  std::string logPower;
};

// The numbers come from the measurement as the meter model read them; the
// texts are trimmed for the panel and the log.
Sample SampleOf(const meter::Measurement& measurement);
// Texts cut by hand: their numbers are read first.
inline Sample SampleOf(const meter::Reading& reading) { return SampleOf(meter::Measure(reading)); }

// The meter's number rule (meter::ParseNumber), for what the operator types.
using meter::ParseNumber;

// Powers, references, limits and margins a meter and its users deal in lie
// well within this many dB; anything beyond is a typing error or a damaged
// file, and is refused wherever a dB value enters: typed, read from a file or
// read back from a store.
inline constexpr double kMaxDecibels = 200;
// Finite and within +-kMaxDecibels.
bool IsDecibels(double value);
// A number by the meter's rule that IsDecibels; nullopt otherwise.
std::optional<double> ParseDecibels(std::string_view text);

// Two decimals: "-20.00". Any finite value prints as the number it is,
// however large; a value that is no finite number prints as "nan" or "inf".
std::string FormatTwoDecimals(double value);
// Two decimals with the sign always shown: "+0.50", "-3.20"; zero is "+0.00".
std::string FormatSigned(double value);

// The running statistics of a run's readings in dBm. The mean is that of the
// linear powers, expressed in dBm again: averaging decibels would weigh a
// dip far more than the light that was actually there.
class Statistics {
 public:
  void Add(double dbm);
  void Reset() { *this = Statistics(); }

  int Count() const { return m_nCount; }
  double Min() const { return m_dMin; }
  double Max() const { return m_dMax; }
  double Span() const { return m_dMax - m_dMin; }
  double MeanDbm() const;

  // "count N  min X dBm  max Y dBm  mean Z dBm  span S dB", two decimals;
  // without readings the numbers are "-".
  std::string SummaryLine() const;

 private:
  int m_nCount = 0;
  double m_dMin = 0;
  double m_dMax = 0;
  double m_dLinearSum = 0;  // milliwatts
};

// A range of acceptable values, both ends included.
struct Window {
  double low = 0;
  double high = 0;
  bool operator==(const Window&) const = default;
};

// The readout's own limits give PASS or FAIL; a test job judging the readout
// (ReadingJudge) also MARGINAL, and NO LIMIT where its profile has none.
enum class Verdict { None, Pass, Fail, Marginal, NoLimit };

// PASS when low <= value <= high, compared as the two-decimal values shown,
// so that a value printed as "-3.00" passes a limit of -3 however it was
// rounded; None without a window.
Verdict Judge(double value, const std::optional<Window>& window);

// What judges the readings in place of the readout's own reference and
// limits: the open test job, so that a reading shows the verdict its result
// would get. `judge` gives the reference at the reading's wavelength (the
// relative value follows from it) and the verdict.
struct Judged {
  std::optional<double> reference;
  Verdict verdict = Verdict::None;
};
struct ReadingJudge {
  std::string name;  // shown beside the verdict: the job's profile
  std::function<Judged(double dbm, std::optional<int> wavelengthNm)> judge;
};

// The limits a reading is judged by: a window per wavelength (dBm), one for
// wavelengths without their own, and one for the relative value, which takes
// over whenever a reference is set.
struct Limits {
  std::map<int, Window> byWavelength;
  std::optional<Window> anyWavelength;
  std::optional<Window> relative;

  std::optional<Window> WindowFor(std::optional<int> wavelengthNm, bool againstReference) const;
  bool Empty() const { return byWavelength.empty() && !anyWavelength && !relative; }
  bool operator==(const Limits&) const = default;

  // The receive windows of a GPON link (class B+): upstream at the OLT
  // (1310 nm, -28 to -8 dBm), downstream at the ONT (1490 nm, -27 to -8 dBm),
  // and the video overlay at the ONT (1550 nm, -8 to +2 dBm).
  static Limits PonPresets();
};

// One reading as the readout sees it.
struct Row {
  Sample sample;
  std::optional<double> reference;  // what the relative value is taken against
  std::optional<double> relative;   // reading - reference, when both are there
  Verdict verdict = Verdict::None;
};

class Readout {
 public:
  void SetReference(std::optional<double> dbm) { m_reference = dbm; }
  const std::optional<double>& Reference() const { return m_reference; }
  void SetLimits(Limits limits) { m_limits = std::move(limits); }
  const Limits& LimitsSet() const { return m_limits; }
  // Judges by `judge` instead of the own reference and limits (kept for when
  // it goes); the latest reading is judged again at once.
  void JudgeBy(std::optional<ReadingJudge> judge);
  const std::optional<ReadingJudge>& OuterJudge() const { return m_judge; }
  // The reference the relative value is shown against: the judge's at the
  // latest reading's wavelength, else the own one.
  std::optional<double> ShownReference() const;
  // Whether readings get a verdict: a judge, or limits of its own.
  bool Judging() const { return m_judge || !m_limits.Empty(); }

  // A new run: the statistics, the latest row and the failure mark start over.
  void Restart();
  void ResetStatistics() { m_stats.Reset(); }

  // Takes one real-time reading. A reading without a number is shown but
  // counted nowhere: not in the statistics and not judged.
  const Row& Add(const meter::Measurement& measurement);
  const Row& Add(const meter::Reading& reading) { return Add(meter::Measure(reading)); }

  const Statistics& Stats() const { return m_stats; }
  const std::optional<Row>& Latest() const { return m_latest; }
  bool AnyFailed() const { return m_bAnyFailed; }

 private:
  void JudgeRow(Row& row) const;

  std::optional<double> m_reference;
  Limits m_limits;
  std::optional<ReadingJudge> m_judge;
  Statistics m_stats;
  std::optional<Row> m_latest;
  bool m_bAnyFailed = false;
};

}  // namespace field
