#include "field/LiveLog.h"

#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

#include "common/Gbk.h"
#include "common/SpreadsheetText.h"
#include "common/FileAccess.h"
#include "common/LocalTime.h"
#include "field/VerdictWords.h"

namespace field {

namespace {

// The local time of `when`, `fraction` (such as ".250") after its seconds.
std::string IsoLocalTimeWith(std::time_t when, const std::string& fraction) {
  const localclock::Local local = localclock::At(when);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local.fields);
  const long offset = local.utcOffsetSeconds;
  const long minutes = (offset < 0 ? -offset : offset) / 60;
  char zone[48];
  std::snprintf(zone, sizeof zone, "%c%02ld:%02ld", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
  return std::string(stamp) + fraction + zone;
}

}  // namespace

std::string IsoLocalTime(std::time_t when) { return IsoLocalTimeWith(when, {}); }

std::string IsoLocalTimeMs(std::int64_t msSinceEpoch) {
  // Rounded down, also before 1970: the millisecond belongs to its own second.
  std::int64_t seconds = msSinceEpoch / 1000;
  std::int64_t ms = msSinceEpoch % 1000;
  if (ms < 0) {
    ms += 1000;
    --seconds;
  }
  char fraction[8];
  std::snprintf(fraction, sizeof fraction, ".%03d", static_cast<int>(ms));
  return IsoLocalTimeWith(static_cast<std::time_t>(seconds), fraction);
}

std::string LogHeader(LogColumns columns) {
  std::string h = "time,wavelength_nm,power_dbm,linear_power";
  if (columns.relative) h += ",relative_db";
  if (columns.result) h += ",result";
  return h + "\n";
}

std::vector<std::string> AddedCells(const Row& row, LogColumns columns) {
  std::vector<std::string> cells;
  if (columns.relative) cells.push_back(row.relative ? FormatSigned(*row.relative) : std::string());
  if (columns.result) {
    // The file's words are the same in every language.
    cells.push_back(VerdictWords::For(false).Word(row.verdict));
  }
  return cells;
}

std::string LogLine(const Row& row, std::time_t when, LogColumns columns) {
  const Sample& s = row.sample;
  std::string line = IsoLocalTime(when);
  line += ',';
  line += s.wavelengthNm ? std::to_string(*s.wavelengthNm) : sheettext::CsvValue(gbk::ToUtf8(s.wavelength));
  line += ',';
  // Without a number the meter's own text is kept: the log loses nothing.
  line += s.dbm ? FormatTwoDecimals(*s.dbm) : sheettext::CsvValue(gbk::ToUtf8(s.logPower));
  line += ',';
  line += sheettext::CsvValue(gbk::ToUtf8(s.linearPower));
  for (const std::string& cell : AddedCells(row, columns)) line += ',' + cell;
  return line + "\n";
}

// Syncs the file to the disk after each write, on a thread of its own: a
// sync costs milliseconds, the write before it microseconds. Writes that come
// while a sync runs are taken by the next one.
class LiveLog::Syncer {
 public:
  explicit Syncer(std::shared_ptr<fileaccess::AppendFile> file)
      : m_file(std::move(file)), m_thread([this] { Run(); }) {}
  ~Syncer() {
    {
      std::lock_guard lock(m_mutex);
      m_bStop = true;
    }
    m_wake.notify_all();
    m_thread.join();
  }

  void Written() {
    {
      std::lock_guard lock(m_mutex);
      ++m_nWritten;
    }
    m_wake.notify_all();
  }

  // Waits for the writes so far; the first failure's reason, empty if none.
  std::string WaitSynced() {
    std::unique_lock lock(m_mutex);
    const long target = m_nWritten;
    m_done.wait(lock, [&] { return m_nSynced >= target || !m_strError.empty(); });
    return m_strError;
  }

  // The reason of a failed sync not told yet (empty if none), told once.
  std::string TakeError() {
    std::lock_guard lock(m_mutex);
    std::string e = std::move(m_strPendingError);
    m_strPendingError.clear();
    return e;
  }

