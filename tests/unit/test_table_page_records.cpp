#include <gtest/gtest.h>

#include "table/TablePage.h"
#include "tests/unit/TestText.h"

namespace {

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
  void SetUp() override {
    page.SetScrollListener([this](int row) { calls.push_back("scroll " + std::to_string(row)); });
  }
  // A record shown as the data of the shown kind; what the outcome asks of the service is
  // noted among the scrolls.
  void Show(const std::string& record) {
    const RecordOutcome o = page.ShowReply(Km360rRecord(record), kind, rowCount);
    if (o.currentWavelength) calls.push_back("wavelength " + *o.currentWavelength);
  }

  TablePage page{TextsFor("1"), "1"};
  const TableModel& table = page.Model();
  DataKind kind = DataKind::Nothing;
  int rowCount = 0;
  std::vector<std::string> calls;

  std::vector<std::string> Row(int row) {
    std::vector<std::string> cells;
    cells.reserve(static_cast<size_t>(table.ColumnCount()));
    for (int c = 0; c < table.ColumnCount(); ++c) cells.push_back(U(table.Cell(row, c)));
    return cells;
  }
};

TEST_F(TablePageRecords, RealTimeReadingsAreNumberedFromOneAndScrolledTo) {
  kind = DataKind::RealTime;
  Show(FullReadingRecord("1310nm", "12.34uW", "-19.09dBm", "12/05/06 10:20:30"));
  Show(G("no keyword here: 12.34uW$"));
  Show(FullReadingRecord("1550nm", "1.5mW", "1.76dBm", "12/05/06 10:20:31  "));
  Show(FullReadingRecord("850nm", "2nW", "-57.0dBm", "99/12/31 23:59:59"));
  ASSERT_EQ(table.RowCount(), 3);
  EXPECT_EQ(rowCount, 3);
  EXPECT_EQ(Row(0), (std::vector<std::string>{"1", "1310", "12.34uW", "-19.09",
                                               "2012/05/06 10:20:30", ""}));
  EXPECT_EQ(Row(1)[0], "2");
  EXPECT_EQ(Row(1)[4], "2012/05/06 10:20:31");  // trailing blanks removed
  EXPECT_EQ(Row(2)[0], "3");
  EXPECT_EQ(Row(2)[4], "2099/12/31 23:59:59");
  // The record without "波" neither added a row nor scrolled.
  EXPECT_EQ(calls, (std::vector<std::string>{"scroll 0", "scroll 1", "scroll 2"}));
}

TEST_F(TablePageRecords, MissingUnitsGiveEmptyCells) {
  kind = DataKind::RealTime;
  Show(FullReadingRecord("1310", "12.34u", "-19.09dBm", "12/05/06 10:20:30"));
  EXPECT_EQ(Row(0)[1], "");  // no "nm"
  EXPECT_EQ(Row(0)[2], "");  // no "W"
  EXPECT_EQ(Row(0)[3], "-19.09");
  // Only "波" and no other keyword: the -1 arithmetic cuts from byte 9.
  Show(G("0123456789波nm W dBm\r"));
  EXPECT_EQ(Row(1)[0], "2");
  EXPECT_EQ(Row(1)[1], "9波");
  EXPECT_EQ(Row(1)[2], "9波nm W");
  EXPECT_EQ(Row(1)[3], "9波nm W ");
  EXPECT_EQ(Row(1)[4], "209波nm W dBm");
}

TEST_F(TablePageRecords, HistorySkipsEmptySlotsWithoutUsingTheirNumber) {
  kind = DataKind::History;
  Show(FullReadingRecord("1310nm", "1uW", "-30.00dBm", "12/05/06 10:20:30"));
  Show(FullReadingRecord("1310nm", "1uW", "-30.00dBm", "00/00/00 00:00:00"));
  Show(FullReadingRecord("1490nm", "2uW", "-26.99dBm", "12/05/07 08:00:00"));
  ASSERT_EQ(table.RowCount(), 2);
  EXPECT_EQ(Row(1), (std::vector<std::string>{"2", "1490", "2uW", "-26.99",
                                               "2012/05/07 08:00:00", ""}));
  EXPECT_EQ(calls, (std::vector<std::string>{"scroll 0", "scroll 1"}));
}

