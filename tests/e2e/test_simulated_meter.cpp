// km360r-sim's scenarios as the program's serial channel sees them.
#include <gtest/gtest.h>

#include <filesystem>

#include "../unit/PortDir.h"
#include "SerialTestSupport.h"
#include "common/Gbk.h"
#include "common/GbkKeywords.h"
#include "common/TextRules.h"
#include "device/PortNames.h"

namespace e2e {

namespace {

// Records as the reply assembly cuts them: everything up to and including "$".
std::vector<std::string> Records(const std::string& received) {
  std::vector<std::string> records;
  size_t start = 0;
  for (size_t end; (end = received.find('$', start)) != std::string::npos; start = end + 1) {
    records.push_back(received.substr(start, end - start + 1));
  }
  return records;
}

class SimulatedMeterTest : public ::testing::Test {
 protected:
  // Connects to a meter started with `args`.
  void Connect(std::vector<std::string> args) {
    meter = std::make_unique<SimMeter>(std::move(args));
    ASSERT_FALSE(meter->Path().empty());
    ASSERT_TRUE(OpenMeterPort(channel, &owner, meter->Path()));
    ASSERT_TRUE(channel.StartMonitor());
  }
  // Sends `command` and collects what arrives until `done` holds for it.
  std::string Exchange(const std::string& command, const std::function<bool(const std::string&)>& done) {
    owner.received.clear();
    channel.Send(command);
    loop.RunUntil([&] { return done(owner.received); }, kGuardMs);
    return owner.received;
  }
  // What arrives within a short while after `command` (for commands the meter ignores).
  std::string Quiet(const std::string& command) {
    owner.received.clear();
    channel.Send(command);
    loop.RunFor(300);
    return owner.received;
  }
  static std::function<bool(const std::string&)> Contains(std::string_view marker) {
    return [marker](const std::string& r) { return text::Contains(r, marker) && r.back() == '$'; };
  }

  EventLoop loop;
  LoopOwner owner{loop};
  const std::unique_ptr<ISerialPort> channelPort = NewSerialPort();
  ISerialPort& channel = *channelPort;
  std::unique_ptr<SimMeter> meter;
};

TEST_F(SimulatedMeterTest, PublishesItsPortForTheScanAndRemovesItWhenTerminated) {
  ScopedPortDir dir;
  meter = std::make_unique<SimMeter>(std::vector<std::string>{"--port-dir", dir.Path(), "--name", "COM7"});
  ASSERT_FALSE(meter->Path().empty());
  const auto candidates = SystemPortList().Candidates();
  ASSERT_EQ(candidates.size(), 1u);
  EXPECT_EQ(candidates[0].name, "COM7");
  ASSERT_TRUE(OpenMeterPort(channel, &owner, SystemPortList().Resolve("COM7")));
  ASSERT_TRUE(channel.StartMonitor());
  EXPECT_EQ(Exchange("?\r", [](const std::string& r) { return !r.empty(); }), "?");
  channel.StopMonitor();

  meter.reset();  // SIGTERM
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir.Entry("COM7"))));
}

TEST_F(SimulatedMeterTest, HistoryWithEmptySlotsEndsWithItsMarker) {
  Connect({"--history-count", "6", "--empty-slots"});
  const auto records = Records(Exchange("H\r", Contains(gbk::kHistoryEnd)));
  ASSERT_EQ(records.size(), 7u);
  for (size_t i = 0; i < 6; ++i) {
    const std::string& r = records[i];
    ASSERT_TRUE(text::Contains(r, gbk::kWave));
    const std::string_view time = text::CutAt(text::From(r, text::Pos(r, gbk::kTime) + 10), "\r");
    EXPECT_EQ(text::Contains(time, "00/00/00"), i == 2 || i == 5) << time;
  }
  EXPECT_TRUE(text::Contains(records[6], gbk::kHistoryEnd));
}

