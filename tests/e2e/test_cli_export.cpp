// km360r-cli export: a data file's table written as the program's Export
// writes it, CSV or workbook by the name given.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "LinkHarness.h"
#include "StopWhileWriting.h"
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

TEST(CliExport, AStopWhileWritingLeavesNoPartOfTheNewFileBehind) {
  PortDir dir;
  Program p;
  p.table.ApplyLayout(Layout::Measurement, 150);
  TableModel& t = p.table.Model();
  for (int i = 0; i < 20000; ++i) {
    const int row = t.InsertRow(i, std::to_string(i + 1));
    const char* cells[] = {"1310", "13.81uW", "-18.60", "2026/12/06 23:09:22", "OLT port"};
    for (int c = 1; c <= 5; ++c) t.SetCell(row, c, cells[c - 1]);
  }
  const std::string file = dir.Entry("many.hif");
  std::ofstream(file, std::ios::binary) << datafile::Compose(t, datafile::FileType::Hif);
  const std::string earlier = "No.,earlier export,\r\n";
  for (const char* out : {"many.csv", "many.xls"}) {
    for (int stop : {SIGINT, SIGTERM}) {
      bool stoppedWhileWriting = false;
      // A run may finish before the signal lands; then it is tried again.
      for (int attempt = 0; attempt < 5 && !stoppedWhileWriting; ++attempt) {
        std::ofstream(dir.Entry(out), std::ios::binary) << earlier;
        std::set<std::string> expected = {"cli.out", "cli.err"};
        for (const auto& e : std::filesystem::directory_iterator(dir.Path())) expected.insert(e.path().filename());
        StopWhileWriting watch(dir.Path(), {"many.hif", "cli.out", "cli.err"});
        const CliRun run = RunCli(dir, {"--language", "1", "export", file, dir.Entry(out)},
                                  [&](pid_t pid, const std::string&) { watch.Stop(pid, stop); });
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.Path())) names.insert(e.path().filename());
        EXPECT_EQ(names, expected) << out << " " << sigabbrev_np(stop);
        if (run.exitCode == 128 + stop) {
          stoppedWhileWriting = true;
        } else {
          EXPECT_EQ(run.exitCode, 0) << run.err;
        }
      }
      EXPECT_TRUE(stoppedWhileWriting) << out << " " << sigabbrev_np(stop);
    }
  }
}

}  // namespace
}  // namespace e2e
