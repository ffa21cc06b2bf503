#pragma once
// Whether a record from the meter answers the setting just sent, and how.
// The window and the command-line companion both decide here, so a reply
// reads the same wherever it is shown.
#include <string_view>

namespace settings {

enum class Answer {
  None,     // not an answer: a reading, a listing, a record with the current
            // wavelength alone; the setting's answer is still to come
  Taken,    // "成功" and no word of failure
  Refused,  // "失败" or "不成功", even where "成功" is part of it
            // ("设置不成功", "设置失败(未成功)")
};

// `record` is one record of the meter (GBK bytes, "$" included).
Answer JudgeAnswer(std::string_view record);

}  // namespace settings
