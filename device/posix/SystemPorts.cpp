#include "device/SystemPorts.h"

#include <cstring>

#include "device/posix/DevicePorts.h"
#include "device/posix/SerialChannel.h"

std::unique_ptr<ISerialPort> NewSerialPort() { return std::make_unique<CSerialChannel>(); }

IPortList& SystemPortList() {
  static ports::DevicePortList list;
  return list;
}

std::string OpenErrorText(int openError) { return std::strerror(openError); }
