// The settings' values as the operator types them.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "settings/SettingsCommands.h"
#include "settings/SettingsTexts.h"

namespace {

using settings::CalibrationValue;

TEST(SettingsCommands, ACalibrationFieldTakesOneOrTwoDigitsAndNothingElse) {
  const struct {
    const char* typed;
    std::optional<int> value;
  } cases[] = {{"5", 5},          {"05", 5},         {" 7 ", 7},        {"99", 99},
               {"", std::nullopt}, {" ", std::nullopt}, {"123", std::nullopt},
               {"1a", std::nullopt}, {"-1", std::nullopt}, {"2147483648", std::nullopt}};
  for (const auto& c : cases) {
    EXPECT_EQ(settings::ParseCalibrationField(c.typed), c.value) << '"' << c.typed << '"';
  }
}

TEST(SettingsCommands, ACalibrationValueIsSignIntegerPointAndTwoDigitFraction) {
  const auto parsed = [](const char* text) {
    const std::optional<CalibrationValue> v = settings::ParseCalibrationValue(text);
    return v ? std::string(v->positive ? "+" : "-") + std::to_string(v->integer) + "|" +
                   std::to_string(v->fraction)
             : std::string("refused");
  };
  EXPECT_EQ(parsed("+1.05"), "+1|5");
  EXPECT_EQ(parsed("-0.50"), "-0|50");
  EXPECT_EQ(parsed("+12.00"), "+12|0");
  for (const char* bad : {"1.05", "+123.00", "+1.5", "+1.050", "+.05", "+1,05", "", "+1.0x"}) {
    EXPECT_EQ(parsed(bad), "refused") << bad;
  }
}

TEST(SettingsCommands, ClockTimeMustExistAndFitTheMetersTwoDigitYear) {
  // What it reads reaches the meter as typed: test_km360r_settings.cpp.
  EXPECT_TRUE(settings::ParseClockTime("2028-02-29 09:05:30"));
  for (const char* bad : {"2026-02-29 00:00:00", "1999-12-31 23:59:59", "2100-01-01 00:00:00",
                          "2026-12-06 24:00:00", "2026-12-06T09:05:30", "2026-13-01 00:00:00",
                          "2026-12-6 09:05:30"}) {
    EXPECT_FALSE(settings::ParseClockTime(bad)) << bad;
  }
}

TEST(SettingsTexts, WithoutALanguageIndexEveryDialogTextIsEmpty) {
  const settings::CalibrationTexts c = settings::CalibrationTexts::For(std::nullopt);
  EXPECT_EQ(c.m_strCaption + c.m_strNote + c.m_strGroupText + c.m_strOkText + c.m_strCancelText +
                c.m_strCurrentText,
            "");
  const settings::ModeTexts m = settings::ModeTexts::For(std::nullopt);
  EXPECT_EQ(m.m_strCaption + m.m_strPromptText + m.m_strNormalText + m.m_strReferenceText, "");
  EXPECT_EQ(settings::ClockTexts::For(std::nullopt).m_strDateText, "");
  EXPECT_EQ(settings::WavelengthTexts::For(std::nullopt).m_strCurrentText, "");
}

TEST(SettingsTexts, TheCalibrationNoteAndLabelAreExactPerLanguage) {
  // Leading blanks included: they place the texts in the dialog. The branded
  // languages name the meter model, the neutral ones do not.
  const struct {
    lang::Index index;
    const char* note;
    const char* current;
  } cases[] = {
      {lang::Index::Zero,
       "       友情提示:请调整光源输出到-3dbm,并插入到KM360R的输入端口",
       "       当前波长:"},
      {lang::Index::One,
       "Note: Please adjust  laser source output to -3dbm, and insert into the input port of KM360R",
       "Current wavelength:"},
      {lang::Index::Two,
       "                       友情提示:请调整光源输出到-3dbm,并插入到光功率计的输入端口",
       "          当前波长:"},
      {lang::Index::Three,
       "Note: Please adjust  laser source output to -3dbm, and insert into the input port of optical power meter",
       "Current wavelength:"},
  };
  for (const auto& c : cases) {
    const settings::CalibrationTexts texts = settings::CalibrationTexts::For(c.index);
    EXPECT_EQ(texts.m_strNote, c.note);
    EXPECT_EQ(texts.m_strCurrentText, c.current);
  }
}

}  // namespace
