#include "field/VerdictWords.h"

#include "field/Readout.h"

namespace field {

std::string VerdictWords::Word(Verdict v) const {
  switch (v) {
    case Verdict::Pass: return pass;
    case Verdict::Marginal: return marginal;
    case Verdict::Fail: return fail;
    case Verdict::NoLimit: return noLimit;
    case Verdict::None: break;
  }
  return {};
}

VerdictWords VerdictWords::For(bool chinese) {
  if (chinese) return {"合格", "临界", "不合格", "无门限"};
  return {"PASS", "MARGINAL", "FAIL", "NO LIMIT"};
}

}  // namespace field
