#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <future>
#include <vector>

#include "table/DataFiles.h"
#include "common/FileAccess.h"
#include "tests/unit/FakeFrame.h"
#include "tests/unit/FileBytes.h"

namespace fs = std::filesystem;

namespace {

void WriteBytes(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

class DataFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::path(::testing::TempDir()) /
          ("km360r_files_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir);
  }

  // Real-time reading of three readings, the second given a description.
  void ReadThree() {
    f.Connect();
    f.StartRealTime();
    f.Feed(FullReadingRecord("1310nm", "12.34uW", "-19.09dBm", "12/05/06 10:20:30"));
    f.Feed(FullReadingRecord("1550nm", "1.5mW", "1.76dBm", "12/05/06 10:20:31"));
    f.Feed(FullReadingRecord("850nm", "0.5nW", "-63.01dBm", "12/05/06 10:20:32"));
    f.runtime.RunPosts();
    f.table.Model().SetCell(1, 5, G("柜 A"));
  }

  // Save and Open without dialogs, as the shown data stands.
  FileOutcome Save(const fs::path& p) { return f.service.SaveFile(p.string(), Shown().dataKind); }
  FileOutcome Open(const fs::path& p) { return f.service.OpenFile(p.string()); }
  // The Save and Open commands with their dialogs and boxes.
  void SaveCommand() {
    f.service.OnSaveData();
    f.runtime.RunPosts();
  }
  void OpenCommand() {
    f.service.OnOpenFile();
    f.runtime.RunPosts();
  }

  const TableModel& Model() const { return f.table.Model(); }
  const ShownData& Shown() const { return f.service.Shown(); }
  std::string Cell(int row, int col) { return U(Model().Cell(row, col)); }
  std::vector<std::string> Row(int row) {
    std::vector<std::string> cells;
    for (int c = 0; c < Model().ColumnCount(); ++c) cells.push_back(Cell(row, c));
    return cells;
  }

  fs::path dir;
  Frame f{"0"};
};

const std::string kRefLineOne =
    "测试时间:2012/05/06 10:20:30       No.:1       备注:        波长:1310 nm     "
    "线性功率:12.34uW     对数功率:-19.09 dBm     \r\n";

TEST_F(DataFiles, RefSavedAndOpenedShowsTheRowsWithTheirBlanksAndSavesTheSameBytes) {
  ReadThree();
  const fs::path first = dir / "a.ref";
  ASSERT_EQ(Save(first).status, FileOutcome::Status::Done);
  const std::string bytes = ReadBytes(first);
  ASSERT_EQ(bytes.back(), '\0');
  EXPECT_EQ(U(bytes.substr(0, bytes.find("\r\n") + 2)), kRefLineOne);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 3);

  // Real-time reading goes on and a history read left one tab item.
  ASSERT_TRUE(f.service.RealTime());
  WriteBytes(dir / "e.hif", std::string(1, '\0'));
  ASSERT_EQ(Open(dir / "e.hif").status, FileOutcome::Status::Done);
  ASSERT_EQ(f.View().tabs.size(), 1u);
  f.runtime.RunPosts();

  ASSERT_EQ(Open(first).status, FileOutcome::Status::Done);
  EXPECT_FALSE(f.service.RealTime());
  EXPECT_EQ(Shown().dataKind, DataKind::RealTime);
  EXPECT_EQ(Shown().rowCount, 3);
  EXPECT_TRUE(f.table.m_bFileOpened);
  EXPECT_EQ(f.table.m_strFilePath, first.string());
  ASSERT_EQ(Model().RowCount(), 3);
  EXPECT_EQ(Row(0), (std::vector<std::string>{"1       ", "1310 ", "12.34uW", "-19.09 ",
                                               "2012/05/06 10:20:30      ", "        "}));
  EXPECT_EQ(Cell(1, 5), "柜 A        ");
  EXPECT_EQ(Cell(2, 0), "3       ");
  // The graph gets the whole-dBm values and at least 300 rows; the tabs get
  // the real-time caption and the graph tab back.
  EXPECT_EQ(f.graph.FileValues()[0], -19);
  EXPECT_EQ(f.graph.FileValues()[1], 1);
  EXPECT_EQ(f.graph.FileValues()[2], -63);
  EXPECT_EQ(f.graph.FileValues()[3], GraphPage::kNoValue);
  EXPECT_EQ(f.graph.RowCount(), 300);
  EXPECT_EQ(f.View().tabs, (std::vector<std::string>{"读取实时数据", "图形数据"}));
  f.runtime.RunPosts();
  // The file's values are drawn after the clears, and the file is named.
  EXPECT_EQ(f.graph.Chart().RowAt(3).value, -63);
  EXPECT_EQ(f.graph.Status(), "Current Open file:   " + first.string());

