// Reply assembly speed: the path of the bytes the port hands over, including handing
// each completed record to the table page (posted, then taken by the page)
// and, in real-time reading, its value to the graph page. The meter sends 1,920 bytes/s;
// the assembler must keep far ahead of that even on a slow PC.
#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <vector>

#include "app/MeterService.h"
#include "app/Station.h"
#include "bench/QueueHost.h"
#include "common/FrameTexts.h"
#include "common/Gbk.h"
#include "device/SystemPorts.h"
#include "graph/GraphPage.h"
#include "table/TablePage.h"

namespace {

// A record of about `size` bytes: the power labels, then Chinese filler. It
// carries no wavelength, so the table page adds no row: the routing, not the
// table, is measured.
std::string Record(size_t size) {
  std::string r = gbk::FromUtf8("线性:     1.23uW\r\n对数:     -29.10dBm\r\n");
  const std::string filler = gbk::FromUtf8("备");
  while (r.size() + filler.size() + 1 < size) r += filler;
  while (r.size() + 1 < size) r += ' ';
  return r + "$";
}

// The stream: records back to back, about 1 MB.
std::string Stream(size_t recordSize) {
  const std::string record = Record(recordSize);
  std::string s;
  while (s.size() < (1u << 20)) s += record;
  return s;
}

void Assemble(benchmark::State& state, bool realTime) {
  const size_t recordSize = static_cast<size_t>(state.range(0));
  const std::string stream = Stream(recordSize);
  QueueRuntime runtime;
  QuietWindow window;
  Station station(runtime, window, config::Settings{"1", {}, {}});
  MeterService& logic = station.Service();
  GraphPage& graph = station.Graph();
  ReadingSession& meter = logic.Meter();
  meter.Receive("?");  // connected
  if (realTime) logic.OnReadRealTime();
  runtime.Drain();

  size_t graphValues = 0;
  for (auto _ : state) {
    meter.Receive(stream);
    runtime.Drain();
    graphValues += static_cast<size_t>(graph.NextRow());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(stream.size()));
  const size_t records = stream.size() / recordSize;  // whole records only
  state.counters["records/s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * static_cast<double>(records),
      benchmark::Counter::kIsRate);
  benchmark::DoNotOptimize(graphValues);
}

void BM_ReplyAssembly(benchmark::State& state) { Assemble(state, false); }
void BM_ReplyAssemblyRealTime(benchmark::State& state) { Assemble(state, true); }

}  // namespace

BENCHMARK(BM_ReplyAssembly)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplyAssemblyRealTime)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