 private:
  void Run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
      m_wake.wait(lock, [this] { return m_bStop || m_nSynced < m_nWritten; });
      if (m_nSynced >= m_nWritten) return;  // stopping with nothing left
      const long target = m_nWritten;
      lock.unlock();
      std::string reason;
      const bool ok = m_file->Flush(reason);
      lock.lock();
      m_nSynced = target;
      if (!ok) {
        m_strError = reason;
        m_strPendingError = reason;
      }
      m_done.notify_all();
    }
  }

  std::shared_ptr<fileaccess::AppendFile> m_file;
  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::condition_variable m_done;
  long m_nWritten = 0;
  long m_nSynced = 0;
  bool m_bStop = false;
  std::string m_strError;
  std::string m_strPendingError;
  std::thread m_thread;  // last: started once the rest is set up
};

LiveLog::LiveLog(std::shared_ptr<fileaccess::AppendFile> file, std::string path, LogColumns columns)
    : m_file(file), m_syncer(std::make_unique<Syncer>(std::move(file))), m_strPath(std::move(path)), m_columns(columns) {}

std::optional<LiveLog> LiveLog::Open(const std::string& path, LogColumns columns, std::string& error,
                                     LogRefusal* refusal) {
  auto refuse = [&](LogRefusal why, std::string reason) -> std::optional<LiveLog> {
    error = std::move(reason);
    if (refusal) *refusal = why;
    return std::nullopt;
  };
  if (refusal) *refusal = LogRefusal::None;
  // A named pipe would hold the run until some reader came; a device would
  // swallow the rows.
  if (std::string refused = fileaccess::RefusedTarget(path); !refused.empty()) {
    return refuse(LogRefusal::CannotOpen, std::move(refused));
  }
  std::string reason;
  std::shared_ptr<fileaccess::AppendFile> file = fileaccess::AppendFile::Open(path, reason);
  if (!file) return refuse(LogRefusal::CannotOpen, std::move(reason));
  const uint64_t size = file->Size();
  LiveLog log(file, path, columns);
  const std::string header = LogHeader(columns);
  std::string start;
  if (size == 0) {
    start = header;
  } else {
    // Rows under another header would be read as other columns. (A file
    // that cannot be read back is taken as it is.)
    const std::string first = file->ReadAt(0, header.size());
    if (!first.empty() && first != header) {
      return refuse(LogRefusal::OtherHeader,
                    "its first line is not the log's header " + header.substr(0, header.size() - 1));
    }
    // A row cut short (by a crash) must not swallow the next one.
    const std::string last = file->ReadAt(size - 1, 1);
    if (last.size() == 1 && last != "\n") start = "\n";
  }
  if (!start.empty() && !log.WriteAll(start)) return refuse(LogRefusal::CannotOpen, log.m_strError);
  return log;
}

LiveLog::LiveLog(LiveLog&& other) noexcept
    : m_file(std::move(other.m_file)),
      m_syncer(std::move(other.m_syncer)),
      m_strPath(std::move(other.m_strPath)),
      m_columns(other.m_columns),
      m_strError(std::move(other.m_strError)) {}


LiveLog& LiveLog::operator=(LiveLog&& other) noexcept {
  if (this != &other) {
    m_syncer.reset();  // its last sync done
    m_file = std::move(other.m_file);
    m_syncer = std::move(other.m_syncer);
    m_strPath = std::move(other.m_strPath);
    m_columns = other.m_columns;
    m_strError = std::move(other.m_strError);
  }
  return *this;
}

LiveLog::~LiveLog() {
  m_syncer.reset();  // its last sync done, before the file closes
}

bool LiveLog::ReopenIfReplaced() {
  if (m_file->IsAt(m_strPath)) return true;
  std::string error;
  std::optional<LiveLog> fresh = Open(m_strPath, m_columns, error);
  if (!fresh) {
    m_strError = std::move(error);
    return false;
  }
  *this = std::move(*fresh);
  m_bReopened = true;
  return true;
}

bool LiveLog::Append(const Row& row, std::time_t when) {
  // Rows written into a deleted file, or one moved away, would reach nobody.
  if (!ReopenIfReplaced()) return false;
  if (std::string failed = m_syncer->TakeError(); !failed.empty()) {
    m_strError = std::move(failed);
    WriteAll(LogLine(row, when, m_columns));
    return false;
  }
  return WriteAll(LogLine(row, when, m_columns));
}

bool LiveLog::Sync() {
  const std::string failed = m_syncer->WaitSynced();
  if (!failed.empty()) m_strError = failed;
  return failed.empty();
}

bool LiveLog::WriteAll(std::string_view bytes) {
  // One write for the whole line: a crash leaves whole rows behind.
  if (!m_file->Append(bytes, m_strError)) return false;
  m_syncer->Written();
  return true;
}

}  // namespace field
