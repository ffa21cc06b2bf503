// The main frame's link and command logic against a fake window: guards,
// state changes, the reply watchdog, the reply assembler and the link.
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "FakeFrameHost.h"
#include "app/FrameTexts.h"
#include "app/Gbk.h"
#include "app/GbkKeywords.h"
#include "app/SharedState.h"
#include "device/MainFrameLogic.h"
#include "device/SerialChannel.h"
#include "table/TablePage.h"

namespace {

std::string G(const char* utf8) { return gbk::FromUtf8(utf8); }

// One real-time reading as the meter sends it.
std::string ReadingRecord(const char* dbm = "-29.10") {
  return G("波长:     1310nm\r\n线性:     1.23uW\r\n对数:     ") + dbm +
         G("dBm\r\n时间:     12/05/06 10:20:30\r\n$");
}

class Frame {
 public:
  explicit Frame(const std::string& language = "1")
      : texts(FrameTexts::For(lang::Resolve(language))),
        table(host, texts, language),
        logic(host, table, channel, texts, language) {
    host.logic = &logic;
    logic.AttachGraphPage(&host.graph);
    logic.SetRecordListener([this](const std::string& r) { records.push_back(r); });
  }

  void Feed(const std::string& bytes) {
    for (unsigned char c : bytes) logic.OnRxChar(c);
  }
  void Connect() { Feed("?"); }
  // Real-time reading started and its first "D\r" handed to the channel.
  void StartRealTime() {
    logic.OnReadRealTime();
    host.RunPosts();
  }
  bool WatchdogRunning() const { return host.timers.count(TIMER_REPLY_WATCHDOG) != 0; }
  int WatchdogPeriod() const { return host.timers.at(TIMER_REPLY_WATCHDOG); }
  std::vector<std::string> Boxes() const { return host.BoxTexts(); }

  FakeFrameHost host;
  FrameTexts texts;
  TablePage table;
  CSerialChannel channel;  // never opened: what is sent goes nowhere
  MainFrameLogic logic;
  std::vector<std::string> records;  // every completed record, in order
};

class FrameLogic : public ::testing::Test {
 protected:
  void SetUp() override { ResetSharedState(); }
  void TearDown() override { ResetSharedState(); }
};

const char* kLost = "Equipment disconnected,Please check whether the equipment auto off and Re-connect";

// ---------------------------------------------------------------------------
// Guards

TEST_F(FrameLogic, ReadingCommandsNeedAConnectionFirst) {
  Frame f;
  g_bParamView = true;
  f.logic.OnReadRealTime();
  EXPECT_FALSE(g_bParamView);  // cleared also when refused
  f.logic.OnReadHistory();
  f.logic.OnReadAdValues();
  f.logic.OnReadWavelengthCodes();
  f.logic.OnReadParams();
  EXPECT_TRUE(g_bParamView);  // set also when refused
  f.logic.OnReset();
  EXPECT_EQ(f.Boxes(), std::vector<std::string>(6, "Please connect first"));
  EXPECT_EQ(f.host.boxes[0].caption, "Massage prompt");
  EXPECT_TRUE(f.host.timers.empty());
  EXPECT_EQ(f.host.PendingPosts(), 0u);
  EXPECT_EQ(g_nDataKind, datakind::kNothing);
  EXPECT_FALSE(f.host.realTimeButtonRunning.has_value());
}

TEST_F(FrameLogic, StoppingRealTimeAlsoNeedsTheConnection) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  g_bConnected = false;
  f.logic.OnReadRealTime();
  EXPECT_EQ(f.Boxes(), std::vector<std::string>{"Please connect first"});
  EXPECT_TRUE(f.logic.RealTime());
  EXPECT_TRUE(f.host.timers.count(TIMER_POLL));
}

TEST_F(FrameLogic, WhileHistoryRunsEveryReadIsRefusedWithThePleaseWaitBox) {
  Frame f;
  f.Connect();
  f.logic.OnReadHistory();
  f.host.RunPosts();
  f.host.boxes.clear();
  f.logic.OnReadRealTime();
  f.logic.OnReadHistory();
  f.logic.OnReadAdValues();
  f.logic.OnReadWavelengthCodes();
  f.logic.OnReadParams();
  f.logic.OnReset();
  f.logic.OnDeleteShownData();
  f.logic.OnOpenFile();
  f.logic.OnLink();
  EXPECT_EQ(f.Boxes(), std::vector<std::string>(9, "Please wait till history data completely received"));
  EXPECT_TRUE(f.logic.History());
  EXPECT_TRUE(g_bConnected);  // Link neither disconnected nor scanned
  EXPECT_EQ(f.logic.PollCommand(), "H\r");
}

