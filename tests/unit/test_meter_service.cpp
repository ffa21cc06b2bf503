// The meter service against a fake window: guards, what each command shows,
// the reply watchdog, the assembled replies and the link.
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <tuple>

#include "table/DataFiles.h"
#include "tests/unit/FakeFrame.h"
#include "tests/unit/FileBytes.h"

namespace {

// No point of the graph holds a value.
bool Blank(const GraphPage& graph) {
  for (const ChartModel::Row& row : graph.Chart().Rows()) {
    if (row.value) return false;
  }
  return true;
}

// A folder of its own under the test's temporary folder, removed at the end.
class TempDir {
 public:
  TempDir() {
    std::string pattern = ::testing::TempDir() + "km360r_frame_XXXXXX";
    m_path = ::mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TempDir() { std::filesystem::remove_all(m_path); }
  std::string File(const std::string& name) const { return m_path + "/" + name; }

 private:
  std::string m_path;
};

const char* kLost = "Equipment disconnected,Please check whether the equipment auto off and Re-connect";

// ---------------------------------------------------------------------------
// Guards

TEST(MeterService, ReadingCommandsNeedAConnectionFirst) {
  Frame f;
  f.service.OnReadParams();
  EXPECT_TRUE(f.service.Shown().paramView);  // set also when refused
  f.service.OnReadRealTime();
  EXPECT_FALSE(f.service.Shown().paramView);  // cleared also when refused
  f.service.OnReadHistory();
  f.service.OnReadAdValues();
  f.service.OnReadWavelengthCodes();
  f.service.OnReset();
  EXPECT_EQ(f.Boxes(), std::vector<std::string>(6, "Please connect first"));
  EXPECT_EQ(f.window.boxes[0].caption, "Massage prompt");
  EXPECT_TRUE(f.runtime.timers.empty());
  EXPECT_EQ(f.runtime.PendingPosts(), 0u);
  EXPECT_EQ(f.service.Shown().dataKind, DataKind::Nothing);
  EXPECT_EQ(f.window.applies, 0);  // nothing on the window changed
}

TEST(MeterService, WhileHistoryRunsEveryReadIsRefusedWithThePleaseWaitBox) {
  Frame f;
  f.Connect();
  f.service.OnReadHistory();
  f.runtime.RunPosts();
  f.window.boxes.clear();
  f.service.OnReadRealTime();
  f.service.OnReadHistory();
  f.service.OnReadAdValues();
  f.service.OnReadWavelengthCodes();
  f.service.OnReadParams();
  f.service.OnReset();
  f.service.OnDeleteShownData();
  f.service.OnOpenFile();
  f.service.OnLink();
  EXPECT_EQ(f.Boxes(), std::vector<std::string>(9, "Please wait till history data completely received"));
  EXPECT_TRUE(f.service.History());
  EXPECT_TRUE(f.service.Connected());  // Link neither disconnected nor scanned
  EXPECT_EQ(f.service.Meter().LastCommand(), "H\r");
}

// ---------------------------------------------------------------------------
// Real-time reading

TEST(MeterService, StartingRealTimeSetsUpTableGraphToolbarTabsAndPolls) {
  Frame f;
  f.Connect();
  f.graph.SetFileValues(std::vector<int>(800, -3));
  f.service.OnReadParams();  // a parameter read leaves one tab
  f.runtime.RunPosts();
  ASSERT_EQ(f.View().tabs, std::vector<std::string>{"Read system parameters"});
  f.service.OnReadRealTime();
  EXPECT_FALSE(f.service.Shown().paramView);
  EXPECT_TRUE(f.service.RealTime());
  EXPECT_EQ(f.service.Shown().dataKind, DataKind::RealTime);
  EXPECT_EQ(f.service.Shown().rowCount, 0);
  EXPECT_EQ(f.graph.Status(), "");
  EXPECT_EQ(f.graph.NextRow(), 1);
  EXPECT_EQ(f.graph.RowCount(), 300);
  EXPECT_EQ(f.runtime.Period(TIMER_POLL), 1000);
  EXPECT_TRUE(f.View().realTimeRunning);
  EXPECT_EQ(f.View().saveImage, toolbar_image::kSaveAfterRead);
  EXPECT_EQ(f.View().tabs, (std::vector<std::string>{"Read real-time data", "Graphic data"}));
  ASSERT_EQ(f.table.Model().ColumnCount(), 6);
  EXPECT_EQ(f.table.Model().Column(5).width, 200);
  EXPECT_EQ(f.service.Meter().LastCommand(), "D\r");
  // The watchdog is armed when the command is written, not before.
  EXPECT_FALSE(f.WatchdogRunning());
  f.graph.OnGraphUpdate("-5");
  ASSERT_FALSE(Blank(f.graph));
  f.runtime.RunPosts();
  EXPECT_TRUE(Blank(f.graph));
  EXPECT_TRUE(f.service.Meter().AwaitingReply());
  EXPECT_EQ(f.WatchdogPeriod(), 1000);

  // Started again while both tabs exist: still exactly two.
  f.service.OnReadRealTime();  // stop
  f.service.OnReadRealTime();  // start
  EXPECT_EQ(f.View().tabs, (std::vector<std::string>{"Read real-time data", "Graphic data"}));
}

TEST(MeterService, EachReadingBecomesAGraphValueAndANumberedRowAndThePollGoesOn) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  f.Feed(ReadingRecord("-29.10"));
  EXPECT_FALSE(f.service.Meter().AwaitingReply());
  EXPECT_FALSE(f.WatchdogRunning());
  f.runtime.RunPosts();
  EXPECT_EQ(f.graph.Chart().RowAt(1).value, -29);
  ASSERT_EQ(f.table.Model().RowCount(), 1);
  EXPECT_EQ(f.table.Model().Cell(0, 0), "1");
  EXPECT_EQ(f.table.Model().Cell(0, 3), "-29.10");

  // The poll writes the next "D\r" only when no reply is awaited.
  ASSERT_TRUE(f.runtime.Fire(TIMER_POLL));
  EXPECT_EQ(f.runtime.PendingPosts(), 1u);
  f.runtime.RunPosts();
  EXPECT_TRUE(f.service.Meter().AwaitingReply());
  ASSERT_TRUE(f.runtime.Fire(TIMER_POLL));
  EXPECT_EQ(f.runtime.PendingPosts(), 0u);

