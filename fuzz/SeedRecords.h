#pragma once
// The simulated meter's records for the seed corpora. Kept apart from the
// program's own record reading, which has types of the same names.
#include <string>
#include <vector>

namespace seeds {

struct Records {
  std::vector<std::string> realTime;    // three real-time readings
  std::vector<std::string> history;     // a history transfer with its end record
  std::vector<std::string> parameters;  // two wavelengths' parameter lines
  std::vector<std::string> settings;    // the code listing, setting answers, the probe answer
};

Records MeterRecords();

}  // namespace seeds
