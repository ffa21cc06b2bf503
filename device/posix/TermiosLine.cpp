#include "device/posix/TermiosLine.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "device/posix/PortClaim.h"

namespace {

// The meter's line needs a millisecond per byte; a write that takes a second
// longer than that is stuck.
constexpr int kWriteTimeoutBaseMs = 1000;
constexpr int kWriteTimeoutPerByteMs = 1;

speed_t SpeedFor(int baud) {
  switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return 0;
  }
}

// Puts the line settings into `tio` over raw mode; false for settings the line
// cannot take.
bool BuildLineSettings(termios& tio, int baud, char parity, int dataBits, int stopBits) {
  const speed_t speed = SpeedFor(baud);
  if (speed == 0) return false;
  cfmakeraw(&tio);
  tio.c_iflag &= ~(IXON | IXOFF | IXANY);
  tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
  tio.c_cflag |= CLOCAL | CREAD;
  switch (dataBits) {
    case 5: tio.c_cflag |= CS5; break;
    case 6: tio.c_cflag |= CS6; break;
    case 7: tio.c_cflag |= CS7; break;
    case 8: tio.c_cflag |= CS8; break;
    default: return false;
  }
  switch (parity) {
    case 'N': case 'n': break;
    case 'E': case 'e': tio.c_cflag |= PARENB; break;
    case 'O': case 'o': tio.c_cflag |= PARENB | PARODD; break;
    default: return false;
  }
  switch (stopBits) {
    case 1: break;
    case 2: tio.c_cflag |= CSTOPB; break;
    default: return false;
  }
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  return cfsetispeed(&tio, speed) == 0 && cfsetospeed(&tio, speed) == 0;
}

void Signal(int eventFd) {
  if (eventFd < 0) return;
  const uint64_t one = 1;
  ssize_t ignored = ::write(eventFd, &one, sizeof one);
  (void)ignored;
}

void Reset(int eventFd) {
  uint64_t count;
  while (eventFd >= 0 && ::read(eventFd, &count, sizeof count) > 0) {
  }
}

}  // namespace

TermiosLine::TermiosLine()
    : m_stopEvent(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)),
      m_writeEvent(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

TermiosLine::~TermiosLine() {
  Close();
  for (int event : {m_stopEvent, m_writeEvent}) {
    if (event >= 0) ::close(event);
  }
}

int TermiosLine::Open(const std::string& devicePath, const LineSettings& line, DriverErrorSink report) {
  // Without its requests a monitor could neither write nor be stopped.
  if (m_stopEvent < 0 || m_writeEvent < 0) return EMFILE;
  Reset(m_stopEvent);
  Reset(m_writeEvent);
  m_report = std::move(report);
  Close();
  m_port = ports::OpenClaimed(devicePath);
  if (m_port < 0) return errno;

  // A device whose line settings cannot be read or set is no serial line
  // (whatever it sends is not the meter's): it is refused like a port that
  // does not exist, without a box, so the scan goes on with the next one.
  // Settings the line cannot take are the caller's mistake and get the box.
  termios tio{};
  int refused = 0;
  if (tcgetattr(m_port, &tio) != 0) {
    refused = ENOTTY;
  } else if (!BuildLineSettings(tio, line.baud, line.parity, line.dataBits, line.stopBits)) {
    m_report("BuildCommDCB()", std::strerror(EINVAL));
    refused = EINVAL;
  } else if (tcsetattr(m_port, TCSANOW, &tio) != 0) {
    refused = errno != 0 ? errno : EIO;
  }
  if (refused != 0) {
    Close();
    return refused;
  }
  // RTS on, as the meter's adapters expect; a pseudo-terminal has no modem
  // lines and refuses, which is fine.
  int rts = TIOCM_RTS;
  ::ioctl(m_port, TIOCMBIS, &rts);
  tcflush(m_port, TCIOFLUSH);
  return 0;
}

void TermiosLine::Purge() {
  if (m_port >= 0) tcflush(m_port, TCIOFLUSH);
}

ISerialLine::Event TermiosLine::Wait(bool watchPort) {
  for (;;) {
    pollfd fds[3] = {{m_stopEvent, POLLIN, 0}, {watchPort ? m_port : -1, POLLIN, 0}, {m_writeEvent, POLLIN, 0}};
    if (::poll(fds, 3, -1) < 0) {
      if (errno == EINTR) continue;
      return Event::End;
    }
    if (fds[0].revents != 0) return Event::End;
    if (fds[1].revents != 0) {
      m_portEvents = fds[1].revents;
      m_readSinceWait = false;
      return Event::Received;
    }
    Reset(m_writeEvent);
    return Event::Write;
  }
}

void TermiosLine::Wake(Request request) { Signal(request == Request::Stop ? m_stopEvent : m_writeEvent); }

ISerialLine::ReadResult TermiosLine::Read(char* buffer, size_t size) {
  for (;;) {
    const ssize_t n = ::read(m_port, buffer, size);
    if (n > 0) {
      m_readSinceWait = true;
      return {static_cast<size_t>(n), false};
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      // Nothing to read although the port woke the wait with a hang-up or error.
      const bool hungUp = !m_readSinceWait && (m_portEvents & (POLLHUP | POLLERR | POLLNVAL));
      return {0, hungUp};
    }
    // End of file or EIO: the other side hung up or the adapter is gone.
    if (n < 0 && errno != EIO && errno != ENXIO && errno != ENODEV) m_report("ReadFile()", std::strerror(errno));
    return {0, true};
  }
}

bool TermiosLine::Write(const std::string& text) {
  if (m_port < 0) return true;
  tcflush(m_port, TCIOFLUSH);
  size_t written = 0;
  const int timeoutMs = kWriteTimeoutBaseMs + kWriteTimeoutPerByteMs * static_cast<int>(text.size());
  while (written < text.size()) {
    const ssize_t n = ::write(m_port, text.data() + written, text.size() - written);
    if (n > 0) {
      written += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd out{m_port, POLLOUT, 0};
      const int ready = ::poll(&out, 1, timeoutMs);
      if (ready > 0 && !(out.revents & (POLLERR | POLLHUP | POLLNVAL))) continue;
      if (ready > 0) return false;
      m_report("WriteFile()", std::strerror(ETIMEDOUT));
      return true;
    }
    if (n < 0 && (errno == EIO || errno == ENXIO || errno == ENODEV)) return false;
    m_report("WriteFile()", std::strerror(n < 0 ? errno : EIO));
    return true;
  }
  return true;
}

void TermiosLine::Close() {
  ports::CloseClaimed(m_port);
  m_port = -1;
}