  const fs::path second = dir / "b.ref";
  ASSERT_EQ(Save(second).status, FileOutcome::Status::Done);
  EXPECT_EQ(ReadBytes(second), bytes);
}

TEST_F(DataFiles, HifKeepsCellBlanksAndOpensAsSaved) {
  f.Connect();
  f.service.OnReadHistory();
  f.Feed(FullReadingRecord("1310nm", "1uW", "-30.00dBm", "12/05/06 10:20:30") + G("历史记录调阅结束$"));
  f.runtime.RunPosts();
  f.table.Model().SetCell(0, 5, G("x  "));
  const FileOutcome saved = Save(dir / "h");
  ASSERT_EQ(saved.path, (dir / "h.hif").string());
  const std::string bytes = ReadBytes(saved.path);
  EXPECT_EQ(U(bytes),
            "测试时间:2012/05/06 10:20:30       No.:1       备注:x          波长:1310nm     "
            "线性功率:1uW     对数功率:-30.00dBm     \r\n" + std::string(1, '\0'));

  ASSERT_EQ(Open(saved.path).status, FileOutcome::Status::Done);
  EXPECT_EQ(Shown().dataKind, DataKind::RealTime);  // saves as .ref from now on
  EXPECT_EQ(Model().Column(5).width, 200);
  EXPECT_EQ(Cell(0, 1), "1310");
  EXPECT_EQ(Cell(0, 3), "-30.00");
  EXPECT_EQ(Cell(0, 5), "x          ");
  EXPECT_EQ(f.View().tabs, std::vector<std::string>{"读取历史数据"});
  f.runtime.RunPosts();
  EXPECT_FALSE(f.graph.Chart().RowAt(1).value);
  EXPECT_EQ(f.graph.FileValues()[0], GraphPage::kNoValue);
}

TEST_F(DataFiles, SyfOfTwoRowsIsEighteenLinesAndComesBackByteForByte) {
  f.Connect();
  f.service.OnReadParams();
  for (const char* wl : {"1310", "850"}) {
    std::string record = std::string("波长：") + wl + "\r\n系统波长校准值：1.2  \r\n";
    for (int n = 0; n < 8; ++n) {
      record += "系统量程" + std::to_string(n) + "校准值：-" + std::to_string(n) + ".25dBm\r\n";
    }
    f.Feed(G(record + "$"));
  }
  f.runtime.RunPosts();
  const fs::path file = dir / "p.syf";
  ASSERT_EQ(Save(file).status, FileOutcome::Status::Done);
  const std::string bytes = ReadBytes(file);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 18);
  EXPECT_EQ(U(bytes.substr(0, bytes.find('\n') + 1)),
            "波长:850nm     波长校准值:1.2       \r\n");

  f.service.OnReadRealTime();
  ASSERT_EQ(Shown().dataKind, DataKind::RealTime);
  ASSERT_EQ(Open(file).status, FileOutcome::Status::Done);
  EXPECT_EQ(Shown().dataKind, DataKind::Parameters);
  EXPECT_TRUE(Shown().paramView);
  ASSERT_EQ(Model().RowCount(), 2);
  EXPECT_EQ(Cell(0, 0), "850");
  EXPECT_EQ(Cell(0, 1), "1.2  ");
  EXPECT_EQ(Cell(0, 2), "-0.25");
  EXPECT_EQ(Cell(0, 3), "-1.25");
  EXPECT_EQ(Cell(1, 9), "-7.25");
  const fs::path again = dir / "q.syf";
  ASSERT_EQ(Save(again).status, FileOutcome::Status::Done);
  EXPECT_EQ(ReadBytes(again), bytes);
}

