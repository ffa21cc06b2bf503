#pragma once
// Resident memory of a process, for the memory figures of the benchmarks.
#include <sys/types.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace resident_detail {
// The value of a "Key:" line of /proc/PID/status, in megabytes; 0 when unreadable.
inline double StatusMegabytes(pid_t pid, const std::string& wanted) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string key;
  while (status >> key) {
    if (key == wanted) {
      double kb = 0;
      status >> kb;
      return kb / 1024.0;
    }
    status.ignore(1 << 16, '\n');
  }
  return 0;
}
}  // namespace resident_detail

// VmRSS of process `pid` in megabytes, 0 when unreadable.
inline double ResidentMegabytes(pid_t pid) {
  return resident_detail::StatusMegabytes(pid, "VmRSS:");
}

// The highest VmRSS of this process since the last ResetPeakResident (or its
// start), in megabytes.
inline double PeakResidentMegabytes() {
  return resident_detail::StatusMegabytes(getpid(), "VmHWM:");
}

// Starts a new peak measurement: the peak becomes the present resident size.
inline void ResetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }
