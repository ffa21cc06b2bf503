#pragma once
// A result from the readings of one capture.
#include <ctime>
#include <string>
#include <vector>

#include "jobs/Job.h"
#include "jobs/JobSession.h"

namespace jobs {

// The mean of the readings' linear powers (not of their decibels), their
// span, and the verdict under the job's profile and references. `readingsDbm`
// holds at least one value.
Result ResultOf(const Job& job, const std::string& point, int wavelengthNm,
                const std::vector<double>& readingsDbm, std::time_t when);

// The result of a capture's readings, with when its first and its last
// reading arrived.
Result ResultOf(const Job& job, const std::string& point, const CaptureInput& input, std::time_t when);

double MilliwattsOf(double dbm);

}  // namespace jobs
