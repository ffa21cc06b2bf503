#pragma once
// The arguments of `profiles` and `job ACTION ...`: the action, its operands
// and its options, checked before the store is opened or the meter asked.
#include <optional>
#include <string>
#include <vector>

#include "jobs/Job.h"

namespace cli {

struct JobArgs {
  std::string action;  // new, list, rename, points, reference, capture, show, export, report; empty for profiles
  std::vector<std::string> operands;
  std::optional<std::string> site;
  std::optional<std::string> operatorName;
  std::optional<std::string> profile;
  std::optional<std::string> points;      // a pattern
  std::optional<std::string> pointsFile;
  std::optional<int> samples;
  std::optional<double> referenceDbm;     // job reference: the value; nullopt for "-"
};

// Parses argv[i..] after the command `profiles` or `job`. Returns false with
// `error` set for a usage error.
bool ParseJobArgs(const std::string& command, int i, int argc, char** argv, JobArgs& args, std::string& error);

// The largest number of readings one capture averages.
inline constexpr int kMaxSamples = jobs::kMaxSamples;

}  // namespace cli
