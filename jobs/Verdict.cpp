#include "jobs/Verdict.h"

#include <cmath>

namespace jobs {

namespace {
double Shown(double v) { return std::round(v * 100.0) / 100.0; }
}  // namespace

const char* VerdictText(Verdict v) {
  switch (v) {
    case Verdict::Pass: return "PASS";
    case Verdict::Marginal: return "MARGINAL";
    case Verdict::Fail: return "FAIL";
    case Verdict::NoLimit: break;
  }
  return "NO LIMIT";
}

std::optional<Verdict> VerdictFromText(const std::string& text) {
  for (Verdict v : {Verdict::NoLimit, Verdict::Pass, Verdict::Marginal, Verdict::Fail}) {
    if (text == VerdictText(v)) return v;
  }
  return std::nullopt;
}

Verdict Judge(double value, const Range& range, double marginDb) {
  if (!range.low && !range.high) return Verdict::NoLimit;
  const double v = Shown(value);
  const double margin = Shown(marginDb);
  if ((range.low && v < Shown(*range.low)) || (range.high && v > Shown(*range.high))) return Verdict::Fail;
  // Compared in whole hundredths, so that a value exactly the margin away is
  // MARGINAL; as doubles, which hold them exactly and never overflow.
  const auto hundredths = [](double d) { return std::round(d * 100.0); };
  const bool nearLow = range.low && hundredths(v - Shown(*range.low)) <= hundredths(margin);
  const bool nearHigh = range.high && hundredths(Shown(*range.high) - v) <= hundredths(margin);
  return nearLow || nearHigh ? Verdict::Marginal : Verdict::Pass;
}

Judgement JudgePower(double dbm, int wavelengthNm, const Profile& profile,
                     const std::map<int, double>& referencesDbm) {
  Judgement j;
  if (const auto ref = referencesDbm.find(wavelengthNm); ref != referencesDbm.end()) {
    j.lossDb = ref->second - dbm;
    j.verdict = Judge(*j.lossDb, profile.lossBudget, profile.marginDb);
    return j;
  }
  const auto limit = profile.limits.find(wavelengthNm);
  if (limit != profile.limits.end()) j.verdict = Judge(dbm, limit->second, profile.marginDb);
  return j;
}

}  // namespace jobs