// ---------------------------------------------------------------------------
// Real-time reading

TEST_F(FrameLogic, StartingRealTimeSetsUpTableGraphToolbarTabsAndPolls) {
  Frame f;
  f.Connect();
  f.host.graph.m_strStatus = "old";
  f.host.graph.m_nNextRow = 57;
  f.host.graph.m_nRowCount = 800;
  g_bParamView = true;
  f.host.tabs = {"Read history data"};  // a history read left one tab
  f.logic.OnReadRealTime();
  EXPECT_FALSE(g_bParamView);
  EXPECT_TRUE(f.logic.RealTime());
  EXPECT_EQ(g_nDataKind, datakind::kRealTime);
  EXPECT_EQ(g_nRowCount, 0);
  EXPECT_EQ(f.host.graph.m_strStatus, "");
  EXPECT_EQ(f.host.graph.m_nNextRow, 1);
  EXPECT_EQ(f.host.graph.m_nRowCount, 300);
  EXPECT_EQ(f.host.timers.at(TIMER_POLL), 1000);
  EXPECT_EQ(f.host.realTimeButtonRunning, true);
  EXPECT_EQ(f.host.saveImage, toolbar_image::kSaveAfterRead);
  EXPECT_EQ(f.host.tabs, (std::vector<std::string>{"Read real-time data", "Graphic data"}));
  ASSERT_EQ(f.table.Model().ColumnCount(), 6);
  EXPECT_EQ(f.table.Model().Column(5).width, 200);
  EXPECT_EQ(f.logic.PollCommand(), "D\r");
  // The watchdog is armed when the command is written, not before.
  EXPECT_FALSE(f.WatchdogRunning());
  f.host.RunPosts();
  EXPECT_EQ(f.host.graphClears, 1);
  EXPECT_TRUE(f.logic.AwaitingReply());
  EXPECT_EQ(f.WatchdogPeriod(), 1000);

  // Started again while both tabs exist: still exactly two.
  f.logic.OnReadRealTime();  // stop
  f.logic.OnReadRealTime();  // start
  EXPECT_EQ(f.host.tabs, (std::vector<std::string>{"Read real-time data", "Graphic data"}));
}

TEST_F(FrameLogic, EachReadingBecomesAGraphValueAndANumberedRowAndThePollGoesOn) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  f.Feed(ReadingRecord("-29.10"));
  EXPECT_FALSE(f.logic.AwaitingReply());
  EXPECT_FALSE(f.WatchdogRunning());
  EXPECT_EQ(g_strGraphValue, "-29.10");
  f.host.RunPosts();
  EXPECT_EQ(f.host.graphValues, std::vector<std::string>{"-29.10"});
  ASSERT_EQ(f.table.Model().RowCount(), 1);
  EXPECT_EQ(f.table.Model().Cell(0, 0), "1");
  EXPECT_EQ(f.table.Model().Cell(0, 3), "-29.10");

  // The poll writes the next "D\r" only when no reply is awaited.
  ASSERT_TRUE(f.host.Fire(TIMER_POLL));
  EXPECT_EQ(f.host.PendingPosts(), 1u);
  f.host.RunPosts();
  EXPECT_TRUE(f.logic.AwaitingReply());
  ASSERT_TRUE(f.host.Fire(TIMER_POLL));
  EXPECT_EQ(f.host.PendingPosts(), 0u);

  f.Feed(ReadingRecord("-7.5000"));
  f.host.RunPosts();
  EXPECT_EQ(f.host.graphValues.back(), "-7.500");
  ASSERT_EQ(f.table.Model().RowCount(), 2);
  EXPECT_EQ(f.table.Model().Cell(1, 0), "2");
}

TEST_F(FrameLogic, ARecordWithoutTheLogLabelGivesTheGraphTheBytesFromNine) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  f.Feed("0123456789ABCDEFGH$");
  EXPECT_EQ(g_strGraphValue, "9ABCDE");
  f.host.RunPosts();
  EXPECT_EQ(f.table.Model().RowCount(), 0);  // no "波": no row
}

