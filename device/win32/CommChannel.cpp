#include "device/win32/CommChannel.h"

// The project's headers come before <windows.h>: it defines WM_USER as a macro.
#include "device/win32/ComPorts.h"
#include "device/win32/SystemError.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// The most bytes one hand-over to the UI thread carries; more waiting bytes
// follow in the next one.
constexpr size_t kMaxHandOver = size_t{64} * 1024;
constexpr DWORD kReadChunk = 4096;
constexpr DWORD kInputQueue = 4096;
// A read of bytes the port has queued takes no time; one that takes a second
// belongs to a line that has gone. A cancelled call ends within a second too.
constexpr DWORD kReadWaitMs = 1000;
constexpr DWORD kCancelWaitMs = 1000;
// How often a quiet line is checked for a device that has gone without ending
// the wait for its events (Wine's serial ports after a hang-up).
constexpr DWORD kLineCheckMs = 250;

// The meter's line needs a millisecond per byte; a write that takes a second
// longer than that is stuck.
constexpr DWORD kWriteTimeoutBaseMs = 1000;
constexpr DWORD kWriteTimeoutPerByteMs = 1;

// One synchronous hand-over: the bytes that were waiting at the port.
struct Batch {
  std::vector<unsigned char> bytes;
  bool done = false;                   // guarded by Rendezvous::mutex
  std::atomic<bool> abandoned{false};  // the monitor stopped waiting for it
};

// The baud rates the meter's adapters offer.
bool KnownBaud(int baud) {
  for (int b : {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200}) {
    if (b == baud) return true;
  }
  return false;
}

// Puts the line settings into `dcb`: binary, no flow control, DTR and RTS on.
// False for settings the line cannot take.
bool BuildLineSettings(DCB& dcb, const LineSettings& line) {
  if (!KnownBaud(line.baud) || line.dataBits < 5 || line.dataBits > 8) return false;
  switch (line.parity) {
    case 'N': case 'n': dcb.Parity = NOPARITY; break;
    case 'E': case 'e': dcb.Parity = EVENPARITY; break;
    case 'O': case 'o': dcb.Parity = ODDPARITY; break;
    default: return false;
  }
  switch (line.stopBits) {
    case 1: dcb.StopBits = ONESTOPBIT; break;
    case 2: dcb.StopBits = TWOSTOPBITS; break;
    default: return false;
  }
  dcb.BaudRate = static_cast<DWORD>(line.baud);
  dcb.ByteSize = static_cast<BYTE>(line.dataBits);
  dcb.fBinary = TRUE;
  dcb.fParity = dcb.Parity != NOPARITY;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fTXContinueOnXoff = TRUE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fErrorChar = FALSE;
  dcb.fNull = FALSE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.fAbortOnError = FALSE;
  return true;
}

// What the receive queue holds, or false when the port no longer answers.
bool QueuedBytes(HANDLE port, DWORD& queued) {
  DWORD errors = 0;
  COMSTAT status{};
  if (!ClearCommError(port, &errors, &status)) return false;
  queued = status.cbInQue;
  return true;
}

// Errors by which a port tells that its device is gone (adapter pulled, line
// hung up); they end the session without a box.
bool IsVanished(DWORD code) {
  switch (code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_BAD_COMMAND:
    case ERROR_INVALID_HANDLE:
    case ERROR_OPERATION_ABORTED:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
    case ERROR_NOT_READY:
    case ERROR_BROKEN_PIPE:
    case ERROR_HANDLE_EOF:
      return true;
    default:
      return false;
  }
}

HANDLE NewEvent(bool manualReset) { return CreateEventW(nullptr, manualReset, FALSE, nullptr); }

}  // namespace

struct CCommChannel::Impl {
  explicit Impl(CCommChannel& channel) : self(channel) {}

  // Meeting point of the monitor thread and the UI thread. Closures posted to the
  // UI thread hold it, so it outlives the channel when such a closure runs late.
  struct Rendezvous {
    std::mutex mutex;
    std::condition_variable cv;
    // Set (under `mutex`) when the running monitor is asked to end; a closure that
    // still runs stops delivering.
    std::atomic<bool> stopping{false};
  };

  CCommChannel& self;

  // The port lock: configuration, reads, purges and writes of the port.
  std::mutex portLock;
  winports::ClaimedPort claimed;
  HANDLE port = nullptr;  // claimed.port

