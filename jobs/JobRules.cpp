#include "jobs/JobRules.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>

#include "device/Measurement.h"
#include "device/meters/Registry.h"
#include "field/Readout.h"

namespace jobs {

namespace {

// A number as a message shows it: short, and whatever its size.
std::string Shown(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

std::string DecibelsProblem(const std::string& field, double value, double limit = field::kMaxDecibels) {
  if (std::isfinite(value) && std::fabs(value) <= limit) return {};
  return field + " " + Shown(value) + " is not a number of dB from " + Shown(-limit) + " to " + Shown(limit);
}

std::string WavelengthProblem(const std::string& field, int nm) {
  if (meter::HasWavelength(meters::StationModel(), nm)) return {};
  return field + " " + std::to_string(nm) + " is not a wavelength the meter measures at";
}

std::string RangeProblem(const std::string& field, const Range& range) {
  if (range.low) {
    if (std::string p = DecibelsProblem(field + " low", *range.low); !p.empty()) return p;
  }
  if (range.high) {
    if (std::string p = DecibelsProblem(field + " high", *range.high); !p.empty()) return p;
  }
  if (range.low && range.high && *range.low > *range.high) {
    return field + ": the low limit " + Shown(*range.low) + " is above the high limit " + Shown(*range.high);
  }
  return {};
}

// The instant of an ISO 8601 local time with milliseconds and offset
// ("2026-12-08T09:30:01.250+01:00"), in milliseconds since the epoch;
// nullopt for any other text or a date that does not exist.
std::optional<int64_t> InstantOf(const std::string& text) {
  constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:dd.ddd+dd:dd";
  if (text.size() != kShape.size()) return std::nullopt;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool fits = kShape[i] == 'd' ? c >= '0' && c <= '9' : kShape[i] == '+' ? c == '+' || c == '-' : c == kShape[i];
    if (!fits) return std::nullopt;
  }
  const auto number = [&text](size_t at, size_t digits) {
    int64_t n = 0;
    for (size_t i = at; i < at + digits; ++i) n = n * 10 + (text[i] - '0');
    return n;
  };
  const int64_t year = number(0, 4), month = number(5, 2), day = number(8, 2);
  const int64_t hour = number(11, 2), minute = number(14, 2), second = number(17, 2), ms = number(20, 3);
  const int64_t offsetHours = number(24, 2), offsetMinutes = number(27, 2);
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1] + (month == 2 && leap ? 1 : 0)) {
    return std::nullopt;
  }
  if (hour > 23 || minute > 59 || second > 59 || offsetHours > 23 || offsetMinutes > 59) return std::nullopt;
  // Days since 1970-01-01 of the civil date (the proleptic Gregorian calendar).
  const int64_t y = month <= 2 ? year - 1 : year;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yearOfEra = y - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  const int64_t days = era * 146097 + dayOfEra - 719468;
  const int64_t offset = (text[23] == '-' ? -1 : 1) * (offsetHours * 60 + offsetMinutes) * 60;
  return ((days * 24 + hour) * 60 + minute) * 60000 + second * 1000 + ms - offset * 1000;
}

// Both reading times known, each a time, the first not after the last; or
// both unknown (a result stored before they were kept).
std::string ReadingTimesProblem(const std::string& first, const std::string& last) {
  if (first.empty() && last.empty()) return {};
  if (first.empty() || last.empty()) return "first_reading_at and last_reading_at are known only together";
  const std::optional<int64_t> from = InstantOf(first);
  if (!from) return "first_reading_at \"" + first + "\" is not a local time with milliseconds and offset";
  const std::optional<int64_t> to = InstantOf(last);
  if (!to) return "last_reading_at \"" + last + "\" is not a local time with milliseconds and offset";
  if (*from > *to) return "first_reading_at " + first + " is after last_reading_at " + last;
  return {};
}

// A loss or a span is the difference of two dB values.
constexpr double kMaxDifferenceDb = 2 * field::kMaxDecibels;

}  // namespace

std::string ProfileProblem(const Profile& profile) {
  if (std::string p = DecibelsProblem("margin_db", profile.marginDb); !p.empty()) return p;
  if (profile.marginDb < 0) return "margin_db " + Shown(profile.marginDb) + " is below 0";
  if (std::string p = RangeProblem("loss budget", profile.lossBudget); !p.empty()) return p;
  for (const auto& [nm, range] : profile.limits) {
    if (std::string p = WavelengthProblem("a limit's wavelength_nm", nm); !p.empty()) return p;
    if (std::string p = RangeProblem("the limit at " + std::to_string(nm) + " nm", range); !p.empty()) return p;
  }
  return {};
}

std::string ReferenceProblem(int wavelengthNm, double dbm) {
  if (std::string p = WavelengthProblem("a reference's wavelength_nm", wavelengthNm); !p.empty()) return p;
  return DecibelsProblem("the reference at " + std::to_string(wavelengthNm) + " nm", dbm);
}

std::string SamplesProblem(int samples) {
  if (samples >= 1 && samples <= kMaxSamples) return {};
  return "samples " + std::to_string(samples) + " is not a number of readings from 1 to " +
         std::to_string(kMaxSamples);
}

std::string JobProblem(const Job& job) {
  if (std::string p = SamplesProblem(job.samples); !p.empty()) return p;
  if (std::string p = ProfileProblem(job.profile); !p.empty()) return p;
  for (const auto& [nm, dbm] : job.referencesDbm) {
    if (std::string p = ReferenceProblem(nm, dbm); !p.empty()) return p;
  }
  return {};
}

std::string ResultProblem(const Result& r) {
  if (std::string p = WavelengthProblem("wavelength_nm", r.wavelengthNm); !p.empty()) return p;
  if (std::string p = SamplesProblem(r.samples); !p.empty()) return p;
  if (std::string p = DecibelsProblem("power_dbm", r.powerDbm); !p.empty()) return p;
  // The power of a dB value in range: up to 10^20 mW.
  if (!std::isfinite(r.powerMw) || r.powerMw < 0 || r.powerMw > 1e20) {
    return "power_mw " + Shown(r.powerMw) + " is not a power of -200 to 200 dBm";
  }
  if (r.lossDb) {
    if (std::string p = DecibelsProblem("loss_db", *r.lossDb, kMaxDifferenceDb); !p.empty()) return p;
  }
  if (std::string p = DecibelsProblem("span_db", r.spanDb, kMaxDifferenceDb); !p.empty()) return p;
  if (r.spanDb < 0) return "span_db " + Shown(r.spanDb) + " is below 0";
  return ReadingTimesProblem(r.firstReadingAt, r.lastReadingAt);
}

}  // namespace jobs
