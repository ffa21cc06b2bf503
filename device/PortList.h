#pragma once
// The serial ports the system offers, as the port scan and the operator's
// --port name them.
#include <string>
#include <vector>

#include "device/PortNames.h"

class IPortList {
 public:
  virtual ~IPortList() = default;

  // The ports the scan probes, in the order it tries them: "COMn" for n up to
  // 9 and "\\.\COMn" for 10 to 19, each with the device behind it, only those
  // that nobody holds. COM1 and COM2 are never candidates.
  virtual std::vector<ports::PortCandidate> Candidates() = 0;

  // The device path behind a port name. A name that is not a COM name is taken
  // as a device path already and returned unchanged; a COM name without a
  // device gives an empty path.
  virtual std::string Resolve(const std::string& name) = 0;
};
