#include "common/FileAccess.h"

#include "common/StopSignals.h"
#include "common/TemporaryName.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <algorithm>
#include <optional>

namespace fileaccess {

namespace {

std::string SystemText(int err) { return std::strerror(err); }

class Fd {
 public:
  explicit Fd(int fd) : m_fd(fd) {}
  ~Fd() {
    if (m_fd >= 0) ::close(m_fd);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int Get() const { return m_fd; }
  // Closes now and reports a failure (a write error may only show here).
  bool Close() {
    const int fd = m_fd;
    m_fd = -1;
    return ::close(fd) == 0;
  }

 private:
  int m_fd;
};

// The file a save writes for `path`: the path itself, or for a symbolic link
// the end of its chain, which need not exist yet. Relative link texts count
// from the link's own folder. False (with errno set) for a chain that does not
// end.
bool FollowLinks(std::string& path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    // Anything that is no link, or cannot be looked at, is written (or
    // refused) as it is.
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    char target[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
    if (n < 0) return false;
    if (static_cast<size_t>(n) == sizeof target) {
      errno = ENAMETOOLONG;
      return false;
    }
    const std::string_view text(target, static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    if (text.starts_with('/') || slash == std::string::npos) {
      path = text;
    } else {
      path.resize(slash + 1);
      path += text;
    }
  }
  errno = ELOOP;
  return false;
}

// The new file a save is writing, for the stop signals' handler: its
// folder's descriptor and its name there. A program saves one file at a time.
std::atomic<int> g_temporaryFolder{-1};
char g_temporaryName[16];
static_assert(std::atomic<int>::is_always_lock_free);

// Runs in the stop signals' handler: only calls safe there.
void RemoveTemporary() {
  const int folder = g_temporaryFolder.load();
  if (folder >= 0) ::unlinkat(folder, g_temporaryName, 0);
}

// The stop signals held back while a new file is made and noted, so that no
// signal finds it made but not yet noted.
class StopSignalsHeld {
 public:
  StopSignalsHeld() {
    sigset_t stops;
    sigemptyset(&stops);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stops, s);
    ::pthread_sigmask(SIG_BLOCK, &stops, &m_saved);
  }
  ~StopSignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &m_saved, nullptr); }

 private:
  sigset_t m_saved;
};

// Notes the new file for the handler, and forgets it when the save is over.
class TemporaryNoted {
 public:
  TemporaryNoted(int folder, const std::string& name) {
    const size_t n = std::min(name.size(), sizeof g_temporaryName - 1);
    std::memcpy(g_temporaryName, name.data(), n);
    g_temporaryName[n] = '\0';
    g_temporaryFolder.store(folder);
  }
  ~TemporaryNoted() { g_temporaryFolder.store(-1); }
  TemporaryNoted(const TemporaryNoted&) = delete;
  TemporaryNoted& operator=(const TemporaryNoted&) = delete;
};

}  // namespace

void RemoveTemporaryFileOnStopSignals() { stopsignals::EndAfter(RemoveTemporary); }

void WritesFailAtFileSizeLimit() { ::signal(SIGXFSZ, SIG_IGN); }

bool FolderTakesNewFiles(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string RefusedTarget(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return {};
  if (S_ISDIR(st.st_mode)) return SystemText(EISDIR);
  return "not a regular file";
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

ReadResult ReadWholeFile(const std::string& path, size_t maxBytes) {
  ReadResult result;
  // Without O_NONBLOCK a named pipe would hold the program until some writer
  // comes; it is refused below as no regular file. Regular files ignore it.
  Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  struct stat st;
  if (fd.Get() < 0 || ::fstat(fd.Get(), &st) != 0) {
    result.error = ReadError::CannotOpen;
    result.errorNumber = errno;
    result.reason = SystemText(result.errorNumber);
    return result;
  }
  if (!S_ISREG(st.st_mode)) {
    result.error = ReadError::CannotOpen;
    result.errorNumber = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    result.reason = SystemText(result.errorNumber);
    return result;
  }
  const size_t size = static_cast<size_t>(st.st_size);
  if (size > maxBytes) {
    result.error = ReadError::TooLarge;
    return result;
  }
  auto failed = [&](int err) {
    result.error = ReadError::CannotOpen;
    result.errorNumber = err;
    result.reason = SystemText(err);
    result.bytes = std::string();
    return result;
  };
  result.bytes.resize(size);
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd.Get(), result.bytes.data() + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return failed(errno);
    }
    if (n == 0) break;  // the file has shrunk since fstat
    done += static_cast<size_t>(n);
  }
  if (done == size) {
    // The file may have grown since fstat: read on until its end. Reading
    // into a piece of its own keeps a file that has not grown from doubling
    // the memory of the whole.
    char piece[64 * 1024];
    for (;;) {
      const ssize_t n = ::read(fd.Get(), piece, sizeof piece);
      if (n < 0) {
        if (errno == EINTR) continue;
        return failed(errno);
      }
      if (n == 0) break;
      if (done + static_cast<size_t>(n) > maxBytes) {
        result.error = ReadError::TooLarge;
        result.bytes = std::string();
        return result;
      }
      result.bytes.append(piece, static_cast<size_t>(n));
      done += static_cast<size_t>(n);
    }
  }
  result.bytes.resize(done);
  return result;
}

namespace {

// The new file of a replacing save, written at the offsets its writer asks.
class FdBytesOut : public FileBytesOut {
 public:
  FdBytesOut(int fd, size_t maxBytes) : m_fd(fd), m_maxBytes(maxBytes) {}

  bool Append(std::string_view bytes) override { return WriteAt(m_size, bytes); }

