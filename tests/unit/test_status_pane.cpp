// The link pane's texts, and what the meter service puts in the pane: the scan,
// a history read's progress, Link pressed too soon, a reset's answer.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "app/StatusPane.h"
#include "tests/unit/FakeFrame.h"

namespace {

TEST(StatusPane, NumbersAndTimesReadAsTheOperatorExpects) {
  const std::pair<int, const char*> grouped[] = {
      {0, "0"}, {999, "999"}, {1000, "1,000"}, {1234567, "1,234,567"}, {-4321, "-4,321"}};
  for (const auto& [n, text] : grouped) EXPECT_EQ(statuspane::Grouped(n), text) << n;
  const std::pair<int, const char*> elapsed[] = {
      {0, "0:00"}, {7, "0:07"}, {754, "12:34"}, {3723, "1:02:03"}, {-5, "0:00"}};
  for (const auto& [s, text] : elapsed) EXPECT_EQ(statuspane::Elapsed(s), text) << s;
}

TEST(StatusPane, APortShowsItsNameAndItsDeviceOnce) {
  EXPECT_EQ(statuspane::PortText({"COM3", "/dev/ttyUSB0"}), "COM3 · /dev/ttyUSB0");
  EXPECT_EQ(statuspane::PortText({"/dev/pts/4", "/dev/pts/4"}), "/dev/pts/4");
  EXPECT_EQ(statuspane::PortText({"", "/dev/pts/4"}), "/dev/pts/4");
  EXPECT_EQ(statuspane::Lost(false, {"COM3", "/dev/ttyUSB0"}, "14:05:09"),
            "Lost COM3 · /dev/ttyUSB0 at 14:05:09");
  EXPECT_EQ(statuspane::Lost(true, {"COM3", "/dev/ttyUSB0"}, "14:05:09"),
            "14:05:09 与 COM3 · /dev/ttyUSB0 的连接已断开");
}

std::string G2(const char* utf8) { return gbk::FromUtf8(utf8); }

std::string HistoryRecord(int n) {
  return G2("波长:     1310nm\r\n线性:     1.23uW\r\n对数:     -29.10dBm\r\n时间:     12/05/06 10:20:") +
         std::to_string(10 + n) + "\r\n$";
}

TEST(LinkPane, AHistoryReadCountsItsRecordsEverySecondAndSaysWhenItIsComplete) {
  Frame f;
  f.Connect();
  f.service.OnReadHistory();
  EXPECT_EQ(f.View().linkNote, "History: 0 records · 0:00");
  f.runtime.RunPosts();
  for (int i = 0; i < 3; ++i) f.Feed(HistoryRecord(i));
  f.runtime.RunPosts();
  ASSERT_TRUE(f.runtime.Fire(TIMER_HISTORY_PROGRESS));
  f.runtime.Fire(TIMER_HISTORY_PROGRESS);
  EXPECT_EQ(f.View().linkNote, "History: 3 records · 0:02");
  f.Feed(HistoryRecord(3) + G2("历史记录调阅结束\r\n$"));
  EXPECT_FALSE(f.runtime.Running(TIMER_HISTORY_PROGRESS));
  f.runtime.RunPosts();
  EXPECT_EQ(f.View().linkNote, "History complete: 4 records");
}

TEST(LinkPane, AHistoryCutOffSaysItIsIncompleteAndHowManyRecordsCame) {
  Frame f;
  f.Connect();
  f.service.OnReadHistory();
  f.runtime.RunPosts();
  f.Feed(HistoryRecord(0) + HistoryRecord(1));
  f.runtime.RunPosts();
  f.service.Meter().LineLost();
  f.runtime.RunPosts();
  EXPECT_EQ(f.View().linkNote.rfind("History incomplete: the line was lost after 2 records · Lost ", 0), 0u)
      << f.View().linkNote;
  EXPECT_EQ(f.table.Model().RowCount(), 2);
  EXPECT_FALSE(f.runtime.Running(TIMER_HISTORY_PROGRESS));
}

TEST(LinkPane, LinkPressedWithinTheSecondAfterADisconnectSaysToWait) {
  Frame f;
  f.Connect();
  f.service.OnLink();  // disconnects
  EXPECT_EQ(f.View().linkNote, "No meter connected");
  f.service.OnLink();
  EXPECT_EQ(f.View().linkNote, "Please wait a moment before pressing Link again");
  EXPECT_EQ(f.View().linkTip, "No meter connected");
}

TEST(LinkPane, AResetShowsTheMetersAnswerOrItsSilence) {
  for (const bool answers : {true, false}) {
    Frame f;
    f.Connect();
    f.window.answers = {BoxAnswer::Yes};
    f.service.OnReset();
    ASSERT_TRUE(f.runtime.Running(TIMER_RESET_ANSWER));
    f.runtime.RunPosts();
    if (answers) f.Feed(G2("成功\r\n$"));
    f.runtime.Fire(TIMER_RESET_ANSWER);
    EXPECT_FALSE(f.runtime.Running(TIMER_RESET_ANSWER));
    EXPECT_EQ(f.View().linkNote,
              answers ? "Reset: factory settings restored (成功)" : "Reset: no answer from the meter");
  }
}

// What the panes say about the data shown goes when other data is shown: a
// history read's count after parameters or an opened file, the opened file's
// path once live rows replace it.
TEST(StatusPanes, WhatTheySayAboutTheShownDataGoesWithIt) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("km360r-panes-" + std::to_string(::getpid()) + ".hif");
  for (const bool openFile : {false, true}) {
    Frame f;
    f.Connect();
    f.service.OnReadHistory();
    f.runtime.RunPosts();
    f.Feed(HistoryRecord(0) + G2("历史记录调阅结束\r\n$"));
    f.runtime.RunPosts();
    ASSERT_EQ(f.View().linkNote, "History complete: 1 records");
    if (openFile) {
      f.window.savePath = file.string();
      f.service.OnSaveData();
      f.runtime.RunPosts();
      f.window.openPath = file.string();
      f.service.OnOpenFile();
      f.runtime.RunPosts();
      EXPECT_EQ(f.View().statusNote, file.string());
    } else {
      f.service.OnReadParams();
    }
    EXPECT_EQ(f.View().linkNote, f.View().linkTip) << openFile;
    f.StartRealTime();
    EXPECT_EQ(f.View().statusNote, "Equipment connected") << openFile;
  }
  std::filesystem::remove(file);
}

}  // namespace
