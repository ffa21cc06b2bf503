#include "settings/SettingAnswer.h"

#include "common/TextRules.h"

namespace settings {

Answer JudgeAnswer(std::string_view record, const meter::Model& model) {
  const meter::Markers& markers = model.markers;
  // A reading still on its way when the setting went out never answers it.
  if (text::Contains(record, markers.reading)) return Answer::None;
  for (std::string_view refusal : markers.refusals) {
    if (text::Contains(record, refusal)) return Answer::Refused;
  }
  if (text::Contains(record, markers.success)) return Answer::Taken;
  return Answer::None;
}

}  // namespace settings
