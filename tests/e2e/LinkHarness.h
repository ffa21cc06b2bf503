#pragma once
// End-to-end pieces for the link tests: a port directory, the simulated meter
// as a separate process on a pseudo-terminal, a silent line that records what
// reaches it, the program's frame service on an event loop with a real serial
// channel, and runs of km360r-cli.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/FramePresenter.h"
#include "app/MeterService.h"
#include "app/LoopHost.h"
#include "app/Station.h"
#include "common/EventLoop.h"
#include "common/FrameTexts.h"
#include "device/SystemPorts.h"
#include "device/posix/PseudoTerminal.h"
#include "graph/GraphPage.h"
#include "table/TablePage.h"
#include "tests/support/SimProcess.h"
#include "tests/unit/PortDir.h"

namespace e2e {

using Clock = std::chrono::steady_clock;

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// What a shell command prints on its standard output, kept in the file
// `scratch`; "failed: " and the command when it does not succeed.
inline std::string ShellOutput(const std::string& command, const std::string& scratch) {
  const std::string line = "(" + command + ") > '" + scratch + "' 2>/dev/null";
  if (std::system(line.c_str()) != 0) return "failed: " + command;
  return ReadFile(scratch);
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

inline std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> cells;
  size_t start = 0;
  for (;;) {
    const size_t tab = line.find('\t', start);
    cells.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return cells;
    start = tab + 1;
  }
}

// The port directory (KM360R_PORT_DIR while it lives) also holds the logs
// and files of a test.
using PortDir = ScopedPortDir;

// km360r-sim published as `name` in the port directory.
class Sim {
 public:
  Sim(const PortDir& dir, const std::string& name, std::vector<std::string> args = {})
      : m_log(dir.Entry(name + ".log")), m_process(Args(dir, name, m_log, std::move(args)), dir.Entry(name)) {}
  bool Published() const { return m_process.Ready(); }
  // The command lines the meter received, in order.
  std::vector<std::string> Commands() const { return Lines(ReadFile(m_log)); }

 private:
  static std::vector<std::string> Args(const PortDir& dir, const std::string& name, const std::string& log,
                                       std::vector<std::string> extra) {
    std::vector<std::string> args = {"--port-dir", dir.Path(), "--name", name, "--log", log};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  }
  std::string m_log;
  testsupport::SimProcess m_process;
};

// A port where nobody answers: it records when each byte arrived.
class SilentLine {
 public:
  SilentLine(const PortDir& dir, const std::string& name) {
    if (!m_pty.Open()) return;
    std::filesystem::create_symlink(m_pty.SlavePath(), dir.Entry(name));
    m_reader = std::thread([this] { Read(); });
  }
  ~SilentLine() {
    m_stop = true;
    if (m_reader.joinable()) m_reader.join();
  }
  // Arrival times of each complete "?\r".
  std::vector<Clock::time_point> Probes() {
    std::lock_guard lock(m_mutex);
    return m_probes;
  }
  std::string Received() {
    std::lock_guard lock(m_mutex);
    return m_received;
  }

 private:
  void Read() {
    while (!m_stop) {
      pollfd p{m_pty.Master(), POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0) continue;
      char buf[256];
      const ssize_t n = ::read(m_pty.Master(), buf, sizeof buf);
      if (n <= 0) continue;
      std::lock_guard lock(m_mutex);
      for (ssize_t i = 0; i < n; ++i) {
        m_received += buf[i];
        if (m_received.size() >= 2 && m_received.compare(m_received.size() - 2, 2, "?\r") == 0) {
          m_probes.push_back(Clock::now());
        }
      }
    }
  }

  PseudoTerminal m_pty;
  std::thread m_reader;
  std::atomic<bool> m_stop{false};
  std::mutex m_mutex;
  std::string m_received;
  std::vector<Clock::time_point> m_probes;
};

// The session's periods for a meter run with "--pace 10": a tenth of the
// meter's own (a poll every 100 ms, watchdogs of 100 ms and 1 s).
inline SessionTimings TenfoldPace() { return SessionTimings{100, 100, 1000}; }
// A poll every 100 ms with the meter's own watchdogs: readings come ten times
// as fast, and only a meter that is really silent is given up.
inline SessionTimings TenfoldPoll() { return SessionTimings{100, 1000, 10000}; }

// What the window would show: the view state last handed over.
class ViewRecord : public IFrameView {
 public:
  void Apply(const ViewState& state) override { m_view = state; }
  const ViewState& View() const { return m_view; }

