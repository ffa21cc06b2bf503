#pragma once
// What the reading session tells its owner about the meter: one typed report
// at a time, to one listener. Every report is made on the UI thread; what a
// report refers to lives for the call.
#include <functional>
#include <string>
#include <variant>

#include "device/Record.h"

namespace meter {

// Why the meter is gone.
enum class Loss {
  Silent,  // the reply watchdog's second tick passed without the awaited answer
  Line,    // the line itself failed (hang-up, adapter pulled, I/O error)
};

// The scan opens the next candidate, known to the operator by this name.
struct Probing {
  const std::string& portName;
};
// The scan found the meter on this device path; the port stays open.
struct Connected {
  const std::string& devicePath;
};
// The scan found no meter.
struct LinkFailed {};
// The meter was lost. After Silent the port is already closed; after Line
// the session has left every activity and the port is still open.
struct Lost {
  Loss how;
};
// A record arrived, read by the meter's model, in arrival order.
struct Arrived {
  const Record& record;
};
// A record closed an exchange; told after the record arrived, once for each
// marker it carries.
struct Completed {
  Done what;
};
// The serial driver's error box text (caption "Application Error").
struct DriverError {
  const std::string& text;
};

using SessionReport = std::variant<Probing, Connected, LinkFailed, Lost, Arrived, Completed, DriverError>;

}  // namespace meter

// The session's listener: it must take every report but Probing, which it may
// pass over.
using MeterListener = std::function<void(const meter::SessionReport&)>;
