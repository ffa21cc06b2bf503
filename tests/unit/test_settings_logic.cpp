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
    for (DataKind kind : kSettings) f.service.OnSettingsCommand(kind);
    EXPECT_EQ(f.Boxes(), std::vector<std::string>(4, c.box));
    EXPECT_TRUE(f.window.settingsDialogs.empty());
    EXPECT_EQ(f.runtime.PendingPosts(), 0u);
    EXPECT_EQ(f.service.Shown().dataKind, DataKind::Nothing);
  }
}

TEST(SettingsLogic, DuringAHistoryReadEachSettingIsRefusedAsTheReadsAre) {
  Frame f;
  f.Connect();
  f.service.OnReadHistory();
  f.runtime.RunPosts();
  f.window.boxes.clear();
  for (DataKind kind : kSettings) f.service.OnSettingsCommand(kind);
  EXPECT_EQ(f.Boxes(), std::vector<std::string>(4, "Please wait till history data completely received"));
  EXPECT_TRUE(f.window.settingsDialogs.empty());
  EXPECT_EQ(f.service.Shown().dataKind, DataKind::History);
}

TEST(SettingsLogic, ACancelledClockSendsNothingAndLeavesPollingStoppedAndKindFour) {
  Frame f;
  f.Connect();
  f.StartRealTime();
  f.service.OnSettingsCommand(DataKind::Clock);  // the fake dialog is cancelled
  f.runtime.RunPosts();
  EXPECT_EQ(f.service.Meter().LastCommand(), "D\r");
  EXPECT_FALSE(f.Polling());
  EXPECT_FALSE(f.runtime.Fire(TIMER_POLL));
  EXPECT_EQ(f.service.Shown().dataKind, DataKind::Clock);
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
    f.service.SetWavelengthListener([&] { ++updates; });
    f.service.OnSettingsCommand(DataKind::Wavelength);
    f.Feed(G(c.record));
    f.runtime.RunPosts();
    EXPECT_EQ(f.service.CurrentWavelength(), c.stored) << c.record;
    EXPECT_EQ(updates, 1) << c.record;
  }
}

TEST(SettingsLogic, AWavelengthAnswerOutsideTheWavelengthSettingsTellsNoDialog) {
  Frame f;
  f.Connect();
  int updates = 0;
  f.service.SetWavelengthListener([&] { ++updates; });
  f.service.OnSettingsCommand(DataKind::Mode);
  f.Feed(G("当前波长: 1310nm$"));
  f.runtime.RunPosts();
  EXPECT_EQ(updates, 0);
  EXPECT_EQ(f.service.CurrentWavelength(), "");
}

// The wordings meters answer a setting with, for the clock (refused: Set
// clock again) and the measurement mode (refused: nothing shown).
TEST(SettingsLogic, OnlyAnAnswerWithoutWordsOfFailureIsASuccess) {
  const struct {
    const char* records;
    bool taken;
  } cases[] = {
      {"设置成功\r\n$", true},
      {"设置失败\r\n$", false},
      {"设置不成功\r\n$", false},
      {"设置失败(未成功)\r\n$", false},
      {"当前波长: 1310nm\r\n$设置成功\r\n$", true},
  };
  for (const auto& c : cases) {
    for (DataKind kind : {DataKind::Clock, DataKind::Mode}) {
      Frame f;
      f.Connect();
      f.service.OnSettingsCommand(kind);
      if (kind == DataKind::Clock) f.service.SendSetting(settings::ClockFields{2026, 12, 7, 10, 0, 0});
      else f.service.SendSetting(settings::ModeChoice{false});
      f.runtime.RunPosts();
      f.Feed(G(c.records));
      f.runtime.RunPosts();
      const bool clockAgain = kind == DataKind::Clock && !c.taken;
      EXPECT_EQ(f.Boxes(), c.taken ? std::vector<std::string>{"Set up successful"}
                                   : std::vector<std::string>{})
          << c.records;
      EXPECT_EQ(f.window.settingsDialogs.size(), clockAgain ? 2u : 1u) << c.records;
    }
  }
}

TEST(SettingsLogic, ARecordThatIsNoAnswerToTheSettingJustSentOpensNoSecondClock) {
  // A reading still on its way when Set clock opens.
  Frame f;
  f.Connect();
  f.StartRealTime();
  f.service.OnSettingsCommand(DataKind::Clock);
  f.Feed(ReadingRecord());
  f.runtime.RunPosts();
  f.service.SendSetting(settings::ClockFields{2026, 12, 7, 10, 0, 0});
  f.Feed(ReadingRecord());
  f.runtime.RunPosts();
  EXPECT_EQ(f.window.settingsDialogs, std::vector<DataKind>{DataKind::Clock});
  EXPECT_TRUE(f.Boxes().empty());

  // A refused reset after a cancelled Set clock.
  Frame g;
  g.Connect();
  g.service.OnSettingsCommand(DataKind::Clock);  // cancelled: nothing sent
  g.window.answers.push_back(BoxAnswer::Yes);
  g.service.OnReset();
  g.runtime.RunPosts();
  g.Feed(G("恢复出厂设置失败\r\n$"));
  g.runtime.RunPosts();
  EXPECT_EQ(g.window.settingsDialogs, std::vector<DataKind>{DataKind::Clock});
}

}  // namespace
