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

// Why labels were refused: the fault and what it concerns, so that it can be
// told in the window's language. Text(false) is the English the command line
// and the store say.
struct LabelsProblem {
  enum class Fault {
    None,
    NoPoints,          // an empty pattern
    EmptyPart,         // subject: the pattern
    RangeEnd,          // subject: the part; prefix: what the end may repeat
    LongNumbers,       // subject: the part
    CountsDown,        // subject: the part
    TooManyAtOnce,     // subject: the part, or empty
    EmptyLabel,
    ControlCharacter,  // subject: the label
    Twice,             // subject: the label
    TooMany,           // more points than a job takes
    EmptyFile,
    NotStorable,       // subject: the label, not UTF-8 or too long
  };
  Fault fault = Fault::None;
  std::string subject;
  std::string prefix;

  explicit operator bool() const { return fault != Fault::None; }
  std::string Text(bool chinese) const;
};

struct Labels {
  std::vector<std::string> labels;
  std::string error;  // empty when the labels are good, else problem.Text(false)
  LabelsProblem problem;
};

Labels ExpandPattern(std::string_view pattern);

// A points file: one label a line, or, for a name ending in ".csv", the first
// field of each record. Blank lines are skipped; a UTF-8 BOM is dropped.
Labels LabelsFromFile(std::string_view contents, bool csv);

// Why `label` cannot name a point, or empty: labels are printed one per line
// and cell, so they are not empty, hold no control characters, and are UTF-8
// of at most kMaxLabelChars characters (jobs/JobTextRules.h).
std::string LabelProblem(std::string_view label);
LabelsProblem LabelFault(std::string_view label);

// Why `added` cannot join `existing` (a label twice, or a bad label), or empty.
std::string AdditionProblem(const std::vector<std::string>& existing, const std::vector<std::string>& added);
LabelsProblem AdditionFault(const std::vector<std::string>& existing, const std::vector<std::string>& added);

}  // namespace jobs
