#include "jobs/JobRules.h"

#include <cmath>
#include <cstdio>

#include "device/Measurement.h"
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
  if (meter::IsMeterWavelength(nm)) return {};
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
  return {};
}

}  // namespace jobs
