// km360r-sim: a KM360R meter on a pseudo-terminal, for trying the program
// without the instrument and for the end-to-end tests. It publishes its port
// as COMn in a port directory (for KM360R_PORT_DIR), answers the probe and the
// meter's commands, and can misbehave in the ways a real line does.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <optional>
#include <random>
#include <algorithm>
#include <string>
#include <vector>

#include "device/posix/PseudoTerminal.h"
#include "sim/SimulatedMeter.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
  std::string portDir;
  std::string name = "COM3";
  std::string logPath;
  bool printPath = false;
  int bytesPerWrite = 0;  // 0: each reply part in one write
  int byteDelayUs = 0;    // pause between two writes of one part
  std::string statsPath;  // what was sent, rewritten after each line
  int seed = -1;          // -1: a new one each run
  meter::Scenario scenario;
};

const char kUsage[] =
    "usage: km360r-sim [--port-dir DIR] [--name COMn] [--print-path] [--log FILE]\n"
    "                  [--silent] [--probe-only] [--no-answer-after N] [--hangup-after N]\n"
    "                  [--history-count N] [--history-delay-ms MS] [--history-stop-after N]\n"
    "                  [--probe-delay-ms MS]\n"
    "                  [--pace N]   (N times faster: every pause of the meter lasts 1/N)\n"
    "                  [--empty-slots] [--fail-settings] [--garbage] [--flood] [--flood-empty]\n"
    "                  [--bytes-per-write N] [--byte-delay-us US]\n"
    "                  [--readings DBM[@NM],...]  (real-time values in turn, -10.00 to -39.99,\n"
    "                                              each at its wavelength NM if given)\n"
    "                  [--hostile] [--seed N] [--stats FILE]\n"
    "                  [--answer L=TEXT]...  (command letter L answered with TEXT: records ending in $)\n";

bool ParseInt(const char* text, int& out) {
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || v < 0 || v > 1000000000) return false;
  out = static_cast<int>(v);
  return true;
}

// "-20.00,-21.00,...": values the record's six-byte power field can hold.
// "DBM" or "DBM@NM" items joined by ",": NM is the wavelength of that reading.
bool ParseReadings(const char* text, std::vector<double>& out, std::vector<int>& wavelengthsNm) {
  std::string list = text;
  size_t start = 0;
  while (start <= list.size()) {
    const size_t comma = std::min(list.find(',', start), list.size());
    const std::string item = list.substr(start, comma - start);
    char* end = nullptr;
    const double v = std::strtod(item.c_str(), &end);
    int nm = 0;
    if (*end == '@' && !ParseInt(end + 1, nm)) return false;
    if (item.empty() || (*end != '\0' && *end != '@') || v > -10.0 || v <= -40.0) return false;
    out.push_back(v);
    wavelengthsNm.push_back(nm);
    start = comma + 1;
  }
  return !out.empty();
}

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    auto number = [&](int& out) { return hasValue && ParseInt(argv[++i], out); };
    if (a == "--port-dir" && hasValue) o.portDir = argv[++i];
    else if (a == "--name" && hasValue) o.name = argv[++i];
    else if (a == "--log" && hasValue) o.logPath = argv[++i];
    else if (a == "--print-path") o.printPath = true;
    else if (a == "--silent") o.scenario.silent = true;
    else if (a == "--probe-only") o.scenario.probeOnly = true;
    else if (a == "--empty-slots") o.scenario.emptySlots = true;
    else if (a == "--fail-settings") o.scenario.failSettings = true;
    else if (a == "--garbage") o.scenario.garbage = true;
    else if (a == "--flood") o.scenario.flood = meter::Flood::Readings;
    else if (a == "--flood-empty") o.scenario.flood = meter::Flood::Empty;
    else if (a == "--hostile") o.scenario.hostile = true;
    else if (a == "--stats" && hasValue) o.statsPath = argv[++i];
    else if (a == "--seed") { if (!number(o.seed)) return false; }
    else if (a == "--no-answer-after") { if (!number(o.scenario.noAnswerAfter)) return false; }
    else if (a == "--hangup-after") { if (!number(o.scenario.hangupAfter)) return false; }
    else if (a == "--history-count") { if (!number(o.scenario.historyCount)) return false; }
    else if (a == "--history-delay-ms") { if (!number(o.scenario.historyDelayMs)) return false; }
    else if (a == "--probe-delay-ms") { if (!number(o.scenario.probeDelayMs)) return false; }
    else if (a == "--pace") { if (!number(o.scenario.pace) || o.scenario.pace < 1) return false; }
    else if (a == "--history-stop-after") { if (!number(o.scenario.historyStopAfter)) return false; }
    else if (a == "--bytes-per-write") { if (!number(o.bytesPerWrite)) return false; }
    else if (a == "--byte-delay-us") { if (!number(o.byteDelayUs)) return false; }
    else if (a == "--answer" && hasValue) {
      // L=TEXT: command letter L is answered with TEXT.
      const std::string given = argv[++i];
      if (given.size() < 3 || given[1] != '=') return false;
      o.scenario.answers[given[0]] = given.substr(2);
    }
    else if (a == "--readings") { if (!hasValue || !ParseReadings(argv[++i], o.scenario.readings, o.scenario.readingWavelengthsNm)) return false; }
    else return false;
  }
  return o.name.find('/') == std::string::npos && !o.name.empty();
}

