// The link, the reply watchdog and the reading commands over the real serial
// path: pseudo-terminals, the simulated meter in its own process, and the
// command-line companion.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "LinkHarness.h"
#include "common/Gbk.h"
#include "common/TextRules.h"
#include "table/DataFiles.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

const char* kLost = "Equipment disconnected,Please check whether the equipment auto off and Re-connect";

class LinkE2E : public ::testing::Test {
 protected:
  PortDir dir;
};

size_t CountOf(const std::vector<std::string>& v, const std::string& s) {
  return static_cast<size_t>(std::count(v.begin(), v.end(), s));
}

// Every cell of the table, row by row.
std::vector<std::vector<std::string>> Cells(const TableModel& model) {
  std::vector<std::vector<std::string>> rows;
  for (int r = 0; r < model.RowCount(); ++r) {
    std::vector<std::string> row;
    row.reserve(static_cast<size_t>(model.ColumnCount()));
    for (int c = 0; c < model.ColumnCount(); ++c) row.emplace_back(model.Cell(r, c));
    rows.push_back(row);
  }
  return rows;
}

// ---------------------------------------------------------------------------
// The port scan

TEST_F(LinkE2E, ASilentPortGetsThreeProbesThenTheNextPortWins) {
  SilentLine silent(dir, "COM3");
  Sim meter(dir, "COM4");
  Sim later(dir, "COM5");
  ASSERT_TRUE(meter.Published() && later.Published());
  Program p;
  ASSERT_TRUE(p.Connect());
  EXPECT_EQ(p.service.ConnectedPort(), dir.Entry("COM4"));
  EXPECT_EQ(p.window.View().linkImage, toolbar_image::kConnected);
  p.RunUntil([&] { return p.window.View().statusNote == "Equipment connected"; }, 5000);
  EXPECT_EQ(p.window.View().statusNote, "Equipment connected");

  EXPECT_EQ(silent.Received(), "?\r?\r?\r");
  const auto probes = silent.Probes();
  ASSERT_EQ(probes.size(), 3u);
  // The program waits 500 ms after each probe before it looks for the answer.
  EXPECT_GE(probes[1] - probes[0], 300ms);
  EXPECT_GE(probes[2] - probes[1], 300ms);
  EXPECT_EQ(meter.Commands(), std::vector<std::string>{"?"});
  EXPECT_TRUE(later.Commands().empty());  // the first answering port wins
  EXPECT_TRUE(p.host.Boxes().empty());
}

TEST_F(LinkE2E, AnAnsweredProbeConnectsWithoutWaitingOutItsInterval) {
  Sim meter(dir, "COM3");
  ASSERT_TRUE(meter.Published());
  SessionTimings timings;
  timings.probeIntervalMs = 60 * 60 * 1000;  // far beyond the harness's wait
  Program p(timings);
  ASSERT_TRUE(p.Connect());
  EXPECT_EQ(meter.Commands(), std::vector<std::string>{"?"});
}

TEST_F(LinkE2E, Com1AndCom2AreNeverProbedEvenWithAMeterThere) {
  Sim com1(dir, "COM1");
  Sim com2(dir, "COM2");
  Program p;
  EXPECT_FALSE(p.Connect());
  EXPECT_EQ(p.BoxTexts(), std::vector<std::string>{"Connecting failed"});
  EXPECT_TRUE(com1.Commands().empty());
  EXPECT_TRUE(com2.Commands().empty());
}

TEST_F(LinkE2E, NoAnsweringPortMeansConnectingFailed) {
  Sim mute(dir, "COM3", {"--silent"});
  Program p;
  EXPECT_FALSE(p.Connect());
  EXPECT_EQ(p.BoxTexts(), std::vector<std::string>{"Connecting failed"});
  EXPECT_EQ(p.window.View().linkImage, toolbar_image::kDisconnected);
  EXPECT_FALSE(p.service.LinkBusy());
  p.RunUntil([&] { return p.window.View().statusNote == "Equipment disconnected"; }, 5000);
  EXPECT_EQ(p.window.View().statusNote, "Equipment disconnected");
  EXPECT_EQ(CountOf(mute.Commands(), "?"), 3u);
}

