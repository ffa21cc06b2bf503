// Start-up of the windowed program on Qt's offscreen platform: the time to the
// main window shown, the time to the two pages created (the view waits half a
// second on purpose), and the memory the program holds once it is up.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>
#include <cstdlib>
#include <memory>
#include <string>

#include "common/Language.h"
#include "app/ui/CApplication.h"
#include "app/ui/CMainView.h"
#include "app/ui/CMainFrame.h"
#include "bench/ResidentMemory.h"

namespace {

// Times starts of the whole program in this process, each until `ready`
// holds; the teardown between them is not timed.
template <typename Ready>
void TimeStarts(benchmark::State& state, Ready ready) {
  for (auto _ : state) {
    auto app = std::make_unique<CApplication>();
    app->InitInstance({});
    ready(*app);
    state.PauseTiming();
    app.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}

void StartupToMainWindowShown(benchmark::State& state) {
  TimeStarts(state, [](CApplication& app) {
    QCoreApplication::processEvents();  // the first paint
    benchmark::DoNotOptimize(app.MainFrame()->isVisible());
  });
}
BENCHMARK(StartupToMainWindowShown)->Unit(benchmark::kMillisecond)->Iterations(10);

void StartupToPagesCreated(benchmark::State& state) {
  TimeStarts(state, [](CApplication& app) {
    while (!app.MainFrame()->View()->PagesCreated()) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
  });
}
BENCHMARK(StartupToPagesCreated)->Unit(benchmark::kMillisecond)->Iterations(3);

// The real program as a process of its own: its resident memory once the
// pages exist (it is given two seconds), in megabytes.
void ProgramResidentMemoryAfterStart(benchmark::State& state) {
  const std::string program = lang::ProgramDirectory() + "../bin/km360r";
  double rss = 0;
  for (auto _ : state) {
    const pid_t pid = fork();
    if (pid == 0) {
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
      execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    QThread::msleep(2000);
    rss = ResidentMegabytes(pid);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  state.counters["rss_MB"] = rss;
}
BENCHMARK(ProgramResidentMemoryAfterStart)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // The first start in a fresh process pays for loading the platform plugin,
  // fonts and style: timed once here from the toolkit's start on.
  QElapsedTimer cold;
  cold.start();
  CApplication::SetSettingsKey();
  // The per-user settings file in Qt's test location, not the user's own.
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                     QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
  app.setQuitOnLastWindowClosed(false);
  {
    CApplication first;
    first.InitInstance({});
    QCoreApplication::processEvents();
    std::fprintf(stderr, "cold start to main window shown: %lld ms\n", static_cast<long long>(cold.elapsed()));
    while (!first.MainFrame()->View()->PagesCreated()) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    std::fprintf(stderr, "cold start to pages created: %lld ms\n", static_cast<long long>(cold.elapsed()));
    std::fprintf(stderr, "resident memory of this process after start: %.1f MB\n", ResidentMegabytes(getpid()));
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