  f.Feed(ReadingRecord("-7.5000"));
  f.runtime.RunPosts();
  EXPECT_EQ(f.graph.Chart().RowAt(2).value, -7);
  ASSERT_EQ(f.table.Model().RowCount(), 2);
  EXPECT_EQ(f.table.Model().Cell(1, 0), "2");
}

TEST(MeterService, EveryFeedSubscriberTakesEachReadingTypedAndHearsOfTheSavedAndTheOpenedFile) {
  Frame f;
  TempDir dir;
  struct Seen {
    std::vector<std::tuple<int, std::optional<double>, std::optional<double>, std::string, std::optional<int>>> rows;
    std::vector<std::string> saved;
    std::vector<std::tuple<std::string, datafile::FileType, int, std::vector<int>>> opened;
  } seen[2];
  for (Seen& s : seen) {
    f.service.Feed().Subscribe([&s](const feed::Event& event) {
      if (const auto* added = std::get_if<feed::Row>(&event)) {
        const meter::Measurement& m = added->measurement;
        s.rows.emplace_back(added->row, m.dBm, m.linear, std::string(m.linearUnit), m.wavelengthNm);
      } else if (const auto* saved = std::get_if<feed::FileSaved>(&event)) {
        s.saved.push_back(saved->path);
      } else if (const auto* file = std::get_if<feed::FileOpened>(&event)) {
        s.opened.emplace_back(file->path, file->type, file->records, file->graphValues);
      }
    });
  }
  f.Connect();
  f.StartRealTime();
  f.Feed(ReadingRecord("-29.10"));
  f.Feed(ReadingRecord("--.--"));
  f.runtime.RunPosts();
  ASSERT_EQ(f.table.Model().RowCount(), 2);
  EXPECT_EQ(f.table.Model().Cell(1, 3), "--.--");
  EXPECT_EQ(f.graph.Chart().RowAt(1).value, -29);
  ASSERT_EQ(f.service.SaveFile(dir.File("live"), DataKind::RealTime).status, FileOutcome::Status::Done);
  ASSERT_EQ(f.service.OpenFile(dir.File("live.ref")).status, FileOutcome::Status::Done);
  ASSERT_EQ(f.service.OpenFile(dir.File("missing.ref")).status, FileOutcome::Status::Failed);
  for (const Seen& s : seen) {
    using Row = std::tuple<int, std::optional<double>, std::optional<double>, std::string, std::optional<int>>;
    EXPECT_EQ(s.rows, (std::vector<Row>{{0, -29.10, 1.23, "uW", 1310}, {1, std::nullopt, 1.23, "uW", 1310}}));
    EXPECT_EQ(s.saved, std::vector<std::string>{dir.File("live.ref")});
    ASSERT_EQ(s.opened.size(), 1u);
    EXPECT_EQ(std::get<0>(s.opened[0]), dir.File("live.ref"));
    EXPECT_EQ(std::get<1>(s.opened[0]), datafile::FileType::Ref);
    EXPECT_EQ(std::get<2>(s.opened[0]), 2);
    ASSERT_EQ(std::get<3>(s.opened[0]).size(), 2u);
    EXPECT_EQ(std::get<3>(s.opened[0])[0], -29);
  }
}

TEST(MeterService, ARecordWithoutTheLogLabelGivesTheGraphTheBytesFromNine) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  f.Feed("0123456789ABCDEFGH$");
  f.runtime.RunPosts();
  EXPECT_EQ(f.graph.Value(), 9);  // "9ABCDE"
  EXPECT_EQ(f.table.Model().RowCount(), 0);  // no "波": no row
}

TEST(MeterService, SecondPressStopsRealTimeReading) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  f.service.OnReadRealTime();
  EXPECT_FALSE(f.service.RealTime());
  EXPECT_FALSE(f.service.Meter().AwaitingReply());
  EXPECT_FALSE(f.Polling());
  EXPECT_FALSE(f.WatchdogRunning());
  EXPECT_FALSE(f.View().realTimeRunning);
  EXPECT_TRUE(f.Boxes().empty());
}

// A long reading, or a meter flooding the line, must not grow memory: the
// live graph wipes itself when full and starts again at row 1.
TEST(MeterService, AFullLiveGraphWipesItselfAndStartsAgain) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  for (int n = 1; n <= 2500; ++n) {
    f.Feed(G("对数:     ") + "-" + std::to_string(10 + n % 30) + ".00dBm$");
    f.runtime.RunPosts();
  }
  EXPECT_EQ(f.graph.Chart().RowCount(), 300);
  EXPECT_EQ(f.graph.NextRow(), 2500 % 300 + 1);
  EXPECT_EQ(f.graph.Chart().RowAt(2500 % 300).value, -(10 + 2500 % 30));
  EXPECT_FALSE(f.graph.Chart().RowAt(2500 % 300 + 1).value);
}

TEST(MeterService, TextAndGraphicStartReadingAndSwitchTheTabEvenWhenRefused) {
  Frame f;
  f.presenter.OnGraphic();
  EXPECT_EQ(f.Boxes(), std::vector<std::string>{"Please connect first"});
  EXPECT_EQ(f.View().selectedTab, 1);
  EXPECT_EQ(f.View().shownPage, 1);

  f.Connect();
  f.presenter.OnText();
  EXPECT_TRUE(f.service.RealTime());
  EXPECT_EQ(f.View().selectedTab, 0);
  EXPECT_EQ(f.View().shownPage, 0);
  // Already reading: Graphic only switches.
  const int starts = f.runtime.timerStarts;
  f.presenter.OnGraphic();
  EXPECT_TRUE(f.service.RealTime());
  EXPECT_EQ(f.runtime.timerStarts, starts);
  EXPECT_EQ(f.View().shownPage, 1);
}

TEST(MeterService, TheOperatorsTabChoiceBringsItsPageForward) {
  Frame f;
  f.presenter.OnTabSelected(1);
  EXPECT_EQ(f.View().selectedTab, 1);
  EXPECT_EQ(f.View().shownPage, 1);
  f.presenter.OnTabSelected(5);  // no such item
  EXPECT_EQ(f.View().shownPage, 1);
}

// ---------------------------------------------------------------------------
// Reply watchdog

void ExpectMeterLost(Frame& f) {
  EXPECT_EQ(f.Boxes().back(), kLost);
  EXPECT_FALSE(f.service.Connected());
  EXPECT_FALSE(f.service.RealTime());
  EXPECT_FALSE(f.service.History());
  EXPECT_FALSE(f.service.Meter().AwaitingReply());
  EXPECT_EQ(f.service.Meter().WatchdogTicks(), 0);
  EXPECT_FALSE(f.Polling());
  EXPECT_FALSE(f.WatchdogRunning());
  EXPECT_FALSE(f.View().realTimeRunning);
  EXPECT_EQ(f.View().saveImage, toolbar_image::kSaveAfterRead);
  EXPECT_EQ(f.View().linkImage, toolbar_image::kDisconnected);
  f.runtime.RunPosts();
  EXPECT_EQ(f.View().statusNote, "Equipment disconnected");
}