TEST_F(FrameLogic, SecondPressStopsRealTimeReading) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  f.logic.OnReadRealTime();
  EXPECT_FALSE(f.logic.RealTime());
  EXPECT_FALSE(f.logic.AwaitingReply());
  EXPECT_FALSE(f.host.timers.count(TIMER_POLL));
  EXPECT_FALSE(f.WatchdogRunning());
  EXPECT_EQ(f.host.realTimeButtonRunning, false);
  EXPECT_TRUE(f.Boxes().empty());
}

TEST_F(FrameLogic, TextAndGraphicStartReadingAndSwitchTheTabEvenWhenRefused) {
  Frame f;
  f.logic.OnGraphic();
  EXPECT_EQ(f.Boxes(), std::vector<std::string>{"Please connect first"});
  EXPECT_EQ(f.host.selectedTab, 1);
  EXPECT_EQ(f.host.shownPage, 1);

  f.Connect();
  f.logic.OnText();
  EXPECT_TRUE(f.logic.RealTime());
  EXPECT_EQ(f.host.selectedTab, 0);
  EXPECT_EQ(f.host.shownPage, 0);
  // Already reading: Graphic only switches.
  const int starts = f.host.timerStarts;
  f.logic.OnGraphic();
  EXPECT_TRUE(f.logic.RealTime());
  EXPECT_EQ(f.host.timerStarts, starts);
  EXPECT_EQ(f.host.shownPage, 1);
}

// ---------------------------------------------------------------------------
// Reply watchdog

void ExpectMeterLost(Frame& f) {
  EXPECT_EQ(f.Boxes().back(), kLost);
  EXPECT_FALSE(g_bConnected);
  EXPECT_FALSE(f.logic.RealTime());
  EXPECT_FALSE(f.logic.History());
  EXPECT_FALSE(f.logic.AwaitingReply());
  EXPECT_EQ(f.logic.WatchdogTicks(), 0);
  EXPECT_FALSE(f.host.timers.count(TIMER_POLL));
  EXPECT_FALSE(f.WatchdogRunning());
  EXPECT_EQ(f.host.realTimeButtonRunning, false);
  EXPECT_EQ(f.host.saveImage, toolbar_image::kSaveAfterRead);
  EXPECT_EQ(f.host.linkImage, toolbar_image::kDisconnected);
  f.host.RunPosts();
  EXPECT_EQ(f.host.statusNote, "Equipment disconnected");
}

TEST_F(FrameLogic, RealTimeMeterSilentForTwoWatchdogTicksIsLost) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  ASSERT_TRUE(f.host.Fire(TIMER_REPLY_WATCHDOG));
  EXPECT_TRUE(f.Boxes().empty());
  EXPECT_EQ(f.logic.WatchdogTicks(), 1);
  ASSERT_TRUE(f.host.Fire(TIMER_REPLY_WATCHDOG));
  ExpectMeterLost(f);
}

TEST_F(FrameLogic, AReadingBetweenTheTicksKeepsTheMeter) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  f.host.Fire(TIMER_REPLY_WATCHDOG);
  f.Feed(ReadingRecord());
  EXPECT_FALSE(f.host.Fire(TIMER_REPLY_WATCHDOG));  // disarmed and killed
  f.host.RunPosts();
  f.host.Fire(TIMER_POLL);
  f.host.RunPosts();
  f.host.Fire(TIMER_REPLY_WATCHDOG);
  EXPECT_TRUE(f.Boxes().empty());
  EXPECT_TRUE(g_bConnected);
}

TEST_F(FrameLogic, CommandsOutsideReadingAreNotWatched) {
  Frame f;
  f.Connect();
  f.logic.OnReadParams();
  f.logic.OnReadAdValues();
  f.logic.OnReadWavelengthCodes();
  f.host.RunPosts();
  EXPECT_FALSE(f.logic.AwaitingReply());
  EXPECT_FALSE(f.WatchdogRunning());
  f.logic.OnSendCommand("L 3\r");
  EXPECT_FALSE(f.WatchdogRunning());
}

