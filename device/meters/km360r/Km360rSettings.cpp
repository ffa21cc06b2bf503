#include "device/meters/km360r/Km360rSettings.h"

#include <cstdio>

namespace meters::km360r {

namespace {

std::optional<int> CodeOf(int nm) {
  for (size_t code = 0; code < kWavelengthsNm.size(); ++code) {
    if (kWavelengthsNm[code] == nm) return static_cast<int>(code);
  }
  return std::nullopt;
}

std::string CalibrationCommand(int code, const meter::CalibrationValue& value) {
  char text[64];
  std::snprintf(text, sizeof text, value.positive ? "C %d +%.2d.%.2d\r" : "C %d -%.2d.%.2d\r",
                code, value.integer, value.fraction);
  return text;
}

}  // namespace

std::optional<int> CurrentWavelengthNm(std::string_view current) {
  // The meter pads the three-digit wavelengths to four bytes with a blank;
  // the comparison is of the whole text, so "850" alone is no wavelength.
  for (int nm : kWavelengthsNm) {
    std::string text = std::to_string(nm);
    text.resize(4, ' ');
    if (current == text) return nm;
  }
  return std::nullopt;
}

std::string ClockCommand(const meter::ClockFields& at) {
  char text[64];
  std::snprintf(text, sizeof text, "T %.2d/%.2d/%.2d %.2d:%.2d:%.2d\r", at.year % 2000, at.month,
                at.day, at.hour, at.minute, at.second);
  return text;
}

std::optional<std::string> SettingCommand(const meter::SettingChoice& choice) {
  struct Text {
    std::optional<std::string> operator()(const meter::ClockFields& at) const { return ClockCommand(at); }
    std::optional<std::string> operator()(const meter::WavelengthChoice& c) const {
      const std::optional<int> code = CodeOf(c.nm);
      if (!code) return std::nullopt;
      return "L " + std::to_string(*code) + "\r";
    }
    std::optional<std::string> operator()(const meter::CalibrationChoice& c) const {
      const std::optional<int> code = CodeOf(c.nm);
      if (!code) return std::nullopt;
      return CalibrationCommand(*code, c.value);
    }
    std::optional<std::string> operator()(const meter::ModeChoice& c) const {
      return std::string(c.reference ? "F 1\r" : "F 0\r");
    }
  };
  return std::visit(Text{}, choice);
}

}  // namespace meters::km360r
