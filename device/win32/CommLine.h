#pragma once
// CommLine: a serial port on Windows. The port is opened for overlapped I/O
// without sharing (the port claim, ComPorts); a wait is an overlapped
// WaitCommEvent for "character received" beside one event per request.
#include <memory>

#include "device/SerialLine.h"

class CommLine final : public ISerialLine {
 public:
  CommLine();
  ~CommLine() override;
  CommLine(const CommLine&) = delete;
  CommLine& operator=(const CommLine&) = delete;

  int Open(const std::string& devicePath, const LineSettings& line, DriverErrorSink report) override;
  bool IsOpen() const override;
  void Purge() override;
  Event Wait(bool watchPort) override;
  void Wake(Request request) override;
  ReadResult Read(char* buffer, size_t size) override;
  bool Write(const std::string& text) override;
  void Close() override;

 private:
  // The Win32 handles stay in the implementation, so that <windows.h> (and
  // its macros) reach no file outside device/win32/.
  struct Handles;
  const std::unique_ptr<Handles> m_h;
};