TEST(MeterService, RealTimeMeterSilentForTwoWatchdogTicksIsLost) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  ASSERT_TRUE(f.runtime.Fire(TIMER_REPLY_WATCHDOG));
  EXPECT_TRUE(f.Boxes().empty());
  EXPECT_EQ(f.service.Meter().WatchdogTicks(), 1);
  ASSERT_TRUE(f.runtime.Fire(TIMER_REPLY_WATCHDOG));
  ExpectMeterLost(f);
}

TEST(MeterService, AReadingBetweenTheTicksKeepsTheMeter) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  f.runtime.Fire(TIMER_REPLY_WATCHDOG);
  f.Feed(ReadingRecord());
  EXPECT_FALSE(f.runtime.Fire(TIMER_REPLY_WATCHDOG));  // disarmed and killed
  f.runtime.RunPosts();
  f.runtime.Fire(TIMER_POLL);
  f.runtime.RunPosts();
  f.runtime.Fire(TIMER_REPLY_WATCHDOG);
  EXPECT_TRUE(f.Boxes().empty());
  EXPECT_TRUE(f.service.Connected());
}

TEST(MeterService, CommandsOutsideReadingAreNotWatched) {
  Frame f;
  f.Connect();
  f.service.OnReadParams();
  f.service.OnReadAdValues();
  f.service.OnReadWavelengthCodes();
  f.runtime.RunPosts();
  EXPECT_FALSE(f.service.Meter().AwaitingReply());
  EXPECT_FALSE(f.WatchdogRunning());
  f.service.Meter().PostCommand("L 3\r");
  f.runtime.RunPosts();
  EXPECT_FALSE(f.WatchdogRunning());
}

// Leaving real-time reading while a poll is unanswered must not leave its
// watchdog behind to declare a healthy meter lost two seconds later.
TEST(MeterService, EveryWayOutOfRealTimeReadingDisarmsTheWatchdog) {
  struct Way {
    const char* name;
    std::function<void(Frame&)> leave;
    bool connectedAfter;
  };
  const std::vector<Way> ways = {
      {"stop button", [](Frame& f) { f.service.OnReadRealTime(); }, true},
      {"save", [](Frame& f) { f.service.OnSaveData(); }, true},
      {"open", [](Frame& f) { f.service.OnOpenFile(); }, true},
      {"delete", [](Frame& f) { f.window.answers = {BoxAnswer::Yes}; f.service.OnDeleteShownData(); }, true},
      {"reset answered yes", [](Frame& f) { f.window.answers = {BoxAnswer::Yes}; f.service.OnReset(); }, true},
      {"history", [](Frame& f) { f.service.OnReadHistory(); }, true},
      {"AD values", [](Frame& f) { f.service.OnReadAdValues(); }, true},
      {"wavelength codes", [](Frame& f) { f.service.OnReadWavelengthCodes(); }, true},
      {"parameters", [](Frame& f) { f.service.OnReadParams(); }, true},
      {"link", [](Frame& f) { f.service.OnLink(); }, false},
  };
  for (const Way& way : ways) {
    Frame f;
    f.Connect();
    f.StartRealTime();  // "D\r" written, no answer yet
    ASSERT_TRUE(f.WatchdogRunning()) << way.name;
    way.leave(f);
    f.runtime.RunPosts();
    // A history read watches its own command with its own period.
    if (f.service.History()) {
      EXPECT_EQ(f.WatchdogPeriod(), 10000) << way.name;
      continue;
    }
    EXPECT_FALSE(f.WatchdogRunning()) << way.name;
    f.runtime.Fire(TIMER_REPLY_WATCHDOG);
    f.runtime.Fire(TIMER_REPLY_WATCHDOG);
    for (const std::string& box : f.Boxes()) EXPECT_NE(box, kLost) << way.name;
    EXPECT_EQ(f.service.Connected(), way.connectedAfter) << way.name;
    // The reading still on its way is taken as any record of the new state.
    f.Feed(ReadingRecord());
    f.runtime.RunPosts();
    EXPECT_EQ(f.service.Connected(), way.connectedAfter) << way.name;
  }
}

TEST(MeterService, HistoryRecordsKeepALongTransferAlive) {
  Frame f;
  f.Connect();
  f.service.OnReadHistory();
  f.runtime.RunPosts();
  ASSERT_TRUE(f.WatchdogRunning());
  EXPECT_EQ(f.WatchdogPeriod(), 10000);
  // Minutes of records: one tick passes between every two records.
  for (int i = 0; i < 30; ++i) {
    f.runtime.Fire(TIMER_REPLY_WATCHDOG);
    f.Feed(ReadingRecord());
    EXPECT_EQ(f.service.Meter().WatchdogTicks(), 0);
  }
  EXPECT_TRUE(f.service.History());
  EXPECT_TRUE(f.Boxes().empty());
  EXPECT_EQ(f.WatchdogPeriod(), 10000);

  f.Feed(G("历史记录调阅结束\r\n$"));
  EXPECT_FALSE(f.service.History());
  EXPECT_FALSE(f.WatchdogRunning());
  EXPECT_EQ(f.Boxes(), std::vector<std::string>{"History data reading finished"});
  EXPECT_EQ(f.done, std::vector<meter::Done>{meter::Done::HistoryEnd});
  f.runtime.RunPosts();
  EXPECT_EQ(f.View().statusNote, "Equipment connected");
  EXPECT_EQ(f.table.Model().RowCount(), 30);
  EXPECT_TRUE(f.service.Connected());
}

TEST(MeterService, HistoryThatStopsMidWayIsLostAfterTwoSilentPeriods) {
  Frame f;
  f.Connect();
  f.service.OnReadHistory();
  f.runtime.RunPosts();
  f.Feed(ReadingRecord());
  f.runtime.Fire(TIMER_REPLY_WATCHDOG);
  EXPECT_TRUE(f.Boxes().empty());
  // Bytes that do not complete a record are not a sign of life.
  f.Feed(G("波长:  1310"));
  f.runtime.Fire(TIMER_REPLY_WATCHDOG);
  ExpectMeterLost(f);
}

// ---------------------------------------------------------------------------
// Reply assembly

