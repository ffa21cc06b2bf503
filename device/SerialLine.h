#pragma once
// What a system supplies for one serial port: open, wait, read, write and
// close, with the two requests that wake a wait. The channel
// (device/SerialChannel) runs its monitor thread, hand-over and send slot over
// it. Open, Purge, Read, Write and Close are called under the channel's port
// lock, Wait by the monitor thread alone; Wake may come from any thread.
#include <cstddef>
#include <functional>
#include <string>

#include "device/SerialPort.h"

// A failure the operator is shown in the driver error box: the system call
// that failed ("ReadFile()") and the system's reason.
using DriverErrorSink = std::function<void(const char* operation, const std::string& reason)>;

class ISerialLine {
 public:
  // What woke a Wait, the most urgent first.
  enum class Event {
    End,       // the stop request, or the wait itself failed: the monitor ends
    Received,  // the port has something to read, or to say about itself (Read tells)
    Write,     // the write request (taken with this event)
    Lost,      // the port no longer answers
    Nothing,   // nothing to do; wait again
  };
  enum class Request { Stop, Write };

  // One read: `count` bytes, 0 when nothing more waits at the port; `lost`
  // when the device is gone (a failure worth a box has gone to the sink).
  struct ReadResult {
    size_t count = 0;
    bool lost = false;
  };

  virtual ~ISerialLine() = default;

  // Opens `devicePath` exclusively with `line`, RTS on, purges it and clears
  // both requests; a port still open is closed first. 0, or why not as an
  // errno value (ISerialPort::LastOpenError). Settings the line cannot take
  // are also reported to `report`, which later failures go to as well.
  virtual int Open(const std::string& devicePath, const LineSettings& line, DriverErrorSink report) = 0;
  virtual bool IsOpen() const = 0;
  // Empties the port's receive and transmit queues.
  virtual void Purge() = 0;
  // Waits for the port (while `watchPort`) and for the requests.
  virtual Event Wait(bool watchPort) = 0;
  virtual void Wake(Request request) = 0;
  // Reads what the port has queued, up to `size` bytes; never waits for more.
  virtual ReadResult Read(char* buffer, size_t size) = 0;
  // Purges the port's queues, then writes `text`. False when the line turned
  // out to be gone (hang-up, adapter pulled): that is a lost device, not a box.
  virtual bool Write(const std::string& text) = 0;
  virtual void Close() = 0;
};