TEST_F(LinkE2E, PortOverrideProbesOnlyThatDevice) {
  Sim other(dir, "COM3");
  Sim chosen(dir, "COM7");
  {
    Program p;
    p.service.SetPortOverride(dir.Entry("COM7"));
    ASSERT_TRUE(p.Connect());
    EXPECT_EQ(p.service.ConnectedPort(), dir.Entry("COM7"));
  }  // the program ends: its port is free again

  // A port name stands for its device.
  Program byName;
  byName.service.SetPortOverride("COM7");
  ASSERT_TRUE(byName.Connect());
  EXPECT_EQ(byName.service.ConnectedPort(), dir.Entry("COM7"));
  EXPECT_TRUE(other.Commands().empty());
}

// ---------------------------------------------------------------------------
// Real-time reading

TEST_F(LinkE2E, RealTimeGivesNumberedRowsOnceAPollPeriodAndStopsOnTheSecondPress) {
  // The poll's period is the session's (a second unless given): a tenth here.
  const SessionTimings timings = TenfoldPace();
  const std::chrono::milliseconds period(timings.pollPeriodMs);
  Sim meter(dir, "COM3");
  Program p(timings);
  ASSERT_TRUE(p.Connect());
  const auto start = Clock::now();
  p.service.OnReadRealTime();
  ASSERT_TRUE(p.RunUntil([&] { return p.table.Model().RowCount() >= 5; }, 15000));
  const auto took = Clock::now() - start;
  p.service.OnReadRealTime();
  EXPECT_FALSE(p.service.RealTime());
  p.loop.RunFor(static_cast<int>(3 * period.count()));  // further polls would have come by now

  const TableModel& t = p.table.Model();
  ASSERT_EQ(t.RowCount(), 5);
  for (int r = 0; r < 5; ++r) {
    EXPECT_EQ(t.Cell(r, 0), std::to_string(r + 1));
    EXPECT_FALSE(t.Cell(r, 3).empty());
    // The time field ends at CR: raw mode hands the CR over untranslated.
    EXPECT_EQ(t.Cell(r, 4).substr(0, 2), "20") << t.Cell(r, 4);
  }
  ASSERT_GE(p.records.size(), 5u);
  EXPECT_NE(p.records[0].find('\r'), std::string::npos);
  EXPECT_EQ(CountOf(meter.Commands(), "D"), 5u);
  EXPECT_GE(took, 7 * period / 2);  // one poll a period
  EXPECT_EQ(p.graph.NextRow(), 6);  // five points drawn
  EXPECT_TRUE(p.host.Boxes().empty());
  EXPECT_FALSE(p.window.View().realTimeRunning);
}

TEST_F(LinkE2E, AMeterGoingSilentDuringRealTimeIsLostAfterTwoWatchdogPeriods) {
  // The probe and two readings are answered, then nothing.
  Sim meter(dir, "COM3", {"--no-answer-after", "3"});
  Program p(TenfoldPoll());
  ASSERT_TRUE(p.Connect());
  p.service.OnReadRealTime();
  ASSERT_TRUE(p.RunUntil([&] { return !p.host.Boxes().empty(); }, 15000));
  EXPECT_EQ(p.BoxTexts(), std::vector<std::string>{kLost});
  EXPECT_EQ(p.table.Model().RowCount(), 2);
  EXPECT_FALSE(p.service.Connected());
  EXPECT_FALSE(p.service.RealTime());
  EXPECT_FALSE(p.service.Meter().AwaitingReply());
  EXPECT_FALSE(p.loop.IsTimerRunning(TIMER_POLL));
  EXPECT_FALSE(p.loop.IsTimerRunning(TIMER_REPLY_WATCHDOG));
  EXPECT_FALSE(p.window.View().realTimeRunning);
  EXPECT_EQ(p.window.View().saveImage, toolbar_image::kSaveAfterRead);
  EXPECT_EQ(p.window.View().linkImage, toolbar_image::kDisconnected);
  p.RunUntil([&] { return !p.channel->IsThreadAlive(); }, 5000);
  EXPECT_FALSE(p.channel->IsThreadAlive());  // the port is closed
  // The status note is a posted message: let it arrive.
  p.RunUntil([&] { return p.window.View().statusNote == "Equipment disconnected"; }, 5000);
  EXPECT_EQ(p.window.View().statusNote, "Equipment disconnected");
}

