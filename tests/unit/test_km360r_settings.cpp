// The KM360R's setting commands and its current-wavelength texts, as its
// model writes and reads them.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "device/meters/km360r/Km360r.h"
#include "settings/SettingsCommands.h"

namespace {

std::optional<std::string> Command(const meter::SettingChoice& choice) {
  return meters::km360r::Model().settings.command(choice);
}

TEST(Km360rSettings, ClockTextIsTwoDigitFieldsFromTheYearModulo2000) {
  const struct {
    meter::ClockFields at;
    const char* text;
  } cases[] = {
      {{2026, 12, 6, 9, 5, 30}, "T 26/12/06 09:05:30\r"},
      {{2000, 1, 1, 0, 0, 0}, "T 00/01/01 00:00:00\r"},
      {{2099, 7, 31, 23, 59, 59}, "T 99/07/31 23:59:59\r"},
      // Outside the meter's century the remainder shows whole.
      {{1999, 12, 31, 23, 59, 59}, "T 1999/12/31 23:59:59\r"},
      {{2100, 1, 1, 0, 0, 0}, "T 100/01/01 00:00:00\r"},
  };
  for (const auto& c : cases) EXPECT_EQ(Command(c.at), c.text);
  // A typed time reaches the meter as it was typed.
  EXPECT_EQ(Command(*settings::ParseClockTime("2028-02-29 09:05:30")), "T 28/02/29 09:05:30\r");
}

TEST(Km360rSettings, OnlyTheMetersOwnCurrentWavelengthTextsNameAWavelength) {
  const struct {
    const char* current;
    std::optional<int> nm;
  } cases[] = {{"850 ", 850}, {"980 ", 980},          {"1310", 1310},       {"1625", 1625},
               {"850", std::nullopt}, {"", std::nullopt}, {"1310 ", std::nullopt}, {"131", std::nullopt}};
  for (const auto& c : cases) {
    EXPECT_EQ(meters::km360r::Model().settings.currentWavelengthNm(c.current), c.nm) << '"' << c.current << '"';
  }
}

TEST(Km360rSettings, WavelengthAndCalibrationCarryTheCodeOfTheNanometres) {
  EXPECT_EQ(Command(meter::WavelengthChoice{850}), "L 0\r");
  EXPECT_EQ(Command(meter::WavelengthChoice{1625}), "L 6\r");
  EXPECT_EQ(Command(meter::CalibrationChoice{1310, {true, 1, 5}}), "C 3 +01.05\r");
  EXPECT_EQ(Command(meter::CalibrationChoice{850, {false, 0, 0}}), "C 0 -00.00\r");
  EXPECT_EQ(Command(meter::CalibrationChoice{1550, {true, 12, 0}}), "C 5 +12.00\r");
  // A wavelength the meter lacks has no command.
  EXPECT_EQ(Command(meter::WavelengthChoice{1000}), std::nullopt);
  EXPECT_EQ(Command(meter::CalibrationChoice{1000, {true, 1, 0}}), std::nullopt);
}

TEST(Km360rSettings, ModeTextIsF0ForNormalAndF1ForReference) {
  EXPECT_EQ(Command(meter::ModeChoice{false}), "F 0\r");
  EXPECT_EQ(Command(meter::ModeChoice{true}), "F 1\r");
}

}  // namespace
