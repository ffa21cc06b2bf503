#pragma once
// The readout and the live log fed together, one real-time row at a time.
// The windowed program's panel and km360r-cli both hand each row the table
// adds to Take: the row is judged, counted and on the disk before the next
// reading is asked for.
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "field/LiveLog.h"
#include "field/Readout.h"

namespace field {

class LiveFeed {
 public:
  Readout& Values() { return m_readout; }
  const Readout& Values() const { return m_readout; }

  // A real-time read begins: the statistics start over.
  void Start() { m_readout.Restart(); }
  // One real-time row, arrived at `when`.
  const Row& Take(const meter::Measurement& measurement, std::time_t when);
  const Row& Take(const meter::Reading& reading, std::time_t when) { return Take(meter::Measure(reading), when); }

  // Starts logging to `path` (appending); false with `error` when the file
  // cannot be opened (`refusal`, when given, says why). Replaces a log
  // already running.
  bool StartLog(const std::string& path, LogColumns columns, std::string& error,
                LogRefusal* refusal = nullptr);
  void StopLog() { m_log.reset(); }
  bool Logging() const { return m_log.has_value(); }
  const std::string& LogPath() const;

  // Called when a row could not be written to the log, with the reason; the
  // log stays on and the next row is tried again.
  void SetLogFailureListener(std::function<void(const std::string&)> listener) {
    m_logFailed = std::move(listener);
  }
  bool LogFailed() const { return m_bLogFailed; }
  // Called with the path when the log file was found deleted or replaced and
  // the path was opened anew; the row went into the new file.
  void SetLogReopenedListener(std::function<void(const std::string&)> listener) {
    m_logReopened = std::move(listener);
  }

 private:
  Readout m_readout;
  std::optional<LiveLog> m_log;
  std::function<void(const std::string&)> m_logFailed;
  std::function<void(const std::string&)> m_logReopened;
  bool m_bLogFailed = false;
};

}  // namespace field
