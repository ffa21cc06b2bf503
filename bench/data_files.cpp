// Opening and saving large data files through the table page (targets: a
// 10 MB .hif of about 90,000 records opens in under 1 s, linearly, and saves
// in under 0.5 s), and the memory that 100,000 rows take.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "app/Gbk.h"
#include "app/SharedState.h"
#include "table/DataFiles.h"
#include "table/TablePage.h"

namespace {

struct QuietHost : ITablePageHost {
  void ShowNotice(const std::string&, const std::string&) override {}
  void RunSetClockAgain() override {}
  void NotifyWavelengthDialog(int) override {}
  void ScrollToRow(int) override {}
  GraphPageState graph;
  GraphPageState* GraphState() override { return &graph; }
};

std::string TempPath(const std::string& name) {
  return "/tmp/km360r_bench_" + std::to_string(::getpid()) + "_" + name;
}

// A .hif file of `records` history lines as the meter's history gives them
// (no description): 90,000 records make about 11 MB.
std::string WriteHif(int records) {
  const std::string path = TempPath(std::to_string(records) + ".hif");
  std::string bytes;
  for (int i = 0; i < records; ++i) {
    bytes += gbk::FromUtf8("测试时间:2012/05/06 10:20:30       No.:") + std::to_string(i + 1) +
             "       " + gbk::FromUtf8("备注:") + "        " +
             gbk::FromUtf8("波长:1310nm     线性功率:12.34uW     对数功率:-19.09dBm     \r\n");
  }
  bytes += '\0';
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

void BM_OpenHif(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  const std::string path = WriteHif(records);
  QuietHost host;
  TablePage page(host, FrameTexts::For(lang::Index::One), "1");
  for (auto _ : state) {
    if (page.OpenPath(path).status != FileOutcome::Status::Done) state.SkipWithError("open failed");
  }
  if (page.Model().RowCount() != records) state.SkipWithError("wrong row count");
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  state.counters["file MB"] = static_cast<double>(in.tellg()) / 1e6;
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(in.tellg()));
  std::remove(path.c_str());
}

void BM_SaveHif(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  const std::string source = WriteHif(records);
  const std::string target = TempPath("saved.hif");
  QuietHost host;
  TablePage page(host, FrameTexts::For(lang::Index::One), "1");
  page.OpenPath(source);
  g_nDataKind = datakind::kHistory;  // save as .hif again
  for (auto _ : state) {
    if (page.SaveToPath(target).status != FileOutcome::Status::Done) state.SkipWithError("save failed");
  }
  std::remove(source.c_str());
  std::remove(target.c_str());
}

// A damaged .ref file whose records all lack their "dBm": every byte up to the
// last record keyword yields a row, and the searches must still stay linear.
void BM_OpenRefWithoutEndLabels(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  const std::string path = TempPath(std::to_string(records) + "-damaged.ref");
  std::string bytes;
  for (int i = 0; i < records; ++i) {
    bytes += gbk::FromUtf8("测试时间:2012/05/06 10:20:30       No.:") + std::to_string(i + 1) +
             gbk::FromUtf8("       备注:        波长:1310 nm     线性功率:12.34uW     对数功率:-19.09\r\n");
  }
  std::ofstream(path, std::ios::binary) << bytes;
  QuietHost host;
  TablePage page(host, FrameTexts::For(lang::Index::One), "1");
  for (auto _ : state) page.OpenPath(path);
  state.counters["rows"] = page.Model().RowCount();
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
  std::remove(path.c_str());
}

// Memory of a table of 100,000 real-time rows as the opener builds them.
void BM_RowsMemory(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  for (auto _ : state) {
    const size_t heapBefore = mallinfo2().uordblks;
    TableModel model;
    for (int c = 0; c < 6; ++c) model.InsertColumn(c, "c", 100);
    for (int r = 0; r < rows; ++r) {
      const int row = model.InsertRow(r, std::to_string(r + 1) + "       ");
      model.SetCell(row, 1, "1310 ");
      model.SetCell(row, 2, "12.34uW");
      model.SetCell(row, 3, "-19.09 ");
      model.SetCell(row, 4, "2012/05/06 10:20:30      ");
      model.SetCell(row, 5, "        ");
    }
    const double heap = static_cast<double>(mallinfo2().uordblks - heapBefore);
    state.counters["heap MB"] = heap / 1e6;
    state.counters["heap bytes/row"] = heap / rows;
    state.counters["model MB"] = static_cast<double>(model.ApproximateBytes()) / 1e6;
  }
}

}  // namespace

BENCHMARK(BM_OpenHif)->Arg(22500)->Arg(45000)->Arg(90000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveHif)->Arg(90000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenRefWithoutEndLabels)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RowsMemory)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
