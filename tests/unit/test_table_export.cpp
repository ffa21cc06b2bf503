#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/SpreadsheetText.h"
#include "table/CompoundFile.h"
#include "table/CsvExport.h"
#include "table/TableExport.h"
#include "table/XlsWorkbook.h"
#include "tests/unit/FakeFrame.h"
#include "tests/unit/FileBytes.h"

namespace fs = std::filesystem;

namespace {

// Fills `table` with UTF-8 titles and rows (stored as GBK cells).
void Fill(TableModel& table, const std::vector<std::string>& titles,
          const std::vector<std::vector<std::string>>& rows) {
  for (const std::string& t : titles) table.InsertColumn(table.ColumnCount(), t, 100);
  for (const auto& row : rows) {
    const int r = table.InsertRow(table.RowCount(), G(row[0]));
    for (size_t c = 1; c < row.size(); ++c) table.SetCell(r, static_cast<int>(c), G(row[c]));
  }
}

// What the independent reader sees in a workbook (UTF-8 lines).
std::string ReadBack(const fs::path& file, int shownRows = 1000) {
  const std::string command =
      std::string(KM360R_PYTHON) + " " + KM360R_READ_XLS + " '" + file.string() + "' " + std::to_string(shownRows) + " 2>&1";
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return "cannot run the reader";
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  ::pclose(pipe);
  return out;
}

class TableExport : public ::testing::Test {
 protected:
  TableExport() {
    std::string name = (fs::temp_directory_path() / "km360r-export.XXXXXX").string();
    dir = ::mkdtemp(name.data());
  }
  ~TableExport() override { fs::remove_all(dir); }
  fs::path dir;
};

// ---- CSV ---------------------------------------------------------------------

TEST(CsvExport, ThreeColumnsTwoRowsGiveThreeCommaTerminatedLines) {
  TableModel table;
  Fill(table, {"序号", "波长", "对数功率"}, {{"1", "1310", "-19.09"}, {"2", "1550", ""}});
  EXPECT_EQ(csvexport::Text(table), G("序号,波长,对数功率,\r\n1,1310,-19.09,\r\n2,1550,,\r\n"));
}

TEST(CsvExport, EmptyTableGivesItsTitleLineOnly) {
  TableModel table;
  Fill(table, {"No.", "Description"}, {});
  EXPECT_EQ(csvexport::Text(table), "No.,Description,\r\n");
}

TEST(CsvExport, ValuesWithCommasQuotesOrLineBreaksAreQuoted) {
  const struct {
    std::string cell, written;
  } cases[] = {
      {"A, B", "\"A, B\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\r\nlines", "\"two\r\nlines\""},
      {"line\n", "\"line\n\""},
      {"plain -3.20 dBm", "plain -3.20 dBm"},
      {"光功率；波长", "光功率；波长"},  // GBK trail bytes are never commas or quotes
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(sheettext::CsvValue(G(c.cell)), G(c.written)) << c.cell;
}

TEST(CsvExport, TextsASpreadsheetWouldComputeGetALeadingApostrophe) {
  const struct {
    std::string cell, written;
  } cases[] = {
      {"=1+1", "'=1+1"},
      {"=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
      {"+A1", "'+A1"},
      {"-A1+1", "'-A1+1"},
      {"@SUM(A1)", "'@SUM(A1)"},
      {"\tTAB", "'\tTAB"},
      {"\rCR", "\"'\rCR\""},
      {"--1", "'--1"},
      // The meter's no-value mark is text to every spreadsheet as it is.
      {"--.--", "--.--"},
      {"-", "-"},
      // Numbers keep their sign, with or without the data file's blanks.
      {"-14.50", "-14.50"},
      {"+0.50", "+0.50"},
      {"-18.60    ", "-18.60    "},
      {"-1.5e-3", "-1.5e-3"},
      {"a=1", "a=1"},
      {"机房=1", "机房=1"},
  };
  for (const auto& c : cases) EXPECT_EQ(sheettext::CsvValue(G(c.cell)), G(c.written)) << c.cell;
}

TEST(XlsWorkbook, OnlyANameEndingInDotXlsAsksForAWorkbook) {
  const struct {
    std::string path;
    bool workbook;
  } cases[] = {{"/d/x.xls", true}, {"/d/x.XLS", false}, {"/d/x.xls.csv", false}, {"/d/xls", false}, {"", false}};
  for (const auto& c : cases) EXPECT_EQ(xls::IsWorkbookName(c.path), c.workbook) << c.path;
}

// The bytes of a workbook that repeats texts, puts a cell twice, empties
// cells, mixes numbers, UTF-8 and GBK texts, orders two sheets out of their
// putting order and takes puts after being written, as xlrd and LibreOffice
// have read them: its FNV-1a hash and size pin every byte.
TEST(XlsWorkbook, BytesOfRepeatsRewritesEmptiesAndNumbersStayAsTheyWere) {
  xls::Workbook book;
  xls::Worksheet& a = book.Sheet(1);
  a.SetName("Points");
  a.PutText(1, 1, "名称 name");
  a.PutCell(1, 2, G("波长"));
  for (int r = 2; r <= 40; ++r) {
    a.PutCell(r, 1, std::to_string(r % 7));
    a.PutNumber(r, 2, r * 0.25 - 3);
    a.PutCell(r, 3, G(r % 3 ? "机房A" : "1310"));
  }
  a.PutCell(3, 1, "later");
  a.PutCell(1, 5, "");
  a.PutCell(4, 3, "");
  xls::Worksheet& b = book.AddSheet(1);
  b.PutCell(9, 2, "x");
  b.PutCell(2, 9, "g");
  b.PutText(2, 9, "g");
  b.SetColumnWidth(20);
  b.SetHorizontalAlignment(xls::HAlign::Left);
  EXPECT_EQ(book.Bytes(), book.Bytes());  // its string index given back and made again
  b.PutCell(3, 1, "x");
  b.PutCell(3, 1, G("机房A"));
  const std::string bytes = book.Bytes();
  uint64_t hash = 1469598103934665603ull;
  for (const unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
  EXPECT_EQ(bytes.size(), 5632u);
  EXPECT_EQ(hash, 0x86500f2f583a2571ull);
}

TEST(CsvExport, NameGetsCsvOnlyWhenItDoesNotEndInIt) {
  const struct {
    std::string chosen, path;
  } cases[] = {{"/d/x", "/d/x.csv"}, {"/d/x.csv", "/d/x.csv"}, {"/d/x.xls", "/d/x.xls.csv"}, {"/d/csv", "/d/csv.csv"}};
  for (const auto& c : cases) EXPECT_EQ(tableexport::CsvPath(c.chosen), c.path);
}

TEST(WorkbookExport, NameWithoutAnExtensionGetsXls) {
  const struct {
    std::string chosen, path;
  } cases[] = {{"/d/zh-export1", "/d/zh-export1.xls"}, {"/d/x.xls", "/d/x.xls"}, {"/d.v/x", "/d.v/x.xls"}};
  for (const auto& c : cases) EXPECT_EQ(tableexport::WorkbookPath(c.chosen), c.path);
}

// ---- the Export command --------------------------------------------------------

TEST_F(TableExport, FilterEntriesChooseWorkbookOrCsv) {
  const struct {
    int entry;
    std::string written;
    bool workbook;
  } cases[] = {{0, "a.xls", true}, {1, "b.csv", false}, {2, "c.csv", false}};
  const std::string names[] = {"a", "b", "c.csv"};
  for (const auto& c : cases) {
    Frame f;
    while (f.table.Model().DeleteColumn(0)) {
    }
    Fill(f.table.Model(), {"No.", "Description"}, {{"1", "A, B"}});
    f.window.exportChoice = ExportChoice{(dir / names[c.entry]).string(), c.entry};
    f.service.OnExport();
    f.runtime.RunPosts();
    ASSERT_EQ(f.window.exportFilters,
              std::vector<std::string>{"Excel (*.xls)|*.xls|csv (*.csv)|*.csv| (*.*)|*.*||"});
    const std::string bytes = ReadBytes(dir / c.written);
    if (c.workbook) {
      EXPECT_EQ(bytes.substr(0, 4), "\xD0\xCF\x11\xE0");
      EXPECT_EQ(f.window.waitCursor, (std::vector<bool>{true, false}));
    } else {
      EXPECT_EQ(bytes, "No.,Description,\r\n1,\"A, B\",\r\n");
      EXPECT_TRUE(f.window.waitCursor.empty());
    }
    EXPECT_TRUE(f.window.errorBoxes.empty());
    EXPECT_EQ(f.View().statusNote, (dir / c.written).string());  // the file written is named
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3);
}

TEST_F(TableExport, CsvUnderTheLongerNameIsReplacedOnlyWhenTheOperatorAgrees) {
  for (BoxAnswer answer : {BoxAnswer::No, BoxAnswer::Yes}) {
    std::ofstream(dir / "x.csv") << "earlier";
    Frame f;
    f.window.answers = {answer};
    f.window.exportChoice = ExportChoice{(dir / "x").string(), 1};
    f.service.OnExport();
    f.runtime.RunPosts();
    ASSERT_EQ(f.window.boxes.size(), 1u);
    EXPECT_EQ(ReadBytes(dir / "x.csv") == "earlier", answer == BoxAnswer::No);
  }
}

TEST_F(TableExport, FailedSaveShowsTheExportMessage) {
  const struct {
    int entry;
    std::string language, caption;
    std::vector<bool> waitCursor;
  } cases[] = {{0, "1", "Massage prompt", {true, false}}, {1, "0", "信息提示", {}}};
  for (const auto& c : cases) {
    Frame f(c.language);
    Fill(f.table.Model(), {"No."}, {{"1"}});
    f.window.exportChoice = ExportChoice{(dir / "missing" / "out").string(), c.entry};
    f.service.OnExport();
    f.runtime.RunPosts();
    ASSERT_EQ(f.window.errorBoxes.size(), 1u);
    EXPECT_EQ(f.window.errorBoxes[0].text, tableexport::kExportFailed);
    EXPECT_EQ(f.window.errorBoxes[0].caption, c.caption);
    EXPECT_EQ(f.window.waitCursor, c.waitCursor);
  }
}

TEST_F(TableExport, FailedWorkbookSaveKeepsTheEarlierFileAndNoTemporaryFile) {
  TableModel table;
  Fill(table, {"No."}, {});
  for (int r = 0; r < 20; ++r) table.InsertRow(r, std::to_string(r) + std::string(10000, 'a'));
  const fs::path target = dir / "out.xls";
  std::ofstream(target) << "earlier";
  // A file-size limit stands in for a full disk.
  const pid_t child = ::fork();
  if (child == 0) {
    struct rlimit limit = {1 << 16, 1 << 16};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::signal(SIGXFSZ, SIG_IGN);
    const auto outcome = tableexport::ExportWorkbook(table, target.string());
    ::_exit(outcome.status == tableexport::Outcome::Status::Failed ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(ReadBytes(target), "earlier");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

// ---- the workbook, read back --------------------------------------------------

TEST_F(TableExport, WorkbookHoldsTitlesAndTextCellsOnTestSheet) {
  TableModel table;
  Fill(table, {"序号", "描述", "波长(nm)"},
       {{"1", "光功率 A, B", "1310"}, {"2", "", "1550"}, {"3", "€ not in GBK?", "00850"}});
  const fs::path file = dir / "t.xls";
  ASSERT_EQ(tableexport::ExportWorkbook(table, file.string()).status, tableexport::Outcome::Status::Done);
  EXPECT_EQ(ReadBack(file),
            "sheet TestSheet rows 4 cols 3\n"
            "width 5120\n"
            "align left/top\n"
            "types empty text\n"
            "row 0: 序号|描述|波长(nm)\n"
            "row 1: 1|光功率 A, B|1310\n"
            "row 2: 2||1550\n"
            "row 3: 3|€ not in GBK?|00850\n");
}

TEST_F(TableExport, EmptyTableGivesTitlesOnly) {
  TableModel table;
  Fill(table, {"No.", "Time"}, {});
  const fs::path file = dir / "e.xls";
  ASSERT_EQ(tableexport::ExportWorkbook(table, file.string()).status, tableexport::Outcome::Status::Done);
  EXPECT_EQ(ReadBack(file),
            "sheet TestSheet rows 1 cols 2\nwidth 5120\nalign left/top\ntypes text\nrow 0: No.|Time\n");
}

TEST_F(TableExport, RowsBeyondOneSheetGoOnInFurtherSheets) {
  TableModel table;
  Fill(table, {"No.", "Linear"}, {});
  {
    TableModel::BulkUpdate bulk(table);
    for (int r = 0; r < 70000; ++r) {
      table.InsertRow(r, std::to_string(r + 1));
      table.SetCell(r, 1, std::to_string(r % 997) + "uW");
    }
  }
  const fs::path file = dir / "big.xls";
  ASSERT_EQ(tableexport::ExportWorkbook(table, file.string()).status, tableexport::Outcome::Status::Done);
  EXPECT_EQ(ReadBack(file, 2),
            "sheet TestSheet rows 65536 cols 2\nwidth 5120\nalign left/top\ntypes text\n"
            "row 0: No.|Linear\nrow 1: 1|0uW\nrow 65535: 65535|729uW\n"
            "sheet TestSheet (2) rows 4466 cols 2\nwidth 5120\nalign left/top\ntypes text\n"
            "row 0: No.|Linear\nrow 1: 65536|730uW\nrow 4465: 70000|209uW\n");
}

// Long texts split across continuation records, in one-byte and two-byte
// characters, and a file past 109 allocation-table sectors (about 7 MB).
TEST_F(TableExport, LongTextsAndLargeFilesReadBack) {
  TableModel table;
  Fill(table, {"A", "B"}, {});
  std::string wide;
  for (int i = 0; i < 300; ++i) wide += "功率";
  for (int r = 0; r < 640; ++r) {
    table.InsertRow(r, std::to_string(r) + std::string(12000 + r, 'x'));
    table.SetCell(r, 1, G(std::to_string(r) + wide + std::string(r, 'y')));
  }
  const fs::path file = dir / "long.xls";
  ASSERT_EQ(tableexport::ExportWorkbook(table, file.string()).status, tableexport::Outcome::Status::Done);
  ASSERT_GT(fs::file_size(file), 109u * 128 * 512);
  EXPECT_EQ(ReadBack(file, 0),
            "sheet TestSheet rows 641 cols 2\nwidth 5120\nalign left/top\ntypes text\nrow 640: 639" +
                std::string(12639, 'x') + "|639" + wide + std::string(639, 'y') + "\n");
}

// A saved workbook is written as it is made: its shared strings go to the
// file before the sheets' places are known and written into it, yet the file
// holds the very bytes the workbook has in memory.
TEST_F(TableExport, ASavedWorkbookHoldsTheBytesOfTheWorkbook) {
  xls::Workbook book;
  for (int sheet = 1; sheet <= 2; ++sheet) {
    xls::Worksheet& s = sheet == 1 ? book.Sheet(1) : book.AddSheet(0);
    for (int r = 1; r <= 30000; ++r) {
      s.PutCell(r, 1, std::to_string(sheet * 100000 + r) + std::string(40, 'x'));
      s.PutNumber(r, 2, r * 0.5);
    }
  }
  const fs::path file = dir / "saved.xls";
  ASSERT_EQ(book.SaveAs(file.string()), "");
  const std::string bytes = book.Bytes();
  ASSERT_GT(bytes.size(), 3u << 20);
  EXPECT_TRUE(ReadBytes(file) == bytes);
}

TEST(CompoundFile, ShortStreamsAreRefused) {
  EXPECT_THROW(compoundfile::Build("Workbook", std::string(100, 'x')), std::length_error);
}

}  // namespace
