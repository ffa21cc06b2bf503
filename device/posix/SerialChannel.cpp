#include "device/posix/SerialChannel.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>
#include <vector>

#include "device/posix/PortClaim.h"


namespace {

// The most bytes one hand-over to the UI thread carries; more waiting bytes
// follow in the next one.
constexpr size_t kMaxHandOver = size_t{64} * 1024;

// The meter's line needs a millisecond per byte; a write that takes a second
// longer than that is stuck.
constexpr int kWriteTimeoutBaseMs = 1000;
constexpr int kWriteTimeoutPerByteMs = 1;

// One synchronous hand-over: the bytes that were waiting at the port.
struct Batch {
  std::vector<unsigned char> bytes;
  bool done = false;                  // guarded by Rendezvous::mutex
  std::atomic<bool> abandoned{false};  // the monitor stopped waiting for it
};

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
  while (::read(eventFd, &count, sizeof count) > 0) {
  }
}

}  // namespace

struct CSerialChannel::Impl {
  explicit Impl(CSerialChannel& channel) : self(channel) {}

  // Meeting point of the monitor thread and the UI thread. Closures posted to the
  // UI thread hold it, so it outlives the channel when such a closure runs late.
  struct Rendezvous {
    std::mutex mutex;
    std::condition_variable cv;
    // Set (under `mutex`) when the running monitor is asked to end; a closure that
    // still runs stops delivering.
    std::atomic<bool> stopping{false};
  };

  CSerialChannel& self;

  // The port lock: configuration, reads, purges and writes of the port.
  std::mutex portLock;
  int port = -1;

  // Requests to the monitor thread (non-blocking eventfds, created by Open).
  int shutdownEvent = -1;
  int writeEvent = -1;

  ISerialOwner* owner = nullptr;
  std::thread thread;
  const int portNumber = 0;  // ports are opened by name; error texts say "Port: 0"

  // The pending write text, replaced by each Send.
  std::mutex writeMutex;
  std::string writeBuffer;
  int writeBufferSize = 0;
  int writeLength = 1;
  bool writePending = false;

  std::shared_ptr<Rendezvous> rendezvous = std::make_shared<Rendezvous>();
  // True while the current monitor session lasts; a lost-device report that
  // reaches the UI thread after the session ended is dropped.
  std::shared_ptr<std::atomic<bool>> session = std::make_shared<std::atomic<bool>>(false);

  void RequestShutdown() {
    session->store(false);
    {
      std::lock_guard<std::mutex> lk(rendezvous->mutex);
      rendezvous->stopping.store(true);
    }
    rendezvous->cv.notify_all();
    Signal(shutdownEvent);
  }

  // Stops a running monitor and waits until it has closed its port.
  void EndMonitor() {
    if (!thread.joinable()) return;
    RequestShutdown();
    thread.join();
  }

  void ReportDriverError(const char* operation, int errorCode) {
    if (!owner) return;
    ISerialOwner* o = owner;
    std::string text = FormatDriverError(operation, errorCode, portNumber);
    o->PostToUi([o, text = std::move(text)] { o->OnDriverError(text); });
  }

  void ReportDeviceLost() {
    if (!owner) return;
    ISerialOwner* o = owner;
    std::shared_ptr<std::atomic<bool>> current = session;
    o->PostToUi([o, current] {
      if (current->load()) o->OnDeviceLost();
    });
  }

  void MonitorLoop();
  // Reads what waits at the port and hands it over. False when the line is lost.
  bool Receive(short revents);
  // Hands `bytes` to the owner on the UI thread and waits until they have been
  // handled or the monitor is asked to end.
  void HandOver(std::vector<unsigned char> bytes);
  // Writes the pending command. False when the line turned out to be gone:
  // a hang-up or I/O error is the lost-device case, not a driver error.
  bool WritePending(bool lineLost);
  bool TakeWriteText(std::string& text);
};

