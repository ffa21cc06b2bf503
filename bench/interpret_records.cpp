// How fast meter records become table rows (target: 200,000 records/s).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/Gbk.h"
#include "app/SharedState.h"
#include "table/TablePage.h"

namespace {

struct QuietHost : ITablePageHost {
  void ShowNotice(const std::string&, const std::string&) override {}
  void RunSetClockAgain() override {}
  void NotifyWavelengthDialog(int) override {}
  void ScrollToRow(int row) override { benchmark::DoNotOptimize(row); }
};

std::vector<std::string> Records(int count) {
  std::vector<std::string> records;
  records.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    records.push_back(gbk::FromUtf8("波长：    1310nm\r\n线性功率：12." + std::to_string(i % 100) +
                                    "uW\r\n对数功率：-19.09dBm\r\n测试时间：    12/05/06 10:20:" +
                                    std::to_string(10 + i % 50) + "\r\n$"));
  }
  return records;
}

void InterpretRecords(benchmark::State& state, int kind) {
  const int count = static_cast<int>(state.range(0));
  const std::vector<std::string> records = Records(count);
  QuietHost host;
  TablePage page(host, FrameTexts::For(lang::Index::One), "1");
  for (auto _ : state) {
    state.PauseTiming();
    page.ApplyLayout(Layout::Measurement);
    g_nDataKind = kind;
    g_nRowCount = 0;
    state.ResumeTiming();
    for (const std::string& r : records) page.OnRecordReady(r);
  }
  state.SetItemsProcessed(state.iterations() * count);
  state.counters["records/s"] =
      benchmark::Counter(static_cast<double>(state.iterations() * count), benchmark::Counter::kIsRate);
}

void BM_RealTimeRecords(benchmark::State& state) { InterpretRecords(state, datakind::kRealTime); }
void BM_HistoryRecords(benchmark::State& state) { InterpretRecords(state, datakind::kHistory); }

}  // namespace

BENCHMARK(BM_RealTimeRecords)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistoryRecords)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
