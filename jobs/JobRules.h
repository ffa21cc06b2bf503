#pragma once
// What a job, a profile and a result may hold, checked wherever they enter
// the program: typed at the door, read from a file, or read back from a
// store (which anyone can edit with sqlite3). A value outside these bounds is
// never computed with: a verdict from a margin of 1e20 or a capture of zero
// readings would be shown as if it had been measured.
#include <string>

#include "jobs/Job.h"

namespace jobs {

// Each returns an empty text when all is well, else the field and why, e.g.
// "margin_db 1e+20 is not a number of dB from -200 to 200".
std::string ProfileProblem(const Profile& profile);
std::string JobProblem(const Job& job);
std::string ResultProblem(const Result& result);

// One reference as `job reference` and the panel set it.
std::string ReferenceProblem(int wavelengthNm, double dbm);
std::string SamplesProblem(int samples);

}  // namespace jobs
