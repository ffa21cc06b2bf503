#include <gtest/gtest.h>

#include "app/SharedState.h"
#include "TablePageTestHost.h"

namespace {

// Records as the meter lays them out: each value starts 10 bytes after the
// start of its keyword ("波长", "线性", "对数", "时间").
std::string Reading(const std::string& wavelength, const std::string& linear,
                    const std::string& log, const std::string& time) {
  return G("波长：    " + wavelength + "\r\n线性功率：" + linear + "\r\n对数功率：" + log +
           "\r\n测试时间：    " + time + "\r\n$");
}

// A system-parameter record: "波长：" then the calibration values 16 bytes
// after "系统波长" and one byte after 16 bytes after "系统量程N".
std::string Parameters(const std::string& wavelength, const std::string& calibration,
                       const std::string& rangePrefix) {
  std::string r = "波长：" + wavelength + "\r\n系统波长校准值：" + calibration + "\r\n";
  for (int n = 0; n < 8; ++n) {
    r += "系统量程" + std::to_string(n) + "校准值：" + rangePrefix + std::to_string(n) + "dBm\r\n";
  }
  return G(r + "$");
}

class TablePageRecords : public ::testing::Test {
 protected:
  void SetUp() override { ResetSharedState(); }
  RecordingTableHost host;
  TablePage page{host, TextsFor("1"), "1"};
  const TableModel& table = page.Model();

