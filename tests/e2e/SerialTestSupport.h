#pragma once
// The pieces the serial end-to-end tests share: the UI side (an EventLoop run
// by the test's own thread, with an owner that records what the channel
// reports), the simulated meter as a child process, a raw far end for byte
// exact checks, and a guard that ends a test that would hang.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "common/EventLoop.h"
#include "device/SystemPorts.h"
#include "device/posix/PseudoTerminal.h"
#include "tests/support/SimProcess.h"

namespace e2e {

// Bounded waits only guard against hangs; no test asserts on how long anything takes.
inline constexpr int kGuardMs = 10000;

// The channel's owner on the UI thread (the thread running the loop).
class LoopOwner : public ISerialOwner {
 public:
  explicit LoopOwner(EventLoop& loop) : m_loop(loop), m_uiThread(std::this_thread::get_id()) {}

  void PostToUi(std::function<void()> fn) override { m_loop.Post(std::move(fn)); }
  void OnReceived(std::string_view bytes) override {
    if (std::this_thread::get_id() != m_uiThread) offUiThread = true;
    if (++depth > 1) reentered = true;
    for (const char byte : bytes) {
      received.push_back(byte);
      if (onByte) onByte(static_cast<unsigned char>(byte));
    }
    --depth;
  }
  void OnDeviceLost() override {
    if (std::this_thread::get_id() != m_uiThread) offUiThread = true;
    ++lostCount;
  }
  void OnDriverError(const std::string& text) override { driverErrors.push_back(text); }

  std::string received;
  int lostCount = 0;
  std::vector<std::string> driverErrors;
  bool offUiThread = false;
  bool reentered = false;
  int depth = 0;
  std::function<void(unsigned char)> onByte;

 private:
  EventLoop& m_loop;
  std::thread::id m_uiThread;
};

// Opens `path` with the meter's line settings.
inline bool OpenMeterPort(ISerialPort& channel, ISerialOwner* owner, const std::string& path) {
  return channel.Open(owner, path, LineSettings{19200, 'N', 8, 1, 1024});
}

// km360r-sim on a pseudo-terminal of its own.
class SimMeter {
 public:
  explicit SimMeter(std::vector<std::string> args)
      : m_logPath(NewLogPath()), m_process(WithLog(m_logPath, std::move(args))) {}
  ~SimMeter() {
    m_process.Stop();
    ::unlink(m_logPath.c_str());
  }
  const std::string& Path() const { return m_process.Path(); }

  // The command lines the meter received so far.
  std::string Log() const {
    std::ifstream in(m_logPath);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

 private:
  static std::string NewLogPath() {
    std::string path = (std::filesystem::temp_directory_path() / "km360r-sim-log.XXXXXX").string();
    const int fd = ::mkstemp(path.data());
    if (fd >= 0) ::close(fd);
    return path;
  }
  static std::vector<std::string> WithLog(const std::string& log, std::vector<std::string> args) {
    args.insert(args.begin(), {"--log", log});
    return args;
  }
  std::string m_logPath;
  testsupport::SimProcess m_process;
};

// A far end under the test's own control.
class RawPeer {
 public:
  RawPeer() { m_ok = m_pty.Open(); }
  bool Ok() const { return m_ok; }
  const std::string& Path() const { return m_pty.SlavePath(); }
  void Write(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(m_pty.Master(), bytes.data() + done, bytes.size() - done);
      if (n <= 0) return;
      done += static_cast<size_t>(n);
    }
  }
  // Reads what the port wrote until `count` bytes arrived (or the guard ends).
  std::string Read(size_t count) {
    std::string got;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kGuardMs);
    while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
      pollfd p{m_pty.Master(), POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      char buf[256];
      const ssize_t n = ::read(m_pty.Master(), buf, std::min(sizeof buf, count - got.size()));
      if (n > 0) got.append(buf, static_cast<size_t>(n));
    }
    return got;
  }
  // Waits until `count` written bytes sit in the port's receive queue.
  bool WaitQueued(int count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kGuardMs);
    while (m_pty.PortInputPending() < count) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }
  void HangUp() { m_pty.HangUp(); }

 private:
  PseudoTerminal m_pty;
  bool m_ok = false;
};

// Ends the test process with a message if it is still armed after kGuardMs: a
// call that should return at once has hung.
class DeadlockGuard {
 public:
  explicit DeadlockGuard(const char* what) : m_what(what), m_thread([this] { Watch(); }) {}
  ~DeadlockGuard() {
    {
      std::lock_guard<std::mutex> lk(m_mutex);
      m_done = true;
    }
    m_cv.notify_all();
    m_thread.join();
  }

 private:
  void Watch() {
    std::unique_lock<std::mutex> lk(m_mutex);
    if (!m_cv.wait_for(lk, std::chrono::milliseconds(kGuardMs), [this] { return m_done; })) {
      std::fprintf(stderr, "deadlock: %s did not return\n", m_what);
      std::_Exit(3);
    }
  }
  const char* m_what;
  std::mutex m_mutex;
  std::condition_variable m_cv;
  bool m_done = false;
  std::thread m_thread;
};

}  // namespace e2e
