#include "settings/SettingAnswer.h"

#include "common/TextRules.h"

namespace settings {

Answer JudgeAnswer(std::string_view record, const meter::Model& model) {
  const meter::Markers& markers = model.markers;
  // A marker a model leaves empty is found in no record.
  const auto holds = [record](std::string_view marker) {
    return !marker.empty() && text::Contains(record, marker);
  };
  // A reading still on its way when the setting went out never answers it.
  if (holds(markers.reading)) return Answer::None;
  for (std::string_view refusal : markers.refusals) {
    if (holds(refusal)) return Answer::Refused;
  }
  if (holds(markers.success)) return Answer::Taken;
  return Answer::None;
}

}  // namespace settings