void CSerialChannel::Impl::MonitorLoop() {
  {
    std::lock_guard<std::mutex> lk(portLock);
    if (port >= 0) tcflush(port, TCIOFLUSH);
  }
  bool lineLost = false;
  for (;;) {
    pollfd fds[3] = {{shutdownEvent, POLLIN, 0},
                     {lineLost ? -1 : port, POLLIN, 0},
                     {writeEvent, POLLIN, 0}};
    if (::poll(fds, 3, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    // Shutdown first, then received data, then a pending write.
    if (fds[0].revents != 0 || rendezvous->stopping.load()) break;
    if (fds[1].revents != 0) {
      if (!Receive(fds[1].revents)) {
        // Reported once; from now on only shutdown and writes are waited for.
        lineLost = true;
        ReportDeviceLost();
      }
      continue;
    }
    // A line that hangs up between the wait and the write is lost as one
    // whose hang-up the wait saw.
    if (fds[2].revents != 0 && !WritePending(lineLost)) {
      lineLost = true;
      ReportDeviceLost();
    }
  }
  {
    std::lock_guard<std::mutex> lk(portLock);
    ports::CloseClaimed(port);
    port = -1;
  }
  self.m_bThreadAlive.store(false);
}

bool CSerialChannel::Impl::Receive(short revents) {
  std::vector<unsigned char> bytes;
  bool lost = false;
  {
    std::lock_guard<std::mutex> lk(portLock);
    unsigned char buf[4096];
    while (bytes.size() < kMaxHandOver) {
      const ssize_t n = ::read(port, buf, sizeof buf);
      if (n > 0) {
        bytes.insert(bytes.end(), buf, buf + n);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        // Nothing to read although the port woke us with a hang-up or error.
        if (bytes.empty() && (revents & (POLLHUP | POLLERR | POLLNVAL))) lost = true;
        break;
      }
      // End of file or EIO: the other side hung up or the adapter is gone.
      if (n < 0 && errno != EIO && errno != ENXIO && errno != ENODEV) {
        ReportDriverError("ReadFile()", errno);
      }
      lost = true;
      break;
    }
  }
  if (!bytes.empty()) {
    bool writeWaits;
    {
      std::lock_guard<std::mutex> lk(writeMutex);
      writeWaits = writePending;
    }
    // A command is waiting to be written: what has not reached the owner yet
    // belongs to the previous exchange and is purged with the port's queue.
    if (writeWaits) {
      if (!lost) lost = !WritePending(false);
    } else {
      HandOver(std::move(bytes));
    }
  }
  return !lost;
}

void CSerialChannel::Impl::HandOver(std::vector<unsigned char> bytes) {
  if (!owner) return;
  auto batch = std::make_shared<Batch>();
  batch->bytes = std::move(bytes);
  std::shared_ptr<Rendezvous> rv = rendezvous;
  ISerialOwner* o = owner;
  o->PostToUi([batch, rv, o] {
    // One UM_RX_CHAR per byte, in order, unless the monitor was stopped meanwhile.
    for (unsigned char b : batch->bytes) {
      if (batch->abandoned.load() || rv->stopping.load()) break;
      o->OnRxChar(b);
    }
    {
      std::lock_guard<std::mutex> lk(rv->mutex);
      batch->done = true;
    }
    rv->cv.notify_all();
  });
  std::unique_lock<std::mutex> lk(rv->mutex);
  rv->cv.wait(lk, [&] { return batch->done || rv->stopping.load(); });
  if (!batch->done) batch->abandoned.store(true);
}

bool CSerialChannel::Impl::TakeWriteText(std::string& text) {
  std::lock_guard<std::mutex> lk(writeMutex);
  if (!writePending) return false;
  writePending = false;
  text.assign(writeBuffer, 0, static_cast<size_t>(writeLength));
  return true;
}

bool CSerialChannel::Impl::WritePending(bool lineLost) {
  Reset(writeEvent);
  std::string text;
  if (!TakeWriteText(text)) return true;
  // The line is gone and that has been reported; there is nobody to write to.
  if (lineLost) return true;
  std::lock_guard<std::mutex> lk(portLock);
  if (port < 0) return true;
  tcflush(port, TCIOFLUSH);
  size_t written = 0;
  const int timeoutMs = kWriteTimeoutBaseMs + kWriteTimeoutPerByteMs * static_cast<int>(text.size());
  while (written < text.size()) {
    const ssize_t n = ::write(port, text.data() + written, text.size() - written);
    if (n > 0) {
      written += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd out{port, POLLOUT, 0};
      const int ready = ::poll(&out, 1, timeoutMs);
      if (ready > 0 && !(out.revents & (POLLERR | POLLHUP | POLLNVAL))) continue;
      if (ready > 0) return false;
      ReportDriverError("WriteFile()", ETIMEDOUT);
      return true;
    }
    if (n < 0 && (errno == EIO || errno == ENXIO || errno == ENODEV)) return false;
    ReportDriverError("WriteFile()", n < 0 ? errno : EIO);
    return true;
  }
  return true;
}

CSerialChannel::CSerialChannel() : m_pImpl(new Impl(*this)) {}

CSerialChannel::~CSerialChannel() {
  m_pImpl->EndMonitor();
  {
    std::lock_guard<std::mutex> lk(m_pImpl->portLock);
    ports::CloseClaimed(m_pImpl->port);
    m_pImpl->port = -1;
  }
  if (m_pImpl->shutdownEvent >= 0) ::close(m_pImpl->shutdownEvent);
  if (m_pImpl->writeEvent >= 0) ::close(m_pImpl->writeEvent);
  delete m_pImpl;
}

bool CSerialChannel::Open(ISerialOwner* owner, const std::string& devicePath,
                          const LineSettings& line) {
  Impl& d = *m_pImpl;
  d.EndMonitor();

  for (int* event : {&d.writeEvent, &d.shutdownEvent}) {
    if (*event >= 0) {
      Reset(*event);
    } else {
      *event = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    }
  }
  // Without its requests a monitor could neither write nor be stopped.
  if (d.writeEvent < 0 || d.shutdownEvent < 0) {
    m_nOpenError.store(EMFILE);
    return false;
  }
  d.rendezvous->stopping.store(false);
  d.owner = owner;
  {
    std::lock_guard<std::mutex> lk(d.writeMutex);
    d.writeBufferSize = line.writeBufferSize;
    d.writeBuffer.clear();
    d.writeLength = 1;
    d.writePending = false;
  }

  std::lock_guard<std::mutex> lk(d.portLock);
  if (d.port >= 0) {
    ports::CloseClaimed(d.port);
    d.port = -1;
  }
  d.port = ports::OpenClaimed(devicePath);
  if (d.port < 0) {
    m_nOpenError.store(errno);
    return false;
  }

  // A device whose line settings cannot be read or set is no serial line
  // (whatever it sends is not the meter's): it is refused like a port that
  // does not exist, without a box, so the scan goes on with the next one.
  // Settings the line cannot take are the caller's mistake and get the box.
  termios tio{};
  int refused = 0;
  if (tcgetattr(d.port, &tio) != 0) {
    refused = ENOTTY;
  } else if (!BuildLineSettings(tio, line.baud, line.parity, line.dataBits, line.stopBits)) {
    d.ReportDriverError("BuildCommDCB()", EINVAL);
    refused = EINVAL;
  } else if (tcsetattr(d.port, TCSANOW, &tio) != 0) {
    refused = errno != 0 ? errno : EIO;
  }
  if (refused != 0) {
    ports::CloseClaimed(d.port);
    d.port = -1;
    m_nOpenError.store(refused);
    return false;
  }
  // RTS on, as the meter's adapters expect; a pseudo-terminal has no modem
  // lines and refuses, which is fine.
  int rts = TIOCM_RTS;
  ::ioctl(d.port, TIOCMBIS, &rts);
  tcflush(d.port, TCIOFLUSH);
  m_nOpenError.store(0);
  return true;
}

bool CSerialChannel::StartMonitor() {
  Impl& d = *m_pImpl;
  if (m_bThreadAlive.load() && !d.rendezvous->stopping.load()) return false;
  // A monitor that was asked to end finishes closing its port first.
  if (d.thread.joinable()) d.thread.join();
  {
    std::lock_guard<std::mutex> lk(d.portLock);
    if (d.port < 0) return false;
  }
  d.rendezvous->stopping.store(false);
  d.session = std::make_shared<std::atomic<bool>>(true);
  m_bThreadAlive.store(true);
  try {
    d.thread = std::thread([&d] { d.MonitorLoop(); });
  } catch (const std::system_error&) {
    m_bThreadAlive.store(false);
    return false;
  }
  return true;
}

void CSerialChannel::Send(const std::string& text) {
  Impl& d = *m_pImpl;
  if (d.writeEvent < 0) return;  // never opened: nothing to write to
  {
    std::lock_guard<std::mutex> lk(d.writeMutex);
    // Callers keep their texts shorter than the write buffer; a longer one is
    // cut rather than written past it.
    const size_t room = d.writeBufferSize > 0 ? static_cast<size_t>(d.writeBufferSize - 1) : 0;
    d.writeBuffer.assign(text, 0, std::min(text.size(), room));
    d.writeLength = static_cast<int>(d.writeBuffer.size());
    d.writePending = true;
  }
  Signal(d.writeEvent);
}

void CSerialChannel::StopMonitor() {
  Impl& d = *m_pImpl;
  if (!d.thread.joinable()) return;
  d.RequestShutdown();
}