TEST(MeterService, AQuestionMarkConnectsAndDiscardsWhatCameBefore) {
  Frame f;
  f.Feed("X");
  EXPECT_FALSE(f.service.Connected());
  EXPECT_EQ(f.service.Meter().PendingReply(), "X");
  f.Feed("?");
  EXPECT_TRUE(f.service.Connected());
  EXPECT_EQ(f.service.Meter().PendingReply(), "");
  EXPECT_EQ(f.runtime.PendingPosts(), 0u);

  // Also in the middle of a record while reading.
  f.StartRealTime();
  f.Feed(G("波长: 13?10nm$"));
  EXPECT_EQ(f.records, std::vector<std::string>{"10nm$"});
  f.runtime.RunPosts();
  EXPECT_EQ(f.table.Model().RowCount(), 0);
}

TEST(MeterService, RecordsAreHandedOverWholeAndEachInTurn) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  const std::string rec = ReadingRecord("-1.000");
  f.Feed(rec.substr(0, 7));
  f.runtime.RunPosts();
  EXPECT_TRUE(f.records.empty());
  f.Feed(rec.substr(7));
  EXPECT_EQ(f.records, std::vector<std::string>{rec});
  EXPECT_EQ(f.service.Meter().PendingReply(), "");
  // Two more complete before the page gets to handle the first.
  f.Feed(ReadingRecord("-2.000") + ReadingRecord("-3.000"));
  f.runtime.RunPosts();
  ASSERT_EQ(f.table.Model().RowCount(), 3);
  EXPECT_EQ(f.table.Model().Cell(0, 3), "-1.000");
  EXPECT_EQ(f.table.Model().Cell(1, 3), "-2.000");
  EXPECT_EQ(f.table.Model().Cell(2, 3), "-3.000");
  EXPECT_EQ(f.table.m_strRecord, ReadingRecord("-3.000"));
}

TEST(MeterService, ALoneDollarIsARecordToo) {
  Frame f;
  f.Feed("$");
  EXPECT_EQ(f.records, std::vector<std::string>{"$"});
  EXPECT_EQ(f.runtime.PendingPosts(), 1u);
  f.runtime.RunPosts();
  EXPECT_EQ(f.table.m_strRecord, "$");
}

TEST(MeterService, MarkersDisarmOnlyInsideACompletedRecord) {
  Frame f;
  f.Connect();
  f.service.OnReadHistory();
  f.runtime.RunPosts();
  ASSERT_TRUE(f.service.Meter().AwaitingReply());
  f.Feed(G("成功 量程7校准 以上内容为波长代码"));
  EXPECT_TRUE(f.service.Meter().AwaitingReply());
  f.Feed("$");
  EXPECT_FALSE(f.service.Meter().AwaitingReply());
  EXPECT_EQ(f.done, (std::vector<meter::Done>{meter::Done::ListingEnd, meter::Done::ParametersEnd,
                                              meter::Done::Success}));
}

TEST(MeterService, EachCompletionMarkerDisarmsAndIsReportedDone) {
  const std::vector<std::pair<const char*, meter::Done>> markers = {
      {"设置成功", meter::Done::Success},
      {"系统量程7校准: 1.00dBm", meter::Done::ParametersEnd},
      {"以上内容为波长代码", meter::Done::ListingEnd}};
  for (const auto& [marker, done] : markers) {
    Frame f;
    f.Connect();
    f.service.OnReadHistory();
    f.runtime.RunPosts();
    ASSERT_TRUE(f.service.Meter().AwaitingReply());
    f.Feed(G(marker) + "$");
    EXPECT_FALSE(f.service.Meter().AwaitingReply()) << marker;
    EXPECT_FALSE(f.WatchdogRunning()) << marker;
    EXPECT_TRUE(f.service.History()) << marker;
    EXPECT_EQ(f.done, std::vector<meter::Done>{done}) << marker;
  }
}

TEST(MeterService, ANulByteBecomesASpace) {
  Frame f;
  f.Feed(std::string("A\0B$", 4));
  EXPECT_EQ(f.records, std::vector<std::string>{"A B$"});
}

TEST(MeterService, ARunawayReplyIsDroppedAtTheCapAndAssemblyGoesOn) {
  Frame f;
  const size_t cap = ReplyAssembler::kCap;
  f.Feed(std::string(cap - 1, 'x'));
  EXPECT_EQ(f.service.Meter().PendingReply().size(), cap - 1);
  f.Feed("y");
  EXPECT_EQ(f.service.Meter().PendingReply().size(), 0u);
  f.Feed(std::string(cap + 10, 'z'));
  EXPECT_EQ(f.service.Meter().PendingReply().size(), 10u);
  f.Feed("tail$");
  ASSERT_EQ(f.records.size(), 1u);
  EXPECT_EQ(f.records[0], std::string(10, 'z') + "tail$");
  // A record just below the cap is still whole.
  const std::string big = std::string(cap - 2, 'w') + "$";
  f.Feed(big);
  EXPECT_EQ(f.records.back(), big);
}

TEST(MeterService, SettingsCommandsStopReadingAndRunTheirDialog) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  f.service.OnSettingsCommand(DataKind::Mode);
  EXPECT_FALSE(f.service.RealTime());
  EXPECT_FALSE(f.Polling());
  EXPECT_FALSE(f.WatchdogRunning());
  EXPECT_FALSE(f.View().realTimeRunning);
  EXPECT_EQ(f.View().saveImage, toolbar_image::kSaveAfterSettings);
  EXPECT_EQ(f.service.Shown().dataKind, DataKind::Mode);
  EXPECT_EQ(f.window.settingsDialogs, std::vector<DataKind>{DataKind::Mode});
}

TEST(MeterService, SettingAnswersTellOfSuccessOnceAndAskForTheClockAgain) {
  Frame f;
  f.Connect();
  f.service.OnSettingsCommand(DataKind::Clock);
  f.service.SendSetting(settings::ClockFields{2026, 12, 7, 10, 0, 0});  // the dialog's OK
  f.Feed(G("时间设置失败$"));
  f.runtime.RunPosts();
  EXPECT_EQ(f.window.settingsDialogs, (std::vector<DataKind>{DataKind::Clock, DataKind::Clock}));
  f.service.SendSetting(settings::ClockFields{2026, 12, 7, 10, 0, 5});
  f.Feed(G("时间设置成功$") + G("时间设置成功$"));
  f.runtime.RunPosts();
  EXPECT_EQ(f.Boxes(), std::vector<std::string>{"Set up successful"});  // once
  EXPECT_EQ(f.service.Shown().dataKind, DataKind::Nothing);

  f.service.OnSettingsCommand(DataKind::Calibration);
  f.Feed(G("当前波长：1550nm$"));
  f.runtime.RunPosts();
  EXPECT_EQ(f.service.Shown().currentWavelength, "1550");
  EXPECT_EQ(f.service.Shown().dataKind, DataKind::Calibration);
}