TEST_F(LinkE2E, PullingTheLineDuringRealTimeShowsTheBoxThenDisconnects) {
  // The line goes down after the probe and three readings.
  Sim meter(dir, "COM3", {"--hangup-after", "4"});
  Program p(TenfoldPoll());
  ASSERT_TRUE(p.Connect());
  p.service.OnReadRealTime();
  ASSERT_TRUE(p.RunUntil([&] { return !p.host.Boxes().empty(); }, 15000));
  EXPECT_EQ(p.BoxTexts(), std::vector<std::string>{"Equipment disconnected"});
  p.RunUntil([&] { return !p.service.Connected(); }, 5000);
  EXPECT_FALSE(p.service.Connected());
  EXPECT_FALSE(p.service.RealTime());
  EXPECT_EQ(p.window.View().linkImage, toolbar_image::kDisconnected);
  // The reading sent as the line went down may be lost with it, as on a
  // pulled cable.
  EXPECT_GE(p.table.Model().RowCount(), 2);
  EXPECT_LE(p.table.Model().RowCount(), 3);
  // Nothing further: no watchdog box follows.
  p.loop.RunFor(2500);
  EXPECT_EQ(p.host.Boxes().size(), 1u);
}

// ---------------------------------------------------------------------------
// History

TEST_F(LinkE2E, AHistoryFlowingLongerThanTwoWatchdogPeriodsCompletes) {
  // 21 records and the end record, 960 ms apart: about 21 s, more than the
  // 20 s that two history watchdog periods last (both at ten times the pace).
  Sim meter(dir, "COM3", {"--history-count", "21", "--history-delay-ms", "960", "--pace", "10"});
  Program p(TenfoldPace());
  ASSERT_TRUE(p.Connect());
  p.service.OnReadHistory();
  EXPECT_TRUE(p.service.History());
  ASSERT_TRUE(p.RunUntil([&] { return !p.service.History(); }, 60000));
  EXPECT_EQ(p.BoxTexts(), std::vector<std::string>{"History data reading finished"});
  EXPECT_TRUE(p.service.Connected());
  p.RunUntil([&] { return p.window.View().statusNote == "Equipment connected"; }, 5000);
  EXPECT_EQ(p.window.View().statusNote, "Equipment connected");
  EXPECT_EQ(p.table.Model().RowCount(), 21);
  EXPECT_EQ(p.table.Model().Cell(20, 0), "21");
  EXPECT_FALSE(p.loop.IsTimerRunning(TIMER_REPLY_WATCHDOG));
}

TEST_F(LinkE2E, AHistoryThatStopsMidWayIsLost) {
  Sim meter(dir, "COM3", {"--history-count", "40", "--history-stop-after", "5", "--pace", "10"});
  Program p(TenfoldPace());
  ASSERT_TRUE(p.Connect());
  p.service.OnReadHistory();
  ASSERT_TRUE(p.RunUntil([&] { return !p.host.Boxes().empty(); }, 40000));
  EXPECT_EQ(p.BoxTexts(), std::vector<std::string>{kLost});
  EXPECT_FALSE(p.service.History());
  EXPECT_FALSE(p.service.Connected());
  EXPECT_EQ(p.table.Model().RowCount(), 5);
}

// ---------------------------------------------------------------------------
// Parameters

TEST_F(LinkE2E, SystemParametersFillTheParameterLayoutLastRecordOnTop) {
  Sim meter(dir, "COM3");
  Program p;
  ASSERT_TRUE(p.Connect());
  p.service.OnReadParams();
  ASSERT_TRUE(p.RunUntil([&] { return p.table.Model().RowCount() >= 7; }, 10000));
  p.loop.RunFor(300);
  const TableModel& t = p.table.Model();
  ASSERT_EQ(t.ColumnCount(), 10);
  EXPECT_EQ(t.Column(0).title, "Wavelength");
  EXPECT_EQ(t.Column(1).title, "Wavelength calibration value");
  EXPECT_EQ(t.Column(9).title, "Range 7 calibration value");
  ASSERT_EQ(t.RowCount(), 7);
  EXPECT_EQ(t.Cell(0, 0).substr(0, 4), "1625");
  EXPECT_EQ(t.Cell(6, 0).substr(0, 3), "850");
  EXPECT_TRUE(p.service.Shown().paramView);
  EXPECT_EQ(p.window.View().tabs, std::vector<std::string>{"Read system parameters"});
  EXPECT_TRUE(p.host.Boxes().empty());
}

