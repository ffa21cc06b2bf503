// Reply assembly speed: the per-byte path of UM_RX_CHAR, including handing
// each completed record to the table page (posted, then taken by the page)
// and, in real-time reading, the graph value. The meter sends 1,920 bytes/s;
// the assembler must keep far ahead of that even on a slow PC.
#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <vector>

#include "app/FrameTexts.h"
#include "app/Gbk.h"
#include "app/SharedState.h"
#include "device/FrameHost.h"
#include "device/MainFrameLogic.h"
#include "device/SerialChannel.h"
#include "table/TablePage.h"

namespace {

// Posted work is queued and run in batches, as a window's message queue does.
class QueueHost : public IFrameHost, public ITablePageHost {
 public:
  void StartTimer(int, int) override {}
  void KillTimer(int) override {}
  void Post(std::function<void()> fn) override { m_queue.push_back(std::move(fn)); }
  BoxAnswer MessageBox(const std::string&, const std::string&, BoxButtons) override {
    return BoxAnswer::Ok;
  }
  void SetStatusNote(const std::string&) override {}
  void SetLinkImage(int) override {}
  void SetRealTimeButton(bool) override {}
  void SetSaveButtonImage(int) override {}
  int TabCount() override { return 2; }
  void DeleteTab(int) override {}
  void InsertTab(int, const std::string&) override {}
  void SelectTab(int) override {}
  void ShowPage(int) override {}
  void PostGraphClear() override {}
  void PostGraphUpdate(const std::string& value) override { m_nGraphBytes += value.size(); }
  void PostGraphUpdate() override {}
  void RunSettingsDialog(int) override {}
  void ShowNotice(const std::string&, const std::string&) override {}
  void RunSetClockAgain() override {}
  void NotifyWavelengthDialog(int) override {}
  void ScrollToRow(int) override {}

  void Drain() {
    for (auto& fn : m_queue) fn();
    m_queue.clear();
  }
  size_t m_nGraphBytes = 0;

 private:
  std::vector<std::function<void()>> m_queue;
};

// A record of about `size` bytes: a reading's labels, then Chinese filler.
std::string Record(size_t size) {
  std::string r = gbk::FromUtf8("波长:     1310nm\r\n线性:     1.23uW\r\n对数:     -29.10dBm\r\n");
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
  ResetSharedState();
  const size_t recordSize = static_cast<size_t>(state.range(0));
  const std::string stream = Stream(recordSize);
  QueueHost host;
  const FrameTexts texts = FrameTexts::For(lang::Index::One);
  TablePage table(host, texts, "1");
  CSerialChannel channel;
  MainFrameLogic logic(host, table, channel, texts, "1");
  if (realTime) {
    logic.OnRxChar('?');  // connected
    logic.OnReadRealTime();
  }
  // The table page interprets nothing: the routing, not the table, is measured.
  g_nDataKind = datakind::kNothing;
  host.Drain();

  for (auto _ : state) {
    for (unsigned char c : stream) logic.OnRxChar(c);
    host.Drain();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(stream.size()));
  state.counters["records/s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * static_cast<double>(stream.size() / recordSize),
      benchmark::Counter::kIsRate);
  benchmark::DoNotOptimize(host.m_nGraphBytes);
  ResetSharedState();
}

void BM_ReplyAssembly(benchmark::State& state) { Assemble(state, false); }
void BM_ReplyAssemblyRealTime(benchmark::State& state) { Assemble(state, true); }

}  // namespace

BENCHMARK(BM_ReplyAssembly)->Arg(100)->Arg(10 * 1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplyAssemblyRealTime)->Arg(100)->Arg(10 * 1000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