// SIGTERM, SIGINT and SIGHUP end the meter through this pipe, so the main loop
// can remove the published port before it exits.
int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const int saved = errno;
  const char c = 's';
  ssize_t ignored = ::write(g_signalPipe[1], &c, 1);
  (void)ignored;
  errno = saved;
}

bool InstallSignals() {
  if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  struct sigaction sa{};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &sa, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  return true;
}

// The port entry in the port directory, removed again at exit (only if it is
// still ours).
class PublishedPort {
 public:
  bool Publish(const std::string& dir, const std::string& name, const std::string& target) {
    m_link = dir + "/" + name;
    m_target = target;
    std::error_code ec;
    std::filesystem::remove(m_link, ec);  // a stale entry of an earlier run
    std::filesystem::create_symlink(target, m_link, ec);
    if (ec) {
      std::fprintf(stderr, "km360r-sim: cannot publish %s: %s\n", m_link.c_str(), ec.message().c_str());
      m_link.clear();
      return false;
    }
    return true;
  }
  ~PublishedPort() { Withdraw(); }
  PublishedPort() = default;
  PublishedPort(const PublishedPort&) = delete;
  PublishedPort& operator=(const PublishedPort&) = delete;

  void Withdraw() {
    if (m_link.empty()) return;
    std::error_code ec;
    if (std::filesystem::read_symlink(m_link, ec) == m_target) std::filesystem::remove(m_link, ec);
    m_link.clear();
  }

 private:
  std::string m_link;
  std::string m_target;
};

// Reply bytes waiting to be written, each part after its pause.
struct Outgoing {
  std::chrono::milliseconds delay;
  std::string bytes;
  size_t sent = 0;
  Clock::time_point due{};
  bool started = false;
};

// What the meter has sent over all its lines.
struct Totals {
  long long bytes = 0;
  long long recordEnds = 0;  // "$" bytes, garbage included
  int lines = 0;
  int hangups = 0;
};

enum class LineEnd { Signal, ScenarioHangUp, Dropped };

class MeterLine {
 public:
  // A line that is dropped at `dropAt` (hostile), or never.
  MeterLine(const Options& o, meter::SimulatedMeter& meter, int master, FILE* log, Totals& totals,
            std::optional<Clock::time_point> dropAt)
      : m_options(o), m_meter(meter), m_master(master), m_log(log), m_totals(totals), m_dropAt(dropAt) {}

