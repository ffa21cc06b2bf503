// A record read once by the meter model: a measurement's numbers from the
// meter's own texts, which stay as written for the table, and a setting's
// answer by the model's markers.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "device/MeterModel.h"
#include "tests/unit/TestText.h"

namespace {

struct Case {
  const char* log;
  const char* linear;
  const char* wavelength;
  std::optional<double> dBm;
  std::optional<double> linearValue;
  const char* unit;
  std::optional<int> nm;
  int plot;
};

}  // namespace

TEST(RecordReading, NumbersComeFromTheTextsWhichStayAsWritten) {
  const Case cases[] = {
      {"-19.09", "12.34uW", "1310", -19.09, 12.34, "uW", 1310, -19},
      {"  -7.5000", " 0.178mW", "850 ", -7.5, 0.178, "mW", 850, -7},
      {"+1.20", "1.318mW", "1550", 1.2, 1.318, "mW", 1550, 1},
      {"--.--", "LOW", "1490", std::nullopt, std::nullopt, "", 1490, 0},
      {"-45.00", "31.6nW", "13.5", -45.0, 31.6, "nW", std::nullopt, -45},
  };
  for (const Case& c : cases) {
    const meter::Record record = Km360rRecord(G(std::string("实时数据\r\n波长    : ") + c.wavelength +
                                             "nm\r\n线性功率: " + c.linear + "\r\n对数功率: " + c.log +
                                             "dBm\r\n时间    : 12/05/06 10:20:30\r\n$"));
    const auto& m = record.AsMeasurement();
    ASSERT_TRUE(m) << c.log;
    EXPECT_EQ(m->logPower, c.log);
    EXPECT_EQ(m->wavelength, c.wavelength);
    EXPECT_EQ(m->meterTime, "12/05/06 10:20:30");
    EXPECT_EQ(m->dBm, c.dBm) << c.log;
    EXPECT_EQ(m->linear, c.linearValue) << c.linear;
    EXPECT_EQ(m->linearUnit, c.unit) << c.linear;
    EXPECT_EQ(m->wavelengthNm, c.nm) << c.wavelength;
    // The graph plots the leading integer of the six bytes behind the label.
    EXPECT_EQ(m->plotDbm, c.plot) << c.log;
    EXPECT_EQ(record.PlotDbm(), c.plot) << c.log;
  }
  EXPECT_FALSE(Km360rRecord(G("历史记录调阅结束$")).AsMeasurement());
}

// A second meter is a second model: its answers are read by its own words.
TEST(RecordReading, AnAnswerIsJudgedByTheMarkersOfTheMeterOnTheLine) {
  static constexpr std::string_view kRefusals[] = {"NG", "NOT OK"};
  const meter::Model& km360r = meters::km360r::Model();
  meter::Model other = km360r;
  other.markers.success = "OK";
  other.markers.refusals = kRefusals;
  other.markers.reading = "dBm";
  meter::Model unlabelled = other;  // its readings carry no label
  unlabelled.markers.reading = {};
  const struct {
    std::string record;
    const meter::Model& model;
    meter::Answer answer;
  } cases[] = {
      {"SET OK\r\n$", other, meter::Answer::Taken},
      {"SET NOT OK\r\n$", other, meter::Answer::Refused},
      {"SET NG\r\n$", other, meter::Answer::Refused},
      {"-10.00dBm OK\r\n$", other, meter::Answer::None},
      {G("设置成功\r\n$"), other, meter::Answer::None},
      {G("设置成功\r\n$"), km360r, meter::Answer::Taken},
      {"SET OK\r\n$", km360r, meter::Answer::None},
      {"SET OK\r\n$", unlabelled, meter::Answer::Taken},
  };
  for (const auto& c : cases) EXPECT_EQ(meter::ReadRecord(c.model, c.record).SettingAnswer(), c.answer) << c.record;
}
