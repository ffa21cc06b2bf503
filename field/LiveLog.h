#pragma once
// The live log: every real-time row appended to a CSV file the moment it
// arrives (UTF-8, RFC 4180, LF line ends), so that a crash of the program or
// of the PC, or a pulled cable, loses nothing already shown. Each row goes to
// the file in one write before it is shown, so a program that dies keeps it;
// a thread of the log's own then syncs it to the disk (a few milliseconds,
// long before the next reading a second later), so a PC that goes down keeps
// it too, and the wait for the disk never holds up the window.
//
// Columns: time,wavelength_nm,power_dbm,linear_power,relative_db,result; the
// two added cells are empty while no reference or limits are set, so one file
// keeps one header. The header is written only into an empty file, so a
// second run appends to the first without one; a file that starts with
// another header is not written to.
//
// Every line is a whole row: a row that the disk took only in part is cut off
// again. A log deleted or replaced while it runs is noticed at the next row,
// and the path is opened anew (with a header) rather than writing on into a
// file nobody can reach.
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/FileAccess.h"
#include "field/Readout.h"

namespace field {

struct LogColumns {
  bool relative = false;
  bool result = false;
};

// ISO 8601 local time with the offset from UTC: "2026-12-07T15:04:05+01:00".
std::string IsoLocalTime(std::time_t when);
// The same to the millisecond, from milliseconds since the epoch:
// "2026-12-07T15:04:05.250+01:00". Readings arrive several a second, so the
// second alone would not tell them apart.
std::string IsoLocalTimeMs(std::int64_t msSinceEpoch);

// The cells added behind a row's own: the relative value and the verdict
// ("PASS", "FAIL"), each when its column is there; empty for a reading
// without a number.
std::vector<std::string> AddedCells(const Row& row, LogColumns columns);

// The header line and one row's line (each ending in LF).
std::string LogHeader(LogColumns columns);
std::string LogLine(const Row& row, std::time_t when, LogColumns columns);

// Both added columns: what every log is written with.
inline constexpr LogColumns kAllLogColumns{true, true};

// Why a log could not be opened.
enum class LogRefusal {
  None,
  CannotOpen,   // the system's reason, or no regular file
  OtherHeader,  // the file holds something else than this log's rows
};

class LiveLog {
 public:
  // Opens `path` for appending, creating it when it does not exist. A file
  // whose last line was cut short gets a line end first. nullopt with `error`
  // (the reason) when it cannot be opened or written, is no regular file, or
  // starts with another header; `refusal`, when given, says which.
  static std::optional<LiveLog> Open(const std::string& path, LogColumns columns, std::string& error,
                                     LogRefusal* refusal = nullptr);

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
  // True once after Append found another file (or none) at the path and
  // opened it anew.
  bool TakeReopened() { return std::exchange(m_bReopened, false); }

 private:
  class Syncer;
  LiveLog(std::shared_ptr<fileaccess::AppendFile> file, std::string path, LogColumns columns);
  bool WriteAll(std::string_view bytes);
  bool ReopenIfReplaced();

  std::shared_ptr<fileaccess::AppendFile> m_file;  // shared with the syncer's thread
  bool m_bReopened = false;
  std::unique_ptr<Syncer> m_syncer;
  std::string m_strPath;
  LogColumns m_columns;
  std::string m_strError;
};

}  // namespace field
