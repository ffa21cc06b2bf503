#pragma once
// The local time as the system's time zone gives it, thread-safe.
#include <ctime>

namespace localclock {

struct Local {
  std::tm fields{};
  long utcOffsetSeconds = 0;  // east of UTC positive, daylight saving included
};

Local At(std::time_t when);

}  // namespace localclock