  bool WriteAt(uint64_t offset, std::string_view bytes) override {
    if (offset > m_maxBytes || bytes.size() > m_maxBytes - offset) {
      errno = EFBIG;
      return false;
    }
    for (size_t done = 0; done < bytes.size();) {
      const ssize_t n = ::pwrite(m_fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
      if (n < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      done += static_cast<size_t>(n);
    }
    m_size = std::max<uint64_t>(m_size, offset + bytes.size());
    return true;
  }

 private:
  int m_fd;
  size_t m_maxBytes;
  uint64_t m_size = 0;
};

}  // namespace

std::string WriteFileReplacing(const std::string& path, std::string_view bytes, size_t maxBytes) {
  if (bytes.size() > maxBytes) return SystemText(EFBIG);
  return WriteFileReplacing(path, [&](FileBytesOut& out) { return out.Append(bytes); }, maxBytes);
}

std::string WriteFileReplacing(const std::string& path, const std::function<bool(FileBytesOut&)>& write,
                               size_t maxBytes) {
  std::string target = path;
  if (!FollowLinks(target)) return SystemText(errno);
  struct stat old;
  const bool replacing = ::stat(target.c_str(), &old) == 0;
  if (replacing) {
    if (const std::string refused = RefusedTarget(target); !refused.empty()) return refused;
    // A file the user may not write stays as it is, even where the folder
    // would allow replacing it.
    if (::access(target.c_str(), W_OK) != 0) return SystemText(errno);
  }
  // The new file is made in the target's folder, named relative to it, so
  // that neither its name nor its path can grow too long.
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  Fd dir(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (dir.Get() < 0) return SystemText(errno);
  std::string temp;
  int raw = -1;
  std::optional<TemporaryNoted> noted;
  {
    StopSignalsHeld held;
    for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
      temp = TemporaryName();
      raw = ::openat(dir.Get(), temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (raw < 0 && errno != EEXIST) return SystemText(errno);
    }
    if (raw < 0) return SystemText(EEXIST);
    noted.emplace(dir.Get(), temp);
  }
  Fd fd(raw);
  auto fail = [&](int err) {
    ::unlinkat(dir.Get(), temp.c_str(), 0);
    return SystemText(err);
  };
  if (replacing && ::fchmod(fd.Get(), old.st_mode & 07777) != 0) return fail(errno);
  FdBytesOut out(fd.Get(), maxBytes);
  bool written = false;
  try {
    written = write(out);
  } catch (...) {
    ::unlinkat(dir.Get(), temp.c_str(), 0);
    throw;
  }
  if (!written) return fail(errno ? errno : EIO);
  if (::fsync(fd.Get()) != 0) return fail(errno);
  if (!fd.Close()) return fail(errno);
  if (::renameat(dir.Get(), temp.c_str(), dir.Get(), name.c_str()) != 0) return fail(errno);
  return {};
}

namespace {

class PosixAppendFile : public AppendFile {
 public:
  explicit PosixAppendFile(int fd) : m_fd(fd) {}
  ~PosixAppendFile() override { ::close(m_fd); }
  PosixAppendFile(const PosixAppendFile&) = delete;
  PosixAppendFile& operator=(const PosixAppendFile&) = delete;

  uint64_t Size() override {
    struct stat st {};
    return ::fstat(m_fd, &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
  }

  std::string ReadAt(uint64_t offset, size_t n) override {
    std::string bytes(n, '\0');
    const ssize_t got = ::pread(m_fd, bytes.data(), n, static_cast<off_t>(offset));
    bytes.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return bytes;
  }

  bool Append(std::string_view bytes, std::string& reason) override {
    size_t written = 0;
    while (!bytes.empty()) {
      const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        reason = SystemText(errno);
        struct stat st {};
        if (written > 0 && ::fstat(m_fd, &st) == 0 && st.st_size >= static_cast<off_t>(written)) {
          (void)!::ftruncate(m_fd, st.st_size - static_cast<off_t>(written));
        }
        return false;
      }
      written += static_cast<size_t>(n);
      bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
  }

  bool Flush(std::string& reason) override {
    // A file system that cannot sync (EINVAL) or is read-only holds nothing to flush.
    if (::fdatasync(m_fd) == 0 || errno == EINVAL || errno == EROFS) return true;
    reason = SystemText(errno);
    return false;
  }

  bool IsAt(const std::string& path) override {
    struct stat open {}, named {};
    if (::fstat(m_fd, &open) != 0) return true;  // nothing to compare with
    if (::stat(path.c_str(), &named) != 0) return false;
    return open.st_dev == named.st_dev && open.st_ino == named.st_ino;
  }

 private:
  int m_fd;
};

}  // namespace

std::unique_ptr<AppendFile> AppendFile::Open(const std::string& path, std::string& reason) {
  // O_NONBLOCK: a named pipe that slipped past the caller's check does not
  // hold the run until a reader comes.
  // Read access too, to check the header of a file that is there; a file
  // the user may only write is appended to unchecked.
  constexpr int kFlags = O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK;
  int fd = ::open(path.c_str(), O_RDWR | kFlags, 0644);
  if (fd < 0 && errno == EACCES) fd = ::open(path.c_str(), O_WRONLY | kFlags, 0644);
  if (fd < 0) {
    reason = SystemText(errno);
    return nullptr;
  }
  auto file = std::make_unique<PosixAppendFile>(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    reason = SystemText(errno);
    return nullptr;
  }
  if (!S_ISREG(st.st_mode)) {
    reason = "not a regular file";
    return nullptr;
  }
  return file;
}

}  // namespace fileaccess
