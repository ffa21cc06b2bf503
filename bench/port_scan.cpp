// What a Link costs when no meter answers: every COM port from COM0 to COM19
// exists and stays silent. COM1 and COM2 are never probed, so 18 candidates
// get three "?\r" probes 500 ms apart each: about 27 s, and no more.
// (Seconds of real time: run it on its own, it is not part of the tests.)
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/MeterService.h"
#include "app/LoopHost.h"
#include "app/Station.h"
#include "common/EventLoop.h"
#include "common/FrameTexts.h"
#include "device/SystemPorts.h"
#include "device/posix/PseudoTerminal.h"
#include "graph/GraphPage.h"
#include "table/TablePage.h"

namespace {

void BM_ScanOfEighteenSilentPorts(benchmark::State& state) {
  char tmpl[] = "/tmp/km360r-bench-ports.XXXXXX";
  const std::string dir = ::mkdtemp(tmpl);
  ::setenv("KM360R_PORT_DIR", dir.c_str(), 1);
  std::vector<std::unique_ptr<PseudoTerminal>> lines;
  for (int n = 0; n < 20; ++n) {
    auto pty = std::make_unique<PseudoTerminal>();
    if (!pty->Open()) {
      state.SkipWithError("no pseudo-terminal");
      return;
    }
    std::filesystem::create_symlink(pty->SlavePath(), dir + "/COM" + std::to_string(n));
    lines.push_back(std::move(pty));
  }

  for (auto _ : state) {
    EventLoop loop;
    LoopHost host;
    Station station(loop, host, config::Settings{"1", {}, {}});
    MeterService& logic = station.Service();
    logic.OnLink();
    loop.RunUntil([&] { return !logic.Scanning(); }, 60000);
    if (logic.Connected() || host.Boxes().empty()) state.SkipWithError("the scan did not fail");
  }
  state.counters["candidates"] = 18;

  ::unsetenv("KM360R_PORT_DIR");
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

}  // namespace

BENCHMARK(BM_ScanOfEighteenSilentPorts)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
