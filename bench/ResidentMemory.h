#pragma once
// Resident memory of a process, for the memory figures of the benchmarks.
#include <sys/types.h>

#include <fstream>
#include <string>

// VmRSS of process `pid` in megabytes, 0 when unreadable.
inline double ResidentMegabytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string key;
  while (status >> key) {
    if (key == "VmRSS:") {
      double kb = 0;
      status >> kb;
      return kb / 1024.0;
    }
    status.ignore(1 << 16, '\n');
  }
  return 0;
}
