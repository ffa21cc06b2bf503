#include "settings/SettingAnswer.h"

#include "common/GbkKeywords.h"
#include "common/TextRules.h"

namespace settings {

namespace {
constexpr std::string_view kFailure = "\xCA\xA7\xB0\xDC";              // 失败
constexpr std::string_view kNotSuccess = "\xB2\xBB\xB3\xC9\xB9\xA6";  // 不成功
}  // namespace

Answer JudgeAnswer(std::string_view record) {
  // A reading still on its way when the setting went out carries its power
  // under "对数": it never answers a setting, whatever else it holds.
  if (text::Contains(record, gbk::kLog)) return Answer::None;
  // The words of failure are looked for first: both failing answers the
  // meter has contain "成功".
  if (text::Contains(record, kFailure) || text::Contains(record, kNotSuccess)) return Answer::Refused;
  if (text::Contains(record, gbk::kSuccess)) return Answer::Taken;
  return Answer::None;
}

}  // namespace settings
