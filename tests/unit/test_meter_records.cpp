// The simulated meter's records, read back with the program's text rules at
// the offsets the table page and the reply assembly use.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/Gbk.h"
#include "common/GbkKeywords.h"
#include "common/TextRules.h"
#include "sim/MeterRecords.h"

// The names under test, unqualified in this file only.
namespace meter_records_test {
using namespace text;

namespace {

std::tm Time(int y, int mo, int d, int h, int mi, int s) {
  std::tm t{};
  t.tm_year = y - 1900;
  t.tm_mon = mo - 1;
  t.tm_mday = d;
  t.tm_hour = h;
  t.tm_min = mi;
  t.tm_sec = s;
  return t;
}

// The reading fields as kinds 0 and 1 cut them.
struct ReadingCells {
  std::string wavelength, linear, log, time, graphValue;
};

ReadingCells Cut(const std::string& r) {
  ReadingCells c;
  c.wavelength = CutAt(From(r, Pos(r, gbk::kWavelength) + 10), "nm");
  const std::string_view t = From(r, Pos(r, gbk::kLinear) + 10);
  c.linear = FirstN(t, Pos(t, "W") + 1);
  c.log = CutAt(From(r, Pos(r, gbk::kLog) + 10), "dBm");
  c.time = CutAt(From(r, Pos(r, gbk::kTime) + 10), "\r");
  c.graphValue = Mid(r, Pos(r, gbk::kLog) + 10, 6);
  return c;
}

}  // namespace

TEST(MeterRecords, ReadingFieldsSitAtTheTableOffsets) {
  meter::SentReading r;
  r.wavelengthNm = 1550;
  r.dbm = -19.123;
  r.time = Time(2012, 5, 6, 10, 20, 30);
  const std::string rec = meter::ReadingRecord("实时测量", r);
  ASSERT_EQ(rec.back(), '$');
  EXPECT_EQ(std::count(rec.begin(), rec.end(), '$'), 1);
  EXPECT_EQ(rec.find('?'), std::string::npos);
  EXPECT_TRUE(Contains(rec, gbk::kWave));
  const ReadingCells c = Cut(rec);
  EXPECT_EQ(c.wavelength, "1550");
  EXPECT_EQ(c.linear, "12.24uW");
  EXPECT_EQ(c.log, "-19.12");
  EXPECT_EQ(c.graphValue, "-19.12");
  EXPECT_EQ(LeadingInt(c.graphValue), -19);
  EXPECT_EQ(c.time, "12/05/06 10:20:30");

  // Values outside the meter's range stay six bytes long.
  r.dbm = -3.5;
  EXPECT_EQ(Cut(meter::ReadingRecord("x", r)).graphValue, "-10.00");
  r.dbm = -55;
  EXPECT_EQ(Cut(meter::ReadingRecord("x", r)).graphValue, "-39.99");
}

TEST(MeterRecords, EmptySlotsAndTheHistoryEnd) {
  const std::string empty = meter::EmptySlotRecord("历史记录 003");
  EXPECT_TRUE(Contains(empty, gbk::kWave));
  EXPECT_TRUE(Contains(Cut(empty).time, "00/00/00"));
  const std::string end = meter::HistoryEndRecord(12);
  EXPECT_TRUE(Contains(end, gbk::kHistoryEnd));
  EXPECT_FALSE(Contains(end, gbk::kWave));
  EXPECT_EQ(end.back(), '$');
}

TEST(MeterRecords, ParameterFieldsSitAtTheTableOffsets) {
  const std::string rec =
      meter::SentParameterRecord(1310, 1.0134, {-3.01, -2.99, -3.2, -3.0, 0.25, -2.5, -3.11, -2.98});
  ASSERT_TRUE(Contains(rec, gbk::kWavelengthColon));
  EXPECT_TRUE(Contains(rec, gbk::kRange7Cal));
  EXPECT_EQ(CutAt(From(rec, Pos(rec, gbk::kWavelength) + 6), "\r"), "1310");
  EXPECT_EQ(Mid(rec, Pos(rec, gbk::kSystemWavelength) + 16, 5), "1.013");
  const char* expected[8] = {"-3.01", "-2.99", "-3.20", "-3.00", "0.25", "-2.50", "-3.11", "-2.98"};
  for (int n = 0; n < 8; ++n) {
    const std::string label = std::string(gbk::kSystemRange) + char('0' + n);
    const std::string_view t = From(rec, Pos(rec, label) + 16);
    EXPECT_EQ(CutAt(From(t, 1), "dBm"), expected[n]) << "range " << n;
  }
  EXPECT_EQ(rec.back(), '$');
}

TEST(MeterRecords, WavelengthRepliesCarryTheCurrentWavelengthAndTheOutcome) {
  const std::string listing = meter::WavelengthCodeListing(0);
  EXPECT_EQ(Mid(listing, Pos(listing, gbk::kCurrentWavelength) + 10, 4), "850 ");
  EXPECT_TRUE(Contains(listing, gbk::kWavelengthCodesEnd));
  EXPECT_FALSE(Contains(listing, gbk::kSuccess));

  const std::string set = meter::WavelengthSettingReply(6, "设置", true);
  EXPECT_EQ(Mid(set, Pos(set, gbk::kCurrentWavelength) + 10, 4), "1625");
  EXPECT_TRUE(Contains(set, gbk::kSuccess));
  const std::string refused = meter::WavelengthSettingReply(3, "校准", false);
  EXPECT_EQ(Mid(refused, Pos(refused, gbk::kCurrentWavelength) + 10, 4), "1310");
  EXPECT_FALSE(Contains(refused, gbk::kSuccess));

  EXPECT_TRUE(Contains(meter::SentSettingReply("时间设置", true), gbk::kSuccess));
  EXPECT_FALSE(Contains(meter::SentSettingReply("时间设置", false), gbk::kSuccess));
  EXPECT_EQ(gbk::ToUtf8(meter::SentSettingReply("恢复出厂设置", true)), "恢复出厂设置成功\r\n$");
}

}  // namespace meter_records_test
