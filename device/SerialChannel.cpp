#include "device/SerialChannel.h"

#include <algorithm>
#include <system_error>

namespace {

// The most bytes one hand-over to the UI thread carries; more waiting bytes
// follow in the next one. They are read in pieces of kReadPiece.
constexpr size_t kMaxHandOver = size_t{64} * 1024;
constexpr size_t kReadPiece = 4096;

// Ports are opened by name; error texts say "Port: 0".
constexpr int kPortNumber = 0;

// One synchronous hand-over: the bytes that were waiting at the port.
struct Batch {
  std::string bytes;
  bool done = false;                   // guarded by Rendezvous::mutex
  std::atomic<bool> abandoned{false};  // the monitor stopped waiting for it
};

}  // namespace

SerialChannel::SerialChannel(std::unique_ptr<ISerialLine> line) : m_line(std::move(line)) {}

SerialChannel::~SerialChannel() {
  EndMonitor();
  std::lock_guard<std::mutex> lk(m_portLock);
  m_line->Close();
}

void SerialChannel::RequestStop() {
  m_session->store(false);
  {
    std::lock_guard<std::mutex> lk(m_rendezvous->mutex);
    m_rendezvous->stopping.store(true);
  }
  m_rendezvous->cv.notify_all();
  m_line->Wake(ISerialLine::Request::Stop);
}

void SerialChannel::EndMonitor() {
  if (!m_thread.joinable()) return;
  RequestStop();
  m_thread.join();
}

void SerialChannel::ReportDriverError(const char* operation, const std::string& reason) {
  if (!m_owner) return;
  ISerialOwner* o = m_owner;
  std::string text = FormatDriverErrorText(operation, reason, kPortNumber);
  o->PostToUi([o, text = std::move(text)] { o->OnDriverError(text); });
}

void SerialChannel::ReportDeviceLost() {
  if (!m_owner) return;
  ISerialOwner* o = m_owner;
  std::shared_ptr<std::atomic<bool>> current = m_session;
  o->PostToUi([o, current] {
    if (current->load()) o->OnDeviceLost();
  });
}

bool SerialChannel::Open(ISerialOwner* owner, const std::string& devicePath, const LineSettings& line) {
  EndMonitor();
  m_rendezvous->stopping.store(false);
  m_owner = owner;
  {
    std::lock_guard<std::mutex> lk(m_writeMutex);
    // Callers keep their texts shorter than the write buffer; a longer one is
    // cut rather than written past it.
    m_writeRoom = line.writeBufferSize > 0 ? static_cast<size_t>(line.writeBufferSize - 1) : 0;
    m_writeText.clear();
    m_writePending = false;
  }
  std::lock_guard<std::mutex> lk(m_portLock);
  const int error = m_line->Open(devicePath, line, [this](const char* operation, const std::string& reason) {
    ReportDriverError(operation, reason);
  });
  m_openError.store(error);
  return error == 0;
}

bool SerialChannel::StartMonitor() {
  if (m_threadAlive.load() && !m_rendezvous->stopping.load()) return false;
  // A monitor that was asked to end finishes closing its port first.
  if (m_thread.joinable()) m_thread.join();
  {
    std::lock_guard<std::mutex> lk(m_portLock);
    if (!m_line->IsOpen()) return false;
  }
  m_rendezvous->stopping.store(false);
  m_session = std::make_shared<std::atomic<bool>>(true);
  m_threadAlive.store(true);
  try {
    m_thread = std::thread([this] { Monitor(); });
  } catch (const std::system_error&) {
    m_threadAlive.store(false);
    return false;
  }
  return true;
}

void SerialChannel::Send(const std::string& text) {
  {
    std::lock_guard<std::mutex> lk(m_writeMutex);
    m_writeText.assign(text, 0, std::min(text.size(), m_writeRoom));
    m_writePending = true;
  }
  m_line->Wake(ISerialLine::Request::Write);
}

void SerialChannel::StopMonitor() {
  if (!m_thread.joinable()) return;
  RequestStop();
}

void SerialChannel::Monitor() {
  {
    std::lock_guard<std::mutex> lk(m_portLock);
    m_line->Purge();
  }
  bool lineLost = false;
  const auto lose = [&] {
    // Reported once; from now on only the requests are waited for.
    lineLost = true;
    ReportDeviceLost();
  };
  for (;;) {
    const ISerialLine::Event event = m_line->Wait(!lineLost);
    if (event == ISerialLine::Event::End || m_rendezvous->stopping.load()) break;
    switch (event) {
      case ISerialLine::Event::Received:
        if (!Receive()) lose();
        break;
      case ISerialLine::Event::Write:
        // A line that hangs up between the wait and the write is lost as one
        // whose hang-up the wait saw.
        if (!WritePending(lineLost)) lose();
        break;
      case ISerialLine::Event::Lost: lose(); break;
      case ISerialLine::Event::End:
      case ISerialLine::Event::Nothing: break;
    }
  }
  {
    std::lock_guard<std::mutex> lk(m_portLock);
    m_line->Close();
  }
  m_threadAlive.store(false);
}

bool SerialChannel::Receive() {
  std::string bytes;
  bool lost = false;
  {
    std::lock_guard<std::mutex> lk(m_portLock);
    while (bytes.size() < kMaxHandOver) {
      const size_t had = bytes.size();
      bytes.resize(had + kReadPiece);
      const ISerialLine::ReadResult read = m_line->Read(bytes.data() + had, kReadPiece);
      bytes.resize(had + read.count);
      if (read.lost) {
        lost = true;
        break;
      }
      if (read.count == 0) break;
    }
  }
  if (!bytes.empty()) {
    bool writeWaits;
    {
      std::lock_guard<std::mutex> lk(m_writeMutex);
      writeWaits = m_writePending;
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

void SerialChannel::HandOver(std::string bytes) {
  if (!m_owner) return;
  auto batch = std::make_shared<Batch>();
  batch->bytes = std::move(bytes);
  std::shared_ptr<Rendezvous> rv = m_rendezvous;
  ISerialOwner* o = m_owner;
  o->PostToUi([batch, rv, o] {
    // Nothing is delivered once the monitor was stopped meanwhile.
    if (!batch->abandoned.load() && !rv->stopping.load()) o->OnReceived(batch->bytes);
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

bool SerialChannel::TakeWriteText(std::string& text) {
  std::lock_guard<std::mutex> lk(m_writeMutex);
  if (!m_writePending) return false;
  m_writePending = false;
  text = std::move(m_writeText);
  m_writeText.clear();
  return true;
}

bool SerialChannel::WritePending(bool lineLost) {
  std::string text;
  if (!TakeWriteText(text)) return true;
  // The line is gone and that has been reported; there is nobody to write to.
  if (lineLost) return true;
  std::lock_guard<std::mutex> lk(m_portLock);
  return m_line->Write(text);
}