// ---------------------------------------------------------------------------
// Link

TEST(MeterService, LinkWhileConnectedDisconnects) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  f.service.OnLink();
  EXPECT_FALSE(f.service.Connected());
  EXPECT_TRUE(f.service.LinkBusy());
  EXPECT_EQ(f.runtime.Period(TIMER_LINK_GUARD), 1000);
  EXPECT_FALSE(f.service.RealTime());
  EXPECT_FALSE(f.Polling());
  EXPECT_FALSE(f.View().realTimeRunning);
  EXPECT_EQ(f.service.Shown().dataKind, DataKind::Nothing);
  EXPECT_EQ(f.View().linkImage, toolbar_image::kDisconnected);
  f.runtime.RunPosts();
  EXPECT_EQ(f.View().statusNote, "Equipment disconnected");
  // The unanswered poll's watchdog went with the reading.
  EXPECT_FALSE(f.WatchdogRunning());
  EXPECT_TRUE(f.Boxes().empty());
}

TEST(MeterService, ASecondLinkWithinTheGuardDoesNothing) {
  Frame f;
  f.Connect();
  f.service.OnLink();  // disconnects
  f.Connect();
  f.service.OnLink();
  EXPECT_TRUE(f.service.Connected());
  f.runtime.Fire(TIMER_LINK_GUARD);
  EXPECT_FALSE(f.service.LinkBusy());
  EXPECT_FALSE(f.runtime.Running(TIMER_LINK_GUARD));
  f.service.OnLink();
  EXPECT_FALSE(f.service.Connected());
}

TEST(MeterService, AScanWithoutAnAnsweringPortFails) {
  Frame f;
  f.service.SetPortOverride("/nonexistent/km360r-port");
  f.service.OnLink();
  EXPECT_TRUE(f.service.Scanning());
  while (f.service.Scanning() && f.runtime.WaitForPost()) f.runtime.RunPosts();
  EXPECT_FALSE(f.service.Scanning());
  EXPECT_EQ(f.Boxes(), std::vector<std::string>{"Connecting failed"});
  f.runtime.RunPosts();
  EXPECT_EQ(f.View().statusNote, "Equipment disconnected");
  EXPECT_EQ(f.View().linkImage, toolbar_image::kDisconnected);
  EXPECT_FALSE(f.service.Connected());
  EXPECT_FALSE(f.service.LinkBusy());
}

// A pseudo-terminal nobody answers on: the scan spends three probes on it.
class SilentPort {
 public:
  SilentPort() {
    char name[256];
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0) m_path = name;
  }
  ~SilentPort() {
    if (m_master >= 0) close(m_master);
    if (m_slave >= 0) close(m_slave);
  }
  const std::string& Path() const { return m_path; }

 private:
  int m_master = -1;
  int m_slave = -1;
  std::string m_path;
};

TEST(MeterService, LinkAndALostLineAreIgnoredWhileAScanRuns) {
  SilentPort port;
  ASSERT_FALSE(port.Path().empty());
  Frame f;
  f.service.SetPortOverride(port.Path());
  f.service.OnLink();
  ASSERT_TRUE(f.service.Scanning());
  f.runtime.Fire(TIMER_LINK_GUARD);  // the guard ends long before the scan does
  f.service.OnLink();
  f.service.Meter().LineLost();
  EXPECT_TRUE(f.window.boxes.empty());
  EXPECT_FALSE(f.service.LinkBusy());
  while (f.service.Scanning() && f.runtime.WaitForPost()) f.runtime.RunPosts();
  EXPECT_EQ(f.Boxes(), std::vector<std::string>{"Connecting failed"});
}

TEST(MeterService, ALostLineStopsReadingTellsTheOperatorAndDisconnects) {
  for (const bool history : {false, true}) {
    Frame f;
    f.Connect();
    if (history) {
      f.service.OnReadHistory();
    } else {
      f.service.OnReadRealTime();
    }
    f.runtime.RunPosts();
    f.service.Meter().LineLost();
    EXPECT_EQ(f.Boxes(), std::vector<std::string>{"Equipment disconnected"});
    EXPECT_FALSE(f.service.RealTime());
    EXPECT_FALSE(f.service.History());
    EXPECT_FALSE(f.service.Meter().AwaitingReply());
    EXPECT_FALSE(f.WatchdogRunning());
    EXPECT_FALSE(f.service.Connected());
    EXPECT_EQ(f.View().linkImage, toolbar_image::kDisconnected);
  }
}

// A line lost right after Link must not leave the program showing a dead
// line as connected because the link guard still holds.
TEST(MeterService, ALostLineDisconnectsEvenWithinTheLinkGuard) {
  Frame f;
  f.Connect();
  f.service.OnLink();  // disconnects and arms the guard
  f.Connect();
  ASSERT_TRUE(f.service.LinkBusy());
  f.service.Meter().LineLost();
  EXPECT_FALSE(f.service.Connected());
  EXPECT_EQ(f.View().linkImage, toolbar_image::kDisconnected);
}

TEST(MeterService, DriverErrorsGoToTheApplicationErrorBox) {
  Frame f;
  f.service.Meter().LineFailed("WARNING:  WriteFile() Failed");
  ASSERT_EQ(f.window.boxes.size(), 1u);
  EXPECT_EQ(f.window.boxes[0].caption, "Application Error");
}

// ---------------------------------------------------------------------------
// Other reading commands

TEST(MeterService, HistoryReadSetsUpItsTableAndTabs) {
  Frame f;
  f.Connect();
  f.service.OnReadParams();
  f.runtime.RunPosts();
  f.graph.OnGraphUpdate("-5");
  f.service.OnReadHistory();
  EXPECT_FALSE(f.service.Shown().paramView);
  EXPECT_TRUE(f.service.History());
  EXPECT_EQ(f.service.Shown().dataKind, DataKind::History);
  EXPECT_EQ(f.View().tabs, std::vector<std::string>{"Read history data"});
  EXPECT_EQ(f.View().selectedTab, 0);
  EXPECT_EQ(f.View().shownPage, 0);
  ASSERT_EQ(f.table.Model().ColumnCount(), 6);
  EXPECT_EQ(f.table.Model().Column(5).width, 150);
  EXPECT_FALSE(f.View().realTimeRunning);
  EXPECT_EQ(f.View().saveImage, toolbar_image::kSaveAfterRead);
  EXPECT_EQ(f.service.Meter().LastCommand(), "H\r");
  f.runtime.RunPosts();
  EXPECT_EQ(f.View().statusNote, "Receiving history data");
  EXPECT_TRUE(Blank(f.graph));
}