// ---------------------------------------------------------------------------
// km360r-cli

TEST_F(LinkE2E, CliScanPrintsTheAnsweringDeviceAndFailsWithoutOne) {
  {
    Sim meter(dir, "COM4");
    const CliRun run = RunCli(dir, {"--language", "1", "scan"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, dir.Entry("COM4") + "\n");
  }
  const CliRun none = RunCli(dir, {"--language", "1", "scan"});
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_EQ(none.err, "Connecting failed\n");
  EXPECT_EQ(none.out, "");
}

TEST_F(LinkE2E, CliRefusesACharacterDeviceThatIsNoSerialPortAsNoMeter) {
  for (const std::string device : {"/dev/null", "/dev/zero", "/dev/urandom"}) {
    const CliRun run = RunCli(dir, {"--language", "1", "--port", device, "scan"});
    EXPECT_EQ(run.exitCode, 1) << device;
    EXPECT_EQ(run.out, "") << device;
    EXPECT_EQ(run.err, "Connecting failed\nkm360r-cli: " + device + " is not a serial port\n");
  }
}

TEST_F(LinkE2E, CliHistoryPrintsTheRowsTheProgramsTableShows) {
  Sim meter(dir, "COM3", {"--history-count", "9", "--empty-slots"});
  const std::string file = dir.Entry("stored.hif");
  const CliRun run = RunCli(dir, {"--language", "1", "history", "--out", file});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "History data reading finished\n");

  // The saved file is composed from the CLI's table: the printed rows, put
  // into a table of the same layout, compose the same bytes.
  Program p;
  p.table.ApplyLayout(Layout::Measurement, 150);
  TableModel& t = p.table.Model();
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 7u);  // header and six rows: three of nine slots are empty
  std::vector<std::string> titles;
  titles.reserve(static_cast<size_t>(t.ColumnCount()));
  for (int c = 0; c < t.ColumnCount(); ++c) titles.push_back(t.Column(c).title);
  EXPECT_EQ(SplitTabs(lines[0]), titles);
  for (size_t r = 1; r < lines.size(); ++r) {
    const std::vector<std::string> cells = SplitTabs(lines[r]);
    ASSERT_EQ(cells.size(), titles.size());
    EXPECT_EQ(cells[0], std::to_string(r));
    const int row = t.InsertRow(t.RowCount(), gbk::FromUtf8(cells[0]));
    for (size_t c = 1; c < cells.size(); ++c) {
      t.SetCell(row, static_cast<int>(c), gbk::FromUtf8(cells[c]));
    }
  }
  EXPECT_EQ(datafile::Compose(t, datafile::FileType::Hif), ReadFile(file));
}

TEST_F(LinkE2E, CliRealTimeLostLineStillSavesTheRowsAndFails) {
  Sim meter(dir, "COM3", {"--hangup-after", "3"});
  const std::string file = dir.Entry("live.ref");
  const CliRun run =
      RunCli(dir, {"--language", "1", "--port", dir.Entry("COM3"), "realtime", "--count", "10",
                   "--out", file});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("Equipment disconnected"), std::string::npos) << run.err;
  // The header and the readings before the line went down (the one sent as
  // it went down may be lost with it).
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_GE(lines.size(), 2u);
  ASSERT_LE(lines.size(), 3u);
  EXPECT_EQ(SplitTabs(lines[0]).size(), 6u);
  EXPECT_EQ(SplitTabs(lines[1])[0], "1");
  Program p;
  ASSERT_EQ(p.table.OpenPath(file).status, FileOutcome::Status::Done);
  EXPECT_EQ(static_cast<size_t>(p.table.Model().RowCount()), lines.size() - 1);
}

