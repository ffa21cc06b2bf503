// What km360r-cli prints and writes without a meter: usage of --out, files
// that are not read, standard output that cannot be written, and cells that
// hold line breaks.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <regex>

#include "LinkHarness.h"
#include "common/Gbk.h"
#include "common/TextRules.h"
#include "table/DataFiles.h"

namespace e2e {
namespace {

class CliOutput : public ::testing::Test {
 protected:

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
    std::string path = dir.Entry(name);
    std::ofstream(path, std::ios::binary) << datafile::Compose(t, datafile::FileType::Hif);
    return path;
  }

  PortDir dir;
};

TEST_F(CliOutput, FileAndUsageCasesHaveTheirResults) {
  const std::string valid = SavedFile("valid.ref", "");
  std::filesystem::copy_file(valid, dir.Entry("UPPER.REF"));
  std::filesystem::copy_file(valid, dir.Entry("notes.txt"));
  const std::string noted = "only files whose names end in .ref, .hif or .syf (lower case) are read";
  const std::string fifo = dir.Entry("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(dir.Entry("fifo.csv").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(dir.Entry("fifo.hif").c_str(), 0600), 0);
  struct Case {
    std::vector<std::string> args;
    bool fullDisk;  // standard output is /dev/full
    int exitCode;
    size_t printedLines;
    std::string errHas;
  };
  const Case cases[] = {
      // --out without a file name would leave a hidden ".ref" in the folder.
      {{"realtime", "--out", ""}, false, 2, 0, "--out needs a file name"},
      {{"history", "--out", dir.Path() + "/"}, false, 2, 0, "--out needs a file name"},
      // The field options: limits the wrong way round, a reference that is no
      // number, and statistics of a command that reads no live power.
      {{"realtime", "--limits", "1,-3"}, false, 2, 0, "--limits needs LOW,HIGH"},
      {{"realtime", "--reference", "-20dBm"}, false, 2, 0, "--reference needs a power in dBm"},
      {{"history", "--stats"}, false, 2, 0, "option --stats does not go with history"},
      // Powers beyond any meter's range are typing errors.
      {{"realtime", "--reference", "1000"}, false, 2, 0, "--reference needs a power in dBm"},
      {{"realtime", "--reference", "-200.01"}, false, 2, 0, "--reference needs a power in dBm"},
      {{"realtime", "--limits", "-300,-8"}, false, 2, 0, "--limits needs LOW,HIGH"},
      {{"realtime", "--limits", "-8,250"}, false, 2, 0, "--limits needs LOW,HIGH"},
      {{"--language", "4", "scan"}, false, 2, 0, "--language needs 0, 1, 2 or 3"},
      {{"--language", "", "scan"}, false, 2, 0, "--language needs 0, 1, 2 or 3"},
      {{"--language", "10", "scan"}, false, 2, 0, "--language needs 0, 1, 2 or 3"},
      // Without a name for OUT the export would leave a hidden ".csv".
      {{"export", valid, ""}, false, 2, 0, "export needs a file name for OUT"},
      {{"export", valid, dir.Path() + "/"}, false, 2, 0, "export needs a file name for OUT"},
      {{"report", valid, ""}, false, 2, 0, "report needs a file name for OUT"},
      // The rows saved would be written over the log, or the log over them.
      {{"realtime", "--out", dir.Entry("run"), "--log", dir.Entry("run.ref")}, false, 2, 0,
       "--log and --out name one file"},
      {{"realtime", "--out", dir.Entry("run.ref"), "--log", dir.Entry("run.ref")}, false, 2, 0,
       "--log and --out name one file"},
      // A log of other columns is not appended to.
      {{"realtime", "--log", dir.Entry("notes.txt")}, false, 2, 0, "its first line is not the log's header"},
      // A named pipe or a device is refused at once: it would hold the run or
      // swallow the file.
      {{"report", valid, fifo}, false, 3, 0, "cannot write " + fifo + " (not a regular file)"},
      {{"report", valid, "/dev/full"}, false, 3, 0, "cannot write /dev/full (not a regular file)"},
      {{"export", valid, dir.Entry("fifo")}, false, 3, 0, "fifo.csv (not a regular file)"},
      {{"history", "--out", dir.Entry("fifo")}, false, 3, 0, "fifo.hif (not a regular file)"},
      {{"realtime", "--log", fifo}, false, 3, 0, "fifo (not a regular file)"},
      // Names Open does not read: the empty table, and a note why.
      {{"show", dir.Entry("UPPER.REF")}, false, 0, 1, noted},
      {{"show", dir.Entry("notes.txt")}, false, 0, 1, noted},
      {{"export", dir.Entry("notes.txt"), dir.Entry("notes")}, false, 0, 0, noted},
      {{"report", dir.Entry("UPPER.REF"), dir.Entry("upper.pdf")}, false, 0, 0, noted},
      // A full disk must not pass for a complete conversion.
      {{"show", valid}, true, 3, 0, "cannot write the output: No space left on device"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"--language", "1"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliRun run = RunCli(dir, args, [](pid_t pid, const std::string&) { EndIfHung(pid); }, c.fullDisk ? "/dev/full" : "");
    const std::string shown = c.args[0] + " " + c.args.back();
    EXPECT_EQ(run.exitCode, c.exitCode) << shown << ": " << run.err;
    EXPECT_NE(run.err.find(c.errHas), std::string::npos) << shown << ": " << run.err;
    EXPECT_EQ(Lines(run.out).size(), c.printedLines) << shown;
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

// The name and the version, and nothing touched: --version comes before a
// command that would fail.
TEST_F(CliOutput, VersionIsPrintedWithoutACommand) {
  const CliRun run = RunCli(dir, {"--version", "show", dir.Entry("missing.ref")});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(std::regex_match(run.out, std::regex("km360r-cli [0-9]+\\.[0-9]+\n"))) << run.out;
  EXPECT_EQ(run.err, "");
}

}  // namespace
}  // namespace e2e
