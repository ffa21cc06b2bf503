#include "device/SystemPorts.h"

#include "device/posix/DevicePorts.h"
#include "device/posix/SerialChannel.h"

std::unique_ptr<ISerialPort> NewSerialPort() { return std::make_unique<CSerialChannel>(); }

IPortList& SystemPortList() {
  static ports::DevicePortList list;
  return list;
}
