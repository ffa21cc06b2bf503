#include "device/MeterModel.h"

#include <memory>
#include <utility>

#include "common/TextRules.h"

namespace meter {

namespace {

Answer AnswerOf(std::string_view record, const Markers& markers) {
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

Completion CompletionOf(std::string_view record, const Markers& markers) {
  const auto holds = [record](std::string_view marker) {
    return !marker.empty() && text::Contains(record, marker);
  };
  Completion c;
  c.historyEnd = holds(markers.historyEnd);
  c.listingEnd = holds(markers.listingEnd);
  c.parametersEnd = holds(markers.parametersEnd);
  c.success = holds(markers.success);
  return c;
}

}  // namespace

Record ReadRecord(const Model& model, std::string text) {
  auto parts = std::make_unique<Record::Parts>();
  parts->text = std::move(text);
  // The views below point into the parts' own text, which no longer moves.
  const std::string_view r = parts->text;
  const Layouts& layouts = model.layouts;
  if (const std::optional<Reading> reading = layouts.reading(r)) {
    parts->measurement = Measure(*reading);
    parts->emptySlot = layouts.emptySlot(*reading);
  }
  parts->parameters = layouts.parameters(r);
  if (const std::optional<std::string_view> current = layouts.currentWavelength(r)) {
    parts->currentWavelength = std::string(*current);
  }
  parts->answer = AnswerOf(r, model.markers);
  parts->completion = CompletionOf(r, model.markers);
  parts->plotDbm = parts->measurement ? parts->measurement->plotDbm : text::LeadingInt(layouts.graphValue(r));
  return Record(std::move(parts));
}

bool HasWavelength(const Model& model, int nm) {
  for (int known : model.settings.wavelengthsNm) {
    if (known == nm) return true;
  }
  return false;
}

}  // namespace meter
