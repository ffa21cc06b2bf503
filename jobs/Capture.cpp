#include "jobs/Capture.h"

#include <algorithm>
#include <cmath>

#include "field/LiveLog.h"
#include "field/Readout.h"

namespace jobs {

double MilliwattsOf(double dbm) { return std::pow(10.0, dbm / 10.0); }

Result ResultOf(const Job& job, const std::string& point, int wavelengthNm,
                const std::vector<double>& readingsDbm, std::time_t when) {
  field::Statistics stats;
  for (double dbm : readingsDbm) stats.Add(dbm);
  Result r;
  r.point = point;
  r.wavelengthNm = wavelengthNm;
  r.powerDbm = stats.MeanDbm();
  r.powerMw = MilliwattsOf(r.powerDbm);
  const Judgement j = JudgePower(r.powerDbm, wavelengthNm, job.profile, job.referencesDbm);
  r.lossDb = j.lossDb;
  r.verdict = j.verdict;
  r.samples = stats.Count();
  r.spanDb = stats.Span();
  // Judged on the span as shown: "0.50" is still steady.
  r.unstable = std::round(r.spanDb * 100.0) > std::round(kUnstableSpanDb * 100.0);
  r.operatorName = job.operatorName;
  r.measured = field::IsoLocalTime(when);
  return r;
}

Result ResultOf(const Job& job, const std::string& point, const CaptureInput& input, std::time_t when) {
  Result r = ResultOf(job, point, input.wavelengthNm, input.readingsDbm, when);
  r.firstReadingAt = field::IsoLocalTimeMs(input.firstArrivedMs);
  r.lastReadingAt = field::IsoLocalTimeMs(input.lastArrivedMs);
  return r;
}

}  // namespace jobs