TEST_F(SimulatedMeterTest, AHistoryThatStopsHalfwayAndAMeterThatFallsSilent) {
  Connect({"--history-count", "10", "--history-stop-after", "4", "--no-answer-after", "2"});
  EXPECT_EQ(Exchange("?\r", [](const std::string& r) { return !r.empty(); }), "?");
  Exchange("H\r", [](const std::string& r) { return Records(r).size() >= 4; });
  loop.RunFor(300);
  EXPECT_EQ(Records(owner.received).size(), 4u);
  EXPECT_FALSE(text::Contains(owner.received, gbk::kHistoryEnd));
  // Two replies given: from now on the line stays up but nothing comes back.
  EXPECT_EQ(Quiet("?\r"), "");
  EXPECT_EQ(meter->Log(), "?\nH\n?\n");
}

TEST_F(SimulatedMeterTest, SilentAndProbeOnlyMeters) {
  Connect({"--probe-only"});
  EXPECT_EQ(Exchange("?\r", [](const std::string& r) { return !r.empty(); }), "?");
  EXPECT_EQ(Quiet("D\r"), "");
  channel.StopMonitor();

  Connect({"--silent"});
  EXPECT_EQ(Quiet("?\r"), "");
  EXPECT_EQ(meter->Log(), "?\n");
}

TEST_F(SimulatedMeterTest, RefusedSettingsStillReportTheCurrentWavelength) {
  Connect({"--fail-settings"});
  for (const char* command : {"T 24/05/06 10:20:30\r", "F 1\r", "I\r"}) {
    const std::string reply = Exchange(command, [](const std::string& r) { return !r.empty() && r.back() == '$'; });
    EXPECT_FALSE(text::Contains(reply, gbk::kSuccess)) << command;
  }
  const std::string reply = Exchange("L 5\r", Contains(gbk::kCurrentWavelength));
  EXPECT_FALSE(text::Contains(reply, gbk::kSuccess));
  EXPECT_EQ(text::Mid(reply, text::Pos(reply, gbk::kCurrentWavelength) + 10, 4), "1310");
}

TEST_F(SimulatedMeterTest, SettingsChangeWhatTheMeterReports) {
  Connect({});
  std::string reply = Exchange("L 0\r", Contains(gbk::kSuccess));
  EXPECT_EQ(text::Mid(reply, text::Pos(reply, gbk::kCurrentWavelength) + 10, 4), "850 ");
  reply = Exchange("C 0 +01.05\r", Contains(gbk::kSuccess));
  EXPECT_EQ(text::Mid(reply, text::Pos(reply, gbk::kCurrentWavelength) + 10, 4), "850 ");
  EXPECT_TRUE(text::Contains(Exchange("B\r", Contains(gbk::kWavelengthCodesEnd)), gbk::kCurrentWavelength));
  Exchange("T 12/05/06 10:20:30\r", Contains(gbk::kSuccess));
  reply = Exchange("D\r", Contains(gbk::kTime));
  EXPECT_EQ(text::CutAt(text::From(reply, text::Pos(reply, gbk::kWavelength) + 10), "nm"), "850");
  EXPECT_EQ(text::Mid(reply, text::Pos(reply, gbk::kTime) + 10, 9), "12/05/06 ");
  const auto params = Records(Exchange("R\r", [](const std::string& r) { return Records(r).size() == 7; }));
  ASSERT_EQ(params.size(), 7u);
  EXPECT_TRUE(text::Contains(params[6], gbk::kRange7Cal));
  // Code 99 is what the program sends when it does not know the wavelength.
  EXPECT_FALSE(text::Contains(Exchange("C 99 +01.05\r", Contains(gbk::kCurrentWavelength)), gbk::kSuccess));
}

TEST_F(SimulatedMeterTest, NoisyLineAndRecordsSplitIntoSmallWrites) {
  Connect({"--garbage", "--bytes-per-write", "3", "--byte-delay-us", "200"});
  for (int i = 0; i < 3; ++i) {
    const std::string reply = Exchange("D\r", Contains(gbk::kTime));
    ASSERT_EQ(Records(reply).size(), 1u);
    EXPECT_EQ(reply.find('?'), std::string::npos);
    EXPECT_NE(reply.rfind(gbk::FromUtf8("实时测量"), 0), 0u);  // noise came first
    const int dbm = text::LeadingInt(text::Mid(reply, text::Pos(reply, gbk::kLog) + 10, 6));
    EXPECT_LE(dbm, -10);
    EXPECT_GE(dbm, -30);
  }
}

}  // namespace

}  // namespace e2e
