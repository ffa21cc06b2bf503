// km360r-cli asked to stop in the middle of a meter command: by SIGINT,
// SIGTERM, SIGHUP, or a reader of its standard output that went away. The rows
// read so far are saved to --out, and the exit code is 128 + the signal.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <tuple>

#include "LinkHarness.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

struct MeterCommand {
  const char* name;
  std::vector<std::string> meterArgs;  // a reply slow enough to stop in the middle
  const char* sent;                    // the command line the meter logs
  const char* extension;               // of the file --out writes
};

const MeterCommand kCommands[] = {
    {"realtime", {}, "D", ".ref"},
    {"history", {"--history-count", "30", "--history-delay-ms", "100"}, "H", ".hif"},
    {"ad-values", {"--bytes-per-write", "1", "--byte-delay-us", "1500"}, "A", ".hif"},
    {"params", {"--bytes-per-write", "1", "--byte-delay-us", "1500"}, "R", ".syf"},
};

void PrintTo(const MeterCommand& command, std::ostream* os) { *os << command.name; }

// SIGPIPE stands for the reader of standard output closing its end of a pipe.
const int kStops[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

int SavedRows(const std::string& file) {
  Program p;
  const FileOutcome opened = p.table.OpenPath(file);
  return opened.status == FileOutcome::Status::Done ? p.table.Model().RowCount() : -1;
}

class CliStop : public ::testing::TestWithParam<std::tuple<MeterCommand, int>> {
 protected:
  PortDir dir;
};

TEST_P(CliStop, SavesWhatArrivedAndExitsWithTheSignalsCode) {
  // Named copies, not structured bindings: the lambdas below use them.
  const MeterCommand& command = std::get<0>(GetParam());
  const int stop = std::get<1>(GetParam());
  Sim meter(dir, "COM3", command.meterArgs);
  ASSERT_TRUE(meter.Published());
  const std::string file = dir.Entry(std::string("stopped") + command.extension);
  const std::vector<std::string> args = {"--language", "1", "--port", dir.Entry("COM3"),
                                         command.name, "--out", file};
  // Waits until part of the reply has reached the CLI.
  const auto awaitReply = [&] {
    const auto until = Clock::now() + 15s;
    while (Clock::now() < until) {
      const std::vector<std::string> sent = meter.Commands();
      if (std::find(sent.begin(), sent.end(), command.sent) != sent.end()) break;
      std::this_thread::sleep_for(10ms);
    }
    std::this_thread::sleep_for(800ms);
  };

  if (stop == SIGPIPE) {
    int out[2];
    ASSERT_EQ(::pipe2(out, O_CLOEXEC), 0);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const pid_t pid = StartCli(args, out[1], null);
    ::close(out[1]);
    ::close(null);
    awaitReply();
    ::close(out[0]);  // unread: the next write finds no reader
    EXPECT_EQ(WaitCli(pid), 128 + SIGPIPE);
    EXPECT_GE(SavedRows(file), 1);
    return;
  }

  const CliRun run = RunCli(dir, args, [&](pid_t pid, const std::string&) {
    awaitReply();
    ::kill(pid, stop);
  });
  EXPECT_EQ(run.exitCode, 128 + stop) << run.err;
  const int printedRows = static_cast<int>(Lines(run.out).size()) - 1;
  EXPECT_GE(printedRows, 1);
  EXPECT_EQ(SavedRows(file), printedRows);
}

std::string CaseName(const ::testing::TestParamInfo<CliStop::ParamType>& info) {
  const auto& [command, stop] = info.param;
  std::string name = command.name;
  name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
  return name + "_" + sigabbrev_np(stop);
}

INSTANTIATE_TEST_SUITE_P(EveryStop, CliStop,
                         ::testing::Combine(::testing::ValuesIn(kCommands),
                                            ::testing::ValuesIn(kStops)),
                         CaseName);

}  // namespace
}  // namespace e2e