TEST_F(FrameLogic, HistoryRecordsKeepALongTransferAlive) {
  Frame f;
  f.Connect();
  f.logic.OnReadHistory();
  f.host.RunPosts();
  ASSERT_TRUE(f.WatchdogRunning());
  EXPECT_EQ(f.WatchdogPeriod(), 10000);
  // Minutes of records: one tick passes between every two records.
  for (int i = 0; i < 30; ++i) {
    f.host.Fire(TIMER_REPLY_WATCHDOG);
    f.Feed(ReadingRecord());
    EXPECT_EQ(f.logic.WatchdogTicks(), 0);
  }
  EXPECT_TRUE(f.logic.History());
  EXPECT_TRUE(f.Boxes().empty());
  EXPECT_EQ(f.WatchdogPeriod(), 10000);

  f.Feed(G("历史记录调阅结束\r\n$"));
  EXPECT_FALSE(f.logic.History());
  EXPECT_FALSE(f.WatchdogRunning());
  EXPECT_EQ(f.Boxes(), std::vector<std::string>{"History data reading finished"});
  f.host.RunPosts();
  EXPECT_EQ(f.host.statusNote, "Equipment connected");
  EXPECT_EQ(f.table.Model().RowCount(), 30);
  EXPECT_TRUE(g_bConnected);
}

TEST_F(FrameLogic, HistoryThatStopsMidWayIsLostAfterTwoSilentPeriods) {
  Frame f;
  f.Connect();
  f.logic.OnReadHistory();
  f.host.RunPosts();
  f.Feed(ReadingRecord());
  f.host.Fire(TIMER_REPLY_WATCHDOG);
  EXPECT_TRUE(f.Boxes().empty());
  // Bytes that do not complete a record are not a sign of life.
  f.Feed(G("波长:  1310"));
  f.host.Fire(TIMER_REPLY_WATCHDOG);
  ExpectMeterLost(f);
}

TEST_F(FrameLogic, HistoryStartedWhileAPollIsUnansweredKeepsTheShortWatchdog) {
  Frame f;
  f.Connect();
  f.StartRealTime();  // "D\r" unanswered
  f.logic.OnReadHistory();
  f.host.RunPosts();
  EXPECT_EQ(f.WatchdogPeriod(), 1000);
  f.host.Fire(TIMER_REPLY_WATCHDOG);
  f.host.Fire(TIMER_REPLY_WATCHDOG);
  ExpectMeterLost(f);
}

// ---------------------------------------------------------------------------
// Reply assembly

TEST_F(FrameLogic, AQuestionMarkConnectsAndDiscardsWhatCameBefore) {
  Frame f;
  f.Feed("X");
  EXPECT_FALSE(g_bConnected);
  EXPECT_EQ(g_strReplyBuffer, "X");
  f.Feed("?");
  EXPECT_TRUE(g_bConnected);
  EXPECT_EQ(g_strReplyBuffer, "");
  EXPECT_EQ(f.host.PendingPosts(), 0u);

  // Also in the middle of a record while reading.
  f.StartRealTime();
  f.Feed(G("波长: 13?10nm$"));
  EXPECT_EQ(f.records, std::vector<std::string>{"10nm$"});
  f.host.RunPosts();
  EXPECT_EQ(f.table.Model().RowCount(), 0);
}

TEST_F(FrameLogic, ARecordArrivingByteByByteIsHandedOverWhole) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  const std::string rec = ReadingRecord();
  f.Feed(rec.substr(0, 7));
  f.host.RunPosts();
  EXPECT_TRUE(f.records.empty());
  f.Feed(rec.substr(7));
  EXPECT_EQ(f.records, std::vector<std::string>{rec});
  EXPECT_EQ(g_strReplyBuffer, "");
  f.host.RunPosts();
  EXPECT_EQ(f.table.m_strRecord, rec);
  EXPECT_EQ(f.table.Model().RowCount(), 1);
}

TEST_F(FrameLogic, RecordsQueuedBeforeThePageRunsAreEachShown) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  // Three records complete before the page gets to handle the first.
  f.Feed(ReadingRecord("-1.000") + ReadingRecord("-2.000") + ReadingRecord("-3.000"));
  f.host.RunPosts();
  ASSERT_EQ(f.table.Model().RowCount(), 3);
  EXPECT_EQ(f.table.Model().Cell(0, 3), "-1.000");
  EXPECT_EQ(f.table.Model().Cell(1, 3), "-2.000");
  EXPECT_EQ(f.table.Model().Cell(2, 3), "-3.000");
}

TEST_F(FrameLogic, ALoneDollarIsARecordToo) {
  Frame f;
  f.Feed("$");
  EXPECT_EQ(f.records, std::vector<std::string>{"$"});
  EXPECT_EQ(f.host.PendingPosts(), 1u);
  f.host.RunPosts();
  EXPECT_EQ(f.table.m_strRecord, "$");
}

