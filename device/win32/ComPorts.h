#pragma once
// The COM ports of Windows. "COMn" is the device "\\.\COMn" for every n (the
// short form reaches only COM1 to COM9 through CreateFile), and holding a port
// means having it open without sharing: the system refuses every further
// opener until it is closed, which is the claim of one program per port.
#include <string>
#include <vector>

#include "device/PortList.h"
#include "device/PortNames.h"

namespace winports {

// An open port and the claim on it.
struct ClaimedPort {
  void* port = nullptr;   // HANDLE of the device, opened for overlapped I/O
  void* claim = nullptr;  // HANDLE of the port's named claim
  explicit operator bool() const { return port != nullptr; }
};

// The port's device path: "\\.\COMn" for "COMn" or "\\.\COMn"; any other
// name is taken as a device path already and returned unchanged.
std::string ResolvePortName(const std::string& name);

// Opens the device for overlapped reading and writing, not shared, and makes
// sure it is a serial line. Besides the unshared open, the port is claimed by
// a named object of the session ("km360r-port-COMn"): every program of ours
// checks it, also where a system's devices do not enforce the sharing mode
// (Wine's serial ports do not). An empty result has `openError` set to an
// errno value: ENOENT, EBUSY, ENODEV for a path that is no device, ENOTTY for
// a device without line settings, EIO for anything else.
ClaimedPort OpenClaimed(const std::string& devicePath, int& openError);

// Closes what OpenClaimed gave and empties it.
void CloseClaimed(ClaimedPort& port);

// The port scan's candidates: for n = 0..19 the name "COMn" (n up to 9) or
// "\\.\COMn" (10 to 19), kept when its device can be opened exclusively. COM1
// and COM2 are never candidates (they are not even opened).
std::vector<ports::PortCandidate> ScanCandidates();

class ComPortList : public IPortList {
 public:
  std::vector<ports::PortCandidate> Candidates() override { return ScanCandidates(); }
  std::string Resolve(const std::string& name) override { return ResolvePortName(name); }
};

}  // namespace winports
