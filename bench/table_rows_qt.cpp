// The table page window with 100,000 rows, in the whole program on Qt's
// offscreen platform (targets: adding 100,000 real-time records one by one, or
// opening a file of 100,000 records, takes under 1 s including the window's
// own work, and the rows cost under 100 MB of resident memory).
//
// Records are handed to the page as the link hands them: each one posted to
// the main window's queue, handled in its own call of the page, each followed
// by the closing scroll to the last row.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSettings>
#include <QStandardPaths>
#include <QTableView>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/Gbk.h"
#include "device/meters/km360r/Km360r.h"
#include "app/ui/CApplication.h"
#include "app/ui/CMainView.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/QtRuntime.h"
#include "bench/ResidentMemory.h"
#include "table/ui/CMeasureList.h"
#include "table/ui/CTablePageWindow.h"

namespace {

constexpr int kRows = 100000;

// Lets everything queued run, the repaint of the window included.
void Drain() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
}

// A real-time reading as the meter sends it: every label padded to ten bytes
// before its value, GBK, closed by "$". The values change from record to
// record as a live reading does.
std::string RealTimeRecord(int i) {
  char log[16];
  std::snprintf(log, sizeof log, "-%02d.%02d", 10 + i % 30, i % 100);
  char linear[16];
  std::snprintf(linear, sizeof linear, "%d.%02duW", 1 + i % 90, i % 100);
  char time[32];
  std::snprintf(time, sizeof time, "12/05/06 %02d:%02d:%02d", i / 3600 % 24, i / 60 % 60, i % 60);
  return gbk::FromUtf8(std::string("实时数据\r\n波长    : 1310nm\r\n线性功率: ") + linear +
                       "\r\n对数功率: " + log + "dBm\r\n时间    : " + time + "\r\n") +
         "$";
}

const std::vector<meter::Record>& Records() {
  static const std::vector<meter::Record> records = [] {
    std::vector<meter::Record> r;
    r.reserve(kRows);
    for (int i = 0; i < kRows; ++i) r.push_back(meter::ReadRecord(meters::km360r::Model(), RealTimeRecord(i)));
    return r;
  }();
  return records;
}

// The program under measurement and the row count of its current read.
CMainFrame* program = nullptr;
int rowsShown = 0;

TablePage& Page() { return program->View()->m_tablePage->Page(); }

// One record handed to the page as the meter service hands it.
void ShowRecord(const meter::Record& record) { Page().ShowReply(record, DataKind::RealTime, rowsShown); }

// An empty real-time read, as the Read real-time data command leaves it.
void StartRealTimeRead() {
  Page().ApplyLayout(Layout::Measurement, 200);
  rowsShown = 0;
  Drain();
}

// Posts `count` records to the window's thread as the link does (through a
// runtime like the main window's) and runs the event loop until the page has
// handled them all and the window has caught up.
void AddRecordsPosted(int count) {
  const std::vector<meter::Record>& records = Records();
  QtRuntime runtime;
  for (int i = 0; i < count; ++i) {
    const meter::Record* record = &records[static_cast<size_t>(i)];
    runtime.Post([record] { ShowRecord(*record); });
  }
  while (Page().Model().RowCount() < count) QCoreApplication::processEvents();
  Drain();
}

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("km360r_bench_" + std::to_string(::getpid()) + "_" + name))
      .string();
}

// Files of kRows records, written by the page itself from a real-time read
// (.ref) and a history read (.hif), so they are exactly what the program saves.
const std::string& DataFile(DataKind kind) {
  static std::string paths[2];
  std::string& path = paths[kind == DataKind::History ? 1 : 0];
  if (path.empty()) {
    StartRealTimeRead();
    AddRecordsPosted(kRows);
    path = Page().SaveToPath(TempPath("rows"), kind).path;
  }
  return path;
}

// Memory first, in a process that has done nothing else yet: the window
// holding 100,000 rows from records, then from a file, over the idle program.
void ResidentMemoryOf100kRows(benchmark::State& state) {
  double idle = 0, afterRecords = 0, afterFile = 0;
  Records();  // the test input is not the window's memory
  for (auto _ : state) {
    StartRealTimeRead();
    malloc_trim(0);
    idle = ResidentMegabytes(getpid());
    AddRecordsPosted(kRows);
    afterRecords = ResidentMegabytes(getpid());
    const std::string path = DataFile(DataKind::RealTime);
    program->Service().OpenFile(path);
    Drain();
    afterFile = ResidentMegabytes(getpid());
  }
  state.counters["idle_MB"] = idle;
  state.counters["records_plus_MB"] = afterRecords - idle;
  state.counters["file_plus_MB"] = afterFile - idle;
  state.counters["model_MB"] = static_cast<double>(Page().Model().ApproximateBytes()) / (1024.0 * 1024.0);
  if (Page().Model().RowCount() != kRows) state.SkipWithError("wrong row count");
}
BENCHMARK(ResidentMemoryOf100kRows)->Unit(benchmark::kMillisecond)->Iterations(1);