TEST(MeterService, AdValuesWavelengthCodesAndParametersSetTheirKindAndLayout) {
  Frame f;
  f.Connect();
  f.service.OnReadParams();
  f.service.OnReadAdValues();
  EXPECT_TRUE(f.service.Shown().paramView);  // untouched
  EXPECT_EQ(f.service.Shown().dataKind, DataKind::History);
  EXPECT_EQ(f.service.Meter().LastCommand(), "A\r");
  EXPECT_EQ(f.table.Model().ColumnCount(), 3);

  f.service.OnReadWavelengthCodes();
  EXPECT_EQ(f.service.Shown().dataKind, DataKind::WavelengthCodes);
  EXPECT_EQ(f.service.Meter().LastCommand(), "B\r");
  EXPECT_EQ(f.table.Model().ColumnCount(), 1);

  f.service.OnReadRealTime();
  f.service.OnReadParams();
  EXPECT_TRUE(f.service.Shown().paramView);
  EXPECT_EQ(f.service.Shown().dataKind, DataKind::Parameters);
  EXPECT_EQ(f.service.Meter().LastCommand(), "R\r");
  EXPECT_EQ(f.table.Model().ColumnCount(), 10);
  EXPECT_EQ(f.View().tabs, std::vector<std::string>{"Read system parameters"});
  EXPECT_TRUE(f.Boxes().empty());
}

TEST(MeterService, ResetAnsweredNoKeepsReading) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  f.Feed(ReadingRecord());
  f.runtime.RunPosts();
  f.window.answers = {BoxAnswer::No};
  f.service.OnReset();
  EXPECT_EQ(f.window.boxes.back().buttons, BoxButtons::YesNo);
  EXPECT_EQ(f.window.boxes.back().text, "Are you sure to renew to default set?");
  EXPECT_TRUE(f.window.boxes.back().defaultNo);
  EXPECT_TRUE(f.service.RealTime());
  EXPECT_TRUE(f.View().realTimeRunning);
  EXPECT_TRUE(f.Polling());
  EXPECT_TRUE(f.window.saveQuestions.empty());
  // The next tick polls on and the row stays.
  f.Feed(ReadingRecord());
  f.runtime.RunPosts();
  EXPECT_EQ(f.table.Model().RowCount(), 2);

  f.window.answers = {BoxAnswer::Yes};
  const DataKind kind = f.service.Shown().dataKind;
  f.service.OnReset();
  EXPECT_FALSE(f.View().realTimeRunning);
  EXPECT_EQ(f.service.Meter().LastCommand(), "I\r");
  EXPECT_EQ(f.service.Shown().dataKind, kind);
}

TEST(MeterService, DeleteShownDataWorksWithoutAConnectionAndKeepsTheColumns) {
  const TempDir dir;
  Frame f;
  f.Connect();
  f.StartRealTime();
  f.Feed(ReadingRecord());
  f.runtime.RunPosts();
  ASSERT_EQ(f.service.SaveFile(dir.File("kept.ref"), DataKind::RealTime).status, FileOutcome::Status::Done);
  f.service.OnLink();  // disconnected from here on
  f.window.answers = {BoxAnswer::No};
  f.service.OnDeleteShownData();
  EXPECT_EQ(f.table.Model().RowCount(), 1);
  EXPECT_EQ(f.window.boxes.back().caption, "Are you sure to delete shown data?");
  EXPECT_TRUE(f.window.boxes.back().defaultNo);

  f.window.answers = {BoxAnswer::Yes};
  f.Feed("partial");
  f.service.OnDeleteShownData();
  EXPECT_EQ(f.table.Model().RowCount(), 0);
  EXPECT_EQ(f.table.Model().ColumnCount(), 6);
  EXPECT_FALSE(f.service.RealTime());
  EXPECT_FALSE(f.Polling());
  EXPECT_EQ(f.service.Shown().dataKind, DataKind::Nothing);
  EXPECT_EQ(f.service.Shown().rowCount, 0);
  EXPECT_EQ(f.service.Meter().PendingReply(), "");
  EXPECT_EQ(f.View().tabs[0], "Text data");
  f.runtime.RunPosts();
  EXPECT_EQ(f.View().statusNote, "");
}

TEST(MeterService, WithoutALanguageTheToolbarIsLeftAloneAndParametersHaveNoColumns) {
  Frame f("x");
  f.Connect();
  f.StartRealTime();
  EXPECT_FALSE(f.View().realTimeRunning);
  f.service.OnReadParams();
  EXPECT_EQ(f.table.Model().ColumnCount(), 0);
}

TEST(MeterService, ChineseTextsFollowTheLanguage) {
  Frame f("2");
  f.service.OnReadHistory();
  EXPECT_EQ(f.Boxes(), std::vector<std::string>{"请先建立连接"});
  EXPECT_EQ(f.window.boxes[0].caption, "信息提示");
  f.Connect();
  f.service.OnReadHistory();
  f.runtime.RunPosts();
  EXPECT_EQ(f.View().statusNote, "正在接受历史数据");
}

// ---------------------------------------------------------------------------
// Live reading for the features that follow it

TEST(MeterService, AFeedListenerGetsEachRealTimeRowAndHearsWhenOtherDataIsShown) {
  const std::pair<const char*, void (MeterService::*)()> others[] = {
      {"history", &MeterService::OnReadHistory},
      {"parameters", &MeterService::OnReadParams},
      {"wavelength codes", &MeterService::OnReadWavelengthCodes},
  };
  for (const auto& [name, command] : others) {
    Frame f;
    std::vector<std::string> heard;
    f.service.Feed().Subscribe([&](const feed::Event& event) {
      if (std::holds_alternative<feed::ReadStarted>(event)) heard.emplace_back("started");
      if (const auto* r = std::get_if<feed::Row>(&event)) {
        heard.push_back(std::to_string(r->row) + " " + std::string(r->measurement.logPower));
      }
      if (std::holds_alternative<feed::TableReplaced>(event)) heard.emplace_back("replaced");
    });
    f.Connect();
    f.StartRealTime();
    f.Feed(ReadingRecord("-29.10"));
    f.Feed("0123456789ABCDEFGH$");  // no reading, no row
    f.runtime.RunPosts();
    f.service.OnReadRealTime();
    (f.service.*command)();
    EXPECT_EQ(heard, (std::vector<std::string>{"started", "0 -29.10", "replaced"})) << name;
  }
}

