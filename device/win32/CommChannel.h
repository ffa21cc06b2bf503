#pragma once
// CCommChannel: the serial port on Windows. One port opened for overlapped
// I/O without sharing (the port claim), one monitor thread that waits on the
// port's "character received" event and on two requests (write, shut down),
// and the port lock. The threading contract is that of the POSIX channel:
// received bytes reach the owner on the UI thread, one UM_RX_CHAR per byte in
// arrival order, and command texts handed to Send are written by the monitor
// thread after the port's receive queue has been purged.
#include <atomic>
#include <string>

#include "device/SerialPort.h"

class CCommChannel : public ISerialPort {
 public:
  CCommChannel();
  ~CCommChannel() override;
  CCommChannel(const CCommChannel&) = delete;
  CCommChannel& operator=(const CCommChannel&) = delete;

  bool Open(ISerialOwner* owner, const std::string& devicePath, const LineSettings& line) override;
  bool StartMonitor() override;
  void Send(const std::string& text) override;
  void StopMonitor() override;
  int LastOpenError() const override { return m_nOpenError.load(); }
  bool IsThreadAlive() const override { return m_bThreadAlive.load(); }

 private:
  // The Win32 handles stay in the implementation, so that <windows.h> (and
  // its macros) reach no file outside device/win32/.
  struct Impl;
  Impl* m_pImpl;
  std::atomic<bool> m_bThreadAlive{false};
  std::atomic<int> m_nOpenError{0};
  friend struct Impl;
};
