#include "field/LiveLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "common/Gbk.h"

namespace field {

std::string CsvField(std::string_view utf8) {
  if (utf8.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(utf8);
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

std::optional<LiveLog> LiveLog::Open(const std::string& path, LogColumns columns, std::string& error) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    error = std::strerror(errno);
    return std::nullopt;
  }
  LiveLog log(fd, path, columns);
  struct stat st{};
  if (::fstat(fd, &st) != 0) {
    error = std::strerror(errno);
    return std::nullopt;
  }
  std::string start;
  if (st.st_size == 0) {
    start = LogHeader(columns);
  } else {
    // A row cut short (the disk was full) must not swallow the next one.
    const int reader = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    char last = '\n';
    if (reader >= 0) {
      if (::pread(reader, &last, 1, st.st_size - 1) != 1) last = '\n';
      ::close(reader);
    }
    if (last != '\n') start = "\n";
  }
  if (!start.empty() && !log.WriteAll(start)) {
    error = log.m_strError;
    return std::nullopt;
  }
  return log;
}

LiveLog::LiveLog(LiveLog&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)),
      m_strPath(std::move(other.m_strPath)),
      m_columns(other.m_columns),
      m_strError(std::move(other.m_strError)) {}

LiveLog& LiveLog::operator=(LiveLog&& other) noexcept {
  if (this != &other) {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = std::exchange(other.m_fd, -1);
    m_strPath = std::move(other.m_strPath);
    m_columns = other.m_columns;
    m_strError = std::move(other.m_strError);
  }
  return *this;
}

LiveLog::~LiveLog() {
  if (m_fd >= 0) ::close(m_fd);
}

bool LiveLog::Append(const Row& row, std::time_t when) { return WriteAll(LogLine(row, when, m_columns)); }

bool LiveLog::WriteAll(std::string_view bytes) {
  // One write for the whole line: a crash leaves whole rows behind.
  while (!bytes.empty()) {
    const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      m_strError = std::strerror(errno);
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  // On the disk, not only in the system's cache: a PC that goes down keeps it.
  if (::fdatasync(m_fd) != 0 && errno != EINVAL && errno != EROFS) {
    m_strError = std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace field
