// The field readout (targets: the panel's update under 1 ms per reading, its
// repaint included, at every window width; the live log under 1 ms per row, written and synced to
// the disk). The log is written in the current directory, so run this where
// the logs will really go (a tmpfs would hide the sync's cost).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QMainWindow>
#include <QSettings>
#include <QStandardPaths>
#include <cstdio>
#include <string>

#include "common/ui/UserSettings.h"
#include "field/LiveFeed.h"
#include "field/ui/CFieldPanel.h"
#include "field/ui/CFieldReadout.h"

namespace {

void Drain() {
  for (int i = 0; i < 2; ++i) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
}

// A reading's texts, different each time as a drifting source gives them.
struct ReadingTexts {
  explicit ReadingTexts(int i) {
    std::snprintf(log, sizeof log, "-%02d.%02d", 10 + i % 30, i % 100);
    std::snprintf(linear, sizeof linear, "%d.%02duW", 1 + i % 90, i % 100);
  }
  meter::Reading Reading() const {
    meter::Reading r;
    r.wavelength = "1310";
    r.linearPower = linear;
    r.logPower = log;
    r.meterTime = "26/12/07 10:00:00";
    return r;
  }
  char log[16];
  char linear[16];
};

// The argument is the window's width: the panel in one row (1920), with the
// statistics on a line of their own (1366, 1024), and with the buttons under
// the value too (800).
void BM_PanelUpdatePerReading(benchmark::State& state) {
  QMainWindow window;
  window.resize(static_cast<int>(state.range(0)), 400);
  field::LiveFeed feed;
  CFieldReadout readout(feed, field::FieldTexts::For(lang::Index::One), &window);
  window.setCentralWidget(readout.Panel());
  field::Limits limits = field::Limits::PonPresets();
  limits.relative = field::Window{-25, -12};  // PASS and FAIL in turn
  readout.SetLimits(limits);
  readout.SetReference(0.0);
  readout.OnStarted();
  window.show();
  Drain();
  int i = 0;
  for (auto _ : state) {
    const ReadingTexts texts(i++);
    readout.OnRow(texts.Reading());
    Drain();  // the repaint of what changed, as the window does it
  }
}
BENCHMARK(BM_PanelUpdatePerReading)->Arg(1920)->Arg(1366)->Arg(1024)->Arg(800)->Unit(benchmark::kMicrosecond);

void BM_LogPerRow(benchmark::State& state) {
  const std::string path = "field-bench-" + std::to_string(getpid()) + ".csv";
  field::LiveFeed feed;
  std::string error;
  if (!feed.StartLog(path, {true, true}, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  feed.Values().SetReference(-20.0);
  int i = 0;
  for (auto _ : state) {
    const ReadingTexts texts(i++);
    feed.Take(texts.Reading(), 1796645628);
  }
  feed.StopLog();
  std::remove(path.c_str());
}
BENCHMARK(BM_LogPerRow)->Unit(benchmark::kMicrosecond);

// One row until it is on the disk: what the log's thread waits for behind
// the window's back (the window itself only pays BM_LogPerRow).
void BM_LogRowOnTheDisk(benchmark::State& state) {
  const std::string path = "field-bench-synced-" + std::to_string(getpid()) + ".csv";
  std::string error;
  auto log = field::LiveLog::Open(path, {true, true}, error);
  if (!log) {
    state.SkipWithError(error.c_str());
    return;
  }
  field::Readout readout;
  int i = 0;
  for (auto _ : state) {
    const ReadingTexts texts(i++);
    log->Append(readout.Add(texts.Reading()), 1796645628);
    log->Sync();
  }
  log.reset();
  std::remove(path.c_str());
}
BENCHMARK(BM_LogRowOnTheDisk)->Unit(benchmark::kMicrosecond);

// The same rows without a log: what the log itself adds is the difference.
void BM_ReadoutWithoutLogPerRow(benchmark::State& state) {
  field::LiveFeed feed;
  feed.Values().SetReference(-20.0);
  int i = 0;
  for (auto _ : state) {
    const ReadingTexts texts(i++);
    feed.Take(texts.Reading(), 1796645628);
  }
}
BENCHMARK(BM_ReadoutWithoutLogPerRow)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // The readout keeps its values in the per-user settings file: Qt's test
  // location here, not the user's own.
  usersettings::Select();
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                     QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
