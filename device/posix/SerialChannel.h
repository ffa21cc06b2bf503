#pragma once
// CSerialChannel: the serial port on POSIX systems (termios). One port, one monitor
// thread that waits on the port and on two requests (write, shut down), and the
// port lock. Received bytes reach the owner on the UI thread, one UM_RX_CHAR
// per byte in arrival order; command texts handed to Send are written by the
// monitor thread after the port's receive queue has been purged.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "device/SerialPort.h"

class CSerialChannel : public ISerialPort {
 public:
  CSerialChannel();
  ~CSerialChannel() override;
  CSerialChannel(const CSerialChannel&) = delete;
  CSerialChannel& operator=(const CSerialChannel&) = delete;

  // Ends a running monitor thread first (waiting until it has closed its port),
  // then opens `devicePath` exclusively in raw mode with the given line settings
  // (kMeterLine for the meter), RTS on, and purges it. False when the port
  // cannot be opened or its line settings cannot be read or set (no message;
  // the port is closed again); settings the line cannot take also show the
  // driver error box.
  bool Open(ISerialOwner* owner, const std::string& devicePath, const LineSettings& line) override;

  // Starts the monitor thread on the open port. True when it was started.
  bool StartMonitor() override;

  // Hands a command text to the monitor thread and returns at once. A text not
  // yet written is replaced by the new one.
  void Send(const std::string& text) override;

  // Asks the monitor thread to close the port and end; returns at once.
  void StopMonitor() override;

  // Why the latest Open failed, as an errno value: ENOENT for a port that
  // does not exist, EBUSY for one another program holds, ENODEV for a path
  // that is no device, ENOTTY for a device that is no serial line. 0 after an
  // Open that succeeded.
  int LastOpenError() const override { return m_nOpenError.load(); }

  // True while the monitor thread runs.
  bool IsThreadAlive() const override { return m_bThreadAlive.load(); }

 private:
  // Implementation members belong to the implementation (SerialChannel.cpp);
  // declared there through this opaque block to keep this header stable.
  struct Impl;
  Impl* m_pImpl;
  std::atomic<bool> m_bThreadAlive{false};
  std::atomic<int> m_nOpenError{0};
  friend struct Impl;
};

