#pragma once
// Test point labels from what a technician types or keeps in a file.
//   "P01-P32"    P01, P02, ..., P32 (the zero padding of the first number kept)
//   "SPL-A/1-8"  SPL-A/1, ..., SPL-A/8
//   "ONT-7"      one label (no number before its dash)
// Parts joined by "," combine, in order.
#include <string>
#include <string_view>
#include <vector>

namespace jobs {

// More points than a job takes from one pattern or file: a typing slip such as
// "P1-P100000" is refused instead of filling the store.
inline constexpr size_t kMaxPointsAtOnce = 100000;

struct Labels {
  std::vector<std::string> labels;
  std::string error;  // empty when the labels are good
};

Labels ExpandPattern(std::string_view pattern);

// A points file: one label a line, or, for a name ending in ".csv", the first
// field of each record. Blank lines are skipped; a UTF-8 BOM is dropped.
Labels LabelsFromFile(std::string_view contents, bool csv);

// Why `label` cannot name a point, or empty: labels are printed one per line
// and cell, so they are not empty, hold no control characters, and are UTF-8
// of at most kMaxLabelChars characters (jobs/JobTextRules.h).
std::string LabelProblem(std::string_view label);

// Why `added` cannot join `existing` (a label twice, or a bad label), or empty.
std::string AdditionProblem(const std::vector<std::string>& existing, const std::vector<std::string>& added);

}  // namespace jobs
