#include "jobs/ReadoutJudge.h"

namespace jobs {

field::Verdict ReadoutVerdict(Verdict v) {
  switch (v) {
    case Verdict::Pass: return field::Verdict::Pass;
    case Verdict::Marginal: return field::Verdict::Marginal;
    case Verdict::Fail: return field::Verdict::Fail;
    case Verdict::NoLimit: break;
  }
  return field::Verdict::NoLimit;
}

field::ReadingJudge ReadoutJudgeOf(const Job& job) {
  field::ReadingJudge judge;
  judge.name = job.profile.name;
  judge.judge = [profile = job.profile, references = job.referencesDbm](double dbm, std::optional<int> nm) {
    field::Judged judged;
    if (!nm) {
      judged.verdict = field::Verdict::NoLimit;
      return judged;
    }
    if (const auto it = references.find(*nm); it != references.end()) judged.reference = it->second;
    judged.verdict = ReadoutVerdict(JudgePower(dbm, *nm, profile, references).verdict);
    return judged;
  };
  return judge;
}

}  // namespace jobs
