#pragma once
// km360r-sim as a child process of a test: the one way every test starts the
// simulated meter. It is ready once it serves its port: either published in a
// port directory (the entry exists) or on a pseudo-terminal of its own, whose
// path it prints. It is ended with SIGTERM, so that it writes its last
// figures, when the test is done with it.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace testsupport {

class SimProcess {
 public:
  // Bounds on starting and ending: guards against a hang, not timing checks.
  static constexpr int kStartGuardMs = 10000;
  static constexpr int kStopGuardMs = 5000;

  // Starts km360r-sim with `args`. With a `publishedEntry` (the args name a
  // port directory and a name) it is ready once that entry exists; without
  // one it is given --print-path and is ready once it has printed its path.
  explicit SimProcess(std::vector<std::string> args, std::string publishedEntry = {}) {
    const bool printsPath = publishedEntry.empty();
    std::vector<std::string> argv = {KM360R_SIM_PATH};
    if (printsPath) argv.push_back("--print-path");
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargs;
    cargs.reserve(argv.size() + 1);
    for (auto& a : argv) cargs.push_back(a.data());
    cargs.push_back(nullptr);

    int out[2] = {-1, -1};
    if (printsPath && ::pipe2(out, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (printsPath) posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    if (posix_spawn(&m_pid, cargs[0], &actions, nullptr, cargs.data(), environ) != 0) m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    if (printsPath) {
      ::close(out[1]);
      pollfd p{out[0], POLLIN, 0};
      char c;
      while (m_pid > 0 && ::poll(&p, 1, kStartGuardMs) > 0 && ::read(out[0], &c, 1) == 1 && c != '\n') {
        m_path += c;
      }
      ::close(out[0]);
      m_ready = !m_path.empty();
    } else {
      const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartGuardMs);
      while (m_pid > 0 && !std::filesystem::is_symlink(publishedEntry) && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
      m_ready = std::filesystem::is_symlink(publishedEntry);
      if (m_ready) m_path = publishedEntry;
    }
  }
  ~SimProcess() { Stop(); }
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // Running and serving its port.
  bool Ready() const { return m_ready; }
  // The port: its published entry, or the pseudo-terminal it printed.
  const std::string& Path() const { return m_path; }

  // Ends the meter as a signal does and waits for it; one that does not end
  // within the guard is killed.
  void Stop() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGTERM);
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStopGuardMs);
    while (::waitpid(m_pid, nullptr, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() >= until) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    m_pid = -1;
  }

 private:
  pid_t m_pid = -1;
  bool m_ready = false;
  std::string m_path;
};

}  // namespace testsupport
