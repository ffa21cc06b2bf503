#include "table/FileAccess.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <algorithm>
#include <random>

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

bool WriteAll(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// A name for the new file beside the target: short and of fixed length, so it
// fits in a folder wherever the target's own name does, and hidden.
std::string TemporaryName() {
  static std::atomic<uint64_t> counter{std::random_device{}()};
  // splitmix64: consecutive counter values give unrelated names.
  uint64_t x = counter.fetch_add(0x9E3779B97F4A7C15ULL) + static_cast<uint64_t>(::getpid());
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  x ^= x >> 31;
  constexpr std::string_view kDigits = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string name = ".km";
  for (int i = 0; i < 6; ++i) {
    name += kDigits[x % kDigits.size()];
    x /= kDigits.size();
  }
  return name;
}

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

extern "C" void RemoveTemporaryAndStop(int signal) {
  const int folder = g_temporaryFolder.load();
  if (folder >= 0) ::unlinkat(folder, g_temporaryName, 0);
  // The handler was reset on entry (SA_RESETHAND): the signal, blocked while
  // the handler runs, ends the program as soon as it returns.
  ::raise(signal);
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

void RemoveTemporaryFileOnStopSignals() {
  struct sigaction action {};
  action.sa_handler = RemoveTemporaryAndStop;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);
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

std::string SystemReason(int err, bool chinese) {
  if (chinese) {
    // The wording of the C library's Chinese messages.
    switch (err) {
      case ENOENT: return "没有那个文件或目录";
      case EACCES: return "权限不够";
      case EPERM: return "不允许的操作";
      case EISDIR: return "是一个目录";
      case ENOTDIR: return "不是目录";
      case ENAMETOOLONG: return "文件名过长";
      case ELOOP: return "符号连接的层数过多";
      case EIO: return "输入/输出错误";
      case EINVAL: return "无效的参数";
      case EMFILE: return "打开的文件过多";
      case ENFILE: return "系统中打开的文件过多";
      case ENOMEM: return "无法分配内存";
      case ENXIO: return "没有那个设备或地址";
      case ENODEV: return "没有那个设备";
      case EFBIG: return "文件过大";
      case ENOSPC: return "设备上没有空间";
      case EROFS: return "只读文件系统";
      case EBUSY: return "设备或资源忙";
      default: break;
    }
  }
  return SystemText(err);
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

std::string WriteFileReplacing(const std::string& path, std::string_view bytes, size_t maxBytes) {
  if (bytes.size() > maxBytes) return SystemText(EFBIG);
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
  if (!WriteAll(fd.Get(), bytes)) return fail(errno);
  if (::fsync(fd.Get()) != 0) return fail(errno);
  if (!fd.Close()) return fail(errno);
  if (::renameat(dir.Get(), temp.c_str(), dir.Get(), name.c_str()) != 0) return fail(errno);
  return {};
}

}  // namespace fileaccess
