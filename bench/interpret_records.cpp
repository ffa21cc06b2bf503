// How fast meter records become table rows (target: 200,000 records/s): each
// record read by the meter model, then shown.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "common/Gbk.h"
#include "device/meters/km360r/Km360r.h"
#include "table/TablePage.h"

namespace {


std::vector<std::string> Records(int count) {
  std::vector<std::string> records;
  records.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    records.emplace_back(gbk::FromUtf8("波长：    1310nm\r\n线性功率：12." + std::to_string(i % 100) +
                                    "uW\r\n对数功率：-19.09dBm\r\n测试时间：    12/05/06 10:20:" +
                                    std::to_string(10 + i % 50) + "\r\n$"));
  }
  return records;
}

void InterpretRecords(benchmark::State& state, DataKind kind) {
  const int count = static_cast<int>(state.range(0));
  const std::vector<std::string> records = Records(count);
  const meter::Model& model = meters::km360r::Model();
  TablePage page(FrameTexts::For(lang::Index::One), "1");
  page.SetScrollListener([](int row) { benchmark::DoNotOptimize(row); });
  for (auto _ : state) {
    state.PauseTiming();
    page.ApplyLayout(Layout::Measurement);
    int rowCount = 0;
    state.ResumeTiming();
    for (const std::string& r : records) page.ShowReply(meter::ReadRecord(model, r), kind, rowCount);
  }
  state.SetItemsProcessed(state.iterations() * count);
  state.counters["records/s"] =
      benchmark::Counter(static_cast<double>(state.iterations() * count), benchmark::Counter::kIsRate);
}

void BM_RealTimeRecords(benchmark::State& state) { InterpretRecords(state, DataKind::RealTime); }
void BM_HistoryRecords(benchmark::State& state) { InterpretRecords(state, DataKind::History); }

}  // namespace

BENCHMARK(BM_RealTimeRecords)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistoryRecords)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
