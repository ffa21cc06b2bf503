#pragma once
// The settings commands of km360r-cli (set-clock, set-wavelength, calibrate,
// set-mode, reset): the program's own settings commands, with the dialog
// answered from the arguments. Each ends on the meter's answer to it, taken or
// refused (as the meter model reads the record); a calibration for no wavelength the meter
// named is not sent at all.
#include "cli/MeterSession.h"
#include "cli/Options.h"

namespace cli {

// True for the commands RunSetting runs.
bool IsSettingCommand(const std::string& command);

// Runs one on a connected session; returns the exit code.
int RunSetting(MeterSession& s, const Options& o);

}  // namespace cli
