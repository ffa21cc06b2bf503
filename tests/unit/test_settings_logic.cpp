// The main frame's side of the four settings commands, and the answers to
// them, against a fake window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/FakeFrame.h"

namespace {

const DataKind kSettings[] = {DataKind::Clock, DataKind::Wavelength, DataKind::Calibration,
                              DataKind::Mode};

TEST(SettingsLogic, EachSettingNeedsALinkInEveryLanguageAndSendsNothing) {
  const struct {
    const char* language;
    const char* box;
  } cases[] = {{"1", "Please connect first"}, {"0", "请先建立连接"}};
  for (const auto& c : cases) {
    Frame f(c.language);
    for (DataKind kind : kSettings) f.logic.OnSettingsCommand(kind);
    EXPECT_EQ(f.Boxes(), std::vector<std::string>(4, c.box));
    EXPECT_TRUE(f.window.settingsDialogs.empty());
    EXPECT_EQ(f.runtime.PendingPosts(), 0u);
    EXPECT_EQ(f.logic.Shown().dataKind, DataKind::Nothing);
  }
}

TEST(SettingsLogic, DuringAHistoryReadEachSettingIsRefusedAsTheReadsAre) {
  Frame f;
  f.Connect();
  f.logic.OnReadHistory();
  f.runtime.RunPosts();
  f.window.boxes.clear();
  for (DataKind kind : kSettings) f.logic.OnSettingsCommand(kind);
  EXPECT_EQ(f.Boxes(), std::vector<std::string>(4, "Please wait till history data completely received"));
  EXPECT_TRUE(f.window.settingsDialogs.empty());
  EXPECT_EQ(f.logic.Shown().dataKind, DataKind::History);
}

TEST(SettingsLogic, ACancelledClockSendsNothingAndLeavesPollingStoppedAndKindFour) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  f.logic.OnSettingsCommand(DataKind::Clock);  // the fake dialog is cancelled
  f.runtime.RunPosts();
  EXPECT_EQ(f.logic.Meter().LastCommand(), "D\r");
  EXPECT_FALSE(f.Polling());
  EXPECT_FALSE(f.runtime.Fire(TIMER_POLL));
  EXPECT_EQ(f.logic.Shown().dataKind, DataKind::Clock);
}

TEST(SettingsLogic, TheOpenDialogHearsOfEachCurrentWavelengthTheMeterReports) {
  const struct {
    const char* record;
    const char* stored;
  } cases[] = {
      {"当前波长: 850 nm\r\n设置成功\r\n$", "850 "},
      {"当前波长: 1310nm$", "1310"},
      {"当前波长: 98$", "98$"},  // shorter than the four bytes: what is there
      {"当前波长: $", "$"},
      {"当前波长:$", ""},
  };
  for (const auto& c : cases) {
    Frame f;
    f.Connect();
    int updates = 0;
    f.logic.SetWavelengthListener([&] { ++updates; });
    f.logic.OnSettingsCommand(DataKind::Wavelength);
    f.Feed(G(c.record));
    f.runtime.RunPosts();
    EXPECT_EQ(f.logic.CurrentWavelength(), c.stored) << c.record;
    EXPECT_EQ(updates, 1) << c.record;
  }
}

TEST(SettingsLogic, AWavelengthAnswerOutsideTheWavelengthSettingsTellsNoDialog) {
  Frame f;
  f.Connect();
  int updates = 0;
  f.logic.SetWavelengthListener([&] { ++updates; });
  f.logic.OnSettingsCommand(DataKind::Mode);
  f.Feed(G("当前波长: 1310nm$"));
  f.runtime.RunPosts();
  EXPECT_EQ(updates, 0);
  EXPECT_EQ(f.logic.CurrentWavelength(), "");
}

}  // namespace
