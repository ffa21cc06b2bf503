// km360r-cli's job report and job export read back by independent readers:
// the PDF by poppler's pdftotext, the CSV file by Python's csv module and by
// LibreOffice. Results are put into a real store file as a capture puts them.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <set>
#include <sstream>

#include "LinkHarness.h"
#include "jobs/Capture.h"
#include "jobs/SqliteStore.h"

namespace e2e {
namespace {

class CliJobReport : public ::testing::Test {
 protected:
  CliJobReport() { ::setenv("KM360R_STORE", store.c_str(), 1); }
  ~CliJobReport() override { ::unsetenv("KM360R_STORE"); }

  CliRun Cli(std::vector<std::string> args, const char* language = "1") {
    args.insert(args.begin(), {"--language", language});
    return RunCli(dir, std::move(args));
  }

  // Stores a result of one reading as `job capture` would.
  void Put(const std::string& job, const std::string& point, int nm, double dbm) {
    jobs::SqliteStore s(store);
    jobs::Result r = jobs::ResultOf(*s.FindJob(job), point, nm, {dbm}, 1'780'000'000);
    s.AddResult(job, r);
  }

  PortDir dir;
  std::string store = dir.Entry("results.sqlite");
};

TEST_F(CliJobReport, TheReportHoldsThePointsValuesVerdictsAndSummary) {
  // GPON B+: 1490 nm from -27 to -8 dBm, 1310 nm from -28 to -8 dBm, margin 2 dB.
  ASSERT_EQ(Cli({"job", "new", "Street 5", "--site", "Cabinet 12", "--operator", "Ann", "--points", "P01-P04"})
                .exitCode,
            0);
  Put("Street 5", "P01", 1490, -20.0);  // PASS
  Put("Street 5", "P02", 1490, -26.0);  // MARGINAL: within 2 dB of -27
  Put("Street 5", "P02", 1310, -21.0);  // PASS; the point counts by its worst
  Put("Street 5", "P03", 1310, -30.5);  // FAIL: below -28
  const std::string pdf = dir.Entry("street5.pdf");
  const CliRun run = Cli({"job", "report", "Street 5", pdf});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string text = ShellOutput("pdftotext -layout '" + pdf + "' -", dir.Entry("pdf.txt"));
  for (const char* expected :
       {"Test Job Report", "Job: Street 5", "Site: Cabinet 12", "Operator: Ann", "Profile: GPON B+",
        "1490 nm: -27.00 to -8.00 dBm", "1310 nm: -28.00 to -8.00 dBm", "Loss budget: 13.00 to 28.00 dB",
        "References: none", "Points 4", "PASS 1", "MARGINAL 1", "FAIL 1", "Untested 1", "Page 1 of 1",
        "km360r 1.0"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
  }
  // One line per point: its values at 1310 nm, then at 1490 nm, then the verdict.
  std::vector<std::string> rows;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("P0", 0) == 0) {
      std::istringstream words(line);
      std::string all;
      for (std::string w; words >> w;) all += (all.empty() ? "" : " ") + w;
      rows.push_back(all);
    }
  }
  EXPECT_EQ(rows, (std::vector<std::string>{"P01 -20.00 0.01000 PASS", "P02 -21.00 0.007943 -26.00 0.002512 MARGINAL",
                                            "P03 -30.50 0.0008913 FAIL", "P04 Untested"}))
      << text;
}

TEST_F(CliJobReport, ALongJobGetsNumberedPagesAndChineseWhenAsked) {
  ASSERT_EQ(Cli({"job", "new", "J", "--points", "P001-P150"}).exitCode, 0);
  const std::string pdf = dir.Entry("long.pdf");
  ASSERT_EQ(Cli({"job", "report", "J", pdf}, "0").exitCode, 0);
  const std::string text = ShellOutput("pdftotext -layout '" + pdf + "' -", dir.Entry("pdf.txt"));
  EXPECT_NE(text.find("测试任务报告"), std::string::npos) << text;
  EXPECT_NE(text.find("第 1 页，共 3 页"), std::string::npos) << text;
  EXPECT_NE(text.find("第 3 页，共 3 页"), std::string::npos) << text;
  EXPECT_NE(text.find("P150"), std::string::npos) << text;
}

// The names in the test's folder.
std::set<std::string> Entries(const PortDir& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path())) names.insert(e.path().filename().string());
  return names;
}

