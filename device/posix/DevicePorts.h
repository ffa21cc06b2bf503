#pragma once
// The devices behind the port names on this system.
//
// With KM360R_PORT_DIR set, COMn is the entry "$KM360R_PORT_DIR/COMn" (a
// symlink to a device or to a simulated meter's pseudo-terminal). Otherwise
// COM1 and COM2 are the board ports /dev/ttyS0 and /dev/ttyS1, and COM3 onward
// are the attached serial adapters (/dev/ttyUSB*, then /dev/ttyACM*, each in
// numeric order), followed by the other /dev/ttyS* that have a real UART.
#include <string>
#include <vector>

#include "device/PortList.h"
#include "device/PortNames.h"

namespace ports {

// The device path behind a port name. A name that is not a COM name is taken
// as a device path already and returned unchanged; a COM name without a device
// gives an empty path.
std::string ResolvePortName(const std::string& name);

// Opens the device read/write with an exclusive claim and closes it again.
// True when nobody else holds it and it can be opened.
bool CanOpenExclusively(const std::string& devicePath);

// The port scan's candidates: for n = 0..19 the name "COMn" (n up to 9) or
// "\\.\COMn" (10 to 19), kept when its device can be opened exclusively. COM1
// and COM2 are never candidates (they are not even opened). Discovery order,
// at most 18 entries.
std::vector<PortCandidate> ScanCandidates();

// The list above as the port scan sees it.
class DevicePortList : public IPortList {
 public:
  std::vector<PortCandidate> Candidates() override { return ScanCandidates(); }
  std::string Resolve(const std::string& name) override { return ResolvePortName(name); }
};

}  // namespace ports