// ---------------------------------------------------------------------------
// Rows that no file holds yet

// Two real-time readings taken and the reading stopped: the table is unsaved.
void TakeTwoReadings(Frame& f) {
  f.Connect();
  f.StartRealTime();
  f.Feed(ReadingRecord("-29.10"));
  f.Feed(ReadingRecord("-29.20"));
  f.runtime.RunPosts();
  f.service.OnReadRealTime();
}

TEST(MeterService, EveryCommandThatReplacesUnsavedRowsAsksSaveDiscardOrCancel) {
  struct Command {
    const char* name;
    std::function<bool(Frame&)> run;     // false where the command itself says it stops
    std::function<bool(Frame&)> wentOn;  // the command did its work
  };
  auto sent = [](const char* command) {
    return [command](Frame& f) { return f.service.Meter().LastCommand() == command; };
  };
  auto call = [](void (MeterService::*command)()) {
    return [command](Frame& f) {
      (f.service.*command)();
      f.runtime.RunPosts();
      return true;
    };
  };
  const Command commands[] = {
      {"real-time", call(&MeterService::OnReadRealTime), [](Frame& f) { return f.service.RealTime(); }},
      {"text data",
       [](Frame& f) {
         f.presenter.OnText();
         f.runtime.RunPosts();
         return true;
       },
       [](Frame& f) { return f.service.RealTime(); }},
      {"history", call(&MeterService::OnReadHistory), sent("H\r")},
      {"AD values", call(&MeterService::OnReadAdValues), sent("A\r")},
      {"wavelength codes", call(&MeterService::OnReadWavelengthCodes), sent("B\r")},
      {"parameters", call(&MeterService::OnReadParams), sent("R\r")},
      {"reset", [](Frame& f) {
         f.window.answers = {BoxAnswer::Yes};
         f.service.OnReset();
         return true;
       }, sent("I\r")},
      {"open", call(&MeterService::OnOpenFile), [](Frame& f) { return f.table.Model().RowCount() == 1; }},
      {"delete", call(&MeterService::OnDeleteShownData), [](Frame& f) { return f.table.Model().RowCount() == 0; }},
      {"exit", [](Frame& f) { return f.service.ConfirmExit(); }, [](Frame&) { return true; }},
  };
  // A file of one reading for Open to choose.
  const TempDir files;
  const std::string other = files.File("other.ref");
  {
    Frame writer;
    writer.Connect();
    writer.StartRealTime();
    writer.Feed(ReadingRecord());
    writer.runtime.RunPosts();
    ASSERT_EQ(writer.service.SaveFile(other, DataKind::RealTime).status, FileOutcome::Status::Done);
  }
  enum class Answer { Save, SaveDialogCancelled, Discard, Cancel };
  for (const Command& c : commands) {
    for (const Answer answer : {Answer::Save, Answer::SaveDialogCancelled, Answer::Discard, Answer::Cancel}) {
      SCOPED_TRACE(std::string(c.name) + " answered " + std::to_string(static_cast<int>(answer)));
      const TempDir dir;
      Frame f;
      TakeTwoReadings(f);
      ASSERT_TRUE(f.service.Unsaved());
      f.window.openPath = other;
      f.window.savePath = dir.File("kept");
      if (answer == Answer::SaveDialogCancelled) f.window.savePath.reset();
      f.window.saveChoices = {answer == Answer::Discard  ? SaveChoice::Discard
                              : answer == Answer::Cancel ? SaveChoice::Cancel
                                                         : SaveChoice::Save};
      const bool goOn = c.run(f);
      f.runtime.RunPosts();

      ASSERT_EQ(f.window.saveQuestions.size(), 1u);
      EXPECT_EQ(f.window.saveQuestions[0].caption, "Massage prompt");
      const bool saved = answer == Answer::Save;
      EXPECT_EQ(std::filesystem::exists(dir.File("kept.ref")), saved);
      if (answer == Answer::Save || answer == Answer::Discard) {
        EXPECT_TRUE(goOn);
        EXPECT_TRUE(c.wentOn(f));
        if (saved) {
          EXPECT_FALSE(f.service.Unsaved());
        }
        continue;
      }
      // Nothing changed and nothing was sent.
      EXPECT_EQ(std::string(c.name) == "exit", !goOn);
      EXPECT_EQ(f.table.Model().RowCount(), 2);
      EXPECT_EQ(f.service.Meter().LastCommand(), "D\r");
      EXPECT_FALSE(f.service.RealTime());
      EXPECT_TRUE(f.window.openFilters.empty());
      EXPECT_TRUE(f.service.Unsaved());
      EXPECT_EQ(f.service.Shown().dataKind, DataKind::RealTime);
      EXPECT_FALSE(f.service.Shown().paramView);
    }
  }
}

TEST(MeterService, RowsAndCellEditsAreUnsavedUntilSavedOpenedOrDeleted) {
  const TempDir dir;
  Frame f;
  EXPECT_FALSE(f.service.Unsaved());
  TakeTwoReadings(f);
  EXPECT_TRUE(f.View().unsaved);
  EXPECT_EQ(f.View().fileName, "");

  ASSERT_EQ(f.service.SaveFile(dir.File("day.ref"), DataKind::RealTime).status, FileOutcome::Status::Done);
  EXPECT_FALSE(f.View().unsaved);
  EXPECT_EQ(f.View().fileName, "day.ref");
  // Storing the text a cell already holds is no edit.
  ASSERT_TRUE(f.table.EditCell(0, 0, f.table.Model().Cell(0, 0)));
  EXPECT_FALSE(f.View().unsaved);
  ASSERT_TRUE(f.table.EditCell(0, 5, "cabinet 4"));
  EXPECT_TRUE(f.View().unsaved);
  EXPECT_EQ(f.View().fileName, "day.ref");

  ASSERT_EQ(f.service.OpenFile(dir.File("day.ref")).status, FileOutcome::Status::Done);
  EXPECT_FALSE(f.View().unsaved);

  f.window.answers = {BoxAnswer::Yes};
  f.service.OnDeleteShownData();
  EXPECT_FALSE(f.View().unsaved);
  EXPECT_EQ(f.View().fileName, "");
  // With nothing unsaved, no command asks.
  f.service.OnReadHistory();
  EXPECT_TRUE(f.window.saveQuestions.empty());
}

