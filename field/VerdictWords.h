#pragma once
// The words of a verdict as a person reads them, in the window's language.
// The readout, the job panel's point list and status line and the job report
// all take them from here, so one reading never reads "PASS" in one place and
// "合格" in another.
#include <string>

namespace field {

enum class Verdict;

struct VerdictWords {
  std::string pass;      // "PASS", "合格"
  std::string marginal;  // "MARGINAL", "临界"
  std::string fail;      // "FAIL", "不合格"
  std::string noLimit;   // "NO LIMIT", "无门限"

  // The word of a readout's verdict; empty for none.
  std::string Word(Verdict v) const;

  // Chinese, or the English words the files and the command line use.
  static VerdictWords For(bool chinese);
};

}  // namespace field
