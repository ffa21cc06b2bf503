// km360r-cli report: a history file printed as the test report into a PDF
// file, read back with an independent PDF reader (poppler's pdftotext).
#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "LinkHarness.h"
#include "StopWhileWriting.h"
#include "common/Gbk.h"
#include "table/DataFiles.h"

namespace e2e {
namespace {

// The text of a PDF as laid out on its pages (UTF-8).
std::string PdfText(const std::string& pdf) {
  std::string text;
  FILE* p = ::popen(("pdftotext -layout '" + pdf + "' - 2>&1").c_str(), "r");
  if (!p) return text;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) text.append(buffer, n);
  ::pclose(p);
  return text;
}

// `words` in this order on one line of `text`.
bool OnOneLine(const std::string& text, const std::vector<std::string>& words) {
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    size_t at = 0;
    for (const std::string& w : words) {
      at = line.find(w, at);
      if (at == std::string::npos) break;
      at += w.size();
    }
    if (at != std::string::npos) return true;
  }
  return false;
}

class CliReport : public ::testing::Test {
 protected:
  // A history file of `rows` readings whose remarks mix Chinese and English
  // (the first row's remark is `firstRemark` when given).
  std::string HistoryFile(int rows, const std::string& firstRemark = "") {
    Program p;
    p.table.ApplyLayout(Layout::Measurement, 150);
    TableModel& t = p.table.Model();
    for (int i = 0; i < rows; ++i) {
      std::vector<std::string> cells = {std::to_string(i + 1), i % 2 ? "1550" : "1310",
                                        std::to_string(10 + i % 7) + ".25uW",
                                        "-" + std::to_string(15 + i % 9) + ".60",
                                        "2026/12/06 " + std::to_string(10 + i / 60) + ":" +
                                            std::to_string(10 + i % 50) + ":22",
                                        i % 2 ? "OLT port " + std::to_string(i) : "机房A 配线架" + std::to_string(i)};
      if (i == 0 && !firstRemark.empty()) cells[5] = firstRemark;
      const int row = t.InsertRow(i, cells[0]);
      for (int c = 1; c < 6; ++c) t.SetCell(row, c, gbk::FromUtf8(cells[static_cast<size_t>(c)]));
      expected.push_back(cells);
    }
    std::string path = dir.Entry("history.hif");
    std::ofstream(path, std::ios::binary) << datafile::Compose(t, datafile::FileType::Hif);
    return path;
  }

  // The names in the folder, but the run's standard output and error.
  std::set<std::string> Entries() const {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
      const std::string name = e.path().filename().string();
      if (name != "cli.out" && name != "cli.err") names.insert(name);
    }
    return names;
  }

  PortDir dir;
  std::vector<std::vector<std::string>> expected;
};

// An earlier report in OUT: the run must leave it as it was or replace it
// with a whole new one.
const std::string kEarlierReport = "%PDF-1.4\n% an earlier report\n%%EOF\n";

bool WholePdf(const std::string& bytes) {
  return bytes.rfind("%PDF-", 0) == 0 && bytes.find("%%EOF", bytes.size() - 8) != std::string::npos;
}

TEST_F(CliReport, TheReportHoldsTheTitleTheColumnTitlesAndEveryRowWhole) {
  const std::string pdf = dir.Entry("report.pdf");
  const CliRun run = RunCli(dir, {"--language", "0", "report", HistoryFile(60), pdf});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string text = PdfText(pdf);
  EXPECT_NE(text.find("Optical Power Meter 测试报告"), std::string::npos) << text;
  EXPECT_TRUE(OnOneLine(text, {"No.", "波长", "线性功率", "对数功率(dBm)", "测试时间", "备注"})) << text;
  // The remark is the rightmost column: whole, it was not cut at the paper's edge.
  for (const auto& row : expected) EXPECT_TRUE(OnOneLine(text, row)) << row[0] << "\n" << text;
}

TEST_F(CliReport, ARemarkHoldingBarsPrintsWholeInItsColumn) {
  const std::string pdf = dir.Entry("report.pdf");
  const CliRun run = RunCli(dir, {"--language", "1", "report", HistoryFile(2, "rack|7|B"), pdf});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string text = PdfText(pdf);
  EXPECT_TRUE(OnOneLine(text, expected[0])) << text;
  EXPECT_TRUE(OnOneLine(text, expected[1])) << text;
}

TEST_F(CliReport, WhatCannotBePrintedGivesNoFileAndExitCodeThree) {
  Program p;
  p.table.ApplyLayout(Layout::Parameters);
  const int row = p.table.Model().InsertRow(0, "1310");
  for (int c = 1; c < 10; ++c) p.table.Model().SetCell(row, c, "1.00");
  const std::string params = dir.Entry("meter.syf");
  std::ofstream(params, std::ios::binary) << datafile::Compose(p.table.Model(), datafile::FileType::Syf);
  struct Case {
    std::string file, out, errHas;
  };
  const Case cases[] = {
      {params, dir.Entry("params.pdf"), "system parameters are not printed"},
      {HistoryFile(3), dir.Entry("missing/report.pdf"), "The report could not be printed."},
      {dir.Entry("absent.hif"), dir.Entry("absent.pdf"), "Cannot open the file"},
  };
  for (const Case& c : cases) {
    const CliRun run = RunCli(dir, {"--language", "1", "report", c.file, c.out});
    EXPECT_EQ(run.exitCode, 3) << c.file;
    EXPECT_NE(run.err.find(c.errHas), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(c.out)) << c.out;
  }
}

