#include "device/SerialPort.h"

#include <cstdio>
#include <cstring>

std::string FormatDriverError(const std::string& operation, int errorCode, int port) {
  return FormatDriverErrorText(operation, std::strerror(errorCode), port);
}

std::string FormatDriverErrorText(const std::string& operation, const std::string& reason, int port) {
  char buf[200];
  std::snprintf(buf, sizeof buf, "WARNING:  %s Failed with the following error: \n%s\nPort: %d\n",
                operation.c_str(), reason.c_str(), port);
  return buf;
}