TEST_F(FrameLogic, MarkersDisarmOnlyInsideACompletedRecord) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  f.logic.OnReadHistory();  // keeps the armed watchdog; no poll from here on
  f.host.RunPosts();
  ASSERT_TRUE(f.logic.AwaitingReply());
  f.Feed(G("成功 量程7校准 以上内容为波长代码"));
  EXPECT_TRUE(f.logic.AwaitingReply());
  f.Feed("$");
  EXPECT_FALSE(f.logic.AwaitingReply());
}

TEST_F(FrameLogic, EachCompletionMarkerDisarms) {
  for (const char* marker : {"设置成功", "系统量程7校准: 1.00dBm", "以上内容为波长代码"}) {
    ResetSharedState();
    Frame f;
    f.Connect();
    f.logic.OnReadHistory();
    f.host.RunPosts();
    ASSERT_TRUE(f.logic.AwaitingReply());
    f.Feed(G(marker) + "$");
    EXPECT_FALSE(f.logic.AwaitingReply()) << marker;
    EXPECT_FALSE(f.WatchdogRunning()) << marker;
    EXPECT_TRUE(f.logic.History()) << marker;
  }
}

TEST_F(FrameLogic, ANulByteBecomesASpace) {
  Frame f;
  f.Feed(std::string("A\0B$", 4));
  EXPECT_EQ(f.records, std::vector<std::string>{"A B$"});
}

TEST_F(FrameLogic, ARunawayReplyIsDroppedAtTheCapAndAssemblyGoesOn) {
  Frame f;
  const size_t cap = MainFrameLogic::kReplyBufferCap;
  f.Feed(std::string(cap - 1, 'x'));
  EXPECT_EQ(g_strReplyBuffer.size(), cap - 1);
  f.Feed("y");
  EXPECT_EQ(g_strReplyBuffer.size(), 0u);
  f.Feed(std::string(cap + 10, 'z'));
  EXPECT_EQ(g_strReplyBuffer.size(), 10u);
  f.Feed("tail$");
  ASSERT_EQ(f.records.size(), 1u);
  EXPECT_EQ(f.records[0], std::string(10, 'z') + "tail$");
  // A record just below the cap is still whole.
  const std::string big = std::string(cap - 2, 'w') + "$";
  f.Feed(big);
  EXPECT_EQ(f.records.back(), big);
}

// ---------------------------------------------------------------------------
// Link

TEST_F(FrameLogic, LinkWhileConnectedDisconnects) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  f.logic.OnLink();
  EXPECT_FALSE(g_bConnected);
  EXPECT_TRUE(g_bLinkBusy);
  EXPECT_EQ(f.host.timers.at(TIMER_LINK_GUARD), 1000);
  EXPECT_FALSE(f.logic.RealTime());
  EXPECT_FALSE(f.host.timers.count(TIMER_POLL));
  EXPECT_EQ(f.host.realTimeButtonRunning, false);
  EXPECT_EQ(g_nDataKind, datakind::kNothing);
  EXPECT_EQ(f.host.linkImage, toolbar_image::kDisconnected);
  f.host.RunPosts();
  EXPECT_EQ(f.host.statusNote, "Equipment disconnected");
  // The unanswered poll's watchdog still runs and reports the lost meter.
  ASSERT_TRUE(f.WatchdogRunning());
  f.host.Fire(TIMER_REPLY_WATCHDOG);
  f.host.Fire(TIMER_REPLY_WATCHDOG);
  EXPECT_EQ(f.Boxes(), std::vector<std::string>{kLost});
}

TEST_F(FrameLogic, ASecondLinkWithinTheGuardDoesNothing) {
  Frame f;
  f.Connect();
  f.logic.OnLink();  // disconnects
  f.Connect();
  f.logic.OnLink();
  EXPECT_TRUE(g_bConnected);
  f.host.Fire(TIMER_LINK_GUARD);
  EXPECT_FALSE(g_bLinkBusy);
  EXPECT_FALSE(f.host.timers.count(TIMER_LINK_GUARD));
  f.logic.OnLink();
  EXPECT_FALSE(g_bConnected);
}