TEST_F(CliReport, AReportThatCannotBeWrittenLeavesOutAsItWas) {
  const std::string input = HistoryFile(60);
  struct Case {
    const char* what;
    std::string out;
    rlim_t fileSizeLimit;
    int exitCode;
    std::string errHas;
  };
  const Case cases[] = {
      // The disk is full after 2 KB of the new file.
      {"full disk", dir.Entry("kept.pdf"), 2048, 3, "The report could not be printed. " + dir.Entry("kept.pdf") +
                                                        " (File too large)"},
      // The measurements are not replaced by their report.
      {"its own input", input, RLIM_INFINITY, 2, "OUT is the input file"},
      {"a data file", dir.Entry("older.ref"), RLIM_INFINITY, 2, "OUT must not end in .ref, .hif or .syf"},
      {"a data file", dir.Entry("OLDER.SYF"), RLIM_INFINITY, 2, "OUT must not end in .ref, .hif or .syf"},
  };
  for (const Case& c : cases) {
    if (c.out != input) std::ofstream(c.out, std::ios::binary) << kEarlierReport;
    const std::string before = ReadFile(c.out);
    const std::set<std::string> entries = Entries();
    const CliRun run = RunCli(dir, {"--language", "1", "report", input, c.out}, {}, {}, c.fileSizeLimit);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.what;
    EXPECT_NE(run.err.find(c.errHas), std::string::npos) << c.what << ": " << run.err;
    EXPECT_TRUE(ReadFile(c.out) == before) << c.what;  // not the bytes: a PDF in a message helps nobody
    EXPECT_EQ(Entries(), entries) << c.what;
  }
}

TEST_F(CliReport, AStopWhileWritingLeavesOutWholeAndNoOtherFile) {
  const std::string input = HistoryFile(300);
  const std::string out = dir.Entry("kept.pdf");
  for (int stop : {SIGTERM, SIGINT}) {
    bool stoppedWhileWriting = false;
    // A run may finish before the signal lands; then it is tried again.
    for (int attempt = 0; attempt < 5 && !stoppedWhileWriting; ++attempt) {
      std::ofstream(out, std::ios::binary) << kEarlierReport;
      const std::set<std::string> entries = Entries();
      StopWhileWriting watch(dir.Path(), {"history.hif", "cli.out", "cli.err"});
      const CliRun run = RunCli(dir, {"--language", "1", "report", input, out},
                                [&](pid_t pid, const std::string&) { watch.Stop(pid, stop); });
      const std::string now = ReadFile(out);
      EXPECT_TRUE(now == kEarlierReport || WholePdf(now)) << sigabbrev_np(stop) << ": " << now.size() << " bytes";
      EXPECT_EQ(Entries(), entries) << sigabbrev_np(stop);
      if (run.exitCode == 128 + stop) {
        stoppedWhileWriting = true;
      } else {
        EXPECT_EQ(run.exitCode, 0) << run.err;
      }
    }
    EXPECT_TRUE(stoppedWhileWriting) << sigabbrev_np(stop);
  }
}

// A km360r-cli without its report module beside it: both report commands say
// so in the report's language and write nothing; the other commands work.
TEST_F(CliReport, WithoutTheReportModuleTheReportsSaySoAndTheRestWorks) {
  const std::string history = HistoryFile(3);
  const std::string alone = dir.Entry("alone");
  std::filesystem::create_directory(alone);
  std::filesystem::copy_file(KM360R_CLI_PATH, alone + "/km360r-cli");
  const std::string run = "cd '" + dir.Path() + "' && KM360R_STORE=results.sqlite ./alone/km360r-cli ";
  const struct {
    std::string args;
    std::string says;
  } cases[] = {
      {"--language 1 report history.hif out.pdf", "the report module " + alone + "/km360r-cli-report.so could not be loaded"},
      {"--language 0 report history.hif out.pdf", "无法载入报告模块 " + alone + "/km360r-cli-report.so"},
      {"--language 1 job report J out.pdf", "without it km360r-cli makes no PDF report"},
  };
  for (const auto& c : cases) {
    const std::string said = ShellOutput(run + c.args + " 2>&1; echo exit $?", dir.Entry("said.txt"));
    EXPECT_NE(said.find(c.says), std::string::npos) << c.args << ": " << said;
    EXPECT_NE(said.find("exit 2"), std::string::npos) << c.args << ": " << said;
    EXPECT_FALSE(std::filesystem::exists(dir.Entry("out.pdf"))) << c.args;
  }
  EXPECT_NE(ShellOutput(run + "--language 1 show history.hif", dir.Entry("said.txt")).find("1310"), std::string::npos);
}

}  // namespace
}  // namespace e2e
