#pragma once
// A test job and its results: who measures what where, against which
// profile, and what each capture gave.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "jobs/Profile.h"
#include "jobs/Verdict.h"

namespace jobs {

inline constexpr int kDefaultSamples = 3;
// The largest number of readings one capture averages.
inline constexpr int kMaxSamples = 600;
// Readings further apart than this make a result "unstable".
inline constexpr double kUnstableSpanDb = 0.5;

struct Job {
  std::string uuid;
  std::string name;
  std::string site;
  std::string operatorName;
  std::string notes;
  Profile profile;                     // the job's own copy
  std::map<int, double> referencesDbm;  // by wavelength in nm
  int samples = kDefaultSamples;       // readings averaged per capture
  std::string created;                 // ISO 8601 local time with offset
};

// One capture: N readings at one wavelength, averaged and judged.
struct Result {
  std::string uuid;
  std::string point;
  int wavelengthNm = 0;
  double powerDbm = 0;
  double powerMw = 0;
  std::optional<double> lossDb;
  Verdict verdict = Verdict::NoLimit;
  int samples = 0;
  double spanDb = 0;
  bool unstable = false;
  std::string operatorName;
  std::string measured;  // ISO 8601 local time with offset
  // When the first and the last of its readings arrived, as ISO 8601 local
  // times with milliseconds and offset: two results whose spans do not
  // overlap share no reading. Empty for a result stored before they were
  // kept: unknown.
  std::string firstReadingAt;
  std::string lastReadingAt;
};

// A point's place in the job list: its counts by verdict of its latest
// results (a point counts by its worst wavelength).
struct JobSummary {
  std::string name;
  std::string site;
  std::string operatorName;
  std::string created;
  int points = 0;
  int pass = 0;
  int marginal = 0;
  int fail = 0;
  int untested = 0;
};

}  // namespace jobs
