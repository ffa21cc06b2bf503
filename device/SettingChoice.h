#pragma once
// What a setting asks of the meter, in the product's terms: a clock time, a
// wavelength in nanometres, a calibration of the current wavelength, a
// measurement mode. The dialogs and the command line choose one; the meter's
// model (device/MeterModel.h) writes the command that sends it.
#include <variant>

namespace meter {

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

// A calibration value: sign, integer part and hundredths, each part 0..99.
struct CalibrationValue {
  bool positive = true;
  int integer = 0;
  int fraction = 0;
};

struct WavelengthChoice {
  int nm = 0;
};
struct CalibrationChoice {
  int nm = 0;  // the current wavelength's, as the meter named it
  CalibrationValue value;
};
struct ModeChoice {
  bool reference = false;
};
using SettingChoice = std::variant<ClockFields, WavelengthChoice, CalibrationChoice, ModeChoice>;

}  // namespace meter
