#include "field/LiveLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

#include "common/Gbk.h"
#include "common/SpreadsheetText.h"
#include "table/FileAccess.h"

namespace field {

std::string CsvField(std::string_view text) {
  const std::string utf8 = sheettext::Defused(text);
  if (utf8.find_first_of(",\"\r\n") == std::string::npos) return utf8;
  std::string quoted = "\"";
  for (char c : utf8) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::string IsoLocalTime(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local);
  const long offset = local.tm_gmtoff;
  const long minutes = (offset < 0 ? -offset : offset) / 60;
  char zone[48];
  std::snprintf(zone, sizeof zone, "%c%02ld:%02ld", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
  return std::string(stamp) + zone;
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
    cells.push_back(row.verdict == Verdict::Pass ? "PASS" : row.verdict == Verdict::Fail ? "FAIL" : "");
  }
  return cells;
}

std::string LogLine(const Row& row, std::time_t when, LogColumns columns) {
  const Sample& s = row.sample;
  std::string line = IsoLocalTime(when);
  line += ',';
  line += s.wavelengthNm ? std::to_string(*s.wavelengthNm) : CsvField(gbk::ToUtf8(s.wavelength));
  line += ',';
  // Without a number the meter's own text is kept: the log loses nothing.
  line += s.dbm ? FormatTwoDecimals(*s.dbm) : CsvField(gbk::ToUtf8(s.logPower));
  line += ',';
  line += CsvField(gbk::ToUtf8(s.linearPower));
  for (const std::string& cell : AddedCells(row, columns)) line += ',' + cell;
  return line + "\n";
}

// Syncs the file to the disk after each write, on a thread of its own: a
// sync costs milliseconds, the write before it microseconds. Writes that come
// while a sync runs are taken by the next one.
class LiveLog::Syncer {
 public:
  explicit Syncer(int fd) : m_fd(fd), m_thread([this] { Run(); }) {}
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
      const bool ok = ::fdatasync(m_fd) == 0 || errno == EINVAL || errno == EROFS;
      const std::string reason = ok ? std::string() : std::strerror(errno);
      lock.lock();
      m_nSynced = target;
      if (!ok) {
        m_strError = reason;
        m_strPendingError = reason;
      }
      m_done.notify_all();
    }
  }

  int m_fd;
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

LiveLog::LiveLog(int fd, std::string path, LogColumns columns)
    : m_fd(fd), m_syncer(std::make_unique<Syncer>(fd)), m_strPath(std::move(path)), m_columns(columns) {}

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
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
  if (fd < 0) return refuse(LogRefusal::CannotOpen, std::strerror(errno));
  LiveLog log(fd, path, columns);
  struct stat st{};
  if (::fstat(fd, &st) != 0) return refuse(LogRefusal::CannotOpen, std::strerror(errno));
  if (!S_ISREG(st.st_mode)) return refuse(LogRefusal::CannotOpen, "not a regular file");
  const std::string header = LogHeader(columns);
  std::string start;
  if (st.st_size == 0) {
    start = header;
  } else if (const int reader = ::open(path.c_str(), O_RDONLY | O_CLOEXEC); reader >= 0) {
    // Rows under another header would be read as other columns.
    std::string first(header.size(), '\0');
    const bool sameHeader = ::pread(reader, first.data(), first.size(), 0) == static_cast<ssize_t>(first.size()) &&
                            first == header;
    // A row cut short (by a crash) must not swallow the next one.
    char last = '\n';
    if (::pread(reader, &last, 1, st.st_size - 1) != 1) last = '\n';
    ::close(reader);
    if (!sameHeader) {
      return refuse(LogRefusal::OtherHeader,
                    "its first line is not the log's header " + header.substr(0, header.size() - 1));
    }
    if (last != '\n') start = "\n";
  }
  if (!start.empty() && !log.WriteAll(start)) return refuse(LogRefusal::CannotOpen, log.m_strError);
  return log;
}

LiveLog::LiveLog(LiveLog&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)),
      m_syncer(std::move(other.m_syncer)),
      m_strPath(std::move(other.m_strPath)),
      m_columns(other.m_columns),
      m_strError(std::move(other.m_strError)) {}


LiveLog& LiveLog::operator=(LiveLog&& other) noexcept {
  if (this != &other) {
    m_syncer.reset();  // its last sync done
    if (m_fd >= 0) ::close(m_fd);
    m_fd = std::exchange(other.m_fd, -1);
    m_syncer = std::move(other.m_syncer);
    m_strPath = std::move(other.m_strPath);
    m_columns = other.m_columns;
    m_strError = std::move(other.m_strError);
  }
  return *this;
}

LiveLog::~LiveLog() {
  m_syncer.reset();  // its last sync done
  if (m_fd >= 0) ::close(m_fd);
}

bool LiveLog::StillAtPath() const {
  struct stat open{}, named{};
  if (::fstat(m_fd, &open) != 0) return true;  // nothing to compare with
  if (::stat(m_strPath.c_str(), &named) != 0) return false;
  return open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

bool LiveLog::ReopenIfReplaced() {
  if (StillAtPath()) return true;
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
  size_t written = 0;
  while (!bytes.empty()) {
    const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      m_strError = std::strerror(errno);
      // A full disk took only the start of the line: cut it off again, so
      // the next row does not continue it.
      struct stat st{};
      if (written > 0 && ::fstat(m_fd, &st) == 0 && st.st_size >= static_cast<off_t>(written)) {
        (void)!::ftruncate(m_fd, st.st_size - static_cast<off_t>(written));
      }
      return false;
    }
    written += static_cast<size_t>(n);
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  m_syncer->Written();
  return true;
}

}  // namespace field
