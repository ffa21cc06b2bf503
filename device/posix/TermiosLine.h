#pragma once
// TermiosLine: a serial port on POSIX systems. The device is opened claimed
// (PortClaim), raw and non-blocking with termios; a wait polls the port and
// one eventfd per request.
#include "device/SerialLine.h"

class TermiosLine final : public ISerialLine {
 public:
  TermiosLine();
  ~TermiosLine() override;
  TermiosLine(const TermiosLine&) = delete;
  TermiosLine& operator=(const TermiosLine&) = delete;

  int Open(const std::string& devicePath, const LineSettings& line, DriverErrorSink report) override;
  bool IsOpen() const override { return m_port >= 0; }
  void Purge() override;
  Event Wait(bool watchPort) override;
  void Wake(Request request) override;
  ReadResult Read(char* buffer, size_t size) override;
  bool Write(const std::string& text) override;
  void Close() override;

 private:
  int m_port = -1;
  // The requests: non-blocking eventfds, made with the line.
  int m_stopEvent = -1;
  int m_writeEvent = -1;
  DriverErrorSink m_report;
  // What the latest wait saw at the port, and whether a read since has
  // brought bytes: a hang-up is told by a wake with nothing to read.
  short m_portEvents = 0;
  bool m_readSinceWait = false;
};