 private:
  ViewState m_view;
};

// The program's station (meter service and pages) on an event loop, talking
// through a real serial channel, with the window's presenter on a view that
// records what it is handed.
class Program {
 public:
  explicit Program(SessionTimings timings = {})
      : station(loop, host, config::Settings{"1", {}, {}}, timings),
        texts(station.Texts()),
        table(station.Table()),
        graph(station.Graph()),
        channel(&station.Channel()),
        service(station.Service()),
        presenter(service, window) {
    service.Feed().Subscribe([this](const feed::Event& event) {
      if (const auto* arrived = std::get_if<feed::RecordArrived>(&event)) records.push_back(arrived->record.Text());
    });
  }

  // Dispatches until done() holds; the bound only guards against a hang.
  bool RunUntil(const std::function<bool()>& done, int boundMs = 30000) {
    return loop.RunUntil(done, boundMs);
  }
  bool Connect() {
    service.OnLink();
    RunUntil([this] { return !service.Scanning(); });
    return service.Connected();
  }
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> t;
    for (const auto& b : host.Boxes()) t.push_back(b.text);
    return t;
  }

  EventLoop loop;
  LoopHost host;
  Station station;
  const FrameTexts& texts;
  TablePage& table;
  GraphPage& graph;
  ISerialPort* const channel;
  MeterService& service;
  ViewRecord window;
  FramePresenter presenter;
  std::vector<std::string> records;
};

struct CliRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Starts km360r-cli with `args`, its standard output and error on `outFd` and
// `errFd`. A `fileSizeLimit` is the user's file size limit (ulimit -f), and
// stands for a disk that is full after that many bytes of a file: the
// program must turn the signal a write beyond it raises into a failed write.
inline pid_t StartCli(std::vector<std::string> args, int outFd, int errFd, rlim_t fileSizeLimit = RLIM_INFINITY) {
  std::vector<std::string> argv = {KM360R_CLI_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(outFd, 1);
    ::dup2(errFd, 2);
    if (fileSizeLimit != RLIM_INFINITY) {
      const rlimit limit{fileSizeLimit, fileSizeLimit};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    std::vector<char*> a;
    a.reserve(argv.size() + 1);
    for (auto& s : argv) a.push_back(s.data());
    a.push_back(nullptr);
    ::execv(a[0], a.data());
    ::_exit(127);
  }
  // Without a child there is nothing to wait for or stop, and a process id
  // of -1 handed to kill() would reach every process on the machine.
  if (pid < 0) {
    std::perror("fork");
    std::abort();
  }
  return pid;
}

// Waits for a started km360r-cli; its exit code, or 128 + the signal that ended it.
inline int WaitCli(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Ends a started km360r-cli that has not ended within ten seconds: a run that
// should have been refused at once has hung. WaitCli still collects it.
inline void EndIfHung(pid_t pid) {
  const auto until = Clock::now() + std::chrono::seconds(10);
  while (Clock::now() < until) {
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid) {
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ::kill(pid, SIGKILL);
}

// Runs km360r-cli with `args`; `whileRunning` is called with its process id
// and the path of its standard output once it has started. Standard output
// goes to `outPath` (a file of the port directory when empty); it is read
// back when that is a plain file.
inline CliRun RunCli(const PortDir& dir, std::vector<std::string> args,
                     const std::function<void(pid_t, const std::string&)>& whileRunning = {},
                     std::string outPath = {}, rlim_t fileSizeLimit = RLIM_INFINITY) {
  if (outPath.empty()) outPath = dir.Entry("cli.out");
  const std::string errPath = dir.Entry("cli.err");
  const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  const pid_t pid = StartCli(std::move(args), out, err, fileSizeLimit);
  ::close(out);
  ::close(err);
  if (whileRunning) whileRunning(pid, outPath);
  CliRun run;
  run.exitCode = WaitCli(pid);
  if (std::filesystem::is_regular_file(outPath)) run.out = ReadFile(outPath);
  run.err = ReadFile(errPath);
  return run;
}

}  // namespace e2e