TEST_F(TablePageRecords, ParameterRecordsStackWithTheLastOnTop) {
  page.ApplyLayout(Layout::Parameters);
  kind = DataKind::Parameters;
  Show(Parameters("850", "0.12345", "-1.0"));
  Show(G("波长 without the full-width colon$"));
  Show(Parameters("1310", "0.2", "-2.0"));
  Show(Parameters("1550", "0.3", "-3.0"));
  ASSERT_EQ(table.RowCount(), 3);
  EXPECT_EQ(rowCount, 0);
  EXPECT_EQ(Row(0), (std::vector<std::string>{"1550", "0.3\r\n", "-3.00", "-3.01", "-3.02",
                                               "-3.03", "-3.04", "-3.05", "-3.06", "-3.07"}));
  EXPECT_EQ(Row(1)[0], "1310");
  EXPECT_EQ(Row(2)[0], "850");
  EXPECT_EQ(Row(2)[1], "0.123");  // five bytes
  // Every accepted record scrolls to the last row.
  EXPECT_EQ(calls, (std::vector<std::string>{"scroll 0", "scroll 1", "scroll 2"}));
}

TEST_F(TablePageRecords, WavelengthCodesAndIdleKindsAddNoRow) {
  for (DataKind k : {DataKind::WavelengthCodes, DataKind::Nothing, static_cast<DataKind>(42)}) {
    kind = k;
    Show(FullReadingRecord("1310nm", "1uW", "-30dBm", "12/05/06 10:20:30"));
  }
  EXPECT_EQ(table.RowCount(), 0);
  EXPECT_TRUE(calls.empty());
  kind = DataKind::RealTime;
  Show(FullReadingRecord("1310nm", "1uW", "-30dBm", "12/05/06 10:20:30"));
  kind = DataKind::WavelengthCodes;
  Show(G("1310nm 代码3$"));
  EXPECT_EQ(table.RowCount(), 1);
  EXPECT_EQ(calls, (std::vector<std::string>{"scroll 0", "scroll 0"}));
}

TEST_F(TablePageRecords, WavelengthRepliesCarryTheCurrentWavelength) {
  kind = DataKind::Wavelength;
  Show(G("当前波长：1550nm 设置成功$"));
  EXPECT_EQ(calls, (std::vector<std::string>{"wavelength 1550"}));
  calls.clear();
  kind = DataKind::Calibration;
  Show(G("当前波长：850"));  // four bytes clipped at the end
  EXPECT_EQ(calls, (std::vector<std::string>{"wavelength 850"}));
  calls.clear();
  kind = DataKind::Mode;  // only the wavelength settings care
  Show(G("当前波长：1310$"));
  EXPECT_TRUE(calls.empty());
}

TEST(TablePageTexts, LanguageChoosesNoticeTextsAndParameterWidths) {
  for (const char* language : {"0", "2", "20"}) {
    TablePage page(TextsFor(language), language);
    EXPECT_EQ(page.m_strSetOk, "设置成功");
    EXPECT_EQ(page.m_strPromptCaption, "信息提示");
    page.ApplyLayout(Layout::Parameters);
    ASSERT_EQ(page.Model().ColumnCount(), 10);
    EXPECT_EQ(page.Model().Column(0).width, 50);
    EXPECT_EQ(page.Model().Column(9).width, 100);
    EXPECT_EQ(page.Model().Column(9).title, "量程7校准值");
  }
  TablePage english(TextsFor("3"), "3");
  english.ApplyLayout(Layout::Parameters);
  EXPECT_EQ(english.Model().Column(0).width, 80);
  EXPECT_EQ(english.Model().Column(1).width, 200);
  EXPECT_EQ(english.Model().Column(1).title, "Wavelength calibration value");

  TablePage none(TextsFor("x"), "x");
  EXPECT_EQ(none.m_strSetOk, "");
  EXPECT_EQ(none.m_strPromptCaption, "");
  EXPECT_EQ(none.Model().ColumnCount(), 6);
  none.ApplyLayout(Layout::Parameters);
  EXPECT_EQ(none.Model().ColumnCount(), 0);
}

TEST(TablePageLayouts, EachLayoutReplacesRowsAndColumns) {
  TablePage page(TextsFor("1"), "1");
  const TableModel& m = page.Model();
  ASSERT_EQ(m.ColumnCount(), 6);
  EXPECT_EQ(m.Column(0).title, "No.");
  EXPECT_EQ(m.Column(3).title, "Logarithm power(dBm)");
  EXPECT_EQ(m.Column(5).title, "Description");
  EXPECT_EQ(m.Column(5).width, 200);
  int rows = 0;
  page.ShowReply(Km360rRecord(FullReadingRecord("1310nm", "1uW", "-30dBm", "12/05/06 10:20:30")),
                 DataKind::RealTime, rows);
  ASSERT_EQ(m.RowCount(), 1);

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
