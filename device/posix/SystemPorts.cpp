#include "device/SystemPorts.h"

#include <cstring>

#include "device/SerialChannel.h"
#include "device/posix/DevicePorts.h"
#include "device/posix/TermiosLine.h"

std::unique_ptr<ISerialPort> NewSerialPort() { return std::make_unique<SerialChannel>(std::make_unique<TermiosLine>()); }

IPortList& SystemPortList() {
  static ports::DevicePortList list;
  return list;
}

std::string OpenErrorText(int openError) { return std::strerror(openError); }
