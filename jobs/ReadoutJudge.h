#pragma once
// The field readout judged as the open job judges its results: the job's
// profile and its reference at the reading's wavelength, through the same
// JudgePower a capture's result goes through, so that a reading never shows
// PASS in the readout and FAIL in the job.
#include "field/Readout.h"
#include "jobs/Job.h"

namespace jobs {

field::Verdict ReadoutVerdict(Verdict v);

// A judge holding its own copy of the job's profile and references.
field::ReadingJudge ReadoutJudgeOf(const Job& job);

}  // namespace jobs