  // Requests to the monitor thread (created by Open): shutdown stays set once
  // set, a write request is taken by the wait that sees it.
  HANDLE shutdownEvent = nullptr;
  HANDLE writeEvent = nullptr;
  // Completion events of the monitor's overlapped calls.
  HANDLE commEvent = nullptr;
  HANDLE readDone = nullptr;
  HANDLE writeDone = nullptr;
  // The monitor's WaitCommEvent writes here when it ends; kept with the
  // channel so that a wait the system ends late never writes into freed memory.
  OVERLAPPED waitOv{};
  DWORD waitMask = 0;

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

  bool EventsReady() const { return shutdownEvent && writeEvent && commEvent && readDone && writeDone; }

  void RequestShutdown() {
    session->store(false);
    {
      std::lock_guard<std::mutex> lk(rendezvous->mutex);
      rendezvous->stopping.store(true);
    }
    rendezvous->cv.notify_all();
    if (shutdownEvent) SetEvent(shutdownEvent);
  }

  // Stops a running monitor and waits until it has closed its port.
  void EndMonitor() {
    if (!thread.joinable()) return;
    RequestShutdown();
    thread.join();
  }

  void ClosePort() {
    winports::CloseClaimed(claimed);
    port = nullptr;
  }

  void ReportDriverError(const char* operation, DWORD code) {
    if (!owner) return;
    ISerialOwner* o = owner;
    std::string text = FormatDriverErrorText(operation, winports::SystemErrorText(code), portNumber);
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

  void Purge() { PurgeComm(port, PURGE_RXCLEAR | PURGE_TXCLEAR); }

  void MonitorLoop();
  // Reads what waits at the port and hands it over. False when the line is lost.
  bool Receive();
  // One overlapped read of up to `size` bytes; false when the port failed.
  bool ReadChunk(unsigned char* buf, DWORD size, DWORD& got);
  // Hands `bytes` to the owner on the UI thread and waits until they have been
  // handled or the monitor is asked to end.
  void HandOver(std::vector<unsigned char> bytes);
  void WritePending(bool lineLost);
  bool TakeWriteText(std::string& text);
};

void CCommChannel::Impl::MonitorLoop() {
  {
    std::lock_guard<std::mutex> lk(portLock);
    if (port) Purge();
  }
  bool lineLost = false;
  bool waiting = false;  // a WaitCommEvent is outstanding
  DWORD& mask = waitMask;
  waitOv = OVERLAPPED{};
  waitOv.hEvent = commEvent;
  const auto lose = [&] {
    // Reported once; from now on only shutdown and writes are waited for.
    lineLost = true;
    ReportDeviceLost();
  };
  for (;;) {
    bool arrived = false;
    if (!lineLost && !waiting) {
      ResetEvent(commEvent);
      mask = 0;
      if (WaitCommEvent(port, &mask, &waitOv)) {
        arrived = true;
      } else if (GetLastError() == ERROR_IO_PENDING) {
        waiting = true;
      } else {
        lose();
      }
    }
    if (!arrived) {
      // Shutdown first, then received data, then a pending write.
      HANDLE handles[3] = {shutdownEvent, waiting ? commEvent : writeEvent, writeEvent};
      const DWORD count = waiting ? 3 : 2;
      const DWORD woke = WaitForMultipleObjects(count, handles, FALSE, lineLost ? INFINITE : kLineCheckMs);
      if (woke == WAIT_FAILED || woke == WAIT_OBJECT_0 || rendezvous->stopping.load()) break;
      if (woke == WAIT_TIMEOUT) {
        // A quiet line is looked at: a wait may not end when the device goes,
        // nor (under Wine) for every byte that arrives, so what waits in the
        // queue is taken in here too.
        DWORD queued = 0;
        bool answers;
        {
          std::lock_guard<std::mutex> lk(portLock);
          answers = QueuedBytes(port, queued);
        }
        if (!answers || (queued > 0 && !Receive())) lose();
        continue;
      }
      if (handles[woke - WAIT_OBJECT_0] == writeEvent) {
        WritePending(lineLost);
        continue;
      }
      DWORD ignored = 0;
      if (!GetOverlappedResult(port, &waitOv, &ignored, FALSE) && GetLastError() == ERROR_IO_INCOMPLETE) {
        // Woken while the wait still runs (under Wine the end of a cancelled
        // wait can set the event after the next wait has begun). The event is
        // cleared and the wait looked at again, so that its end is seen
        // whether it comes before the reset or after.
        ResetEvent(commEvent);
        if (!GetOverlappedResult(port, &waitOv, &ignored, FALSE) && GetLastError() == ERROR_IO_INCOMPLETE) {
          continue;
        }
      }
      waiting = false;
      if (!GetOverlappedResult(port, &waitOv, &ignored, FALSE)) {
        // A purge of the port may end the wait early; the port itself is
        // looked at by Receive. Anything else means the device is gone.
        if (GetLastError() != ERROR_OPERATION_ABORTED) {
          lose();
          continue;
        }
      }
    }
    if (rendezvous->stopping.load()) break;
    if (!Receive()) lose();
  }
  std::lock_guard<std::mutex> lk(portLock);
  if (waiting) {
    // Bounded: a wait on a line that has gone may not end when cancelled
    // (Wine's); closing the port ends it.
    CancelIoEx(port, &waitOv);
    WaitForSingleObject(commEvent, kCancelWaitMs);
  }
  ClosePort();
  self.m_bThreadAlive.store(false);
}

bool CCommChannel::Impl::ReadChunk(unsigned char* buf, DWORD size, DWORD& got) {
  OVERLAPPED ov{};
  ov.hEvent = readDone;
  ResetEvent(readDone);
  got = 0;
  if (ReadFile(port, buf, size, &got, &ov)) return true;
  if (GetLastError() != ERROR_IO_PENDING) return false;
  // The port's timeouts make a read of queued bytes return at once; one that
  // does not, or that a shutdown overtakes, is given up.
  HANDLE ends[2] = {readDone, shutdownEvent};
  if (WaitForMultipleObjects(2, ends, FALSE, kReadWaitMs) != WAIT_OBJECT_0) {
    CancelIoEx(port, &ov);
    if (WaitForSingleObject(readDone, kCancelWaitMs) != WAIT_OBJECT_0) {
      // Not over yet: `ov` is on this stack, so the port is closed to end the read.
      winports::CloseClaimed(claimed);
      port = nullptr;
    }
    SetLastError(ERROR_NOT_READY);
    return false;
  }
  return GetOverlappedResult(port, &ov, &got, FALSE) != FALSE;
}

bool CCommChannel::Impl::Receive() {
  std::vector<unsigned char> bytes;
  bool lost = false;
  {
    std::lock_guard<std::mutex> lk(portLock);
    unsigned char buf[kReadChunk];
    while (bytes.size() < kMaxHandOver) {
      DWORD queued = 0;
      if (!QueuedBytes(port, queued)) {
        const DWORD code = GetLastError();
        if (!IsVanished(code)) ReportDriverError("ClearCommError()", code);
        lost = true;
        break;
      }
      if (queued == 0) break;
      DWORD got = 0;
      if (!ReadChunk(buf, std::min(queued, kReadChunk), got)) {
        const DWORD code = GetLastError();
        if (!IsVanished(code)) ReportDriverError("ReadFile()", code);
        lost = true;
        break;
      }
      if (got == 0) break;
      bytes.insert(bytes.end(), buf, buf + got);
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
      if (!lost) WritePending(false);
    } else {
      HandOver(std::move(bytes));
    }
  }
  return !lost;
}

void CCommChannel::Impl::HandOver(std::vector<unsigned char> bytes) {
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

bool CCommChannel::Impl::TakeWriteText(std::string& text) {
  std::lock_guard<std::mutex> lk(writeMutex);
  if (!writePending) return false;
  writePending = false;
  text.assign(writeBuffer, 0, static_cast<size_t>(writeLength));
  return true;
}

void CCommChannel::Impl::WritePending(bool lineLost) {
  ResetEvent(writeEvent);
  std::string text;
  if (!TakeWriteText(text)) return;
  // The line is gone and that has been reported; there is nobody to write to.
  if (lineLost) return;
  std::lock_guard<std::mutex> lk(portLock);
  if (!port) return;
  Purge();
  const DWORD timeoutMs = kWriteTimeoutBaseMs + kWriteTimeoutPerByteMs * static_cast<DWORD>(text.size());
  size_t written = 0;
  while (written < text.size()) {
    OVERLAPPED ov{};
    ov.hEvent = writeDone;
    ResetEvent(writeDone);
    DWORD n = 0;
    const DWORD size = static_cast<DWORD>(text.size() - written);
    if (!WriteFile(port, text.data() + written, size, &n, &ov)) {
      if (GetLastError() != ERROR_IO_PENDING) {
        ReportDriverError("WriteFile()", GetLastError());
        return;
      }
      if (WaitForSingleObject(writeDone, timeoutMs) != WAIT_OBJECT_0) {
        // Only this write is given up; the wait for received data goes on.
        CancelIoEx(port, &ov);
        GetOverlappedResult(port, &ov, &n, TRUE);
        ReportDriverError("WriteFile()", ERROR_TIMEOUT);
        return;
      }
      if (!GetOverlappedResult(port, &ov, &n, FALSE)) {
        ReportDriverError("WriteFile()", GetLastError());
        return;
      }
    }
    if (n == 0) {
      ReportDriverError("WriteFile()", ERROR_WRITE_FAULT);
      return;
    }
    written += n;
  }
}

CCommChannel::CCommChannel() : m_pImpl(new Impl(*this)) {}

CCommChannel::~CCommChannel() {
  m_pImpl->EndMonitor();
  {
    std::lock_guard<std::mutex> lk(m_pImpl->portLock);
    m_pImpl->ClosePort();
  }
  for (HANDLE h : {m_pImpl->shutdownEvent, m_pImpl->writeEvent, m_pImpl->commEvent,
                   m_pImpl->readDone, m_pImpl->writeDone}) {
    if (h) CloseHandle(h);
  }
  delete m_pImpl;
}

bool CCommChannel::Open(ISerialOwner* owner, const std::string& devicePath, const LineSettings& line) {
  Impl& d = *m_pImpl;
  d.EndMonitor();

  for (HANDLE* event : {&d.shutdownEvent, &d.writeEvent, &d.commEvent, &d.readDone, &d.writeDone}) {
    if (*event) {
      ResetEvent(*event);
    } else {
      *event = NewEvent(true);
    }
  }
  // Without its requests a monitor could neither write nor be stopped.
  if (!d.EventsReady()) {
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
  d.ClosePort();
  int openError = 0;
  d.claimed = winports::OpenClaimed(devicePath, openError);
  d.port = static_cast<HANDLE>(d.claimed.port);
  if (!d.port) {
    m_nOpenError.store(openError);
    return false;
  }

  // A device whose line settings cannot be read or set is no serial line: it
  // is refused like a port that does not exist, without a box, so the scan
  // goes on with the next one. Settings the line cannot take are the caller's
  // mistake and get the box.
  SetupComm(d.port, kInputQueue, static_cast<DWORD>(std::max(line.writeBufferSize, 1)));
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  int refused = 0;
  if (!GetCommState(d.port, &dcb)) {
    refused = ENOTTY;
  } else if (!BuildLineSettings(dcb, line)) {
    d.ReportDriverError("BuildCommDCB()", ERROR_INVALID_PARAMETER);
    refused = EINVAL;
  } else if (!SetCommState(d.port, &dcb)) {
    refused = EIO;
  } else {
    // Reads return at once with what has arrived; the monitor waits for the
    // "character received" event instead. Writes are bounded by the monitor.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    if (!SetCommTimeouts(d.port, &timeouts) || !SetCommMask(d.port, line.eventMask)) refused = EIO;
  }
  if (refused != 0) {
    d.ClosePort();
    m_nOpenError.store(refused);
    return false;
  }
  PurgeComm(d.port, PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
  m_nOpenError.store(0);
  return true;
}

bool CCommChannel::StartMonitor() {
  Impl& d = *m_pImpl;
  if (m_bThreadAlive.load() && !d.rendezvous->stopping.load()) return false;
  // A monitor that was asked to end finishes closing its port first.
  if (d.thread.joinable()) d.thread.join();
  {
    std::lock_guard<std::mutex> lk(d.portLock);
    if (!d.port) return false;
  }
  ResetEvent(d.shutdownEvent);
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

void CCommChannel::Send(const std::string& text) {
  Impl& d = *m_pImpl;
  if (!d.writeEvent) return;  // never opened: nothing to write to
  {
    std::lock_guard<std::mutex> lk(d.writeMutex);
    // Callers keep their texts shorter than the write buffer; a longer one is
    // cut rather than written past it.
    const size_t room = d.writeBufferSize > 0 ? static_cast<size_t>(d.writeBufferSize - 1) : 0;
    d.writeBuffer.assign(text, 0, std::min(text.size(), room));
    d.writeLength = static_cast<int>(d.writeBuffer.size());
    d.writePending = true;
  }
  SetEvent(d.writeEvent);
}

void CCommChannel::StopMonitor() {
  Impl& d = *m_pImpl;
  if (!d.thread.joinable()) return;
  d.RequestShutdown();
}