TEST_F(FrameLogic, AScanWithoutAnAnsweringPortFails) {
  Frame f;
  f.logic.SetPortOverride("/nonexistent/km360r-port");
  f.logic.OnLink();
  EXPECT_TRUE(f.logic.Scanning());
  ASSERT_TRUE(f.host.WaitForPost());
  f.host.RunPosts();
  while (f.logic.Scanning() && f.host.WaitForPost()) f.host.RunPosts();
  EXPECT_FALSE(f.logic.Scanning());
  EXPECT_EQ(f.Boxes(), std::vector<std::string>{"Connecting failed"});
  EXPECT_EQ(f.host.statusNote, "Equipment disconnected");
  EXPECT_EQ(f.host.linkImage, toolbar_image::kDisconnected);
  EXPECT_FALSE(g_bConnected);
  EXPECT_FALSE(g_bLinkBusy);
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

TEST_F(FrameLogic, LinkAndALostLineAreIgnoredWhileAScanRuns) {
  SilentPort port;
  ASSERT_FALSE(port.Path().empty());
  Frame f;
  f.logic.SetPortOverride(port.Path());
  f.logic.OnLink();
  ASSERT_TRUE(f.logic.Scanning());
  f.host.Fire(TIMER_LINK_GUARD);  // the guard ends long before the scan does
  f.logic.OnLink();
  f.logic.OnDeviceLost();
  EXPECT_TRUE(f.host.boxes.empty());
  EXPECT_FALSE(g_bLinkBusy);
  while (f.logic.Scanning() && f.host.WaitForPost()) f.host.RunPosts();
  EXPECT_EQ(f.Boxes(), std::vector<std::string>{"Connecting failed"});
}

TEST_F(FrameLogic, ALostLineStopsReadingTellsTheOperatorAndDisconnects) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  f.logic.OnDeviceLost();
  EXPECT_EQ(f.Boxes(), std::vector<std::string>{"Equipment disconnected"});
  EXPECT_FALSE(f.logic.RealTime());
  EXPECT_FALSE(f.logic.AwaitingReply());
  EXPECT_FALSE(f.WatchdogRunning());
  EXPECT_FALSE(g_bConnected);
  EXPECT_EQ(f.host.linkImage, toolbar_image::kDisconnected);

  // During a history read the same.
  ResetSharedState();
  Frame h;
  h.Connect();
  h.logic.OnReadHistory();
  h.host.RunPosts();
  h.logic.OnDeviceLost();
  EXPECT_FALSE(h.logic.History());
  EXPECT_FALSE(g_bConnected);
}

TEST_F(FrameLogic, DriverErrorsGoToTheApplicationErrorBox) {
  Frame f;
  f.logic.OnDriverError("WARNING:  WriteFile() Failed");
  ASSERT_EQ(f.host.boxes.size(), 1u);
  EXPECT_EQ(f.host.boxes[0].caption, "Application Error");
}

// ---------------------------------------------------------------------------
// Other reading commands

TEST_F(FrameLogic, HistoryReadSetsUpItsTableAndTabs) {
  Frame f;
  f.Connect();
  g_bParamView = true;
  f.logic.OnReadHistory();
  EXPECT_FALSE(g_bParamView);
  EXPECT_TRUE(f.logic.History());
  EXPECT_EQ(g_nDataKind, datakind::kHistory);
  EXPECT_EQ(f.host.tabs, std::vector<std::string>{"Read history data"});
  EXPECT_EQ(f.host.selectedTab, 0);
  EXPECT_EQ(f.host.shownPage, 0);
  ASSERT_EQ(f.table.Model().ColumnCount(), 6);
  EXPECT_EQ(f.table.Model().Column(5).width, 150);
  EXPECT_EQ(f.host.realTimeButtonRunning, false);
  EXPECT_EQ(f.host.saveImage, toolbar_image::kSaveAfterRead);
  EXPECT_EQ(f.logic.PollCommand(), "H\r");
  f.host.RunPosts();
  EXPECT_EQ(f.host.statusNote, "Receiving history data");
  EXPECT_EQ(f.host.graphClears, 1);
}

