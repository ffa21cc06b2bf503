#pragma once
// The KM360R's wavelengths and the texts of its four settings: the clock
// ("T"), the working wavelength ("L"), the calibration ("C") and the
// measurement mode ("F"). The wavelengths travel as codes, their place in
// the meter's list.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "device/SettingChoice.h"

namespace meters::km360r {

// The meter's wavelengths in code order: code n is kWavelengthsNm[n].
inline constexpr std::array<int, 7> kWavelengthsNm = {850, 980, 1300, 1310, 1490, 1550, 1625};
// The set-wavelength list opens on 1310 nm until the meter names one of its
// wavelengths.
inline constexpr int kPresetWavelengthNm = 1310;

// The wavelength of the meter's current-wavelength text (four bytes, "850 "
// and "980 " with their trailing blank); none for any other text.
std::optional<int> CurrentWavelengthNm(std::string_view current);

// "T yy/mm/dd hh:mm:ss\r": the year modulo 2000, every number at least two
// digits wide.
std::string ClockCommand(const meter::ClockFields& at);
// "L code\r", "C code +II.FF\r" / "C code -II.FF\r", "F 0\r" (normal) or
// "F 1\r" (reference); none for a wavelength the meter lacks.
std::optional<std::string> SettingCommand(const meter::SettingChoice& choice);

}  // namespace meters::km360r