  // Serves commands until a signal arrives, the scenario hangs up the line or
  // the line is dropped.
  LineEnd Serve() {
    for (;;) {
      if (m_queue.empty() && m_meter.HangUpDue()) return LineEnd::ScenarioHangUp;
      if (m_dropAt && Clock::now() >= *m_dropAt) return LineEnd::Dropped;
      if (m_queue.empty() && m_meter.Flooding()) m_queue.push_back({{}, m_meter.FloodBytes()});
      pollfd fds[2] = {{g_signalPipe[0], POLLIN, 0}, {m_master, POLLIN, 0}};
      int timeoutMs = -1;
      if (!m_queue.empty()) {
        Outgoing& head = m_queue.front();
        if (!head.started) {
          head.started = true;
          head.due = Clock::now() + head.delay;
        }
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(head.due - Clock::now());
        if (wait.count() <= 0) {
          fds[1].events |= POLLOUT;
        } else {
          timeoutMs = static_cast<int>(wait.count());
        }
      }
      if (m_dropAt) {
        const auto untilDrop = std::chrono::ceil<std::chrono::milliseconds>(*m_dropAt - Clock::now());
        const int dropMs = static_cast<int>(std::max<long long>(untilDrop.count(), 0));
        if (timeoutMs < 0 || dropMs < timeoutMs) timeoutMs = dropMs;
      }
      if (::poll(fds, 2, timeoutMs) < 0) {
        if (errno == EINTR) continue;
        return LineEnd::Signal;
      }
      if (fds[0].revents) return LineEnd::Signal;
      if (fds[1].revents & POLLIN) ReadCommands();
      if (fds[1].revents & POLLOUT) WriteHead();
    }
  }

 private:
  void ReadCommands() {
    char buf[512];
    const ssize_t n = ::read(m_master, buf, sizeof buf);
    if (n <= 0) return;
    for (ssize_t i = 0; i < n; ++i) {
      if (buf[i] != '\r' && buf[i] != '\n') {
        if (m_line.size() < 4096) m_line += buf[i];
        continue;
      }
      if (m_line.empty()) continue;
      if (m_log) {
        std::fprintf(m_log, "%s\n", m_line.c_str());
        std::fflush(m_log);
      }
      for (auto& part : m_meter.Answer(m_line)) m_queue.push_back({part.delay, std::move(part.bytes)});
      m_line.clear();
    }
  }

  void WriteHead() {
    Outgoing& head = m_queue.front();
    size_t chunk = head.bytes.size() - head.sent;
    if (m_options.bytesPerWrite > 0) chunk = std::min(chunk, static_cast<size_t>(m_options.bytesPerWrite));
    const ssize_t n = ::write(m_master, head.bytes.data() + head.sent, chunk);
    if (n <= 0) return;  // the line is full: poll says when it takes more
    // Counted only when asked for: a flood is to run as fast as the line takes it.
    if (!m_options.statsPath.empty()) {
      m_totals.bytes += n;
      m_totals.recordEnds += std::count(head.bytes.begin() + static_cast<long>(head.sent),
                                        head.bytes.begin() + static_cast<long>(head.sent) + n, '$');
    }
    head.sent += static_cast<size_t>(n);
    if (head.sent == head.bytes.size()) {
      m_queue.pop_front();
    } else if (m_options.byteDelayUs > 0) {
      head.due = Clock::now() + std::chrono::microseconds(m_options.byteDelayUs);
    }
  }

  const Options& m_options;
  meter::SimulatedMeter& m_meter;
  int m_master;
  FILE* m_log;
  Totals& m_totals;
  std::optional<Clock::time_point> m_dropAt;
  std::string m_line;
  std::deque<Outgoing> m_queue;
};

