#pragma once
// CSerialChannel: the program's only path to the meter. One port, one monitor
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

// Window message numbers kept from the meter program's message map.
inline constexpr int WM_USER = 0x0400;
inline constexpr int UM_RX_CHAR = WM_USER + 7;

// The window that receives what the channel reports. Every callback except
// PostToUi runs on the UI thread.
class ISerialOwner {
 public:
  virtual ~ISerialOwner() = default;
  // Queues fn to run on the UI thread after the handler that is running now.
  // Called from the monitor thread; must be thread-safe and must not block.
  virtual void PostToUi(std::function<void()> fn) = 0;
  // UM_RX_CHAR: one received byte (a NUL arrives as 0).
  virtual void OnRxChar(unsigned char byte) = 0;
  // The line was lost (hang-up, adapter pulled, I/O error): the lost-device case.
  virtual void OnDeviceLost() = 0;
  // The driver error box: caption "Application Error", text as formatted by
  // CSerialChannel::FormatDriverError.
  virtual void OnDriverError(const std::string& text) = 0;
};

class CSerialChannel {
 public:
  CSerialChannel();
  ~CSerialChannel();
  CSerialChannel(const CSerialChannel&) = delete;
  CSerialChannel& operator=(const CSerialChannel&) = delete;

  // Ends a running monitor thread first (waiting until it has closed its port),
  // then opens `devicePath` exclusively in raw mode with the given line settings
  // (19200, 'N', 8, 1 for the meter), RTS on, and purges it. False when the
  // port cannot be opened or its line settings cannot be read or set (no
  // message; the port is closed again); settings the line cannot take also
  // show the driver error box.
  bool Open(ISerialOwner* owner, const std::string& devicePath, int baud, char parity,
            int dataBits, int stopBits, uint32_t eventMask, int writeBufferSize);

  // Starts the monitor thread on the open port. True when it was started.
  bool StartMonitor();

  // Hands a command text to the monitor thread and returns at once. A text not
  // yet written is replaced by the new one.
  void Send(const std::string& text);

  // Asks the monitor thread to close the port and end; returns at once.
  void StopMonitor();

  // Why the latest Open failed, as an errno value: ENOENT for a port that
  // does not exist, EBUSY for one another program holds, ENODEV for a path
  // that is no device, ENOTTY for a device that is no serial line. 0 after an
  // Open that succeeded.
  int LastOpenError() const { return m_nOpenError.load(); }

  // True while the monitor thread runs.
  bool IsThreadAlive() const { return m_bThreadAlive.load(); }

  // "WARNING:  %s Failed with the following error: \n%s\nPort: %d\n", cut to
  // fit the 200-byte buffer of the original box.
  static std::string FormatDriverError(const std::string& operation, int errorCode, int port);

 private:
  // Implementation members belong to the implementation (device/SerialChannel.cpp);
  // declared there through this opaque block to keep this header stable.
  struct Impl;
  Impl* m_pImpl;
  std::atomic<bool> m_bThreadAlive{false};
  std::atomic<int> m_nOpenError{0};
  friend struct Impl;
};

