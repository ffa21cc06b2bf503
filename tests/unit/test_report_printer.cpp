// The test report on a recording device: where the engine puts every line and
// cell at two printer resolutions, page breaks, the row rules, and what the
// Print command does when it must not or cannot print.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "print/TestReport.h"
#include "tests/unit/FakeFrame.h"

namespace {

// A printer that records what is drawn. A byte is half as wide as the font is
// high, the line is as high as the font.
class RecordingDevice : public report::IReportDevice {
 public:
  struct Text {
    int page, x, y;
    std::string text;
    int fontHeight;
    bool bold;
    bool clipped;
    report::Rect clip;
  };
  struct Line {
    int page, x1, y1, x2, y2;
  };

  RecordingDevice(int dpi, int width, int height) : m_dpi(dpi), m_width(width), m_height(height) {}

  bool ChoosePrinter() override { return choose; }
  void SetOrientation(report::Orientation o) override { orientations.push_back(o); }
  int VerticalResolution() const override { return m_dpi; }
  bool StartDocument(const std::string& name) override {
    jobName = name;
    return startDocument;
  }
  int PageWidth() const override { return m_width; }
  int PageHeight() const override { return m_height; }
  bool StartPage() override { return ++pages != failPage; }
  bool EndPage() override { return true; }
  bool EndDocument() override { return ended = true; }
  void AbortDocument() override { aborted = true; }
  int CreateFont(const report::FontSpec& wanted) override {
    fonts.push_back(wanted);
    return static_cast<int>(fonts.size()) - 1;
  }
  void SelectFont(int font) override { m_font = fonts.at(static_cast<size_t>(font)); }
  report::TextExtent MeasureText(std::string_view gbk) override {
    return {static_cast<int>(gbk.size()) * m_font.pixelHeight / 2, m_font.pixelHeight};
  }
  void DrawText(int x, int y, std::string_view gbk, const report::Rect& clip) override {
    texts.push_back({pages, x, y, std::string(gbk), m_font.pixelHeight, m_font.weight == 700, true, clip});
  }
  void DrawText(int x, int y, std::string_view gbk) override {
    texts.push_back({pages, x, y, std::string(gbk), m_font.pixelHeight, m_font.weight == 700, false, {}});
  }
  void DrawLine(int x1, int y1, int x2, int y2, report::PenStyle) override {
    lines.push_back({pages, x1, y1, x2, y2});
  }

  // The texts drawn at one height of one page, left to right.
  std::vector<Text> Row(int page, int y) const {
    std::vector<Text> row;
    for (const Text& t : texts) {
      if (t.page == page && t.y == y) row.push_back(t);
    }
    return row;
  }

  bool choose = true;
  bool startDocument = true;
  int failPage = 0;  // the StartPage call (1 = the first) that fails
  int pages = 0;
  bool ended = false;
  bool aborted = false;
  std::string jobName;
  std::vector<report::Orientation> orientations;
  std::vector<report::FontSpec> fonts;
  std::vector<Text> texts;
  std::vector<Line> lines;

