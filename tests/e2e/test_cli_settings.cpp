// km360r-cli's settings commands against the simulated meter: the exact
// command lines the meter receives, the success text, the meter's refusal,
// and bad values refused before anything is sent.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LinkHarness.h"

namespace e2e {
namespace {

using CommandLines = std::vector<std::string>;

struct SettingCase {
  std::vector<std::string> args;
  CommandLines received;  // after the probe
  const char* out;
};

void PrintTo(const SettingCase& c, std::ostream* os) { *os << c.args[0]; }

const SettingCase kSettings[] = {
    {{"set-clock", "--time", "2026-12-06 09:05:30"}, {"T 26/12/06 09:05:30"}, "Set up successful\n"},
    {{"set-wavelength", "1625"}, {"L 6"}, "Set up successful\n"},
    // The simulated meter starts at 1310 nm.
    {{"calibrate", "-0.50"}, {"B", "C 3 -00.50"}, "1310\nSet up successful\n"},
    {{"set-mode", "reference"}, {"F 1"}, "Set up successful\n"},
    {{"reset", "--yes"}, {"I"}, "Set up successful\n"},
};

class CliSettings : public ::testing::TestWithParam<SettingCase> {
 protected:
  PortDir dir;
  std::vector<std::string> Args(const SettingCase& c) {
    std::vector<std::string> a = {"--language", "1", "--port", dir.Entry("COM3")};
    a.insert(a.end(), c.args.begin(), c.args.end());
    return a;
  }
};

TEST_P(CliSettings, TheMeterReceivesExactlyTheCommandAndTheSuccessIsPrinted) {
  const SettingCase& c = GetParam();
  Sim meter(dir, "COM3");
  ASSERT_TRUE(meter.Published());
  const CliRun run = RunCli(dir, Args(c));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, c.out);
  CommandLines expected = {"?"};
  expected.insert(expected.end(), c.received.begin(), c.received.end());
  EXPECT_EQ(meter.Commands(), expected);
}

TEST_P(CliSettings, ARefusedSettingExitsWithOne) {
  const SettingCase& c = GetParam();
  Sim meter(dir, "COM3", {"--fail-settings"});
  ASSERT_TRUE(meter.Published());
  const CliRun run = RunCli(dir, Args(c));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out.find("Set up successful"), std::string::npos);
  EXPECT_NE(run.err.find("refused"), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Each, CliSettings, ::testing::ValuesIn(kSettings));

// The wordings meters answer a setting with: a refusal may contain "成功", and
// the current wavelength may come as a record of its own before the success.
TEST(CliSettingAnswers, OnlyAnAnswerWithoutWordsOfFailureIsASuccess) {
  const struct {
    const char* answer;  // records, each ending with "$"
    int exitCode;
  } cases[] = {
      {"设置成功\r\n$", 0},
      {"设置失败\r\n$", 1},
      {"设置不成功\r\n$", 1},
      {"设置失败(未成功)\r\n$", 1},
      {"当前波长: 1310nm\r\n$设置成功\r\n$", 0},
  };
  for (const auto& c : cases) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"set-mode", "normal"},
          std::vector<std::string>{"set-clock", "--time", "2026-12-06 09:05:30"}}) {
      PortDir dir;
      Sim meter(dir, "COM3", {"--answer", std::string("F=") + c.answer, "--answer",
                              std::string("T=") + c.answer});
      ASSERT_TRUE(meter.Published());
      std::vector<std::string> a = {"--language", "1", "--port", dir.Entry("COM3")};
      a.insert(a.end(), args.begin(), args.end());
      const CliRun run = RunCli(dir, a);
      EXPECT_EQ(run.exitCode, c.exitCode) << args[0] << " " << c.answer << run.err;
      EXPECT_EQ(run.out == "Set up successful\n", c.exitCode == 0) << args[0] << " " << c.answer;
    }
  }
}

TEST(CliSettingAnswers, CalibrateSendsNothingWhenTheMeterNamedNoWavelengthItHas) {
  const char* const listings[] = {
      "当前波长: 1311nm\r\n以上内容为波长代码\r\n$",
      "当前波长: 850nm\r\n以上内容为波长代码\r\n$",  // "850n": no trailing blank
      "以上内容为波长代码\r\n$",
  };
  for (const char* listing : listings) {
    PortDir dir;
    Sim meter(dir, "COM3", {"--answer", std::string("B=") + listing});
    ASSERT_TRUE(meter.Published());
    const CliRun run =
        RunCli(dir, {"--language", "1", "--port", dir.Entry("COM3"), "calibrate", "+1.05"});
    EXPECT_EQ(run.exitCode, 1) << listing;
    EXPECT_EQ(meter.Commands(), (CommandLines{"?", "B"})) << listing;
    EXPECT_FALSE(run.err.empty()) << listing;
  }
}

TEST(CliSettingsUsage, BadValuesExitWithTwoAndNothingReachesTheMeter) {
  PortDir dir;
  Sim meter(dir, "COM3");
  ASSERT_TRUE(meter.Published());
  const std::vector<std::vector<std::string>> bad = {
      {"calibrate", "+123.05"},  {"calibrate", "+1.5"},         {"calibrate", "1.05"},
      {"set-wavelength", "1000"}, {"set-mode", "relative"},     {"reset"},
      {"set-clock", "--time", "2026-02-30 00:00:00"},           {"calibrate"},
  };
  for (const auto& args : bad) {
    std::vector<std::string> a = {"--port", dir.Entry("COM3")};
    a.insert(a.end(), args.begin(), args.end());
    EXPECT_EQ(RunCli(dir, a).exitCode, 2) << args[0] << " " << (args.size() > 1 ? args[1] : "");
  }
  EXPECT_TRUE(meter.Commands().empty());
}

}  // namespace
}  // namespace e2e
