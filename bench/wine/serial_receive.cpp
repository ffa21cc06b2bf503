// The receiving end of bench/wine/serial_under_wine.sh, built for Windows:
// opens COMn with the meter's line settings through the Windows serial port,
// asks the far end to start ("go\r"), and counts the bytes that reach the
// owner on the "UI thread" (here: the main thread draining a queue, one
// OnReceived range per hand-over, as in the program). Prints bytes and seconds from the
// first byte to the last.
//
//   serial_receive.exe COMn BYTES
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "device/SystemPorts.h"
#include "device/meters/Registry.h"

namespace {

using Clock = std::chrono::steady_clock;

class QueueOwner : public ISerialOwner {
 public:
  void PostToUi(std::function<void()> fn) override {
    {
      std::lock_guard<std::mutex> lk(m_mutex);
      m_queue.push_back(std::move(fn));
    }
    m_cv.notify_one();
  }
  void OnReceived(std::string_view bytes) override {
    if (received == 0) first = Clock::now();
    received += bytes.size();
    while (!bytes.empty()) {
      const size_t end = bytes.find('$');
      m_record.append(bytes.substr(0, end));
      if (end == std::string_view::npos) break;
      m_record.clear();
      bytes.remove_prefix(end + 1);
    }
    last = Clock::now();
  }
  void OnDeviceLost() override { lost = true; }
  void OnDriverError(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }

  // Runs posted work until `done` holds or nothing came for `idleMs`.
  bool RunUntil(const std::function<bool()>& done, int idleMs) {
    while (!done()) {
      std::function<void()> fn;
      {
        std::unique_lock<std::mutex> lk(m_mutex);
        if (!m_cv.wait_for(lk, std::chrono::milliseconds(idleMs), [&] { return !m_queue.empty(); })) return false;
        fn = std::move(m_queue.front());
        m_queue.pop_front();
      }
      fn();
    }
    return true;
  }

  size_t received = 0;
  bool lost = false;
  Clock::time_point first, last;

 private:
  std::mutex m_mutex;
  std::condition_variable m_cv;
  std::deque<std::function<void()>> m_queue;
  std::string m_record;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: serial_receive COMn BYTES\n");
    return 2;
  }
  const size_t want = std::strtoul(argv[2], nullptr, 10);
  QueueOwner owner;
  auto port = NewSerialPort();
  if (!port->Open(&owner, SystemPortList().Resolve(argv[1]), meters::StationModel().line) || !port->StartMonitor()) {
    std::fprintf(stderr, "cannot open %s: %s\n", argv[1], OpenErrorText(port->LastOpenError()).c_str());
    return 1;
  }
  port->Send("go\r");
  const bool complete = owner.RunUntil([&] { return owner.received >= want || owner.lost; }, 10000);
  port->StopMonitor();
  const double seconds = std::chrono::duration<double>(owner.last - owner.first).count();
  std::printf("%zu %.6f\n", owner.received, seconds);
  return complete && owner.received >= want ? 0 : 1;
}
