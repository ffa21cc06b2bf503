#pragma once
// The texts the four settings send to the meter, and the values they are made
// of: the clock ("T"), the working wavelength ("L"), the calibration ("C") and
// the measurement mode ("F"). The windowed program's dialogs and the
// command-line companion build their commands here and nowhere else.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "device/Measurement.h"

namespace settings {

// The meter's wavelengths in code order: code n is kWavelengthsNm[n].
inline constexpr std::array<int, 7> kWavelengthsNm = meter::kWavelengthsNm;
// The set-wavelength list opens on 1310 nm until the meter names one of its
// wavelengths.
inline constexpr int kPresetWavelengthCode = 3;
// The code a calibration carries when the current wavelength is none of the
// meter's texts.
inline constexpr int kUnknownWavelengthCode = 99;

// A date and a time of day as the set-clock dialog offers them: the picked
// date, and the hour, minute and second list indexes (index = value).
struct ClockFields {
  int year = 2000;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// "T yy/mm/dd hh:mm:ss\r": the year modulo 2000, every number at least two
// digits wide.
std::string ClockCommand(const ClockFields& at);

// The code of a wavelength in nanometres; nullopt for one the meter lacks.
std::optional<int> CodeForNanometres(int nm);
// The code of the meter's current-wavelength text (four bytes, "850 " and
// "980 " with their trailing blank); kUnknownWavelengthCode for any other text.
int CodeForCurrentWavelength(std::string_view current);
// "L n\r".
std::string WavelengthCommand(int code);

// A calibration value: sign, integer part and hundredths, each part 0..99.
struct CalibrationValue {
  bool positive = true;
  int integer = 0;
  int fraction = 0;
};
// The widest a calibration field may be: the meter reads two digits each.
inline constexpr int kCalibrationFieldDigits = 2;
// One calibration field as typed: one or two digits, blanks around them
// allowed. nullopt for an empty field, a longer number or anything else.
std::optional<int> ParseCalibrationField(std::string_view text);
// A value written as a sign, an integer part of one or two digits, a point and
// a two-digit fraction: "+1.05", "-0.50", "+12.00".
std::optional<CalibrationValue> ParseCalibrationValue(std::string_view text);
// "C code +II.FF\r" or "C code -II.FF\r".
std::string CalibrationCommand(int code, const CalibrationValue& value);

// "F 0\r" (normal measurement) or "F 1\r" (reference measurement).
std::string ModeCommand(bool reference);

// "YYYY-MM-DD HH:MM:SS" with a date that exists and a year the meter can
// hold (2000..2099); nullopt otherwise.
std::optional<ClockFields> ParseClockTime(std::string_view text);

// What a settings dialog (or the command line) chose; the program builds the
// command from it and sends it.
struct WavelengthChoice {
  int code = kPresetWavelengthCode;
};
struct CalibrationChoice {
  int code = kUnknownWavelengthCode;  // the current wavelength's, when the operator chose
  CalibrationValue value;
};
struct ModeChoice {
  bool reference = false;
};
using Choice = std::variant<ClockFields, WavelengthChoice, CalibrationChoice, ModeChoice>;
// The command text of a choice.
std::string CommandFor(const Choice& choice);
// The clock's command is written straight to the line: it does not wait
// behind others. The others queue.
bool SentAtOnce(const Choice& choice);

}  // namespace settings
