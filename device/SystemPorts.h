#pragma once
// The serial backend of the system the program is built for: device/posix/ on
// Linux. The front ends take their port and port list from here; nothing above
// device/ names a backend.
#include <memory>

#include "device/PortList.h"
#include "device/SerialPort.h"

// A new, closed serial port.
std::unique_ptr<ISerialPort> NewSerialPort();

// The system's ports (stateless; shared by every scan).
IPortList& SystemPortList();