TEST_F(DataFiles, DamagedRecordsGiveOneRowFromWhatTheyHold) {
  const std::string syfStart = G("波长:1310nm     波长校准值:1.2       \r\n量程0校准值:-0.25dBm     \r\n");
  const struct {
    const char* name;
    std::string bytes;
    int rows;
    std::vector<std::string> lastRowStart;  // the first cells of the last row
  } cases[] = {
      // One whole record, then one without "dBm": the second row is the whole
      // rest from the "m" of the first record's "dBm" (bytes after the NUL
      // are no content).
      {"cut.ref",
       G(kRefLineOne + "测试时间:2012/05/06 10:20:31       No.:2       ") + '\0' +
           "ignored after the NUL dBm",
       2, {"", "", "", "", "2012/05/06 10:20:31      ", ""}},
      // No "备注" and no "线性": cuts at a missing label are empty, searches
      // for a missing label start from byte 4 (-1 plus the offset 5).
      {"labels.ref", G("测试时间:12 No.:7 波长:1310 nm 对数功率:-3 dBm"),
       1, {"", "1310 ", "", "-3 ", "12", "时间:12 No.:7 "}},
      // A record without "dBm", then a run of lead bytes and a record keyword.
      {"lead.hif", G("测试时间:1 No.:5 ") + std::string(300, '\xB2') + "A" + G("测试时间"),
       1, {"", "", "", "", "1", ""}},
      // Parameter records without their range 7 line.
      {"cut.syf", syfStart + syfStart, 1, {"1310", "1.2  ", "-0.25"}},
  };
  for (const auto& c : cases) {
    WriteBytes(dir / c.name, c.bytes);
    ASSERT_EQ(Open(dir / c.name).status, FileOutcome::Status::Done) << c.name;
    EXPECT_EQ(Model().RowCount(), c.rows) << c.name;
    if (Model().RowCount() != c.rows) continue;
    const std::vector<std::string> last = Row(c.rows - 1);
    ASSERT_GE(last.size(), c.lastRowStart.size()) << c.name;
    EXPECT_EQ(std::vector<std::string>(last.begin(), last.begin() + c.lastRowStart.size()),
              c.lastRowStart)
        << c.name;
  }
}

TEST_F(DataFiles, DamagedFilesTakeMemoryInProportionToTheirSize) {
  auto repeated = [](const std::string& unit, size_t bytes) {
    std::string out;
    while (out.size() < bytes) out += unit;
    return out;
  };
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      // An end label every three bytes: a record each, were all of them read.
      {"dense.ref", repeated("dBm", 3'000'000) + G("测试时间")},
      // Labels first and their ends last: four cells copy most of each record.
      {"copies.ref",
       repeated(G("测试时间No.线性对数波长") + std::string(1000, 'x') + G("备注nmW dBm"), 3'000'000)},
  };
  for (const auto& c : cases) {
    WriteBytes(dir / c.name, c.bytes);
    ASSERT_EQ(Open(dir / c.name).status, FileOutcome::Status::Done) << c.name;
    EXPECT_GT(Model().RowCount(), 0) << c.name;
    EXPECT_LE(Model().ApproximateBytes(), 3 * c.bytes.size()) << c.name;
  }
}

TEST(DataFileCompose, SavingTakesMemoryForTheFileNotForItsFirstRow) {
  TableModel table;
  for (int c = 0; c < 6; ++c) table.InsertColumn(c, "c", 100);
  table.InsertRow(0, "1");
  table.SetCell(0, 5, std::string(2'000'000, 'd'));
  for (int r = 1; r <= 20000; ++r) table.InsertRow(r, std::to_string(r + 1));
  const std::string file = datafile::Compose(table, datafile::FileType::Ref);
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 20001);
  EXPECT_LT(file.capacity(), 2 * file.size());
}

