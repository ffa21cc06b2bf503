#pragma once
// What the reading session tells the program about the meter.
#include <functional>
#include <string>

#include "device/Record.h"

namespace meter {

// Why the meter is gone.
enum class Loss {
  Silent,  // the reply watchdog's second tick passed without the awaited answer
  Line,    // the line itself failed (hang-up, adapter pulled, I/O error)
};

}  // namespace meter

// The session's reports, each a function the program sets. Every call is
// made on the UI thread.
struct MeterEvents {
  // The scan found the meter on this device path; the port stays open.
  std::function<void(const std::string& devicePath)> connected;
  // The scan opens the next candidate, known to the operator by this name
  // (may be left unset).
  std::function<void(const std::string& portName)> probing;
  // The scan found no meter.
  std::function<void()> linkFailed;
  // The meter was lost. After Silent the port is already closed; after Line
  // the session has left every activity and the port is still open.
  std::function<void(meter::Loss how)> meterLost;
  // A record arrived (its end included), read by the meter's model, in
  // arrival order.
  std::function<void(meter::Record record)> reply;
  // A record closed an exchange; called after `reply` for that record, once
  // for each marker it carries.
  std::function<void(meter::Done what)> commandDone;
  // The serial driver's error box text (caption "Application Error").
  std::function<void(const std::string& text)> driverError;
};