TEST(MeterService, TheUnsavedQuestionSpeaksTheWindowsLanguage) {
  for (const auto& [language, caption, cancel] :
       {std::tuple{"0", "信息提示", "取消"}, std::tuple{"3", "Massage prompt", "Cancel"}}) {
    Frame f(language);
    TakeTwoReadings(f);
    f.window.saveChoices = {SaveChoice::Cancel};
    f.service.OnReadHistory();
    ASSERT_EQ(f.window.saveQuestions.size(), 1u) << language;
    EXPECT_EQ(f.window.saveQuestions[0].caption, caption);
    EXPECT_EQ(f.window.saveQuestions[0].cancel, cancel);
    EXPECT_EQ(f.service.Meter().LastCommand(), "D\r");
  }
}

TEST(MeterService, AFeedListenerHearsOnceWhenTheRowsStopAndWhetherTheMeterWasLost) {
  const std::pair<const char*, void (*)(Frame&)> endings[] = {
      {"stopped", [](Frame& f) { f.service.OnReadRealTime(); }},
      {"lost", [](Frame& f) {
         f.runtime.Fire(TIMER_REPLY_WATCHDOG);
         f.runtime.Fire(TIMER_REPLY_WATCHDOG);
       }},
  };
  for (const auto& [expected, end] : endings) {
    Frame f;
    std::vector<std::string> heard;
    f.service.Feed().Subscribe([&](const feed::Event& event) {
      if (std::holds_alternative<feed::ReadStarted>(event)) heard.emplace_back("started");
      if (const auto* finished = std::get_if<feed::ReadFinished>(&event)) {
        heard.emplace_back(finished->lost ? "lost" : "stopped");
      }
    });
    f.Connect();
    f.StartRealTime();
    end(f);
    f.service.OnReadParams();  // stops nothing more
    EXPECT_EQ(heard, (std::vector<std::string>{"started", expected})) << expected;
  }
}

// The rows shown are what Save writes, whatever the next records are read as:
// after a settings dialog, Disconnect or a lost line, by the Save command and
// by the question's Save button alike.
TEST(MeterService, SaveWritesTheRowsShownAfterASettingADisconnectOrALostLine) {
  auto setting = [](DataKind kind) {
    return [kind](Frame& f) {
      f.service.OnSettingsCommand(kind);
      f.service.SendSetting(settings::ModeChoice{});
      f.runtime.RunPosts();
      f.Feed(G("设置成功$"));
      f.runtime.RunPosts();
    };
  };
  const std::pair<const char*, std::function<void(Frame&)>> before[] = {
      {"clock", setting(DataKind::Clock)},
      {"wavelength", setting(DataKind::Wavelength)},
      {"calibration", setting(DataKind::Calibration)},
      {"mode", setting(DataKind::Mode)},
      {"disconnect", [](Frame& f) { f.service.OnLink(); }},
      {"lost line", [](Frame& f) { f.service.Meter().LineLost(); }},
  };
  for (const auto& [name, step] : before) {
    for (const bool byQuestion : {false, true}) {
      SCOPED_TRACE(std::string(name) + (byQuestion ? ", the question's Save" : ", Save"));
      const TempDir dir;
      Frame f;
      TakeTwoReadings(f);
      step(f);
      f.window.savePath = dir.File("kept");
      if (byQuestion) {
        f.window.saveChoices = {SaveChoice::Save};
        EXPECT_TRUE(f.service.ConfirmExit());
      } else {
        f.service.OnSaveData();
        f.runtime.RunPosts();
      }
      EXPECT_FALSE(f.service.Unsaved());
      ASSERT_EQ(f.table.Model().RowCount(), 2);
      EXPECT_EQ(ReadBytes(dir.File("kept.ref")), datafile::Compose(f.table.Model(), datafile::FileType::Ref));
    }
  }
}

// A technician measures each point at 1310, 1490 and 1550 nm: a wavelength
// changed while real-time reading runs lets the reading go on into the same
// rows, without a question, once the meter has answered; a dialog closed
// without sending (or with a wavelength the meter lacks, which has no
// command) lets it go on at once. Other settings stop it.
TEST(MeterService, AWavelengthChangedWhileReadingLetsTheReadingGoOnIntoTheSameRows) {
  const struct {
    const char* name;
    std::optional<int> chosenNm;
    bool sent;
    std::string answer;  // the meter's answer to the command sent
  } cases[] = {
      {"taken", 1490, true, G("当前波长：1490nm 设置成功$")},
      {"refused", 1490, true, G("设置失败(未成功)$")},
      {"cancelled", std::nullopt, false, ""},
      {"not the meter's", 1000, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Frame f;
    int started = 0;
    f.service.Feed().Subscribe([&](const feed::Event& event) {
      if (std::holds_alternative<feed::ReadStarted>(event)) ++started;
    });
    f.Connect();
    f.StartRealTime();
    f.Feed(ReadingRecord("-29.10"));
    f.runtime.RunPosts();
    f.window.settingsDialog = [&](DataKind) {
      return c.chosenNm ? std::optional<settings::Choice>(settings::WavelengthChoice{*c.chosenNm}) : std::nullopt;
    };
    f.service.OnSettingsCommand(DataKind::Wavelength);
    f.runtime.RunPosts();
    EXPECT_EQ(f.service.RealTime(), !c.sent);  // waits for the answer
    f.Feed(c.answer);
    f.runtime.RunPosts();
    ASSERT_TRUE(f.service.RealTime());
    EXPECT_EQ(f.service.Meter().LastCommand(), "D\r");
    EXPECT_EQ(started, 2);
    f.Feed(ReadingRecord("-18.40"));
    f.runtime.RunPosts();
    ASSERT_EQ(f.table.Model().RowCount(), 2);
    EXPECT_EQ(f.table.Model().Cell(1, 0), "2");
    EXPECT_EQ(f.table.Model().Cell(1, 3), "-18.40");
    EXPECT_TRUE(f.window.saveQuestions.empty());
    EXPECT_TRUE(f.service.Unsaved());
  }
  Frame f;
  f.Connect();
  f.StartRealTime();
  f.service.OnSettingsCommand(DataKind::Calibration);
  f.service.SendSetting(settings::CalibrationChoice{1310, {true, 1, 5}});
  f.runtime.RunPosts();
  f.Feed(G("设置成功$"));
  f.runtime.RunPosts();
  EXPECT_FALSE(f.service.RealTime());
}

}  // namespace
