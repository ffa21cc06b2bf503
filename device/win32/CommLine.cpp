#include "device/win32/CommLine.h"

// The project's headers come before <windows.h>: it defines WM_USER as a macro.
#include "device/win32/ComPorts.h"
#include "device/win32/SystemError.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>

namespace {

// The driver events a wait watches: "character received" and "event character".
constexpr DWORD kWatchedEvents = EV_RXCHAR | EV_RXFLAG;
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

HANDLE NewEvent() { return CreateEventW(nullptr, TRUE, FALSE, nullptr); }

}  // namespace

struct CommLine::Handles {
  winports::ClaimedPort claimed;
  HANDLE port = nullptr;  // claimed.port
  // The requests (manual-reset events, made with the line): the stop request
  // stays set once set, a write request is taken by the wait that sees it.
  HANDLE stopEvent = NewEvent();
  HANDLE writeEvent = NewEvent();
  // Completion events of the overlapped calls.
  HANDLE commEvent = NewEvent();
  HANDLE readDone = NewEvent();
  HANDLE writeDone = NewEvent();
  // The outstanding WaitCommEvent writes here when it ends; kept with the line
  // so that a wait the system ends late never writes into freed memory.
  OVERLAPPED waitOv{};
  DWORD waitMask = 0;
  bool waiting = false;
  DriverErrorSink report;

  bool EventsReady() const { return stopEvent && writeEvent && commEvent && readDone && writeDone; }
  void Report(const char* operation, DWORD code) { report(operation, winports::SystemErrorText(code)); }
  // One overlapped read of up to `size` bytes; false when the port failed.
  bool ReadChunk(char* buf, DWORD size, DWORD& got);
};

CommLine::CommLine() : m_h(std::make_unique<Handles>()) {}

CommLine::~CommLine() {
  Close();
  for (HANDLE h : {m_h->stopEvent, m_h->writeEvent, m_h->commEvent, m_h->readDone, m_h->writeDone}) {
    if (h) CloseHandle(h);
  }
}

bool CommLine::IsOpen() const { return m_h->port != nullptr; }

