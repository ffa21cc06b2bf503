// What km360r-cli prints and writes without a meter: usage of --out, files
// that are not read, standard output that cannot be written, and cells that
// hold line breaks.
#include <gtest/gtest.h>

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
      // Names Open does not read: the empty table, and a note why.
      {{"show", dir.Entry("UPPER.REF")}, false, 0, 1, noted},
      {{"show", dir.Entry("notes.txt")}, false, 0, 1, noted},
      // A full disk must not pass for a complete conversion.
      {{"show", valid}, true, 3, 0, "cannot write the output: No space left on device"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"--language", "1"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliRun run = RunCli(dir, args, {}, c.fullDisk ? "/dev/full" : "");
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

}  // namespace
}  // namespace e2e
