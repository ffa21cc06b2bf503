// What km360r-cli prints and writes without a meter: usage of --out, files
// that are not read, standard output that cannot be written, and cells that
// hold line breaks.
#include <gtest/gtest.h>

#include "LinkHarness.h"
#include "app/Gbk.h"
#include "app/SharedState.h"
#include "app/TextRules.h"
#include "table/DataFiles.h"

namespace e2e {
namespace {

class CliOutput : public ::testing::Test {
 protected:
  void SetUp() override { ResetSharedState(); }
  void TearDown() override { ResetSharedState(); }

  // A data file as the program saves it, with one reading whose description
  // is `description` (GBK).
  std::string SavedFile(const std::string& name, const std::string& description) {
    Program p;
    p.table.ApplyLayout(Layout::Measurement, 150);
    TableModel& t = p.table.Model();
    const int row = t.InsertRow(0, "1");
    const char* cells[] = {"1310", "13.81uW", "-18.60", "2026/12/06 23:09:22"};
    for (int c = 1; c <= 4; ++c) t.SetCell(row, c, cells[c - 1]);
    t.SetCell(row, 5, description);
    const std::string path = dir.Entry(name);
    std::ofstream(path, std::ios::binary) << datafile::Compose(t, datafile::FileType::Hif);
    return path;
  }

  // Runs km360r-cli in the port directory, standard output to `outPath`.
  CliRun Run(std::vector<std::string> args, const std::string& outPath) {
    const std::string errPath = dir.Entry("cli.err");
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const pid_t pid = StartCli(std::move(args), out, err, dir.Path());
    ::close(out);
    ::close(err);
    CliRun run;
    run.exitCode = WaitCli(pid);
    run.err = ReadFile(errPath);
    return run;
  }

  PortDir dir;
};

TEST_F(CliOutput, FileAndUsageCasesHaveTheirResults) {
  const std::string valid = SavedFile("valid.ref", "");
  std::filesystem::copy_file(valid, dir.Entry("UPPER.REF"));
  std::filesystem::copy_file(valid, dir.Entry("notes.txt"));
  const std::string printed = dir.Entry("printed.txt");
  const std::string noted = "only files whose names end in .ref, .hif or .syf (lower case) are read";
  struct Case {
    std::vector<std::string> args;
    std::string outPath;
    int exitCode;
    size_t printedLines;  // when standard output is a file
    std::string errHas;
  };
  const Case cases[] = {
      // --out without a file name would leave a hidden ".ref" in the folder.
      {{"realtime", "--out", ""}, printed, 2, 0, "--out needs a file name"},
      {{"history", "--out", dir.Path() + "/"}, printed, 2, 0, "--out needs a file name"},
      // Names Open does not read: the empty table, and a note why.
      {{"show", dir.Entry("UPPER.REF")}, printed, 0, 1, noted},
      {{"show", dir.Entry("notes.txt")}, printed, 0, 1, noted},
      // A full disk must not pass for a complete conversion.
      {{"show", valid}, "/dev/full", 3, 0, "cannot write the output: No space left on device"},
  };
  for (const Case& c : cases) {
    const std::string shown = c.args[0] + " " + c.args.back();
    std::vector<std::string> args = {"--language", "1"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliRun r = Run(args, c.outPath);
    EXPECT_EQ(r.exitCode, c.exitCode) << shown << ": " << r.err;
    EXPECT_NE(r.err.find(c.errHas), std::string::npos) << shown << ": " << r.err;
    if (c.outPath == printed) {
      EXPECT_EQ(Lines(ReadFile(printed)).size(), c.printedLines) << shown;
    }
  }
  for (const char* hidden : {".ref", ".hif"}) {
    EXPECT_FALSE(std::filesystem::exists(dir.Entry(hidden))) << hidden;
  }
}

TEST_F(CliOutput, CellBreaksAreEscapedSoEachRowIsOneLine) {
  const std::string file = SavedFile("remark.hif", "a\tb\r\nc\\d");
  const CliRun run = RunCli(dir, {"--language", "1", "show", file});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 2u) << run.out;
  const std::vector<std::string> cells = SplitTabs(lines[1]);
  ASSERT_EQ(cells.size(), 6u) << lines[1];
  // The blanks after the description are the file's own.
  EXPECT_EQ(text::TrimRight(cells[5]), "a\\tb\\r\\nc\\\\d");
}

}  // namespace
}  // namespace e2e