int CommLine::Open(const std::string& devicePath, const LineSettings& line, DriverErrorSink report) {
  Handles& h = *m_h;
  // Without its requests a monitor could neither write nor be stopped.
  if (!h.EventsReady()) return EMFILE;
  for (HANDLE event : {h.stopEvent, h.writeEvent, h.commEvent, h.readDone, h.writeDone}) ResetEvent(event);
  h.report = std::move(report);
  Close();
  int openError = 0;
  h.claimed = winports::OpenClaimed(devicePath, openError);
  h.port = static_cast<HANDLE>(h.claimed.port);
  if (!h.port) return openError;

  // A device whose line settings cannot be read or set is no serial line: it
  // is refused like a port that does not exist, without a box, so the scan
  // goes on with the next one. Settings the line cannot take are the caller's
  // mistake and get the box.
  SetupComm(h.port, kInputQueue, static_cast<DWORD>(std::max(line.writeBufferSize, 1)));
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  int refused = 0;
  if (!GetCommState(h.port, &dcb)) {
    refused = ENOTTY;
  } else if (!BuildLineSettings(dcb, line)) {
    h.Report("BuildCommDCB()", ERROR_INVALID_PARAMETER);
    refused = EINVAL;
  } else if (!SetCommState(h.port, &dcb)) {
    refused = EIO;
  } else {
    // Reads return at once with what has arrived; the wait is for the
    // "character received" event instead. Writes are bounded by Write.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    if (!SetCommTimeouts(h.port, &timeouts) || !SetCommMask(h.port, kWatchedEvents)) refused = EIO;
  }
  if (refused != 0) {
    Close();
    return refused;
  }
  PurgeComm(h.port, PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
  return 0;
}

void CommLine::Purge() {
  if (m_h->port) PurgeComm(m_h->port, PURGE_RXCLEAR | PURGE_TXCLEAR);
}

ISerialLine::Event CommLine::Wait(bool watchPort) {
  Handles& h = *m_h;
  if (watchPort && !h.waiting) {
    ResetEvent(h.commEvent);
    h.waitMask = 0;
    h.waitOv = OVERLAPPED{};
    h.waitOv.hEvent = h.commEvent;
    if (WaitCommEvent(h.port, &h.waitMask, &h.waitOv)) return Event::Received;
    if (GetLastError() != ERROR_IO_PENDING) return Event::Lost;
    h.waiting = true;
  }
  // The stop request first, then the port, then a write request.
  const bool watching = watchPort && h.waiting;
  HANDLE handles[3] = {h.stopEvent, watching ? h.commEvent : h.writeEvent, h.writeEvent};
  const DWORD woke = WaitForMultipleObjects(watching ? 3 : 2, handles, FALSE, watchPort ? kLineCheckMs : INFINITE);
  if (woke == WAIT_FAILED || woke == WAIT_OBJECT_0) return Event::End;
  if (woke == WAIT_TIMEOUT) {
    // A quiet line is looked at: a wait may not end when the device goes,
    // nor (under Wine) for every byte that arrives, so what waits in the
    // queue is taken in here too.
    DWORD queued = 0;
    if (!QueuedBytes(h.port, queued)) return Event::Lost;
    return queued > 0 ? Event::Received : Event::Nothing;
  }
  if (handles[woke - WAIT_OBJECT_0] == h.writeEvent) {
    ResetEvent(h.writeEvent);
    return Event::Write;
  }
  DWORD ignored = 0;
  if (!GetOverlappedResult(h.port, &h.waitOv, &ignored, FALSE) && GetLastError() == ERROR_IO_INCOMPLETE) {
    // Woken while the wait still runs (under Wine the end of a cancelled
    // wait can set the event after the next wait has begun). The event is
    // cleared and the wait looked at again, so that its end is seen
    // whether it comes before the reset or after.
    ResetEvent(h.commEvent);
    if (!GetOverlappedResult(h.port, &h.waitOv, &ignored, FALSE) && GetLastError() == ERROR_IO_INCOMPLETE) {
      return Event::Nothing;
    }
  }
  h.waiting = false;
  // A purge of the port may end the wait early; the port itself is looked at
  // by Read. Anything else means the device is gone.
  if (!GetOverlappedResult(h.port, &h.waitOv, &ignored, FALSE) && GetLastError() != ERROR_OPERATION_ABORTED) {
    return Event::Lost;
  }
  return Event::Received;
}

void CommLine::Wake(Request request) {
  HANDLE event = request == Request::Stop ? m_h->stopEvent : m_h->writeEvent;
  if (event) SetEvent(event);
}

bool CommLine::Handles::ReadChunk(char* buf, DWORD size, DWORD& got) {
  OVERLAPPED ov{};
  ov.hEvent = readDone;
  ResetEvent(readDone);
  got = 0;
  if (ReadFile(port, buf, size, &got, &ov)) return true;
  if (GetLastError() != ERROR_IO_PENDING) return false;
  // The port's timeouts make a read of queued bytes return at once; one that
  // does not, or that a stop request overtakes, is given up.
  HANDLE ends[2] = {readDone, stopEvent};
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

ISerialLine::ReadResult CommLine::Read(char* buffer, size_t size) {
  Handles& h = *m_h;
  DWORD queued = 0;
  const char* failed = "ClearCommError()";
  DWORD got = 0;
  if (QueuedBytes(h.port, queued)) {
    if (queued == 0) return {0, false};
    failed = "ReadFile()";
    const DWORD want = std::min({queued, kReadChunk, static_cast<DWORD>(size)});
    if (h.ReadChunk(buffer, want, got)) return {got, false};
  }
  const DWORD code = GetLastError();
  if (!IsVanished(code)) h.Report(failed, code);
  return {0, true};
}

bool CommLine::Write(const std::string& text) {
  Handles& h = *m_h;
  if (!h.port) return true;
  PurgeComm(h.port, PURGE_RXCLEAR | PURGE_TXCLEAR);
  const DWORD timeoutMs = kWriteTimeoutBaseMs + kWriteTimeoutPerByteMs * static_cast<DWORD>(text.size());
  size_t written = 0;
  // Failures end this write only, with the box; the wait for received data goes on.
  while (written < text.size()) {
    OVERLAPPED ov{};
    ov.hEvent = h.writeDone;
    ResetEvent(h.writeDone);
    DWORD n = 0;
    const DWORD size = static_cast<DWORD>(text.size() - written);
    if (!WriteFile(h.port, text.data() + written, size, &n, &ov)) {
      if (GetLastError() != ERROR_IO_PENDING) {
        h.Report("WriteFile()", GetLastError());
        return true;
      }
      if (WaitForSingleObject(h.writeDone, timeoutMs) != WAIT_OBJECT_0) {
        CancelIoEx(h.port, &ov);
        GetOverlappedResult(h.port, &ov, &n, TRUE);
        h.Report("WriteFile()", ERROR_TIMEOUT);
        return true;
      }
      if (!GetOverlappedResult(h.port, &ov, &n, FALSE)) {
        h.Report("WriteFile()", GetLastError());
        return true;
      }
    }
    if (n == 0) {
      h.Report("WriteFile()", ERROR_WRITE_FAULT);
      return true;
    }
    written += n;
  }
  return true;
}

void CommLine::Close() {
  Handles& h = *m_h;
  if (h.waiting) {
    // Bounded: a wait on a line that has gone may not end when cancelled
    // (Wine's); closing the port ends it.
    CancelIoEx(h.port, &h.waitOv);
    WaitForSingleObject(h.commEvent, kCancelWaitMs);
    h.waiting = false;
  }
  winports::CloseClaimed(h.claimed);
  h.port = nullptr;
}