TEST_F(CliJobReport, AReportThatCannotBeWrittenIsRefusedWithExitCodeThree) {
  ASSERT_EQ(Cli({"job", "new", "J", "--points", "P1"}).exitCode, 0);
  const std::string fifo = dir.Entry("pipe.pdf");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const CliRun piped = Cli({"job", "report", "J", fifo});
  EXPECT_EQ(piped.exitCode, 3);
  EXPECT_NE(piped.err.find("cannot write " + fifo), std::string::npos) << piped.err;
  const CliRun missing = Cli({"job", "report", "J", dir.Entry("no/such/folder.pdf")});
  EXPECT_EQ(missing.exitCode, 3);
  EXPECT_NE(missing.err.find("The job report could not be printed."), std::string::npos) << missing.err;
  EXPECT_EQ(Cli({"job", "report", "K", dir.Entry("k.pdf")}).exitCode, 2);
  // Beyond the user's file size limit the write fails: the earlier file
  // stays whole and nothing is left beside it.
  ASSERT_EQ(Cli({"job", "points", "J", "add", "P2-P3000"}).exitCode, 0);
  for (const char* name : {"kept.pdf", "kept.xls"}) {
    const std::string out = dir.Entry(name);
    std::ofstream(out) << "earlier";
    const std::set<std::string> before = Entries(dir);
    const std::string command = std::string(name).ends_with(".pdf") ? "report" : "export";
    const CliRun run = RunCli(dir, {"--language", "1", "job", command, "J", out}, {}, {}, 40000);  // above the store's shared memory file, below either file
    EXPECT_EQ(run.exitCode, 3) << name;
    EXPECT_NE(run.err.find("File too large"), std::string::npos) << run.err;
    EXPECT_TRUE(ReadFile(out) == "earlier") << name;  // not the bytes: a PDF in a message helps nobody
    EXPECT_EQ(Entries(dir), before);
  }
}

// Python's csv module and LibreOffice read the same cells from the export;
// to LibreOffice the values are numbers ("-20" for "-20.00"). Its import
// dialog takes UTF-8 from the BOM; a headless conversion is told so.
TEST_F(CliJobReport, TheCsvExportReadsAlikeInPythonAndLibreOffice) {
  ASSERT_EQ(Cli({"job", "new", "J", "--operator", "Ann", "--points", "分光器-1,P2"}).exitCode, 0);
  ASSERT_EQ(Cli({"job", "reference", "J", "1310", "-3"}).exitCode, 0);
  Put("J", "分光器-1", 1310, -20.0);
  const std::string csv = dir.Entry("j.csv");
  ASSERT_EQ(Cli({"job", "export", "J", csv}).exitCode, 0);
  const std::string python = ShellOutput(
      "python3 -c 'import csv,sys; [print(\"|\".join(r[:6])) for r in csv.reader(open(sys.argv[1], "
      "encoding=\"utf-8-sig\", newline=\"\"))]' '" + csv + "'",
      dir.Entry("python.out"));
  EXPECT_EQ(Lines(python), (std::vector<std::string>{"point|wavelength_nm|power_dbm|power_mw|loss_db|verdict",
                                                     "分光器-1|1310|-20.00|0.01000|17.00|PASS", "P2|||||"}))
      << python;
  const std::string profile = "-env:UserInstallation=file://" + dir.Entry("office");
  const std::string office = ShellOutput("cd '" + dir.Path() + "' && soffice " + profile +
                                             " --headless --infilter=CSV:44,34,76 --convert-to 'csv:Text - txt - csv (StarCalc):124,0,76,1' "
                                             "--outdir converted j.csv >/dev/null && cut -d'|' -f1-6 converted/j.csv",
                                         dir.Entry("office.out"));
  EXPECT_EQ(Lines(office), (std::vector<std::string>{"point|wavelength_nm|power_dbm|power_mw|loss_db|verdict",
                                                     "分光器-1|1310|-20|0.01|17|PASS", "P2|||||"}))
      << office;
}

}  // namespace
}  // namespace e2e