TEST_F(FrameLogic, AdValuesWavelengthCodesAndParametersSetTheirKindAndLayout) {
  Frame f;
  f.Connect();
  g_bParamView = true;
  f.logic.OnReadAdValues();
  EXPECT_TRUE(g_bParamView);  // untouched
  EXPECT_EQ(g_nDataKind, datakind::kHistory);
  EXPECT_EQ(f.logic.PollCommand(), "A\r");
  EXPECT_EQ(f.table.Model().ColumnCount(), 3);
  EXPECT_EQ(f.host.tabs.size(), 2u);

  f.logic.OnReadWavelengthCodes();
  EXPECT_EQ(g_nDataKind, datakind::kWavelengthCodes);
  EXPECT_EQ(f.logic.PollCommand(), "B\r");
  EXPECT_EQ(f.table.Model().ColumnCount(), 1);

  g_bParamView = false;
  f.logic.OnReadParams();
  EXPECT_TRUE(g_bParamView);
  EXPECT_EQ(g_nDataKind, datakind::kParameters);
  EXPECT_EQ(f.logic.PollCommand(), "R\r");
  EXPECT_EQ(f.table.Model().ColumnCount(), 10);
  EXPECT_EQ(f.host.tabs, std::vector<std::string>{"Read system parameters"});
  EXPECT_TRUE(f.Boxes().empty());
}

TEST_F(FrameLogic, ResetAskedNoStillStopsPolling) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  f.Feed(ReadingRecord());
  f.host.answers = {BoxAnswer::No};
  f.logic.OnReset();
  EXPECT_EQ(f.host.boxes.back().buttons, BoxButtons::YesNo);
  EXPECT_EQ(f.host.boxes.back().text, "Are you sure to renew to default set?");
  EXPECT_FALSE(f.logic.RealTime());
  EXPECT_EQ(f.host.realTimeButtonRunning, true);  // the label stays
  f.host.Fire(TIMER_POLL);
  EXPECT_EQ(f.host.PendingPosts(), 2u);  // graph value and row only, no "D\r"
  f.host.RunPosts();
  // The next press starts reading again.
  f.logic.OnReadRealTime();
  EXPECT_TRUE(f.logic.RealTime());

  f.host.answers = {BoxAnswer::Yes};
  const int kind = g_nDataKind;
  f.logic.OnReset();
  EXPECT_EQ(f.host.realTimeButtonRunning, false);
  EXPECT_EQ(f.logic.PollCommand(), "I\r");
  EXPECT_EQ(g_nDataKind, kind);
}

TEST_F(FrameLogic, DeleteShownDataWorksWithoutAConnectionAndKeepsTheColumns) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  f.Feed(ReadingRecord());
  f.host.RunPosts();
  g_bConnected = false;
  f.host.answers = {BoxAnswer::No};
  f.logic.OnDeleteShownData();
  EXPECT_EQ(f.table.Model().RowCount(), 1);
  EXPECT_EQ(f.host.boxes.back().caption, "Are you sure to delete shown data?");

  f.host.answers = {BoxAnswer::Yes};
  g_strReplyBuffer = "partial";
  f.logic.OnDeleteShownData();
  EXPECT_EQ(f.table.Model().RowCount(), 0);
  EXPECT_EQ(f.table.Model().ColumnCount(), 6);
  EXPECT_FALSE(f.logic.RealTime());
  EXPECT_FALSE(f.host.timers.count(TIMER_POLL));
  EXPECT_EQ(g_nDataKind, datakind::kNothing);
  EXPECT_EQ(g_nRowCount, 0);
  EXPECT_EQ(g_strReplyBuffer, "");
  EXPECT_EQ(f.host.tabs[0], "Text data");
  f.host.RunPosts();
  EXPECT_EQ(f.host.statusNote, "");
}

TEST_F(FrameLogic, WithoutALanguageTheToolbarIsLeftAloneAndParametersHaveNoColumns) {
  Frame f("x");
  f.Connect();
  f.StartRealTime();
  EXPECT_FALSE(f.host.realTimeButtonRunning.has_value());
  EXPECT_FALSE(f.host.saveImage.has_value());
  f.logic.OnReadParams();
  EXPECT_EQ(f.table.Model().ColumnCount(), 0);
}

TEST_F(FrameLogic, ChineseTextsFollowTheLanguage) {
  Frame f("2");
  f.logic.OnReadHistory();
  EXPECT_EQ(f.Boxes(), std::vector<std::string>{"请先建立连接"});
  EXPECT_EQ(f.host.boxes[0].caption, "信息提示");
  f.Connect();
  f.logic.OnReadHistory();
  f.host.RunPosts();
  EXPECT_EQ(f.host.statusNote, "正在接受历史数据");
}

}  // namespace
