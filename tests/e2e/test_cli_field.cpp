// The field options of km360r-cli realtime against the simulated meter:
// statistics, the relative value, the verdict with its exit code, and a live
// log that keeps every row shown even when the run is killed.
#include <gtest/gtest.h>

#include "LinkHarness.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

const std::vector<std::string> kFourReadings = {"--readings", "-20.00,-21.00,-19.50,-30.00"};

class CliField : public ::testing::Test {
 protected:
  PortDir dir;
};

TEST_F(CliField, RelativeValuesVerdictsStatisticsAndTheLog) {
  Sim meter(dir, "COM3", kFourReadings);
  ASSERT_TRUE(meter.Published());
  const std::string log = dir.Entry("field.csv");
  const CliRun run = RunCli(dir, {"--language", "1", "--port", dir.Entry("COM3"), "realtime", "--count", "4",
                                  "--stats", "--reference", "-20", "--limits", "-3,1", "--log", log});
  EXPECT_EQ(run.exitCode, 4) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 5u) << run.out;
  const std::vector<std::string> header = SplitTabs(lines[0]);
  ASSERT_EQ(header.size(), 8u);
  EXPECT_EQ(header[6], "Relative (dB)");
  EXPECT_EQ(header[7], "Result");
  const char* expected[][2] = {{"+0.00", "PASS"}, {"-1.00", "PASS"}, {"+0.50", "PASS"}, {"-10.00", "FAIL"}};
  for (size_t i = 0; i < 4; ++i) {
    const std::vector<std::string> cells = SplitTabs(lines[i + 1]);
    ASSERT_EQ(cells.size(), 8u) << lines[i + 1];
    EXPECT_EQ(cells[6], expected[i][0]);
    EXPECT_EQ(cells[7], expected[i][1]);
  }
  EXPECT_NE(run.err.find("count 4  min -30.00 dBm  max -19.50 dBm  mean -21.23 dBm  span 10.50 dB\n"),
            std::string::npos)
      << run.err;
  const std::vector<std::string> logged = Lines(ReadFile(log));
  ASSERT_EQ(logged.size(), 5u);
  EXPECT_EQ(logged[0], "time,wavelength_nm,power_dbm,linear_power,relative_db,result");
  EXPECT_NE(logged[4].find(",1310,-30.00,1.00uW,-10.00,FAIL"), std::string::npos) << logged[4];
}

