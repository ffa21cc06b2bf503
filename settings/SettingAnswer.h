#pragma once
// Whether a record from the meter answers the setting just sent, and how,
// read by the meter model's markers. The window and the command-line
// companion both decide here, so a reply reads the same wherever it is shown.
#include <string_view>

#include "device/MeterModel.h"

namespace settings {

enum class Answer {
  None,     // not an answer: a reading, a listing, a record with the current
            // wavelength alone; the setting's answer is still to come
  Taken,    // the model's success marker ("成功") and no refusal
  Refused,  // one of the model's refusals ("失败", "不成功"), even where the
            // success marker is part of it ("设置不成功", "设置失败(未成功)")
};

// `record` is one record of the meter of `model` (GBK bytes, "$" included).
Answer JudgeAnswer(std::string_view record, const meter::Model& model);

}  // namespace settings
