#include <gtest/gtest.h>

#include <random>

#include "common/Gbk.h"
#include "common/GbkKeywords.h"
#include "common/TextRules.h"

// The names under test, unqualified in this file only.
namespace text_rules_test {
using namespace text;

TEST(TextRules, MissingTextsCarryMinusOneIntoTheArithmetic) {
  const std::string r = "abc";
  EXPECT_EQ(Pos(r, "x"), -1);
  // pos(missing) + 10 = 9: the cut starts at byte 9.
  EXPECT_EQ(From("0123456789AB", Pos("0123456789AB", "zz") + 10), "9AB");
  EXPECT_EQ(From(r, -5), "abc");
  EXPECT_EQ(From(r, 3), "");
  EXPECT_EQ(From(r, 40), "");
  EXPECT_EQ(CutAt("12.5 nm rest", "nm"), "12.5 ");
  EXPECT_EQ(CutAt("12.5", "nm"), "");
  EXPECT_EQ(FirstN("abcdef", -1), "");
  EXPECT_EQ(FirstN("abcdef", 0), "");
  EXPECT_EQ(FirstN("abcdef", 3), "abc");
  EXPECT_EQ(FirstN("abc", 30), "abc");
  EXPECT_EQ(Mid("abcdef", -3, 2), "ab");
  EXPECT_EQ(Mid("abcdef", 4, 10), "ef");
}

TEST(TextRules, SearchMatchesOnlyAtCharacterStarts) {
  // 凶 is 0xD0 0xD7 in GBK: its trail byte is the ASCII "W".
  const std::string s = "\xD0\xD7" "12W";
  EXPECT_EQ(Pos(s, "W"), 4);
  // Keywords are found after other Chinese text.
  const std::string rec = std::string(gbk::kTime) + std::string(gbk::kWavelength) + "x";
  EXPECT_EQ(Pos(rec, gbk::kWavelength), 4);
  EXPECT_EQ(Pos(rec, gbk::kWave), 4);
}

// The search's definition: walk the characters from the start (two bytes from
// a lead byte that is not the last byte, one from any other) and compare at each.
int WalkingPos(std::string_view s, std::string_view key) {
  for (size_t i = 0; i + key.size() <= s.size(); i += IsLeadByte(s[i]) && i + 1 < s.size() ? 2 : 1) {
    if (s.substr(i, key.size()) == key) return static_cast<int>(i);
  }
  return -1;
}

TEST(TextRules, SearchAgreesWithTheCharacterWalkOnRandomTexts) {
  std::mt19937 rng(11);
  const std::string keys[] = {"W", "dBm", "\xB2\xA8", "\xA8\xB2", "\xB2\xB2W", std::string(gbk::kTestTime)};
  const std::string alphabet = "\xB2\xA8\xB3W dBm\xD0";
  for (int round = 0; round < 20000; ++round) {
    const std::string& key = keys[rng() % std::size(keys)];
    std::string text;
    for (size_t i = rng() % 30; i > 0; --i) {
      text += rng() % 6 == 0 ? key : std::string(1, alphabet[rng() % alphabet.size()]);
    }
    ASSERT_EQ(Pos(text, key), WalkingPos(text, key)) << "round " << round;
  }
}

TEST(TextRules, TrimAndLeadingInteger) {
  EXPECT_EQ(TrimRight("12 \t\r\n"), "12");
  EXPECT_EQ(TrimRight("   "), "");
  EXPECT_EQ(LeadingInt("-12.34"), -12);
  EXPECT_EQ(LeadingInt("  +7dBm"), 7);
  EXPECT_EQ(LeadingInt("dBm"), 0);
  EXPECT_EQ(LeadingInt(""), 0);
  EXPECT_EQ(LeadingInt("-0.5"), 0);
}

TEST(Gbk, KeywordsDecodeToTheirCharacters) {
  EXPECT_EQ(gbk::ToUtf8(gbk::kWave), "波");
  EXPECT_EQ(gbk::ToUtf8(gbk::kWavelengthColon), "波长：");
  EXPECT_EQ(gbk::ToUtf8(gbk::kLog), "对数");
  EXPECT_EQ(gbk::ToUtf8(gbk::kLinear), "线性");
  EXPECT_EQ(gbk::ToUtf8(gbk::kTime), "时间");
  EXPECT_EQ(gbk::ToUtf8(gbk::kSuccess), "成功");
  EXPECT_EQ(gbk::ToUtf8(gbk::kFailure), "失败");
  EXPECT_EQ(gbk::ToUtf8(gbk::kNotSuccess), "不成功");
  EXPECT_EQ(gbk::ToUtf8(gbk::kRange7Cal), "量程7校准");
  EXPECT_EQ(gbk::ToUtf8(gbk::kWavelengthCodesEnd), "以上内容为波长代码");
  EXPECT_EQ(gbk::ToUtf8(gbk::kHistoryEnd), "历史记录调阅结束");
  EXPECT_EQ(gbk::ToUtf8(gbk::kCurrentWavelength), "当前波长");
  EXPECT_EQ(gbk::ToUtf8(gbk::kSystemWavelength), "系统波长");
  EXPECT_EQ(gbk::ToUtf8(gbk::kSystemRange), "系统量程");
  EXPECT_EQ(gbk::ToUtf8(gbk::kTestTime), "测试时间");
  EXPECT_EQ(gbk::ToUtf8(gbk::kRemark), "备注");
  EXPECT_EQ(gbk::ToUtf8(gbk::kRange7CalValue), "量程7校准值");
  EXPECT_EQ(gbk::ToUtf8(gbk::kRange), "量程");
  EXPECT_EQ(gbk::ToUtf8(gbk::kCalValue), "校准值");
  EXPECT_EQ(gbk::ToUtf8(gbk::kWavelengthCalValue), "波长校准值");
  EXPECT_EQ(gbk::ToUtf8(gbk::kLinearPower), "线性功率");
  EXPECT_EQ(gbk::ToUtf8(gbk::kLogPower), "对数功率");
}

TEST(Gbk, RoundTripAndDamagedInput) {
  EXPECT_EQ(gbk::FromUtf8("波长 1310nm"), std::string(gbk::kWavelength) + " 1310nm");
  // A lone lead byte at the end and a byte that starts no character are
  // replaced, and the text after them survives.
  EXPECT_EQ(gbk::ToUtf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(gbk::ToUtf8("ok\xB2"), "ok\xEF\xBF\xBD");
  // Appending converts onto what is there, ASCII and GBK alike.
  std::string line = "No.\t";
  gbk::AppendUtf8(line, "12 " + std::string(gbk::kRemark) + "\xFF" + "x");
  EXPECT_EQ(line, "No.\t12 备注\xEF\xBF\xBDx");
  EXPECT_EQ(gbk::ToUtf8("2026/12/07 10:00 " + std::string(gbk::kRemark)), "2026/12/07 10:00 备注");
  // A character GBK cannot hold becomes one "?".
  EXPECT_EQ(gbk::FromUtf8("x\xF0\x9F\x98\x80y"), "x?y");
}

}  // namespace text_rules_test