TEST_F(CliField, ChineseColumnTitlesAndNoFailureWithinTheLimits) {
  Sim meter(dir, "COM3", kFourReadings);
  ASSERT_TRUE(meter.Published());
  const CliRun run = RunCli(dir, {"--language", "0", "--port", dir.Entry("COM3"), "realtime", "--count", "3",
                                  "--reference", "-20", "--limits", "-3,1"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const std::vector<std::string> header = SplitTabs(Lines(run.out).at(0));
  EXPECT_EQ(header.at(header.size() - 2), "相对值(dB)");
  EXPECT_EQ(header.back(), "判定");
}

TEST_F(CliField, AKilledRunLeavesEveryRowShownAndTheNextRunAppends) {
  Sim meter(dir, "COM3", kFourReadings);
  ASSERT_TRUE(meter.Published());
  const std::string log = dir.Entry("kept.csv");
  const std::vector<std::string> args = {"--language", "1", "--port", dir.Entry("COM3"), "realtime", "--log", log};
  const CliRun killed = RunCli(dir, args, [&](pid_t pid, const std::string&) {
    const auto until = Clock::now() + 20s;
    while (Clock::now() < until && Lines(ReadFile(log)).size() < 3) std::this_thread::sleep_for(5ms);
    ::kill(pid, SIGKILL);
  });
  EXPECT_EQ(killed.exitCode, 128 + SIGKILL);
  std::vector<std::string> logged = Lines(ReadFile(log));
  ASSERT_EQ(logged.size(), 3u);
  // Every column, whatever the options: runs with other options append to
  // one file under one header.
  EXPECT_EQ(logged[0], "time,wavelength_nm,power_dbm,linear_power,relative_db,result");

  std::vector<std::string> more = args;
  more.insert(more.end(), {"--count", "1", "--reference", "-20"});
  EXPECT_EQ(RunCli(dir, more).exitCode, 0);
  logged = Lines(ReadFile(log));
  ASSERT_EQ(logged.size(), 4u);
  EXPECT_EQ(logged[0].rfind("time,", 0), 0u);
  EXPECT_EQ(logged[3].rfind("time,", 0), std::string::npos);

  // Python's csv module and LibreOffice read the same records, each printed
  // as one line with its fields joined by "|".
  const std::string python = ShellOutput(
      "python3 -c 'import csv,sys; [print(\"|\".join(r)) for r in csv.reader(open(sys.argv[1], newline=\"\"))]' '" +
          log + "'",
      dir.Entry("python.out"));
  const std::vector<std::string> records = Lines(python);
  ASSERT_EQ(records.size(), 4u) << python;
  EXPECT_EQ(records[1].substr(records[1].find('|')), "|1310|-20.00|10.00uW||");
  EXPECT_EQ(records[2].substr(records[2].find('|')), "|1310|-21.00|7.94uW||");
  // The run with a reference fills the relative value under the same header.
  std::vector<std::string> third;
  std::istringstream fields(records[3] + "|");
  for (std::string f; std::getline(fields, f, '|');) third.push_back(f);
  ASSERT_EQ(third.size(), 6u) << records[3];
  char relative[16];
  std::snprintf(relative, sizeof relative, "%+.2f", std::stod(third[2]) + 20);
  EXPECT_EQ(third[4], relative) << records[3];
  EXPECT_EQ(third[5], "") << records[3];
  const std::string profile = "-env:UserInstallation=file://" + dir.Entry("office");
  const std::string office = ShellOutput(
      "cd '" + dir.Path() + "' && soffice " + profile +
          " --headless --convert-to 'csv:Text - txt - csv (StarCalc):124,0,76,1' --outdir converted kept.csv "
          ">/dev/null && cat converted/kept.csv",
      dir.Entry("office.out"));
  const std::vector<std::string> cells = Lines(office);
  ASSERT_EQ(cells.size(), 4u) << office;
  // The powers are numbers to the spreadsheet.
  EXPECT_EQ(cells[1].substr(cells[1].find('|')), "|1310|-20|10.00uW||");
  EXPECT_EQ(cells[2].substr(cells[2].find('|')), "|1310|-21|7.94uW||");
}

TEST_F(CliField, ALogDeletedDuringTheRunIsToldOnceAndStartedAnewAtItsPath) {
  Sim meter(dir, "COM3", kFourReadings);
  ASSERT_TRUE(meter.Published());
  const std::string log = dir.Entry("gone.csv");
  const CliRun run = RunCli(dir, {"--language", "1", "--port", dir.Entry("COM3"), "realtime", "--count", "4",
                                  "--log", log},
                            [&](pid_t, const std::string&) {
                              const auto until = Clock::now() + 20s;
                              while (Clock::now() < until && Lines(ReadFile(log)).size() < 2) {
                                std::this_thread::sleep_for(5ms);
                              }
                              std::filesystem::remove(log);
                            });
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const std::string told = "The log file was deleted or replaced; a new one was started: " + log + "\n";
  const size_t at = run.err.find(told);
  EXPECT_NE(at, std::string::npos) << run.err;
  EXPECT_EQ(run.err.find(told, at + 1), std::string::npos) << run.err;
  const std::vector<std::string> logged = Lines(ReadFile(log));
  ASSERT_GE(logged.size(), 2u);
  EXPECT_EQ(logged[0], "time,wavelength_nm,power_dbm,linear_power,relative_db,result");
  EXPECT_NE(logged.back().find(",1310,-30.00,1.00uW,,"), std::string::npos) << logged.back();
}

}  // namespace
}  // namespace e2e