 private:
  int m_dpi, m_width, m_height;
  report::FontSpec m_font;
};

// A measurement table as the table page holds it.
void AddRow(TablePage& page, const std::vector<std::string>& cells) {
  TableModel& m = page.Model();
  const int row = m.InsertRow(m.RowCount(), cells[0]);
  for (size_t c = 1; c < cells.size(); ++c) m.SetCell(row, static_cast<int>(c), cells[c]);
}

const std::vector<std::string> kReading = {"1", "1310nm", "13.81uW", "-18.60", "2026/12/06 23:09:22",
                                           G("机房A")};

struct Resolution {
  int dpi;
  int small, large;  // 9 and 16 points in pixels
  int top, spacing;  // 40 and 5 points in pixels
};

class ReportAtResolution : public ::testing::TestWithParam<Resolution> {};

TEST_P(ReportAtResolution, ColumnsKeepTheirPixelsWhileFontsMarginAndSpacingFollowTheResolution) {
  const Resolution r = GetParam();
  TablePage page(TextsFor("1"), "1");
  AddRow(page, kReading);
  RecordingDevice device(r.dpi, 20000, 20000);
  ASSERT_EQ(CTestReport(device).Print(page.Model(), "Report"), report::Outcome::Printed);

  ASSERT_EQ(device.fonts.size(), 12u);
  EXPECT_EQ(device.fonts[0].pixelHeight, r.small);
  EXPECT_EQ(device.fonts[11].pixelHeight, r.large);
  EXPECT_EQ(device.fonts[11].weight, 700);
  EXPECT_EQ(device.fonts[0].face, "宋体");
  EXPECT_EQ(device.orientations, std::vector{report::Orientation::Portrait});
  EXPECT_EQ(device.jobName, "澜屹PON光功率计管理软件 V1.0");

  // Title, blank line, rule, blank line, column titles, the row.
  const RecordingDevice::Text& title = device.texts.at(0);
  EXPECT_EQ(title.y, r.top);
  EXPECT_EQ(title.x, 200 + (20000 - 400) / 2 - 6 * r.large / 2 / 2);
  EXPECT_TRUE(title.bold);
  const int ruleY = r.top + 2 * (r.large + r.spacing);
  ASSERT_EQ(device.lines.size(), 1u);
  EXPECT_EQ(device.lines[0].y1, ruleY);
  EXPECT_EQ(device.lines[0].x1, 200);
  EXPECT_EQ(device.lines[0].x2, 20000 - 200);
  const int titlesY = ruleY + r.spacing + r.large + r.spacing;
  const int rowY = titlesY + r.small + r.spacing;
  const std::vector<int> starts = {200, 700, 1200, 1780, 2680, 3580};
  const std::vector<int> widths = {400, 400, 480, 800, 800, 1000};
  for (const int y : {titlesY, rowY}) {
    const auto row = device.Row(1, y);
    ASSERT_EQ(row.size(), 6u) << y;
    for (size_t c = 0; c < 6; ++c) {
      EXPECT_EQ(row[c].x, starts[c]);
      EXPECT_EQ(row[c].clip.right - row[c].clip.left, widths[c]) << c;
      EXPECT_EQ(row[c].fontHeight, r.small);
      EXPECT_EQ(row[c].bold, y == titlesY);
    }
  }
  EXPECT_EQ(device.Row(1, titlesY)[1].text, "Wavelength");
  EXPECT_EQ(device.Row(1, rowY)[5].text, G("机房A"));
}

INSTANTIATE_TEST_SUITE_P(Printers, ReportAtResolution,
                         ::testing::Values(Resolution{300, 38, 67, 167, 21},
                                           Resolution{600, 75, 133, 333, 42}));

TEST(TestReport, ALongCellIsCutAtItsColumnAndTheNextStaysInPlace) {
  TablePage page(TextsFor("1"), "1");
  std::vector<std::string> cells = kReading;
  cells[1] = std::string(200, 'W');
  AddRow(page, cells);
  RecordingDevice device(600, 5000, 7000);
  CTestReport(device).Print(page.Model(), "T");
  const auto row = device.Row(1, device.texts.back().y);
  ASSERT_EQ(row.size(), 6u);
  EXPECT_EQ(row[1].text, cells[1]);
  EXPECT_EQ(row[1].x, 700);
  EXPECT_TRUE(row[1].clipped);
  EXPECT_EQ(row[1].clip.left, 700);
  EXPECT_EQ(row[1].clip.right, 1100);
  EXPECT_EQ(row[1].clip.bottom - row[1].clip.top, 42 + 75);
  EXPECT_EQ(row[2].x, 1200);
}

TEST(TestReport, ALongTableGoesOnFromTheTopOfTheNextPageWithoutTitles) {
  TablePage page(TextsFor("1"), "1");
  std::vector<std::string> expected;
  for (int i = 1; i <= 60; ++i) {
    std::vector<std::string> cells = kReading;
    cells[0] = std::to_string(i);
    AddRow(page, cells);
    expected.push_back(cells[0]);
  }
  RecordingDevice device(600, 5000, 3000);
  ASSERT_EQ(CTestReport(device).Print(page.Model(), "T"), report::Outcome::Printed);
  EXPECT_GT(device.pages, 2);
  std::vector<std::string> numbers;
  for (const auto& t : device.texts) {
    if (t.x == 200 && t.fontHeight == 75 && !t.bold) numbers.push_back(t.text);
    EXPECT_LE(t.y + 42 + t.fontHeight, 3000 - 160);
  }
  EXPECT_EQ(numbers, expected);
  for (int p = 2; p <= device.pages; ++p) {
    const auto first = device.Row(p, 333);
    ASSERT_EQ(first.size(), 6u) << p;
    EXPECT_FALSE(first[0].bold);
  }
}

TEST(TestReport, RowTextsFollowTheLineBreakTrimAndEthernetRules) {
  struct Case {
    std::vector<std::string> cells;
    std::vector<std::string> printed;
  };
  const Case cases[] = {
      {{"1", "a\r\nb\r\nc"}, {"1", "a b c"}},
      {{"1", "\r\nonly first"}, {"1", "only first"}},
      {{"1", "\r\nx\r\ny"}, {"1", "x y"}},
      {{"  2 ", "\t desk \r\n"}, {"2", "desk"}},
      {{"1", "Ethernet Ethernet"}, {"1", "Eth Eth"}},
      {{"Ethernet", "port"}, {"Ethernet", "port"}},
      {{"Ethernet", "Ethernet"}, {"Eth", "Eth"}},
      {{"", "Ethernet"}, {"", "Eth"}},
  };
  for (const Case& c : cases) {
    TableModel m;
    m.InsertColumn(0, "a", 10);
    m.InsertColumn(1, "b", 10);
    m.InsertRow(0, c.cells[0]);
    m.SetCell(0, 1, c.cells[1]);
    EXPECT_EQ(report::RowCells(m, 0), c.printed) << c.cells[1];
  }
}

TEST(TestReport, EveryCellStaysInItsColumnWhateverBytesItHolds) {
  struct Case {
    size_t column;
    std::string cell;
  };
  const Case cases[] = {
      {5, "A|B|C"},
      {5, G("机房|A") + "|"},
      {1, "|"},
      {1, "1310\x81"},  // a lone lead byte before the next column
      {0, "\xFE"},
      {5, "desk\x81"},
  };
  for (const Case& c : cases) {
    TablePage page(TextsFor("1"), "1");
    std::vector<std::string> cells = kReading;
    cells[c.column] = c.cell;
    AddRow(page, cells);
    AddRow(page, kReading);
    RecordingDevice device(600, 5000, 7000);
    ASSERT_EQ(CTestReport(device).Print(page.Model(), "T"), report::Outcome::Printed);
    const int lastY = device.texts.back().y;
    for (const int y : {lastY - 117, lastY}) {
      const auto row = device.Row(1, y);
      const std::vector<std::string>& expected = y == lastY ? kReading : cells;
      ASSERT_EQ(row.size(), 6u) << c.cell;
      const std::vector<int> starts = {200, 700, 1200, 1780, 2680, 3580};
      for (size_t col = 0; col < 6; ++col) {
        EXPECT_EQ(row[col].text, expected[col]) << c.cell << " column " << col;
        EXPECT_EQ(row[col].x, starts[col]) << c.cell;
      }
    }
  }
}

TEST(TestReport, ColumnTitlesAreCutAt255BytesNeverWithinACharacter) {
  std::string title = "ab";
  for (int i = 0; i < 150; ++i) title += "测";
  TableModel m;
  m.InsertColumn(0, title, 10);
  m.InsertColumn(1, "a" + title, 10);
  std::string cut = "ab", cutOdd = "aab";
  for (int i = 0; i < 126; ++i) cut += "测";
  for (int i = 0; i < 126; ++i) cutOdd += "测";
  EXPECT_EQ(report::TitleCells(m), (std::vector<std::string>{G(cut), G(cutOdd)}));
}

TEST(TestReport, ARowBreaksThePageOnlyWhenItAndItsSpacingPassTheBottomMargin) {
  // 72 pixels per inch: a point is a pixel. Rows of 20 pixels with 5 of
  // spacing start at 0, 25, 50, 75, ...; the fourth ends with its spacing
  // exactly at 100.
  struct Case {
    int pageHeight;
    int rowsOnFirstPage;
  };
  for (const Case c : {Case{110, 4}, Case{109, 3}}) {
    RecordingDevice device(72, 1000, c.pageHeight);
    CReportPrinter printer(device);
    const int set = printer.AddFontSet("f", 20, 20);
    printer.SetMargins(0, 10, 0, 0);
    printer.SetLineSpacing(5);
    printer.StartDocument("job");
    printer.StartPage();
    for (int i = 0; i < 6; ++i) printer.PrintTableRow(set, {std::to_string(i)});
    int first = 0;
    for (const auto& t : device.texts) first += t.page == 1;
    EXPECT_EQ(first, c.rowsOnFirstPage) << c.pageHeight;
    EXPECT_EQ(device.texts.at(static_cast<size_t>(c.rowsOnFirstPage)).y, 0) << c.pageHeight;
  }
}

TEST(TestReport, ATextWiderThanThePageWrapsAfterABlankNearTheLineEnd) {
  const std::string a70(70, 'A'), a50(50, 'A');
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {a70 + " " + std::string(79, 'B'), {a70 + " ", std::string(79, 'B')}},
      {a50 + " " + std::string(99, 'B'), {a50 + " " + std::string(29, 'B'), std::string(70, 'B')}},
      // The line count is fixed by the whole width: what is left is dropped.
      {a70 + " " + std::string(89, 'B'), {a70 + " ", std::string(80, 'B')}},
      // A Chinese character is never cut in two.
      {std::string(79, 'A') + G("测") + std::string(20, 'B'), {std::string(79, 'A') + G("测"), std::string(20, 'B')}},
  };
  for (const Case& c : cases) {
    RecordingDevice device(72, 1000, 10000);  // a point is a pixel; 80 bytes fit
    CReportPrinter printer(device);
    const int set = printer.AddFontSet("f", 20, 20);
    printer.SetMargins(0, 0, 100, 100);
    printer.StartDocument("job");
    printer.StartPage();
    printer.PrintText(set, c.text, false);
    std::vector<std::string> lines;
    for (const auto& t : device.texts) {
      lines.push_back(t.text);
      EXPECT_EQ(t.x, 100);
      EXPECT_EQ(t.y, 20 * static_cast<int>(lines.size() - 1));
    }
    EXPECT_EQ(lines, c.lines) << c.text;
  }
}