// Records posted one by one, as fast as the queue takes them.
void AddRecordsOneByOne(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  Records();
  for (auto _ : state) {
    state.PauseTiming();
    StartRealTimeRead();
    state.ResumeTiming();
    AddRecordsPosted(count);
  }
  CMeasureList* list = program->View()->m_tablePage->List();
  const QModelIndex last = list->model()->index(count - 1, 0);
  // The closing step's promise, kept however fast the records came.
  if (!list->viewport()->rect().contains(list->visualRect(last))) state.SkipWithError("last row not shown");
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(AddRecordsOneByOne)->Unit(benchmark::kMillisecond)->Arg(10000)->Arg(kRows)->Iterations(3);

// Records arriving in bursts of `burst`, the event loop (with the window's
// repaint) running between bursts, as when the meter keeps the line busy.
void AddRecordsInBursts(benchmark::State& state) {
  const int burst = static_cast<int>(state.range(0));
  const std::vector<meter::Record>& records = Records();
  for (auto _ : state) {
    state.PauseTiming();
    StartRealTimeRead();
    state.ResumeTiming();
    for (int i = 0; i < kRows; i += burst) {
      for (int j = i; j < i + burst && j < kRows; ++j) ShowRecord(records[static_cast<size_t>(j)]);
      QCoreApplication::processEvents();
    }
    Drain();
  }
  if (Page().Model().RowCount() != kRows) state.SkipWithError("wrong row count");
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(AddRecordsInBursts)->Unit(benchmark::kMillisecond)->Arg(1000)->Arg(100)->Iterations(1);

// A slow meter: one record per turn of the event loop, each with its
// scroll and repaint, into a table that already holds `rows` rows. The time
// per record must not grow with the rows already shown.
void OneRecordPerTurn(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  const std::vector<meter::Record>& records = Records();
  StartRealTimeRead();
  AddRecordsPosted(rows);
  size_t next = 0;
  for (auto _ : state) {
    ShowRecord(records[next++ % records.size()]);
    QCoreApplication::processEvents();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(OneRecordPerTurn)->Unit(benchmark::kMicrosecond)->Arg(1000)->Arg(kRows)->Iterations(500);

// Editing in a table of 100,000 rows: a click that selects the newest row's
// description and the second click that opens its edit box; then the typed
// text committed with Enter.
void Click(CMeasureList* list, const QModelIndex& cell) {
  const QPoint at = list->visualRect(cell).center();
  QMouseEvent press(QEvent::MouseButtonPress, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, list->viewport()->mapToGlobal(at),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(list->viewport(), &press);
  QApplication::sendEvent(list->viewport(), &release);
}

void Key(QWidget* to, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(to, &press);
}

CMeasureList* ListWithAllRows() {
  StartRealTimeRead();
  AddRecordsPosted(kRows);
  CMeasureList* list = program->View()->m_tablePage->List();
  list->scrollToBottom();
  Drain();
  return list;
}

void ClickToEditor(benchmark::State& state) {
  CMeasureList* list = ListWithAllRows();
  const QModelIndex cell = list->model()->index(kRows - 1, 5);
  for (auto _ : state) {
    Click(list, cell);
    Click(list, cell);
    Drain();
    state.PauseTiming();
    if (!list->EditBox()) state.SkipWithError("no edit box");
    if (list->EditBox()) Key(list->EditBox(), Qt::Key_Escape);
    Drain();
    state.ResumeTiming();
  }
}
BENCHMARK(ClickToEditor)->Unit(benchmark::kMillisecond)->Iterations(20);

void CommitEdit(benchmark::State& state) {
  CMeasureList* list = ListWithAllRows();
  const QModelIndex cell = list->model()->index(kRows - 1, 5);
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Click(list, cell);
    Click(list, cell);
    Drain();
    QLineEdit* box = list->EditBox();
    if (!box) {
      state.SkipWithError("no edit box");
      break;
    }
    box->setText(QString::number(n++));
    state.ResumeTiming();
    Key(box, Qt::Key_Return);
    Drain();
  }
  if (Page().Model().Cell(kRows - 1, 5) != std::to_string(n - 1)) state.SkipWithError("not stored");
}
BENCHMARK(CommitEdit)->Unit(benchmark::kMillisecond)->Iterations(20);

void OpenFile(benchmark::State& state, DataKind kind) {
  const std::string path = DataFile(kind);
  for (auto _ : state) {
    state.PauseTiming();
    StartRealTimeRead();
    state.ResumeTiming();
    if (program->Service().OpenFile(path).status != FileOutcome::Status::Done) state.SkipWithError("open failed");
    Drain();
  }
  if (Page().Model().RowCount() != kRows) state.SkipWithError("wrong row count");
  state.SetItemsProcessed(state.iterations() * kRows);
}
void OpenRefFile(benchmark::State& state) { OpenFile(state, DataKind::RealTime); }
void OpenHifFile(benchmark::State& state) { OpenFile(state, DataKind::History); }
BENCHMARK(OpenRefFile)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(OpenHifFile)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  CApplication::SetSettingsKey();
  // The per-user settings file in Qt's test location, not the user's own.
  QStandardPaths::setTestModeEnabled(true);
  QApplication qapp(argc, argv);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                     QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
  qapp.setQuitOnLastWindowClosed(false);
  auto app = std::make_unique<CApplication>();
  app->InitInstance({});
  program = app->MainFrame();
  while (!program->View()->PagesCreated()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  Drain();
  CTablePageWindow* page = program->View()->m_tablePage;
  if (!page->List() || !page->List()->isVisible()) {
    std::fprintf(stderr, "the table page window is not shown\n");
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (const char* kind : {"rows.ref", "rows.hif"}) std::remove(TempPath(kind).c_str());
  app.reset();
  Drain();
  return 0;
}
