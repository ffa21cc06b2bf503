#pragma once
// The live log: every real-time row appended to a CSV file the moment it
// arrives (UTF-8, RFC 4180, LF line ends), so that a crash of the program or
// of the PC, or a pulled cable, loses nothing already shown. Each row goes to
// the file in one write before it is shown, so a program that dies keeps it;
// a thread of the log's own then syncs it to the disk (a few milliseconds,
// long before the next reading a second later), so a PC that goes down keeps
// it too, and the wait for the disk never holds up the window.
//
// Columns: time,wavelength_nm,power_dbm,linear_power, then relative_db and
// result when the run has a reference or limits. The header is written only
// into an empty file, so a second run appends to the first without one.
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "field/Readout.h"

namespace field {

struct LogColumns {
  bool relative = false;
  bool result = false;
};

// One CSV field as RFC 4180 wants it: quoted when it holds a comma, a quote,
// CR or LF (quotes doubled), as it is otherwise.
std::string CsvField(std::string_view utf8);

// ISO 8601 local time with the offset from UTC: "2026-12-07T15:04:05+01:00".
std::string IsoLocalTime(std::time_t when);

// The cells added behind a row's own: the relative value and the verdict
// ("PASS", "FAIL"), each when its column is there; empty for a reading
// without a number.
std::vector<std::string> AddedCells(const Row& row, LogColumns columns);

// The header line and one row's line (each ending in LF).
std::string LogHeader(LogColumns columns);
std::string LogLine(const Row& row, std::time_t when, LogColumns columns);

class LiveLog {
 public:
  // Opens `path` for appending, creating it when it does not exist. A file
  // whose last line was cut short gets a line end first. nullopt with `error`
  // (the system's reason) when it cannot be opened or written.
  static std::optional<LiveLog> Open(const std::string& path, LogColumns columns, std::string& error);

  LiveLog(LiveLog&& other) noexcept;
  LiveLog& operator=(LiveLog&& other) noexcept;
  LiveLog(const LiveLog&) = delete;
  LiveLog& operator=(const LiveLog&) = delete;
  ~LiveLog();

  // Appends the row; its sync to the disk follows on the log's thread. False
  // with Error() set when the write, or the sync of an earlier row, failed;
  // later rows are still tried.
  bool Append(const Row& row, std::time_t when);
  // Waits until every row appended so far is on the disk.
  bool Sync();

  const std::string& Path() const { return m_strPath; }
  LogColumns Columns() const { return m_columns; }
  const std::string& Error() const { return m_strError; }

 private:
  class Syncer;
  LiveLog(int fd, std::string path, LogColumns columns);
  bool WriteAll(std::string_view bytes);

  int m_fd = -1;
  std::unique_ptr<Syncer> m_syncer;
  std::string m_strPath;
  LogColumns m_columns;
  std::string m_strError;
};

}  // namespace field
