// km360r-cli export: a data file's table written as the program's Export
// writes it, CSV or workbook by the name given.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "LinkHarness.h"
#include "common/Gbk.h"
#include "table/DataFiles.h"

namespace e2e {
namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(CliExport, WritesCsvOrWorkbookByTheNameGiven) {
  PortDir dir;
  Program p;
  p.table.ApplyLayout(Layout::Measurement, 150);
  TableModel& t = p.table.Model();
  t.InsertRow(0, "1");
  const char* cells[] = {"1310", "13.81uW", "-18.60", "2026/12/06 23:09:22", "A, B"};
  for (int c = 1; c <= 5; ++c) t.SetCell(0, c, cells[c - 1]);
  const std::string file = dir.Entry("one.hif");
  std::ofstream(file, std::ios::binary) << datafile::Compose(t, datafile::FileType::Hif);

  struct Case {
    std::vector<std::string> args;
    int exitCode;
    std::string written;  // the file that must exist afterwards, and how it starts
    std::string startsWith;
    std::string errHas;
  };
  const Case cases[] = {
      {{"export", file, dir.Entry("plain")}, 0, "plain.csv",
       "No.,Wavelength,Linear power,Logarithm power(dBm),Test time,Description,\r\n"
       // The blanks are the data file's own.
       "1       ,1310,13.81uW,-18.60,2026/12/06 23:09:22      ,\"A, B        \",\r\n",
       ""},
      {{"export", file, dir.Entry("named.csv")}, 0, "named.csv", "No.,", ""},
      {{"export", file, dir.Entry("book.xls")}, 0, "book.xls", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", ""},
      {{"export", file, dir.Entry("missing/book.xls")}, 3, "", "", "There is something wrong when the data is exported."},
      {{"export", dir.Entry("absent.hif"), dir.Entry("x.csv")}, 3, "", "", "absent.hif"},
      {{"export", file}, 2, "", "", "export needs FILE and OUT"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"--language", "1"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliRun run = RunCli(dir, args);
    const std::string shown = c.args.back();
    EXPECT_EQ(run.exitCode, c.exitCode) << shown << ": " << run.err;
    EXPECT_NE(run.err.find(c.errHas), std::string::npos) << shown << ": " << run.err;
    if (!c.written.empty()) {
      const std::string bytes = ReadBytes(dir.Entry(c.written));
      EXPECT_EQ(bytes.rfind(c.startsWith, 0), 0u) << shown << ": " << bytes;
    }
  }
}

}  // namespace
}  // namespace e2e
