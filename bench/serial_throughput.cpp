// Sustained receive throughput of the real serial path: a pseudo-terminal
// carries the bytes to the channel's monitor thread, which hands what it read
// over synchronously to the UI thread (an EventLoop) as one OnReceived range.
// The meter itself needs about 2 kB/s (19200 baud); the path should carry at
// least 100 kB/s. The floor beside it: the same bytes read straight from the
// pseudo-terminal by one thread, without the channel.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <thread>

#include "common/EventLoop.h"
#include "device/SystemPorts.h"
#include "device/meters/Registry.h"
#include "device/posix/PseudoTerminal.h"

namespace {

class CountingOwner : public ISerialOwner {
 public:
  explicit CountingOwner(EventLoop& loop) : m_loop(loop) {}
  void PostToUi(std::function<void()> fn) override { m_loop.Post(std::move(fn)); }
  void OnReceived(std::string_view bytes) override {
    received += bytes.size();
    // About what the reply assembly does with a range: append up to each
    // record end, and start again after it.
    while (!bytes.empty()) {
      const size_t end = bytes.find('$');
      m_record.append(bytes.substr(0, end));
      if (end == std::string_view::npos) break;
      m_record.clear();
      bytes.remove_prefix(end + 1);
    }
  }
  void OnDeviceLost() override {}
  void OnDriverError(const std::string&) override {}
  size_t received = 0;

 private:
  EventLoop& m_loop;
  std::string m_record;
};

// Writes `bytes` in writes of at most `piece` bytes: small pieces make the
// monitor thread wake, and hand over, for few bytes at a time.
void WriteAll(int fd, const std::string& bytes, size_t piece) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, std::min(piece, bytes.size() - done));
    if (n > 0) done += static_cast<size_t>(n);
  }
}

bool ReadExactly(int fd, size_t count) {
  std::string got;
  while (got.size() < count) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 5000) <= 0) return false;
    char buf[64];
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n <= 0) return false;
    got.append(buf, static_cast<size_t>(n));
  }
  return true;
}

void BM_PtyToOwner(benchmark::State& state) {
  const size_t chunk = static_cast<size_t>(state.range(0));
  const size_t piece = static_cast<size_t>(state.range(1));
  PseudoTerminal line;
  if (!line.Open()) {
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  EventLoop loop;
  CountingOwner owner(loop);
  const std::unique_ptr<ISerialPort> port = NewSerialPort();
  ISerialPort& channel = *port;
  if (!channel.Open(&owner, line.SlavePath(), meters::StationModel().line) ||
      !channel.StartMonitor()) {
    state.SkipWithError("cannot open the port");
    return;
  }
  channel.Send("S\r");  // the monitor serves the line once its first write is out
  if (!ReadExactly(line.Master(), 2)) {
    state.SkipWithError("monitor did not start");
    return;
  }

  // Meter-like text: records of about 110 bytes ending with "$".
  std::string data;
  while (data.size() < chunk) data += "wavelength    : 1310nm\r\nlinear: 12.24uW\r\nlog: -19.12dBm\r\ntime    : 24/05/06 10:20:30\r\n$";
  data.resize(chunk);

  size_t expected = 0;
  for (auto _ : state) {
    expected += data.size();
    std::thread writer([&] { WriteAll(line.Master(), data, piece); });
    const bool complete = loop.RunUntil([&] { return owner.received >= expected; }, 60000);
    writer.join();
    if (!complete) {
      state.SkipWithError("bytes lost or stalled");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(owner.received));
  channel.StopMonitor();
}

void BM_PtyAlone(benchmark::State& state) {
  const size_t chunk = static_cast<size_t>(state.range(0));
  const size_t piece = static_cast<size_t>(state.range(1));
  PseudoTerminal line;
  const int port = line.Open() ? ::open(line.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC) : -1;
  if (port < 0) {
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  const std::string data(chunk, 'x');
  std::string buffer(4096, '\0');
  size_t received = 0;
  for (auto _ : state) {
    std::thread writer([&] { WriteAll(line.Master(), data, piece); });
    for (size_t got = 0; got < data.size();) {
      const ssize_t n = ::read(port, buffer.data(), buffer.size());
      if (n <= 0) break;
      got += static_cast<size_t>(n);
      received += static_cast<size_t>(n);
    }
    writer.join();
  }
  state.SetBytesProcessed(static_cast<int64_t>(received));
  ::close(port);
}

}  // namespace

// Arguments: bytes per iteration, bytes per write of the far end.
BENCHMARK(BM_PtyAlone)
    ->Args({1024L * 1024, 4096})
    ->Args({64L * 1024, 64})
    ->Args({16L * 1024, 1})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PtyToOwner)
    ->Args({1024L * 1024, 4096})
    ->Args({64L * 1024, 64})
    ->Args({16L * 1024, 1})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
