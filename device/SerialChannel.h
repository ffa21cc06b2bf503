#pragma once
// SerialChannel: the serial port over the system's line (ISerialLine), with
// the threading contract every system shares. One monitor thread waits on the
// line and on two requests (write, stop); it reads what the port holds, hands
// it to the owner on the UI thread in one range and waits until that has been
// handled. A command handed to Send waits in the send slot until the monitor
// writes it, after the port's queues are purged; bytes that arrive while a
// command waits belong to the previous exchange and are purged with them. A
// line that stops answering is reported once as OnDeviceLost.
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "device/SerialLine.h"
#include "device/SerialPort.h"

class SerialChannel final : public ISerialPort {
 public:
  explicit SerialChannel(std::unique_ptr<ISerialLine> line);
  ~SerialChannel() override;
  SerialChannel(const SerialChannel&) = delete;
  SerialChannel& operator=(const SerialChannel&) = delete;

  bool Open(ISerialOwner* owner, const std::string& devicePath, const LineSettings& line) override;
  bool StartMonitor() override;
  void Send(const std::string& text) override;
  void StopMonitor() override;
  int LastOpenError() const override { return m_openError.load(); }
  bool IsThreadAlive() const override { return m_threadAlive.load(); }

 private:
  // Meeting point of the monitor thread and the UI thread. Closures posted to
  // the UI thread hold it, so it outlives the channel when such a closure runs
  // late.
  struct Rendezvous {
    std::mutex mutex;
    std::condition_variable cv;
    // Set (under `mutex`) when the running monitor is asked to end; a
    // hand-over that has not run yet delivers nothing.
    std::atomic<bool> stopping{false};
  };

  void RequestStop();
  // Stops a running monitor and waits until it has closed its port.
  void EndMonitor();
  void Monitor();
  // Reads what waits at the port and hands it over. False when the line is lost.
  bool Receive();
  // Hands `bytes` to the owner on the UI thread and waits until they have been
  // handled or the monitor is asked to end.
  void HandOver(std::string bytes);
  // Writes the text in the send slot, if any. False when the line turned out
  // to be gone.
  bool WritePending(bool lineLost);
  bool TakeWriteText(std::string& text);
  void ReportDriverError(const char* operation, const std::string& reason);
  void ReportDeviceLost();

  const std::unique_ptr<ISerialLine> m_line;
  // The port lock: opening, reads, purges, writes and closing of the line.
  std::mutex m_portLock;
  ISerialOwner* m_owner = nullptr;
  std::thread m_thread;
  std::atomic<bool> m_threadAlive{false};
  std::atomic<int> m_openError{0};

  // The send slot: the latest command text not yet written.
  std::mutex m_writeMutex;
  std::string m_writeText;
  size_t m_writeRoom = 0;  // the longest text the slot takes
  bool m_writePending = false;

  std::shared_ptr<Rendezvous> m_rendezvous = std::make_shared<Rendezvous>();
  // True while the current monitor session lasts; a lost-device report that
  // reaches the UI thread after the session ended is dropped.
  std::shared_ptr<std::atomic<bool>> m_session = std::make_shared<std::atomic<bool>>(false);
};
