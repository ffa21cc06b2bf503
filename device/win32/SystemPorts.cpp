#include "device/SystemPorts.h"

#include <cerrno>

#include "device/SerialChannel.h"
#include "device/win32/ComPorts.h"
#include "device/win32/CommLine.h"

std::unique_ptr<ISerialPort> NewSerialPort() { return std::make_unique<SerialChannel>(std::make_unique<CommLine>()); }

IPortList& SystemPortList() {
  static winports::ComPortList list;
  return list;
}

std::string OpenErrorText(int openError) {
  // The C runtime of Windows words these differently (EBUSY is "Resource
  // device" there); the operator reads the same reason as on Linux.
  switch (openError) {
    case ENOENT: return "No such file or directory";
    case EBUSY: return "Device or resource busy";
    case ENODEV: return "No such device";
    case ENOTTY: return "Inappropriate ioctl for device";
    case EINVAL: return "Invalid argument";
    case EMFILE: return "Too many open files";
    case EACCES: return "Permission denied";
    default: return "Input/output error";
  }
}