TEST_F(LinkE2E, CliParamsAndListingsEndOnTheirMarkers) {
  Sim meter(dir, "COM3");
  const CliRun params = RunCli(dir, {"--language", "1", "params"});
  ASSERT_EQ(params.exitCode, 0) << params.err;
  const std::vector<std::string> lines = Lines(params.out);
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(SplitTabs(lines[0]).size(), 10u);

  const CliRun codes = RunCli(dir, {"--language", "1", "wavelength-codes"});
  ASSERT_EQ(codes.exitCode, 0) << codes.err;
  EXPECT_NE(codes.out.find("以上内容为波长代码"), std::string::npos) << codes.out;

  const CliRun ad = RunCli(dir, {"--language", "1", "ad-values"});
  ASSERT_EQ(ad.exitCode, 0) << ad.err;
  EXPECT_EQ(Lines(ad.out).size(), 9u);  // header and eight ranges
}

TEST_F(LinkE2E, CliUsageAndFileErrorsHaveTheirExitCodes) {
  EXPECT_EQ(RunCli(dir, {"frobnicate"}).exitCode, 2);
  EXPECT_EQ(RunCli(dir, {"realtime", "--count", "zero"}).exitCode, 2);
  EXPECT_EQ(RunCli(dir, {"show"}).exitCode, 2);
  EXPECT_EQ(RunCli(dir, {"--port", "", "scan"}).exitCode, 2);  // not a scan of every port
  const CliRun missing = RunCli(dir, {"--language", "1", "show", dir.Entry("absent.ref")});
  EXPECT_EQ(missing.exitCode, 3);
  EXPECT_FALSE(missing.err.empty());
}

// ---------------------------------------------------------------------------
// Data files with what the meter sent

TEST_F(LinkE2E, HistorySavedDeletedAndOpenedAgainShowsTheSameRows) {
  Sim meter(dir, "COM3", {"--history-count", "9", "--empty-slots"});
  Program p;
  ASSERT_TRUE(p.Connect());
  p.service.OnReadHistory();
  ASSERT_TRUE(p.RunUntil([&] { return !p.service.History(); }, 30000));
  // The records before the end marker are posted messages: let them arrive.
  p.loop.RunFor(300);
  const TableModel& model = p.table.Model();
  ASSERT_GT(model.RowCount(), 0);
  const std::vector<std::vector<std::string>> read = Cells(model);

  // Typed without its extension: the history type's is appended.
  const FileOutcome saved = p.service.SaveFile(dir.Entry("meter-history"), p.service.Shown().dataKind);
  ASSERT_EQ(saved.status, FileOutcome::Status::Done) << saved.message;
  EXPECT_EQ(saved.path, dir.Entry("meter-history.hif"));

  p.host.SetYesNoAnswer(BoxAnswer::Yes);
  p.service.OnDeleteShownData();
  p.loop.RunFor(100);
  EXPECT_EQ(model.RowCount(), 0);
  EXPECT_EQ(model.ColumnCount(), 6);

  ASSERT_EQ(p.service.OpenFile(saved.path).status, FileOutcome::Status::Done);
  ASSERT_EQ(model.RowCount(), static_cast<int>(read.size()));
  for (int r = 0; r < model.RowCount(); ++r) {
    for (int c = 0; c < model.ColumnCount(); ++c) {
      // The opened cells keep the blanks that separate the fields in the file.
      EXPECT_EQ(text::TrimRight(model.Cell(r, c)), read[r][c]) << "row " << r << " column " << c;
    }
  }
}

TEST_F(LinkE2E, ParametersSavedAndOpenedAgainShowTheRowsAsRead) {
  Sim meter(dir, "COM3");
  Program p;
  ASSERT_TRUE(p.Connect());
  p.service.OnReadParams();
  ASSERT_TRUE(p.RunUntil([&] { return p.table.Model().RowCount() >= 7; }, 10000));
  p.loop.RunFor(300);
  const std::vector<std::vector<std::string>> read = Cells(p.table.Model());
  ASSERT_EQ(read.size(), 7u);
  EXPECT_EQ(read[0][0], "1625");  // the number alone, as the meter sends it

  const FileOutcome saved = p.service.SaveFile(dir.Entry("meter-params.syf"), p.service.Shown().dataKind);
  ASSERT_EQ(saved.status, FileOutcome::Status::Done) << saved.message;
  EXPECT_EQ(ReadFile(saved.path).find("nmnm"), std::string::npos);
  Program other;
  ASSERT_EQ(other.service.OpenFile(saved.path).status, FileOutcome::Status::Done);
  EXPECT_EQ(Cells(other.table.Model()), read);
}

}  // namespace
}  // namespace e2e
