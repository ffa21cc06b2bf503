#pragma once
// The verdict of a result: PASS inside the limits and more than the margin
// away from each, MARGINAL inside but within the margin of a limit, FAIL
// outside, NO LIMIT where the profile has nothing to judge by. With a
// reference set for the wavelength the loss (reference - power) is judged
// against the profile's loss budget instead of the power against its limits.
#include <map>
#include <optional>
#include <string>

#include "jobs/Profile.h"

namespace jobs {

enum class Verdict { NoLimit, Pass, Marginal, Fail };

// "PASS", "MARGINAL", "FAIL", "NO LIMIT".
const char* VerdictText(Verdict v);
std::optional<Verdict> VerdictFromText(const std::string& text);

// `value` against `range`, compared as the two-decimal value shown, so that a
// power printed as "-8.00" is on the limit of -8 however it was rounded.
Verdict Judge(double value, const Range& range, double marginDb);

struct Judgement {
  std::optional<double> lossDb;  // when a reference is set for the wavelength
  Verdict verdict = Verdict::NoLimit;
};

Judgement JudgePower(double dbm, int wavelengthNm, const Profile& profile,
                     const std::map<int, double>& referencesDbm);

}  // namespace jobs
