// The whole reading path in real-time reading: the meter's bytes assembled
// into records, each record shown as a table row, plotted on the graph and
// taken by the field readout (statistics, relative value, verdict). The
// records are 100-byte real-time readings as the meter lays them out.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/Station.h"
#include "bench/QueueHost.h"
#include "common/Gbk.h"
#include "field/LiveFeed.h"
#include "graph/GraphPage.h"
#include "table/TablePage.h"

namespace {

// A real-time reading of 100 bytes, its values changing from record to record.
std::string RealTimeRecord(int i) {
  char log[16];
  std::snprintf(log, sizeof log, "-%02d.%02d", 10 + i % 30, i % 100);
  char linear[16];
  std::snprintf(linear, sizeof linear, "%d.%02duW", 10 + i % 90, i % 100);
  char time[32];
  std::snprintf(time, sizeof time, "12/05/06 %02d:%02d:%02d", i / 3600 % 24, i / 60 % 60, i % 60);
  std::string r = gbk::FromUtf8(std::string("实时数据\r\n波长    : 1310nm\r\n线性功率: ") + linear +
                                "\r\n对数功率: " + log + "dBm\r\n时间    : " + time + "\r\n");
  r.resize(99, ' ');
  return r + "$";
}

constexpr int kRecords = 10000;  // about 1 MB

void BM_ReadingPathRealTime(benchmark::State& state) {
  std::string stream;
  for (int i = 0; i < kRecords; ++i) stream += RealTimeRecord(i);
  QueueRuntime runtime;
  QuietWindow window;
  Station station(runtime, window, config::Settings{"1", {}, {}});
  MeterService& logic = station.Service();
  TablePage& table = station.Table();
  GraphPage& graph = station.Graph();
  field::LiveFeed readout;
  logic.Feed().Subscribe([&](const feed::Event& event) {
    if (std::holds_alternative<feed::ReadStarted>(event)) readout.Start();
    if (const auto* row = std::get_if<feed::Row>(&event)) readout.Take(row->measurement, 0);
  });
  ReadingSession& meter = logic.Meter();
  meter.Receive("?");  // connected
  logic.OnReadRealTime();
  runtime.Drain();

  for (auto _ : state) {
    state.PauseTiming();
    logic.OnReadRealTime();  // stop, and start a new read with an empty table
    logic.OnReadRealTime();
    runtime.Drain();
    state.ResumeTiming();
    meter.Receive(stream);
    runtime.Drain();
  }
  if (table.Model().RowCount() != kRecords || readout.Values().Stats().Count() != kRecords) {
    state.SkipWithError("not every record reached the table and the readout");
  }
  benchmark::DoNotOptimize(graph.NextRow());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(stream.size()));
  state.counters["records/s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kRecords, benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_ReadingPathRealTime)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
