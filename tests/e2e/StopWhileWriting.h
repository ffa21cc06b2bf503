#pragma once
// Stops a km360r-cli run with a signal the moment it starts writing a file in
// a folder: a file is made there, or one there is opened or changed. The
// folder is watched before the run starts, so no write comes too early.
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <set>
#include <string>

namespace e2e {

class StopWhileWriting {
 public:
  // `ignored`: names in the folder the run only reads, or the test writes.
  StopWhileWriting(const std::string& folder, std::set<std::string> ignored)
      : m_fd(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK)), m_ignored(std::move(ignored)) {
    if (m_fd >= 0) ::inotify_add_watch(m_fd, folder.c_str(), IN_CREATE | IN_OPEN | IN_MODIFY);
  }
  ~StopWhileWriting() {
    if (m_fd >= 0) ::close(m_fd);
  }
  StopWhileWriting(const StopWhileWriting&) = delete;
  StopWhileWriting& operator=(const StopWhileWriting&) = delete;

  // Waits (ten seconds at most) for the first write of the run, then sends
  // `signal` to `pid`. The name written, empty when none came.
  std::string Stop(pid_t pid, int signal) {
    alignas(inotify_event) char buffer[4096];
    for (;;) {
      pollfd p{m_fd, POLLIN, 0};
      if (::poll(&p, 1, 10000) <= 0) return {};
      const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
      for (ssize_t at = 0; at < n;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        const std::string name = event->len ? event->name : "";
        if (name.empty() || m_ignored.count(name)) continue;
        ::kill(pid, signal);
        return name;
      }
    }
  }

 private:
  int m_fd;
  std::set<std::string> m_ignored;
};

}  // namespace e2e
