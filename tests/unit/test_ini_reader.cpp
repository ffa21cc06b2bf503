#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "common/FrameTexts.h"
#include "common/IniReader.h"
#include "common/Language.h"
#include "common/Settings.h"

namespace {

class IniFile : public ::testing::Test {
 protected:
  // One file per test: ctest runs the tests of this fixture in parallel.
  std::string path_ = ::testing::TempDir() + "km360r_ini_" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
  void Write(const std::string& bytes) {
    std::ofstream(path_, std::ios::binary) << bytes;
  }
  std::string Language() { return CIniReader(path_).GetValue("config", "language", "DEF"); }
  void TearDown() override { std::remove(path_.c_str()); }
};

TEST_F(IniFile, ReadsTheValueUnchanged) {
  Write("[config]\r\nlanguage=1\r\n");
  EXPECT_EQ(Language(), "1");
  Write("[config]\r\nlanguage=3 ;comment\r\n");
  EXPECT_EQ(Language(), "3 ;comment");
  EXPECT_EQ(lang::Resolve(Language()), lang::Index::Three);
}

TEST_F(IniFile, MissingPiecesGiveTheDefault) {
  EXPECT_EQ(Language(), "DEF");  // no file
  Write("");
  EXPECT_EQ(Language(), "DEF");
  Write("[config]");
  EXPECT_EQ(Language(), "DEF");
  Write("[config]\r\nlanguage=1");  // last line without line end
  EXPECT_EQ(Language(), "DEF");
  Write("[config]\r\nlanguage = 1\r\n");  // blank before "="
  EXPECT_EQ(Language(), "DEF");
  Write("[config]\r\nLanguage=1\r\n");  // case-sensitive key
  EXPECT_EQ(Language(), "DEF");
  Write("[config] \r\nlanguage=1\r\n");  // blank after the header
  EXPECT_EQ(Language(), "DEF");
  Write("[ config ]\r\nlanguage=1\r\n");
  EXPECT_EQ(Language(), "DEF");
  EXPECT_EQ(CIniReader(path_).GetValue("", "language", "D2"), "D2");
}

TEST_F(IniFile, KeySearchIsASubstringSearchPastLaterSections) {
  Write("[config]\r\n[other]\r\nlanguage=2\r\n");
  EXPECT_EQ(Language(), "2");
  Write("[config]\r\nxlanguage=0\r\nlanguage=3\r\n");
  EXPECT_EQ(Language(), "0");
}

TEST_F(IniFile, SettingsHoldTheLanguageAndTheDriveAsWrittenAndEmptyWithoutAFile) {
  const config::Settings none = config::Settings::ReadFrom(path_);
  EXPECT_EQ(none.language, "");
  EXPECT_EQ(none.drive, "");
  EXPECT_EQ(none.LanguageIndex(), std::nullopt);
  Write("[config]\r\ndrive=D:\\data\r\nlanguage=31\r\n");
  const config::Settings s = config::Settings::ReadFrom(path_);
  EXPECT_EQ(s.language, "31");
  EXPECT_EQ(s.drive, "D:\\data");
  EXPECT_EQ(s.LanguageIndex(), lang::Index::One);
}

TEST_F(IniFile, LfLineEndsReadLikeCrLf) {
  Write("[config]\nlanguage=2\n");
  EXPECT_EQ(Language(), "2");
  Write("[config]\nlanguage=2");
  EXPECT_EQ(Language(), "DEF");
}

TEST_F(IniFile, TextEndsAtTheFirstNul) {
  Write(std::string("[config]\r\n\0language=1\r\n", 23));
  EXPECT_EQ(Language(), "DEF");
}

TEST(LanguageRule, SubstringTestsInOrder) {
  EXPECT_EQ(lang::Resolve("10"), lang::Index::Zero);
  EXPECT_EQ(lang::Resolve(" 0 "), lang::Index::Zero);
  EXPECT_EQ(lang::Resolve("31"), lang::Index::One);
  EXPECT_EQ(lang::Resolve("3 "), lang::Index::Three);
  EXPECT_EQ(lang::Resolve("2"), lang::Index::Two);
  EXPECT_EQ(lang::Resolve(""), std::nullopt);
  EXPECT_EQ(lang::Resolve("en"), std::nullopt);
}

TEST(LanguageRule, TextsAndCaptionsPerIndex) {
  EXPECT_EQ(FrameTexts::For(lang::Index::Two).m_strNotConnected, "设备未连接");
  EXPECT_EQ(FrameTexts::For(lang::Index::Three).m_strNotConnected, "Equipment not connected yet");
  EXPECT_EQ(FrameTexts::For(lang::Index::Two).m_strWaitHistory, "请等待历史数据接受完毕");
  EXPECT_TRUE(FrameTexts::For(std::nullopt).m_strExitAsk.empty());
  EXPECT_EQ(*MainWindowCaption(lang::Index::One),
            "Halvex PON Optical Power Meter Management Software  V1.0");
  EXPECT_EQ(*MainWindowCaption(lang::Index::Two), "光功率计管理软件V1.0");
  EXPECT_FALSE(MainWindowCaption(std::nullopt).has_value());
}

}  // namespace