  std::vector<std::string> Row(int row) {
    std::vector<std::string> cells;
    for (int c = 0; c < table.ColumnCount(); ++c) cells.push_back(U(table.Cell(row, c)));
    return cells;
  }
};

TEST_F(TablePageRecords, RealTimeReadingsAreNumberedFromOneAndScrolledTo) {
  g_nDataKind = datakind::kRealTime;
  page.OnRecordReady(Reading("1310nm", "12.34uW", "-19.09dBm", "12/05/06 10:20:30"));
  page.OnRecordReady(G("no keyword here: 12.34uW$"));
  page.OnRecordReady(Reading("1550nm", "1.5mW", "1.76dBm", "12/05/06 10:20:31  "));
  page.OnRecordReady(Reading("850nm", "2nW", "-57.0dBm", "99/12/31 23:59:59"));
  ASSERT_EQ(table.RowCount(), 3);
  EXPECT_EQ(g_nRowCount, 3);
  EXPECT_EQ(Row(0), (std::vector<std::string>{"1", "1310", "12.34uW", "-19.09",
                                               "2012/05/06 10:20:30", ""}));
  EXPECT_EQ(Row(1)[0], "2");
  EXPECT_EQ(Row(1)[4], "2012/05/06 10:20:31");  // trailing blanks removed
  EXPECT_EQ(Row(2)[0], "3");
  EXPECT_EQ(Row(2)[4], "2099/12/31 23:59:59");
  // The record without "波" neither added a row nor scrolled.
  EXPECT_EQ(host.calls, (std::vector<std::string>{"scroll 0", "scroll 1", "scroll 2"}));
}

TEST_F(TablePageRecords, MissingUnitsGiveEmptyCells) {
  g_nDataKind = datakind::kRealTime;
  page.OnRecordReady(Reading("1310", "12.34u", "-19.09dBm", "12/05/06 10:20:30"));
  EXPECT_EQ(Row(0)[1], "");  // no "nm"
  EXPECT_EQ(Row(0)[2], "");  // no "W"
  EXPECT_EQ(Row(0)[3], "-19.09");
  // Only "波" and no other keyword: the -1 arithmetic cuts from byte 9.
  page.OnRecordReady(G("0123456789波nm W dBm\r"));
  EXPECT_EQ(Row(1)[0], "2");
  EXPECT_EQ(Row(1)[1], "9波");
  EXPECT_EQ(Row(1)[2], "9波nm W");
  EXPECT_EQ(Row(1)[3], "9波nm W ");
  EXPECT_EQ(Row(1)[4], "209波nm W dBm");
}

TEST_F(TablePageRecords, HistorySkipsEmptySlotsWithoutUsingTheirNumber) {
  g_nDataKind = datakind::kHistory;
  page.OnRecordReady(Reading("1310nm", "1uW", "-30.00dBm", "12/05/06 10:20:30"));
  page.OnRecordReady(Reading("1310nm", "1uW", "-30.00dBm", "00/00/00 00:00:00"));
  page.OnRecordReady(Reading("1490nm", "2uW", "-26.99dBm", "12/05/07 08:00:00"));
  ASSERT_EQ(table.RowCount(), 2);
  EXPECT_EQ(Row(1), (std::vector<std::string>{"2", "1490", "2uW", "-26.99",
                                               "2012/05/07 08:00:00", ""}));
  EXPECT_EQ(host.calls, (std::vector<std::string>{"scroll 0", "scroll 1"}));
}

TEST_F(TablePageRecords, ParameterRecordsStackWithTheLastOnTop) {
  page.ApplyLayout(Layout::Parameters);
  g_nDataKind = datakind::kParameters;
  page.OnRecordReady(Parameters("850", "0.12345", "-1.0"));
  page.OnRecordReady(G("波长 without the full-width colon$"));
  page.OnRecordReady(Parameters("1310", "0.2", "-2.0"));
  page.OnRecordReady(Parameters("1550", "0.3", "-3.0"));
  ASSERT_EQ(table.RowCount(), 3);
  EXPECT_EQ(g_nRowCount, 0);
  EXPECT_EQ(Row(0), (std::vector<std::string>{"1550", "0.3\r\n", "-3.00", "-3.01", "-3.02",
                                               "-3.03", "-3.04", "-3.05", "-3.06", "-3.07"}));
  EXPECT_EQ(Row(1)[0], "1310");
  EXPECT_EQ(Row(2)[0], "850");
  EXPECT_EQ(Row(2)[1], "0.123");  // five bytes
  // Every accepted record scrolls to the last row.
  EXPECT_EQ(host.calls, (std::vector<std::string>{"scroll 0", "scroll 1", "scroll 2"}));
}

TEST_F(TablePageRecords, WavelengthCodesAndIdleKindsAddNoRow) {
  for (int kind : {datakind::kWavelengthCodes, datakind::kNothing, 42}) {
    g_nDataKind = kind;
    page.OnRecordReady(Reading("1310nm", "1uW", "-30dBm", "12/05/06 10:20:30"));
  }
  EXPECT_EQ(table.RowCount(), 0);
  EXPECT_TRUE(host.calls.empty());
  g_nDataKind = datakind::kRealTime;
  page.OnRecordReady(Reading("1310nm", "1uW", "-30dBm", "12/05/06 10:20:30"));
  g_nDataKind = datakind::kWavelengthCodes;
  page.OnRecordReady(G("1310nm 代码3$"));
  EXPECT_EQ(table.RowCount(), 1);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"scroll 0", "scroll 0"}));
}

TEST_F(TablePageRecords, SettingRepliesNoticeSuccessOnceThenRest) {
  g_nDataKind = datakind::kClock;
  page.OnRecordReady(G("时间设置失败$"));
  EXPECT_EQ(host.calls, (std::vector<std::string>{"clock again"}));
  EXPECT_EQ(g_nDataKind, datakind::kClock);
  page.OnRecordReady(G("时间设置成功$"));
  page.OnRecordReady(G("时间设置成功$"));
  EXPECT_EQ(host.calls, (std::vector<std::string>{"clock again",
                                                  "notice Set up successful | Massage prompt"}));
  EXPECT_EQ(g_nDataKind, datakind::kNothing);

  host.calls.clear();
  g_nDataKind = datakind::kMode;
  page.OnRecordReady(G("模式设置失败$"));
  EXPECT_TRUE(host.calls.empty());
  page.OnRecordReady(G("模式设置成功$"));
  EXPECT_EQ(host.calls.size(), 1u);
  EXPECT_EQ(g_nDataKind, datakind::kNothing);
}

