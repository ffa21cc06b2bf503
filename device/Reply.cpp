#include "device/Reply.h"

#include "common/GbkKeywords.h"
#include "common/TextRules.h"
#include "device/MeterModel.h"

namespace meter {

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

bool Reading::IsEmptySlot() const { return text::Contains(meterTime, "00/00/00"); }

std::optional<Reading> Reply::AsReading() const {
  const std::string_view r = m_text;
  if (!text::Contains(r, gbk::kWave)) return std::nullopt;
  Reading reading;
  reading.meterTime = CutAt(From(r, Pos(r, gbk::kTime) + kMeasurementValueOffset), "\r");
  reading.wavelength = CutAt(From(r, Pos(r, gbk::kWavelength) + kMeasurementValueOffset), "nm");
  const std::string_view linear = From(r, Pos(r, gbk::kLinear) + kMeasurementValueOffset);
  reading.linearPower = FirstN(linear, Pos(linear, "W") + 1);
  reading.logPower = CutAt(From(r, Pos(r, gbk::kLog) + kMeasurementValueOffset), "dBm");
  return reading;
}

std::optional<ParameterRecord> Reply::AsParameters() const {
  const std::string_view r = m_text;
  if (!text::Contains(r, gbk::kWavelengthColon)) return std::nullopt;
  ParameterRecord p;
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

SettingReply Reply::AsSetting() const {
  SettingReply s;
  s.success = Succeeded();
  const int at = Pos(m_text, gbk::kCurrentWavelength);
  if (at >= 0) {
    s.currentWavelength =
        std::string(text::Mid(m_text, at + kMeasurementValueOffset, kCurrentWavelengthLength));
  }
  return s;
}

std::string_view Reply::GraphValue() const {
  return text::Mid(m_text, Pos(m_text, gbk::kLog) + kMeasurementValueOffset, kGraphValueLength);
}

bool Reply::EndsHistory() const { return text::Contains(m_text, kKm360r.markers.historyEnd); }
bool Reply::EndsListing() const { return text::Contains(m_text, kKm360r.markers.listingEnd); }
bool Reply::EndsParameters() const { return text::Contains(m_text, kKm360r.markers.parametersEnd); }
bool Reply::Succeeded() const { return text::Contains(m_text, kKm360r.markers.success); }

}  // namespace meter
