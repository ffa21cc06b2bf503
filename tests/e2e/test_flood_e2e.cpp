// km360r-cli realtime under a flood of replies far beyond the meter's line
// rate: its memory stays the rows it shows plus a bounded overhead, and it
// still stops on SIGINT.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "LinkHarness.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

// Seconds each flood lasts; KM360R_FLOOD_SECONDS sets another duration (a
// shorter run for slow, instrumented builds). The first second is warm-up (the
// first fifth in an instrumented build). Eleven seconds, ten judged: the
// program shows 20,000 to 60,000 rows a second, as busy as the machine is, and
// a copy of every record kept beside its row (see kBytesPerRow) needs some
// 170,000 to grow past the bound; empty records come in at 100 kB a second
// and more.
int FloodSeconds() {
  const char* s = std::getenv("KM360R_FLOOD_SECONDS");
  const int n = s ? std::atoi(s) : 0;
  return n >= 3 ? n : 11;
}

// The flood really ran: between the first and the last sample the program
// took in more than the meter's line (1,920 bytes a second) carries in two
// minutes.
constexpr long kFloodBytes = 256L * 1024;
// What a shown real-time row may cost, with its share of the table's row
// index: the table keeps a row in about 190 bytes. A copy of every record
// kept beside its row (some 150 bytes more) would go beyond the bound.
// g++ says so with __SANITIZE_ADDRESS__, clang with __has_feature.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KM360R_ADDRESS_CHECKER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(KM360R_ADDRESS_CHECKER)
// The address checker pads every block, and holds freed blocks back (up to
// 256 MB) before reusing them: the program under test gets a small hold-back,
// so that its resident memory shows what it keeps.
constexpr double kBytesPerRow = 384;
constexpr const char* kCheckerOptions = "quarantine_size_mb=8";
constexpr double kHoldBackBytes = 8 << 20;
#else
constexpr double kBytesPerRow = 256;
constexpr const char* kCheckerOptions = nullptr;
constexpr double kHoldBackBytes = 0;
#endif
constexpr double kSlackBytes = 16 << 20;
// A flood of empty records shows nothing, so nothing may grow.
constexpr double kEmptyFloodMarginBytes = (4 << 20) + kHoldBackBytes;

// One number from a /proc/PID file of "key: value" lines; -1 when unreadable.
long ProcValue(pid_t pid, const char* file, const std::string& key) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/" + file);
  for (std::string k; in >> k;) {
    long v = 0;
    if (k == key && in >> v) return v;
    in.ignore(1 << 16, '\n');
  }
  return -1;
}

struct Sample {
  double rssBytes;
  long rows;       // table rows printed so far
  long bytesRead;  // what the process has read, the flood almost alone
};

struct FloodRun {
  std::vector<Sample> samples;  // one a second, after the warm-up
  // The sample memory is judged from: the first, or in an instrumented build,
  // which is still settling its allocator's caches after the warm-up, the
  // first taken once a third of the flood has passed.
  size_t settled = 0;
  bool stopped = false;         // ended within the bound after SIGINT
  int exitCode = -1;
  std::string err;
};

// Runs `km360r-cli realtime` against a meter flooding with `floodSwitch`,
// samples it once a second, then interrupts it.
FloodRun RunFlood(const PortDir& dir, const std::string& floodSwitch) {
  FloodRun run;
  Sim meter(dir, "COM3", {floodSwitch});
  if (!meter.Published()) return run;
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) return run;
  const std::string errPath = dir.Entry("flood.err");
  std::string checkerOptions;
  if (kCheckerOptions) {
    const char* given = std::getenv("ASAN_OPTIONS");
    if (given) checkerOptions = std::string(given) + ":";
    checkerOptions += kCheckerOptions;
  }
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(out[1], 1);
    ::dup2(err, 2);
    if (kCheckerOptions) ::setenv("ASAN_OPTIONS", checkerOptions.c_str(), 1);
    ::execl(KM360R_CLI_PATH, KM360R_CLI_PATH, "--language", "1", "realtime", nullptr);
    ::_exit(127);
  }
  if (pid < 0) {  // kill(-1, ...) would reach every process on the machine
    std::perror("fork");
    std::abort();
  }
  ::close(out[1]);
  // The rows are counted as they are printed (a line each, after the header).
  std::atomic<long> lines{0};
  std::thread reader([&] {
    char buf[1 << 16];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;) {
      lines += std::count(buf, buf + n, '\n');
    }
  });

  const int seconds = FloodSeconds();
  const int warmUp = kCheckerOptions ? std::max(1, seconds / 5) : 1;
  const int settledFrom = kCheckerOptions ? std::max(warmUp, seconds / 3) : warmUp;
  for (int s = 1; s <= seconds; ++s) {
    std::this_thread::sleep_for(1s);
    if (s < warmUp) continue;
    if (s < settledFrom) run.settled = run.samples.size() + 1;
    run.samples.push_back({ProcValue(pid, "status", "VmRSS:") * 1024.0,
                           std::max(0L, lines.load() - 1), ProcValue(pid, "io", "rchar:")});
  }

  ::kill(pid, SIGINT);
  // Generous: the process has to print and end, not to finish the flood.
  const auto until = Clock::now() + 20s;
  int status = 0;
  pid_t ended = 0;
  while ((ended = ::waitpid(pid, &status, WNOHANG)) == 0 && Clock::now() < until) {
    std::this_thread::sleep_for(10ms);
  }
  run.stopped = ended == pid;
  if (!run.stopped) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
  }
  reader.join();
  ::close(out[0]);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.err = ReadFile(errPath);
  return run;
}

// The figures of a run, for the log.
std::string Figures(const FloodRun& run) {
  std::string s;
  for (const Sample& x : run.samples) {
    s += std::to_string(static_cast<long>(x.rssBytes / 1024)) + " kB/" + std::to_string(x.rows) +
         " rows  ";
  }
  return s;
}

TEST(FloodE2E, MemoryStaysTheShownRowsAndTheProgramStillStopsOnInterrupt) {
  PortDir dir;
  struct Case {
    const char* floodSwitch;
    bool showsRows;
  };
  for (const Case& c : {Case{"--flood", true}, Case{"--flood-empty", false}}) {
    const FloodRun run = RunFlood(dir, c.floodSwitch);
    ASSERT_GE(run.samples.size(), 2u) << c.floodSwitch;
    SCOPED_TRACE(std::string(c.floodSwitch) + ": " + Figures(run));
    EXPECT_TRUE(run.stopped);
    EXPECT_EQ(run.exitCode, 128 + SIGINT) << run.err;  // stopped as asked

    const Sample& first = run.samples.front();
    const Sample& last = run.samples.back();
    EXPECT_GE(last.bytesRead - first.bytesRead, kFloodBytes);
    ASSERT_LT(run.settled, run.samples.size());
    const Sample& settled = run.samples[run.settled];
    const double grown = last.rssBytes - settled.rssBytes;
    if (c.showsRows) {
      EXPECT_GT(last.rows, first.rows);
      EXPECT_LE(grown, (last.rows - settled.rows) * kBytesPerRow + kSlackBytes);
    } else {
      EXPECT_EQ(last.rows, 0);
      EXPECT_LE(grown, kEmptyFloodMarginBytes);
    }
  }
}

}  // namespace
}  // namespace e2e
