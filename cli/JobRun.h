#pragma once
// `profiles` and `job ...`: test jobs in the results store, and captures
// read from the meter through the same session as `realtime`.
#include "cli/Options.h"

namespace cli {

// Runs the command; returns the exit code.
int RunJobCommand(const Options& o);

}  // namespace cli