TEST_F(DataFiles, ExtensionsDecideTheTypeCaseSensitively) {
  ReadThree();
  ASSERT_EQ(Save(dir / "x.ref").status, FileOutcome::Status::Done);
  fs::copy_file(dir / "x.ref", dir / "X.REF");
  const int columns = Model().ColumnCount();
  f.table.ApplyLayout(Layout::AD);
  ASSERT_EQ(Open(dir / "X.REF").status, FileOutcome::Status::Done);
  EXPECT_EQ(Model().RowCount(), 0);
  EXPECT_EQ(Model().ColumnCount(), 3);  // columns untouched
  EXPECT_NE(columns, 3);

  EXPECT_EQ(datafile::PathWithExtension("d/name", datafile::FileType::Ref), "d/name.ref");
  EXPECT_EQ(datafile::PathWithExtension("d/a.ref.txt", datafile::FileType::Ref), "d/a.ref.txt");
  EXPECT_EQ(datafile::PathWithExtension("d.ref/a", datafile::FileType::Ref), "d.ref/a");
  EXPECT_EQ(datafile::PathWithExtension("d/a.REF", datafile::FileType::Ref), "d/a.REF.ref");
  EXPECT_EQ(datafile::PathWithExtension("d/a.ref", datafile::FileType::Hif), "d/a.ref.hif");
  EXPECT_EQ(datafile::TypeOfPath("a.ref.txt"), datafile::FileType::None);
  EXPECT_EQ(datafile::TypeOfPath("a.txt.syf"), datafile::FileType::Syf);
}

TEST_F(DataFiles, EmptyTableGivesOneNulAndOpensAsNothing) {
  ASSERT_EQ(f.service.SaveFile((dir / "e.ref").string(), DataKind::RealTime).status,
            FileOutcome::Status::Done);
  EXPECT_EQ(ReadBytes(dir / "e.ref"), std::string(1, '\0'));
  f.Connect();
  f.service.OnReadAdValues();
  ASSERT_EQ(Open(dir / "e.ref").status, FileOutcome::Status::Done);
  EXPECT_EQ(Model().RowCount(), 0);
  EXPECT_EQ(Shown().dataKind, DataKind::History);
  EXPECT_EQ(f.graph.RowCount(), 300);
}

TEST_F(DataFiles, AFileOverOneHundredThousandBytesOpensWhole) {
  f.Connect();
  f.StartRealTime();
  for (int i = 0; i < 1500; ++i) {
    f.Feed(FullReadingRecord("1310nm", "1uW", "-" + std::to_string(i % 70) + ".5dBm", "12/05/06 10:20:30"));
  }
  f.runtime.RunPosts();
  ASSERT_EQ(Save(dir / "big.ref").status, FileOutcome::Status::Done);
  ASSERT_GT(fs::file_size(dir / "big.ref"), 100000u);
  ASSERT_EQ(Open(dir / "big.ref").status, FileOutcome::Status::Done);
  EXPECT_EQ(Model().RowCount(), 1500);
  EXPECT_EQ(Cell(1499, 0), "1500       ");
  EXPECT_EQ(f.graph.FileValues()[999], -(999 % 70));
  EXPECT_EQ(f.graph.RowCount(), 1000);
}

TEST_F(DataFiles, OpenOnlyReads) {
  ReadThree();
  const fs::path file = dir / "ro.ref";
  ASSERT_EQ(Save(file).status, FileOutcome::Status::Done);
  fs::permissions(file, fs::perms::owner_read);
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
  ASSERT_EQ(Open(file).status, FileOutcome::Status::Done);
  EXPECT_EQ(Model().RowCount(), 3);
  fs::permissions(dir, fs::perms::owner_all);

  // A missing file and a folder: an error box naming the system's reason in
  // the window's language, nothing created, the table and its file as they were.
  f.window.openPath = (dir / "missing.ref").string();
  OpenCommand();
  EXPECT_FALSE(fs::exists(dir / "missing.ref"));
  EXPECT_EQ(Model().RowCount(), 3);
  ASSERT_EQ(f.Boxes().size(), 1u);
  EXPECT_EQ(f.Boxes()[0], "无法打开文件：" + (dir / "missing.ref").string() + " (没有那个文件或目录)");
  fs::create_directory(dir / "folder.ref");
  f.window.openPath = (dir / "folder.ref").string();
  OpenCommand();
  ASSERT_EQ(f.Boxes().size(), 2u);
  EXPECT_EQ(f.Boxes()[1], "无法打开文件：" + (dir / "folder.ref").string() + " (是一个目录)");
  EXPECT_EQ(Model().RowCount(), 3);
  EXPECT_EQ(f.View().fileName, "ro.ref");

  // A file beyond the size limit is refused with its own message.
  {
    std::ofstream(dir / "huge.ref");
  }
  fs::resize_file(dir / "huge.ref", fileaccess::kMaxDataFileBytes + 1);
  const FileOutcome huge = Open(dir / "huge.ref");
  EXPECT_EQ(huge.status, FileOutcome::Status::Failed);
  EXPECT_EQ(huge.message.rfind("文件太大，无法打开（超过 1 GB）：", 0), 0u);
  EXPECT_EQ(Model().RowCount(), 3);

  // A named pipe is no data file: refused at once instead of waiting for a writer.
  const fs::path pipe = dir / "pipe.ref";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  auto opening = std::async(std::launch::async, [&] { return Open(pipe); });
  if (opening.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    ADD_FAILURE() << "opening a named pipe waits for a writer";
    ::close(::open(pipe.c_str(), O_WRONLY | O_NONBLOCK));  // let it go
  }
  EXPECT_EQ(opening.get().status, FileOutcome::Status::Failed);
  EXPECT_EQ(Model().RowCount(), 3);
}

