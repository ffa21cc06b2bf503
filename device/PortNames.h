#pragma once
// Serial port names as the program and its operators know them ("COM3",
// "\\.\COM12"). Which device stands behind a name is the backend's
// (device/PortList.h).
#include <string>

namespace ports {

// The COM number of "COMn" or "\\.\COMn" (case-insensitive "COM"), or -1 when
// `name` is not such a name.
int ComNumber(const std::string& name);

struct PortCandidate {
  std::string name;        // "COM3", "\\.\COM12"
  std::string devicePath;  // what Open is given
};

}  // namespace ports
