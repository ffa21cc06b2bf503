#pragma once
// The seam between the conversation with the meter and the system's serial
// ports. The channel (device/SerialChannel) opens a port with its line
// settings, runs a monitor that delivers received bytes to the port's owner on
// the UI thread, writes command texts, and stops; the system's part of it is a
// line of device/posix/ on Linux, device/win32/ on Windows.
// Everything above device/ sees the port through ISerialPort only.
#include <functional>
#include <string>
#include <string_view>
#include <utility>

// How a port is opened.
struct LineSettings {
  int baud = 19200;
  char parity = 'N';  // 'N', 'E' or 'O'
  int dataBits = 8;
  int stopBits = 1;
  // The longest command text plus one; a longer text is cut to fit.
  int writeBufferSize = 1024;
};

// The driver error box's text: "WARNING:  %s Failed with the following error:
// \n%s\nPort: %d\n" with the failed call, the reason for `errorCode` (an errno
// value) and the port number, cut after its first 199 bytes.
std::string FormatDriverError(const std::string& operation, int errorCode, int port);

// The same box text with the reason already worded: backends whose system
// describes its own error codes (FormatMessage on Windows) give it here.
std::string FormatDriverErrorText(const std::string& operation, const std::string& reason, int port);

// The window that receives what the port reports. Every callback except
// PostToUi runs on the UI thread.
class ISerialOwner {
 public:
  virtual ~ISerialOwner() = default;
  // Queues fn to run on the UI thread after the handler that is running now.
  // Called from the monitor thread; must be thread-safe and must not block.
  virtual void PostToUi(std::function<void()> fn) = 0;
  // What the port received since the previous call, in arrival
  // order (a NUL arrives as a 0 byte); the view is valid during the call only.
  virtual void OnReceived(std::string_view bytes) = 0;
  // The line was lost (hang-up, adapter pulled, I/O error): the lost-device case.
  virtual void OnDeviceLost() = 0;
  // The driver error box: caption "Application Error", text as
  // FormatDriverError gives it.
  virtual void OnDriverError(const std::string& text) = 0;
};

// An owner made of the functions it is given: the part that reads the meter
// hands the port one of these instead of being an owner itself, so the port
// knows nothing of who reads it.
class LineOwner final : public ISerialOwner {
 public:
  struct Handlers {
    std::function<void(std::function<void()>)> post;  // to the UI thread
    std::function<void(std::string_view)> received;
    std::function<void()> lost;
    std::function<void(const std::string&)> driverError;
  };
  explicit LineOwner(Handlers handlers) : m_handlers(std::move(handlers)) {}
  void PostToUi(std::function<void()> fn) override { m_handlers.post(std::move(fn)); }
  void OnReceived(std::string_view bytes) override { m_handlers.received(bytes); }
  void OnDeviceLost() override { m_handlers.lost(); }
  void OnDriverError(const std::string& text) override { m_handlers.driverError(text); }

 private:
  Handlers m_handlers;
};

// One serial port of the system, opened by device path.
class ISerialPort {
 public:
  virtual ~ISerialPort() = default;

  // Ends a running monitor first (waiting until it has closed its port), then
  // opens `devicePath` exclusively with `line`, RTS on, and purges it; from now
  // on `owner` receives what the port reports. False when the port cannot be
  // opened or its line settings cannot be read or set (no message; the port is
  // closed again); settings the line cannot take also report a driver error.
  virtual bool Open(ISerialOwner* owner, const std::string& devicePath,
                    const LineSettings& line) = 0;

  // Starts the monitor on the open port. True when it was started.
  virtual bool StartMonitor() = 0;

  // Hands a command text to the monitor and returns at once. A text not yet
  // written is replaced by the new one; what the port received before the text
  // is written is purged with the port's queues.
  virtual void Send(const std::string& text) = 0;

  // Asks the monitor to close the port and end; returns at once.
  virtual void StopMonitor() = 0;

  // Why the latest Open failed, as an errno value of <cerrno> whatever the
  // system: ENOENT for a port that does not exist, EBUSY for one another
  // program holds, ENODEV for a path that is no device, ENOTTY for a device
  // that is no serial line. 0 after an Open that succeeded.
  virtual int LastOpenError() const = 0;

  // True while the monitor runs.
  virtual bool IsThreadAlive() const = 0;
};
