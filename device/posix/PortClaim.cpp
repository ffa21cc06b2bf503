#include "device/posix/PortClaim.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace ports {

int OpenClaimed(const std::string& devicePath) {
  if (devicePath.empty()) {
    errno = ENOENT;
    return -1;
  }
  const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  // A port is a character device. A plain file (a mistyped --port, a stale
  // entry in the port directory) must not be taken for one: the channel would
  // read it as replies and write its commands into it.
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) {
    ::close(fd);
    errno = ENODEV;
    return -1;
  }
  // Nor is every character device: /dev/null, /dev/zero or /dev/urandom open
  // and read like a line, but have no line settings. Random bytes would pass
  // for the meter's probe answer and be saved as readings.
  termios settings{};
  if (::tcgetattr(fd, &settings) != 0) {
    ::close(fd);
    errno = ENOTTY;
    return -1;
  }
  // The lock is what every program of ours checks (it also holds against
  // root, which TIOCEXCL does not stop); TIOCEXCL keeps other terminal
  // programs out.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int err = (errno == EWOULDBLOCK) ? EBUSY : errno;
    ::close(fd);
    errno = err;
    return -1;
  }
  ::ioctl(fd, TIOCEXCL);
  return fd;
}

void CloseClaimed(int fd) {
  if (fd < 0) return;
  // A pseudo-terminal keeps its exclusive flag while the other side is open;
  // drop it so the next opener is not refused.
  ::ioctl(fd, TIOCNXCL);
  ::close(fd);
}

}  // namespace ports