TEST_F(TablePageRecords, WavelengthRepliesRefreshTheDialogBeforeTheNotice) {
  g_nDataKind = datakind::kWavelength;
  page.OnRecordReady(G("当前波长：1550nm 设置成功$"));
  EXPECT_EQ(g_strCurWavelength, "1550");
  EXPECT_EQ(host.calls, (std::vector<std::string>{"wavelength 5",
                                                  "notice Set up successful | Massage prompt"}));
  host.calls.clear();
  g_nDataKind = datakind::kCalibration;
  page.OnRecordReady(G("当前波长：850"));  // four bytes clipped at the end
  EXPECT_EQ(g_strCurWavelength, "850");
  EXPECT_EQ(host.calls, (std::vector<std::string>{"wavelength 6"}));
  EXPECT_EQ(g_nDataKind, datakind::kCalibration);
}

TEST(TablePageTexts, LanguageChoosesNoticeTextsAndParameterWidths) {
  ResetSharedState();
  RecordingTableHost host;
  for (const char* language : {"0", "2", "20"}) {
    TablePage page(host, TextsFor(language), language);
    EXPECT_EQ(page.m_strSetOk, "设置成功");
    EXPECT_EQ(page.m_strPromptCaption, "信息提示");
    page.ApplyLayout(Layout::Parameters);
    ASSERT_EQ(page.Model().ColumnCount(), 10);
    EXPECT_EQ(page.Model().Column(0).width, 50);
    EXPECT_EQ(page.Model().Column(9).width, 100);
    EXPECT_EQ(page.Model().Column(9).title, "量程7校准值");
  }
  TablePage english(host, TextsFor("3"), "3");
  english.ApplyLayout(Layout::Parameters);
  EXPECT_EQ(english.Model().Column(0).width, 80);
  EXPECT_EQ(english.Model().Column(1).width, 200);
  EXPECT_EQ(english.Model().Column(1).title, "Wavelength calibration value");

  TablePage none(host, TextsFor("x"), "x");
  EXPECT_EQ(none.m_strSetOk, "");
  EXPECT_EQ(none.m_strPromptCaption, "");
  EXPECT_EQ(none.Model().ColumnCount(), 6);
  none.ApplyLayout(Layout::Parameters);
  EXPECT_EQ(none.Model().ColumnCount(), 0);
}

TEST(TablePageLayouts, EachLayoutReplacesRowsAndColumns) {
  ResetSharedState();
  RecordingTableHost host;
  TablePage page(host, TextsFor("1"), "1");
  const TableModel& m = page.Model();
  ASSERT_EQ(m.ColumnCount(), 6);
  EXPECT_EQ(m.Column(0).title, "No.");
  EXPECT_EQ(m.Column(3).title, "Logarithm power(dBm)");
  EXPECT_EQ(m.Column(5).title, "Description");
  EXPECT_EQ(m.Column(5).width, 200);
  g_nDataKind = datakind::kRealTime;
  page.OnRecordReady(Reading("1310nm", "1uW", "-30dBm", "12/05/06 10:20:30"));

  page.ApplyLayout(Layout::AD);
  EXPECT_EQ(m.RowCount(), 0);
  ASSERT_EQ(m.ColumnCount(), 3);
  EXPECT_EQ(m.Column(0).title, "波长");
  EXPECT_EQ(m.Column(1).title, "量程");
  EXPECT_EQ(m.Column(2).title, "AD值");
  EXPECT_EQ(m.Column(2).width, 100);

  page.ApplyLayout(Layout::Wavelength);
  ASSERT_EQ(m.ColumnCount(), 1);
  EXPECT_EQ(m.Column(0).title, "Current Wavelength");

  page.ApplyLayout(Layout::Measurement, 150);
  ASSERT_EQ(m.ColumnCount(), 6);
  EXPECT_EQ(m.Column(5).width, 150);
  EXPECT_EQ(m.Column(1).width, 150);
  EXPECT_EQ(m.Column(2).width, 100);
  for (int c = 0; c < 6; ++c) EXPECT_EQ(m.Column(c).align, TableColumn::Align::Left);
}

}  // namespace
