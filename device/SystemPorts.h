#pragma once
// The serial backend of the system the program is built for: device/posix/ on
// Linux, device/win32/ on Windows. The front ends take their port and port
// list from here; nothing above device/ names a backend.
#include <memory>
#include <string>

#include "device/PortList.h"
#include "device/SerialPort.h"

// A new, closed serial port.
std::unique_ptr<ISerialPort> NewSerialPort();

// The system's ports (stateless; shared by every scan).
IPortList& SystemPortList();

// The reason the operator reads for ISerialPort::LastOpenError(): the same
// words on every system ("Device or resource busy" for a port another program
// holds), so that instructions and scripts need not know which one they run on.
std::string OpenErrorText(int openError);
