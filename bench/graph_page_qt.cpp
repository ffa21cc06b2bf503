// The graph page window on Qt's offscreen platform (targets: a clear of 1000
// rows under 20 ms with its refreshes coalesced into one repaint; a live
// update under 2 ms with its repaint and the frame's picture; no growth of
// resident memory over 10,000 live readings).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/ResidentMemory.h"
#include "graph/ui/CPowerChart.h"
#include "common/Settings.h"
#include "graph/ui/CGraphPageWindow.h"

namespace {

// Lets everything queued run, the repaints included.
void Drain() {
  for (int i = 0; i < 2; ++i) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
}

// The page as the program shows it, full size, during real-time reading or
// after it (the chart itself seen, not the frame's picture of it).
struct ShownPage {
  explicit ShownPage(bool realTime) : page(graph, config::Settings::Read().language, nullptr) {
    page.resize(1500, 700);
    page.Create();
    page.SetRealTimeQuery([realTime] { return realTime; });
    page.Page().SetClearPoster([this] { clearPosted = true; });
    page.show();
    Drain();
  }
  // One live reading as the link hands it over, with the wipe a full graph
  // asks for.
  void Read(int i) {
    char value[16];
    std::snprintf(value, sizeof value, "-%02d.%02d", 10 + i % 30, i % 100);
    page.Page().OnGraphUpdate(value);
    if (clearPosted) {
      clearPosted = false;
      page.Page().OnGraphClear();
    }
    Drain();
  }
  GraphPage graph;
  CGraphPageWindow page;
  bool clearPosted = false;
};

void BM_GraphClearOf1000Rows(benchmark::State& state) {
  ShownPage shown(false);
  shown.page.Page().SetFileValues(std::vector<int>(1000, -20));  // 1000 live rows
  double paints = 0;
  for (auto _ : state) {
    state.PauseTiming();
    shown.page.Page().OnGraphUpdate("-20.00");
    Drain();
    const int before = shown.page.Chart()->Paints();
    state.ResumeTiming();
    shown.page.Page().OnGraphClear();
    Drain();
    paints += shown.page.Chart()->Paints() - before;
  }
  state.counters["paints/clear"] = paints / static_cast<double>(state.iterations());
}
BENCHMARK(BM_GraphClearOf1000Rows)->Unit(benchmark::kMillisecond);

void BM_GraphLiveUpdate(benchmark::State& state) {
  ShownPage shown(true);
  shown.page.Page().StartLive();
  shown.page.Page().OnGraphClear();
  int i = 0;
  const int paints = shown.page.Chart()->Paints();
  for (auto _ : state) shown.Read(i++);
  state.counters["chart_paints/update"] =
      (shown.page.Chart()->Paints() - paints) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_GraphLiveUpdate)->Unit(benchmark::kMillisecond);

void BM_GraphMemoryOver10000Readings(benchmark::State& state) {
  for (auto _ : state) {
    ShownPage shown(true);
    shown.page.Page().StartLive();
    shown.page.Page().OnGraphClear();
    for (int i = 0; i < 1000; ++i) shown.Read(i);  // the page at its working size
    const double before = ResidentMegabytes(getpid());
    for (int i = 0; i < 10000; ++i) shown.Read(i);
    state.counters["rss_growth_MB"] = ResidentMegabytes(getpid()) - before;
  }
}
BENCHMARK(BM_GraphMemoryOver10000Readings)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
