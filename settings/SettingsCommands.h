#pragma once
// The four settings as the program chooses them: the clock, the working
// wavelength, the calibration and the measurement mode. The dialogs and the
// command line read what the operator typed here; the meter's model writes
// the command that sends a choice (meter::Settings::command).
#include <optional>
#include <string_view>
#include <variant>

#include "device/SettingChoice.h"

namespace settings {

using ClockFields = meter::ClockFields;
using CalibrationValue = meter::CalibrationValue;
using WavelengthChoice = meter::WavelengthChoice;
using CalibrationChoice = meter::CalibrationChoice;
using ModeChoice = meter::ModeChoice;
// What a settings dialog (or the command line) chose; the program has the
// meter's model write its command and sends it.
using Choice = meter::SettingChoice;

// The widest a calibration field may be: the meter reads two digits each.
inline constexpr int kCalibrationFieldDigits = 2;
// One calibration field as typed: one or two digits, blanks around them
// allowed. nullopt for an empty field, a longer number or anything else.
std::optional<int> ParseCalibrationField(std::string_view text);
// A value written as a sign, an integer part of one or two digits, a point and
// a two-digit fraction: "+1.05", "-0.50", "+12.00".
std::optional<CalibrationValue> ParseCalibrationValue(std::string_view text);

// "YYYY-MM-DD HH:MM:SS" with a date that exists and a year the meter can
// hold (2000..2099); nullopt otherwise.
std::optional<ClockFields> ParseClockTime(std::string_view text);

// The clock's command is written straight to the line: it does not wait
// behind others. The others queue.
bool SentAtOnce(const Choice& choice);

}  // namespace settings