TEST_F(DataFiles, AFileBeyondSixtyFourMebibytesOpens) {
  WriteBytes(dir / "large.ref", G(kRefLineOne));
  fs::resize_file(dir / "large.ref", (size_t{64} << 20) + 1);  // NUL bytes after the record
  ASSERT_EQ(Open(dir / "large.ref").status, FileOutcome::Status::Done);
  EXPECT_EQ(Model().RowCount(), 1);
}

TEST_F(DataFiles, SaveRefusesWhatOpenWouldRefuse) {
  const std::string path = (dir / "limit.ref").string();
  EXPECT_NE(fileaccess::WriteFileReplacing(path, std::string(101, 'x'), 100), "");
  EXPECT_FALSE(fs::exists(path));
  ASSERT_EQ(fileaccess::WriteFileReplacing(path, std::string(100, 'x'), 100), "");
  const fileaccess::ReadResult read = fileaccess::ReadWholeFile(path, 100);
  EXPECT_EQ(read.error, fileaccess::ReadError::None);
  EXPECT_EQ(read.bytes, std::string(100, 'x'));
}

TEST_F(DataFiles, TheLongestFileNameSaves) {
  ReadThree();
  // 255 bytes, the most a file name may have.
  const fs::path file = dir / (std::string(251, 'n') + ".ref");
  ASSERT_EQ(Save(file).status, FileOutcome::Status::Done);
  ASSERT_EQ(Open(file).status, FileOutcome::Status::Done);
  EXPECT_EQ(Model().RowCount(), 3);
  int entries = 0;
  for ([[maybe_unused]] auto& e : fs::directory_iterator(dir)) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST_F(DataFiles, SavingThroughALinkWritesTheFileItPointsTo) {
  ReadThree();
  ASSERT_EQ(Save(dir / "plain.ref").status, FileOutcome::Status::Done);
  const std::string saved = ReadBytes(dir / "plain.ref");
  const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  const struct {
    std::vector<std::pair<std::string, std::string>> links;  // saved to the first link
    std::string target;
    bool targetExists;
  } cases[] = {
      {{{"l.ref", "f.ref"}}, "f.ref", true},
      {{{"l2.ref", "l1.ref"}, {"l1.ref", "f.ref"}}, "f.ref", true},
      {{{"sub/l.ref", "../f.ref"}}, "f.ref", true},  // relative to the link's folder
      {{{"l.ref", "new.ref"}}, "new.ref", false},    // a link to nothing yet
  };
  int n = 0;
  for (const auto& c : cases) {
    const fs::path here = dir / ("case" + std::to_string(n++));
    fs::create_directories(here / "sub");
    if (c.targetExists) {
      WriteBytes(here / c.target, "old");
      fs::permissions(here / c.target, mode);
    }
    for (const auto& [link, to] : c.links) fs::create_symlink(to, here / link);
    ASSERT_EQ(Save(here / c.links[0].first).status, FileOutcome::Status::Done) << n;
    EXPECT_EQ(ReadBytes(here / c.target), saved) << n;
    for (const auto& [link, to] : c.links) EXPECT_TRUE(fs::is_symlink(here / link)) << n;
    if (c.targetExists) {
      EXPECT_EQ(fs::status(here / c.target).permissions(), mode) << n;
    }
  }
}

TEST_F(DataFiles, SaveAsksBeforeReplacingAndLeavesNoStaleTail) {
  ReadThree();
  const fs::path file = dir / "r.ref";
  WriteBytes(file, std::string(5000, 'x'));
  f.window.savePath = (dir / "r").string();
  f.window.answers = {BoxAnswer::No};
  SaveCommand();
  EXPECT_EQ(ReadBytes(file), std::string(5000, 'x'));
  ASSERT_EQ(f.window.boxes.size(), 1u);
  EXPECT_EQ(f.window.boxes[0].text.rfind("文件已存在", 0), 0u);
  EXPECT_EQ(f.window.boxes[0].buttons, BoxButtons::YesNo);
  EXPECT_EQ(f.View().statusNote, "");

  f.window.answers = {BoxAnswer::Yes};
  SaveCommand();
  EXPECT_EQ(f.View().statusNote, file.string());
  const std::string bytes = ReadBytes(file);
  EXPECT_LT(bytes.size(), 5000u);
  EXPECT_EQ(bytes.back(), '\0');
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\0'), 1);
  int entries = 0;
  for ([[maybe_unused]] auto& e : fs::directory_iterator(dir)) ++entries;
  EXPECT_EQ(entries, 1);  // no temporary file left behind
}

TEST_F(DataFiles, SaveFollowsTheDataKind) {
  f.window.savePath = (dir / "k").string();
  // Nothing shown, or wavelength codes, which have no file type: no file
  // dialog, and the note says why.
  SaveCommand();
  EXPECT_TRUE(f.window.saveFilters.empty());
  EXPECT_EQ(f.View().statusNote, "表格中没有可保存为数据文件的读数");
  f.Connect();
  f.service.OnReadWavelengthCodes();
  f.window.view.statusNote.clear();
  SaveCommand();
  EXPECT_TRUE(f.window.saveFilters.empty());
  EXPECT_EQ(f.View().statusNote, "表格中没有可保存为数据文件的读数");
  EXPECT_EQ(f.service.SaveFile((dir / "k").string(), Shown().dataKind).status,
            FileOutcome::Status::Nothing);
  // AD values are history data.
  f.service.OnReadAdValues();
  SaveCommand();
  EXPECT_EQ(f.window.saveFilters, std::vector<std::string>{" (*.hif)|*.hif|"});
  EXPECT_TRUE(fs::exists(dir / "k.hif"));
  f.window.savePath.reset();
  SaveCommand();
  EXPECT_EQ(f.View().statusNote, "");
  EXPECT_FALSE(fs::exists(dir / "k.ref"));
  EXPECT_FALSE(fs::exists(dir / "k"));
}

TEST_F(DataFiles, AFailedSaveLeavesTheOldFileAndSaysSo) {
  ReadThree();
  const fs::path file = dir / "old.ref";
  const std::string old(200, 'o');
  WriteBytes(file, old);
  // The file size limit makes the write itself fail, whoever runs the test.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 100;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  f.window.savePath = file.string();
  f.window.answers = {BoxAnswer::Yes};
  const std::string note = f.View().statusNote;
  SaveCommand();
  const FileOutcome outcome = Save(file);
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_EQ(outcome.status, FileOutcome::Status::Failed);
  EXPECT_EQ(outcome.message.rfind("无法保存文件：", 0), 0u);
  EXPECT_EQ(f.Boxes().back().rfind("无法保存文件：", 0), 0u);
  EXPECT_EQ(f.View().statusNote, note);
  EXPECT_EQ(ReadBytes(file), old);
  int entries = 0;
  for ([[maybe_unused]] auto& e : fs::directory_iterator(dir)) ++entries;
  EXPECT_EQ(entries, 1);

  // Into a folder that does not exist.
  EXPECT_EQ(Save(dir / "no" / "such.ref").status, FileOutcome::Status::Failed);
}

TEST_F(DataFiles, OpenDialogFilterAndCancel) {
  ReadThree();
  OpenCommand();
  EXPECT_EQ(f.window.openFilters,
            std::vector<std::string>{"(*.ref)|*.ref|(*.hif)|*.hif|(*.syf)|*.syf|"});
  EXPECT_EQ(Model().RowCount(), 3);
  ASSERT_EQ(Save(dir / "o.ref").status, FileOutcome::Status::Done);
  f.window.openPath = (dir / "o.ref").string();
  OpenCommand();
  EXPECT_EQ(f.View().statusNote, (dir / "o.ref").string());
}

}  // namespace