TEST(TestReport, AnEmptyTablePrintsTitleRuleAndColumnTitles) {
  TablePage page(TextsFor("0"), "0");
  RecordingDevice device(600, 5000, 7000);
  ASSERT_EQ(CTestReport(device).Print(page.Model(), G("测试报告")), report::Outcome::Printed);
  ASSERT_EQ(device.texts.size(), 7u);
  EXPECT_EQ(device.texts[0].text, G("测试报告"));
  EXPECT_EQ(device.lines.size(), 1u);
  EXPECT_EQ(device.texts[2].text, G("波长"));
  EXPECT_TRUE(device.texts[6].bold);
  EXPECT_TRUE(device.ended);
}

TEST(TestReport, NothingIsPrintedWhileParametersAreShownOrWhenThePrinterChoiceIsCancelled) {
  Frame f;
  f.Connect();
  f.service.OnReadParams();
  RecordingDevice device(600, 5000, 7000);
  EXPECT_EQ(f.service.OnPrint(device), report::Outcome::NotPrinted);
  f.runtime.RunPosts();
  EXPECT_EQ(f.View().statusNote, "System parameters are not printed");
  {
    Frame chinese("2");
    chinese.Connect();
    chinese.service.OnReadParams();
    EXPECT_EQ(chinese.service.OnPrint(device), report::Outcome::NotPrinted);
    chinese.runtime.RunPosts();
    EXPECT_EQ(chinese.View().statusNote, "系统参数不打印");
  }
  f.service.OnReadHistory();
  device.choose = false;
  EXPECT_EQ(f.service.OnPrint(device), report::Outcome::Cancelled);
  EXPECT_EQ(device.pages, 0);
  EXPECT_TRUE(device.texts.empty());
  EXPECT_TRUE(f.Boxes().empty());
}

TEST(TestReport, AReportThatCannotStartItsDocumentOrAPageIsDroppedAndReported) {
  struct Case {
    bool startDocument;
    int failPage;
    bool aborted;
  };
  for (const Case c : {Case{false, 0, false}, Case{true, 1, true}, Case{true, 2, true}}) {
    Frame f("0");
    for (int i = 0; i < 60; ++i) AddRow(f.table, kReading);
    RecordingDevice device(600, 5000, 3000);
    device.startDocument = c.startDocument;
    device.failPage = c.failPage;
    EXPECT_EQ(f.service.OnPrint(device), report::Outcome::Failed);
    EXPECT_EQ(device.aborted, c.aborted);
    EXPECT_FALSE(device.ended);
    EXPECT_EQ(f.Boxes(), std::vector<std::string>{"报告打印失败。"});
    EXPECT_EQ(f.window.boxes.at(0).caption, "信息提示");
  }
}

}  // namespace