// Hanging up discards what the port has not read yet, as a line that drops
// loses the bytes still on the wire. The last reply gets a moment to reach the
// port's queue and to be taken from there.
void HangUpAfterLastReply(PseudoTerminal& line) {
  const auto arrived = Clock::now() + std::chrono::milliseconds(100);
  while (line.PortInputPending() == 0 && Clock::now() < arrived) ::usleep(1000);
  const auto taken = Clock::now() + std::chrono::seconds(1);
  while (line.PortInputPending() > 0 && Clock::now() < taken) ::usleep(1000);
  line.HangUp();
}

void WriteTotals(const std::string& path, const Totals& t, const meter::SimulatedMeter& m) {
  if (path.empty()) return;
  const std::string partial = path + ".part";
  FILE* f = std::fopen(partial.c_str(), "w");
  if (!f) return;
  std::fprintf(f, "bytes %lld\nrecord_ends %lld\nreplies %d\nlines %d\nhangups %d\nsilences %d\nbursts %d\n",
               t.bytes, t.recordEnds, m.RepliesGiven(), t.lines, t.hangups, m.Silences(), m.Bursts());
  std::fclose(f);
  std::rename(partial.c_str(), path.c_str());
}

// Waits `pause` unless a signal comes first (false).
bool PauseUnlessSignalled(std::chrono::milliseconds pause) {
  pollfd fd{g_signalPipe[0], POLLIN, 0};
  while (::poll(&fd, 1, static_cast<int>(pause.count())) < 0) {
    if (errno != EINTR) return false;
  }
  return fd.revents == 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (!InstallSignals()) {
    std::perror("km360r-sim: pipe");
    return 1;
  }
  FILE* log = nullptr;
  if (!options.logPath.empty() && !(log = std::fopen(options.logPath.c_str(), "w"))) {
    std::perror("km360r-sim: log file");
    return 1;
  }
  const unsigned seed = options.seed >= 0 ? static_cast<unsigned>(options.seed) : std::random_device{}();
  meter::SimulatedMeter meter(options.scenario, seed);
  // A hostile meter's line drops after a while and its port comes back a
  // moment later, as a cable pulled and plugged in again.
  std::mt19937 lineRandom(seed ^ 0x5eedu);
  std::uniform_int_distribution<int> lineSeconds(8, 40);
  std::uniform_int_distribution<int> awayMs(300, 2000);
  const int pace = options.scenario.pace;
  Totals totals;
  int status = 0;
  for (bool again = true; again;) {
    again = false;
    PseudoTerminal line;
    if (!line.Open()) {
      std::perror("km360r-sim: pseudo-terminal");
      status = 1;
      break;
    }
    ::fcntl(line.Master(), F_SETFL, ::fcntl(line.Master(), F_GETFL) | O_NONBLOCK);
    PublishedPort port;
    if (!options.portDir.empty() && !port.Publish(options.portDir, options.name, line.SlavePath())) {
      status = 1;
      break;
    }
    if (options.printPath && totals.lines == 0) {
      std::printf("%s\n", line.SlavePath().c_str());
      std::fflush(stdout);
    }
    ++totals.lines;
    std::optional<Clock::time_point> dropAt;
    if (options.scenario.hostile) {
      dropAt = Clock::now() + std::chrono::milliseconds(lineSeconds(lineRandom) * 1000 / pace);
    }
    switch (MeterLine(options, meter, line.Master(), log, totals, dropAt).Serve()) {
      case LineEnd::Signal:
        break;
      case LineEnd::ScenarioHangUp:
        HangUpAfterLastReply(line);
        break;
      case LineEnd::Dropped:
        // Whatever was still on its way is lost with the line.
        line.HangUp();
        ++totals.hangups;
        again = true;
        break;
    }
    line.HangUp();
    WriteTotals(options.statsPath, totals, meter);
    if (again) {
      port.Withdraw();
      again = PauseUnlessSignalled(std::chrono::milliseconds(awayMs(lineRandom) / pace));
    }
  }
  WriteTotals(options.statsPath, totals, meter);
  if (log) std::fclose(log);
  return status;
}
