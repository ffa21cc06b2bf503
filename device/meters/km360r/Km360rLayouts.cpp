#include "device/meters/km360r/Km360rLayouts.h"

#include <string>

#include "common/GbkKeywords.h"
#include "common/TextRules.h"

namespace meters::km360r {

namespace {

using text::CutAt;
using text::FirstN;
using text::From;
using text::Pos;

// Where a value starts behind the first byte of its label: the label, a colon
// and the blanks the meter pads with.
constexpr int kMeasurementValueOffset = 10;
constexpr int kParameterWavelengthOffset = 6;     // "波长：" is six bytes
constexpr int kSystemValueOffset = 16;            // "系统波长" / "系统量程N" and their padding
constexpr int kWavelengthCalibrationLength = 5;
constexpr int kCurrentWavelengthLength = 4;
constexpr int kGraphValueLength = 6;

}  // namespace

std::optional<meter::Reading> ReadingOf(std::string_view r) {
  if (!text::Contains(r, gbk::kWave)) return std::nullopt;
  meter::Reading reading;
  reading.meterTime = CutAt(From(r, Pos(r, gbk::kTime) + kMeasurementValueOffset), "\r");
  reading.wavelength = CutAt(From(r, Pos(r, gbk::kWavelength) + kMeasurementValueOffset), "nm");
  const std::string_view linear = From(r, Pos(r, gbk::kLinear) + kMeasurementValueOffset);
  reading.linearPower = FirstN(linear, Pos(linear, "W") + 1);
  reading.logPower = CutAt(From(r, Pos(r, gbk::kLog) + kMeasurementValueOffset), "dBm");
  return reading;
}

std::optional<meter::ParameterRecord> ParametersOf(std::string_view r) {
  if (!text::Contains(r, gbk::kWavelengthColon)) return std::nullopt;
  meter::ParameterRecord p;
  p.wavelength = CutAt(From(r, Pos(r, gbk::kWavelength) + kParameterWavelengthOffset), "\r");
  p.wavelengthCalibration = text::Mid(r, Pos(r, gbk::kSystemWavelength) + kSystemValueOffset,
                                      kWavelengthCalibrationLength);
  std::string key(gbk::kSystemRange);
  key += '0';
  for (int n = 0; n < 8; ++n) {
    key.back() = static_cast<char>('0' + n);
    // One more byte (the colon) separates the range's value from its padding.
    const std::string_view t = From(r, Pos(r, key) + kSystemValueOffset);
    p.ranges[static_cast<size_t>(n)] = CutAt(From(t, 1), "dBm");
  }
  return p;
}

std::optional<std::string_view> CurrentWavelengthOf(std::string_view r) {
  const int at = Pos(r, gbk::kCurrentWavelength);
  if (at < 0) return std::nullopt;
  return text::Mid(r, at + kMeasurementValueOffset, kCurrentWavelengthLength);
}

std::string_view GraphValueOf(std::string_view r) {
  return text::Mid(r, Pos(r, gbk::kLog) + kMeasurementValueOffset, kGraphValueLength);
}

bool EmptySlot(const meter::Reading& reading) { return text::Contains(reading.meterTime, "00/00/00"); }

}  // namespace meters::km360r
