// km360r_soak: the windowed program (offscreen) against a hostile simulated
// meter for a given time. It links, reads real-time and history in turns,
// links again after every loss, answers every message box, and checks that
// the program never hangs, reports each loss of the meter exactly once, and
// keeps its resident memory flat after warm-up (sampled each minute of the
// meter's time).
//
//   km360r_soak [--minutes N | --seconds N] [--seed N] [--pace N]
//
// With --pace N the meter runs N times faster and the program's periods (poll,
// watchdogs, probe, link guard) are an Nth of their length, so up to N times
// the readings, losses and links happen in a run: the program's own work on
// the meter's bursts is what the machine's speed sets. The soak's own silence
// limits and memory samples follow the pace. The meter's figures (answered
// commands, dropped lines, silences, bursts) are printed to compare runs.
//
// Exit status 0 when every check held; the figures go to standard output.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "GuiMeterSupport.h"
#include "app/MeterService.h"
#include "app/ui/CApplication.h"
#include "app/ui/CMainFrame.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::seconds;

// The event loop must come round at least this often; a longer stall is a hang.
constexpr auto kHangLimit = seconds(60);
// A reading that neither delivers records nor reports the meter lost within
// this time has lost the meter without a word (the watchdog gives up after two
// seconds of real-time silence, twenty of history silence).
constexpr auto kRealTimeSilenceLimit = seconds(15);
constexpr auto kHistorySilenceLimit = seconds(45);
// After the lamp goes out, the report must have been shown within this time.
constexpr auto kReportGrace = seconds(5);
// Memory is compared from this sample on (the first minutes fill caches and
// pools), for runs long enough to have a later sample to compare.
constexpr int kWarmUpMinutes = 5;
constexpr double kAllowedGrowth = 0.15;
constexpr long kAllowedGrowthFloorKb = 8 * 1024;

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

std::map<std::string, long long> ReadStats(const QString& path) {
  std::map<std::string, long long> stats;
  std::ifstream in(path.toStdString());
  std::string key;
  long long value;
  while (in >> key >> value) stats[key] = value;
  return stats;
}

struct Options {
  long seconds = 120;
  int seed = -1;
  int pace = 1;
};

// A stretch of the meter's time at the run's pace; limits the program's own
// work must keep (message boxes, the event loop) do not shrink below `floor`.
Clock::duration Paced(const Options& o, Clock::duration meterTime, Clock::duration floor = {}) {
  return std::max(Clock::duration(meterTime / o.pace), floor);
}

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (i + 1 >= argc) return false;
    const long v = std::strtol(argv[++i], nullptr, 10);
    if (v <= 0) return false;
    if (a == "--minutes") o.seconds = v * 60;
    else if (a == "--seconds") o.seconds = v;
    else if (a == "--seed") o.seed = static_cast<int>(v);
    else if (a == "--pace") o.pace = static_cast<int>(v);
    else return false;
  }
  return true;
}

class Soak {
 public:
  Soak(CMainFrame& frame, const Options& options)
      : m_service(frame.Service()), m_options(options),
        m_random(options.seed >= 0 ? static_cast<unsigned>(options.seed) : std::random_device{}()) {
    m_counting = m_service.Feed().Subscribe([this](const feed::Event& event) {
      if (!std::holds_alternative<feed::RecordArrived>(event)) return;
      ++m_nRecords;
      m_lastRecord = Clock::now();
    });
    m_boxTimer.setInterval(10);
    QObject::connect(&m_boxTimer, &QTimer::timeout, [this] { AnswerBox(); });
    m_stepTimer.setInterval(20);
    QObject::connect(&m_stepTimer, &QTimer::timeout, [this] { Step(); });
  }

  // Runs the soak to its end; false when a check failed.
  bool Run() {
    m_start = Clock::now();
    Heartbeat();
    std::atomic<bool> finished{false};
    std::thread guard([&] {
      while (!finished) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        if (Clock::now() - Clock::time_point(Clock::duration(m_heartbeat.load())) > kHangLimit) {
          std::fprintf(stderr, "soak: the program has not come round for %lld s (step %d): hang\n",
                       static_cast<long long>(kHangLimit.count()), static_cast<int>(m_step));
          std::abort();
        }
      }
    });
    m_boxTimer.start();
    m_stepTimer.start();
    const auto end = m_start + seconds(m_options.seconds);
    while (Clock::now() < end) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
      SampleMemory(false);
    }
    Finish();
    SampleMemory(true);
    m_stepTimer.stop();
    m_boxTimer.stop();
    finished = true;
    guard.join();
    m_nLinksMade = m_service.LinksMade();
    m_service.Feed().Unsubscribe(m_counting);
    return Checks();
  }

  void Print(const std::map<std::string, long long>& meter) const {
    const double minutes = std::chrono::duration<double>(m_stopped - m_start).count() / 60.0;
    std::printf("duration_min %.1f\n", minutes);
    for (const auto& [key, value] : meter) std::printf("meter_%s %lld\n", key.c_str(), value);
    std::printf("records %lld\nlinks %d\nreconnects %d\nlink_failures %d\nlosses_reported %d\n"
                "losses_reported_twice %d\nlosses_unreported %d\nreal_time_runs %d\nhistory_reads %d\n"
                "driver_errors %d\n",
                m_nRecords, m_nLinksMade, m_nLinksMade > 0 ? m_nLinksMade - 1 : 0, m_nLinkFailures, m_nLosses,
                m_nDoubleReports, m_nUnreported, m_nRealTimeRuns, m_nHistoryReads, m_nDriverErrors);
    std::printf("rss_kb_per_minute");
    for (long kb : m_rssKb) std::printf(" %ld", kb);
    std::printf("\nrss_peak_kb %ld\nrss_final_kb %ld\n", m_peakKb, m_rssKb.empty() ? -1 : m_rssKb.back());
  }

 private:
  enum class StepState { Unlinked, Linking, Choosing, RealTime, History };

  void Heartbeat() { m_heartbeat = Clock::now().time_since_epoch().count(); }

  // Every box is answered as a person would, and loss reports are counted
  // against the link they end.
  void AnswerBox() {
    Heartbeat();
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    const std::string text = box->text().toStdString();
    const FrameTexts& t = m_service.Texts();
    if (text == t.m_strLostMeter || text == t.m_strDisconnected) {
      // A line lost just as the link was made is reported before the soak
      // has seen the link: the program's own count of links decides.
      if (m_service.LinksMade() > m_nLinksAtLastReport) {
        ++m_nLosses;
        m_nLinksAtLastReport = m_service.LinksMade();
        m_bLinkOpen = false;
      } else {
        ++m_nDoubleReports;
        std::fprintf(stderr, "soak: loss reported again: %s\n", text.c_str());
      }
    } else if (text == t.m_strConnectFailed) {
      ++m_nLinkFailures;
    } else if (box->windowTitle() == QStringLiteral("Application Error")) {
      ++m_nDriverErrors;
      std::fprintf(stderr, "soak: driver error: %s\n", text.c_str());
    }
    QAbstractButton* button = box->button(QMessageBox::Ok);
    if (!button) button = box->button(QMessageBox::Yes);
    // The readings of the run before are not kept: the next read replaces them.
    if (!button) button = box->button(QMessageBox::Discard);
    if (button) button->click();
  }

  void Step() {
    Heartbeat();
    if (QApplication::activeModalWidget()) return;
    const auto now = Clock::now();
    CheckLinkEnd(now);
    switch (m_step) {
      case StepState::Unlinked:
        if (now < m_nextLink || m_service.Connected() || m_service.Scanning()) return;
        m_service.OnLink();
        if (m_service.Scanning()) m_step = StepState::Linking;
        m_nextLink = now + Paced(m_options, std::chrono::milliseconds(500));
        return;
      case StepState::Linking:
        if (m_service.Scanning()) return;
        if (m_service.Connected()) {
          m_bLinkOpen = true;
          m_lampOutSince.reset();
          m_step = StepState::Choosing;
        } else {
          m_step = StepState::Unlinked;
        }
        return;
      case StepState::Choosing:
        if (!m_service.Connected()) {
          m_step = StepState::Unlinked;
          return;
        }
        m_lastRecord = now;
        if (std::bernoulli_distribution(0.7)(m_random)) {
          m_service.OnReadRealTime();
          m_readUntil = now + Paced(m_options, seconds(std::uniform_int_distribution<int>(5, 20)(m_random)));
          m_step = StepState::RealTime;
          ++m_nRealTimeRuns;
        } else {
          m_service.OnReadHistory();
          m_step = StepState::History;
          ++m_nHistoryReads;
        }
        return;
      case StepState::RealTime:
        if (!m_service.RealTime()) {
          m_step = m_service.Connected() ? StepState::Choosing : StepState::Unlinked;
        } else if (now >= m_readUntil) {
          m_service.OnReadRealTime();  // stops
          m_step = StepState::Choosing;
        } else if (now - m_lastRecord > Paced(m_options, kRealTimeSilenceLimit, kReportGrace)) {
          Unreported("real-time reading went silent");
        }
        return;
      case StepState::History:
        if (!m_service.History()) {
          m_step = m_service.Connected() ? StepState::Choosing : StepState::Unlinked;
        } else if (now - m_lastRecord > Paced(m_options, kHistorySilenceLimit, kReportGrace)) {
          Unreported("history reading went silent");
        }
        return;
    }
  }

  // The lamp went out: the loss must have been reported by now, or soon.
  void CheckLinkEnd(Clock::time_point now) {
    if (!m_bLinkOpen || m_service.Connected()) {
      m_lampOutSince.reset();
      return;
    }
    if (!m_lampOutSince) m_lampOutSince = now;
    if (now - *m_lampOutSince > kReportGrace) {
      m_lampOutSince.reset();
      Unreported("the link ended without a report");
    }
  }

  void Unreported(const char* what) {
    ++m_nUnreported;
    std::fprintf(stderr, "soak: meter lost without a report: %s\n", what);
    m_bLinkOpen = false;
    // A person would press Link to start again.
    if (m_service.Connected() && !m_service.History()) m_service.OnLink();
    m_step = StepState::Unlinked;
  }

  void SampleMemory(bool last) {
    const auto elapsed = Clock::now() - m_start;
    if (!last && elapsed < Paced(m_options, std::chrono::minutes(1)) * m_rssKb.size()) return;
    const long kb = ResidentKb();
    m_rssKb.push_back(kb);
    m_peakKb = std::max(m_peakKb, kb);
    std::printf("soak: minute %zu rss_kb %ld records %lld links %d losses %d\n", m_rssKb.size() - 1, kb,
                m_nRecords, m_service.LinksMade(), m_nLosses);
    std::fflush(stdout);
  }

  // Reading stops and the link is closed as a person would before quitting.
  void Finish() {
    m_stepTimer.stop();
    guitest::WaitFor([this] { return !m_service.History() && !m_service.Scanning(); }, 60000);
    if (m_service.RealTime()) m_service.OnReadRealTime();
    if (m_service.Connected()) {
      m_bLinkOpen = false;
      guitest::WaitFor([this] { return !m_service.LinkBusy(); }, 5000);
      m_service.OnLink();
    }
    guitest::Drain();
    m_stopped = Clock::now();
  }

  bool Checks() const {
    bool ok = true;
    auto check = [&ok](bool holds, const char* what) {
      if (!holds) std::fprintf(stderr, "soak: FAILED: %s\n", what);
      ok = ok && holds;
    };
    check(m_nRecords > 0, "records arrived");
    check(m_nLosses > 0 && m_nLinksMade > 1, "the meter was lost and linked again");
    check(m_nDoubleReports == 0, "no loss reported twice");
    check(m_nUnreported == 0, "no loss left unreported");
    check(m_nDriverErrors == 0, "no driver error");
    if (static_cast<int>(m_rssKb.size()) > kWarmUpMinutes + 5) {
      const long warm = m_rssKb[kWarmUpMinutes];
      const long allowed = std::max(static_cast<long>(warm * kAllowedGrowth), kAllowedGrowthFloorKb);
      check(m_rssKb.back() <= warm + allowed, "resident memory flat after warm-up");
    }
    return ok;
  }

  MeterService& m_service;
  Options m_options;
  std::mt19937 m_random;
  QTimer m_boxTimer;
  QTimer m_stepTimer;
  std::atomic<Clock::rep> m_heartbeat{0};

  StepState m_step = StepState::Unlinked;
  Clock::time_point m_start;
  Clock::time_point m_stopped;
  Clock::time_point m_nextLink;
  Clock::time_point m_readUntil;
  Clock::time_point m_lastRecord;
  std::optional<Clock::time_point> m_lampOutSince;
  bool m_bLinkOpen = false;  // linked, and its end not reported yet
  int m_nLinksAtLastReport = 0;

  DataFeed::Token m_counting = 0;  // the count of records that arrive
  long long m_nRecords = 0;
  int m_nLinksMade = 0;  // links the program made
  int m_nLinkFailures = 0;
  int m_nLosses = 0;
  int m_nDoubleReports = 0;
  int m_nUnreported = 0;
  int m_nDriverErrors = 0;
  int m_nRealTimeRuns = 0;
  int m_nHistoryReads = 0;
  std::vector<long> m_rssKb;
  long m_peakKb = 0;
};

// The offscreen platform remarks on every message box it shows; over an hour
// of boxes that would bury the figures.
void QuietPlatformRemarks(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.contains(QStringLiteral("propagateSizeHints"))) return;
  std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, text).toLocal8Bit().constData());
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fputs("usage: km360r_soak [--minutes N | --seconds N] [--seed N] [--pace N]\n", stderr);
    return 2;
  }
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  CApplication::SetSettingsKey();
  qInstallMessageHandler(QuietPlatformRemarks);
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);

  QTemporaryDir statsDir;
  const QString statsPath = statsDir.filePath(QStringLiteral("meter-stats"));
  QStringList meterArgs{"--hostile", "--stats", statsPath};
  if (options.seed >= 0) meterArgs << "--seed" << QString::number(options.seed);
  if (options.pace > 1) meterArgs << "--pace" << QString::number(options.pace);
  CApplication::Options appOptions;
  appOptions.timings.pollPeriodMs /= options.pace;
  appOptions.timings.realTimeWatchdogMs /= options.pace;
  appOptions.timings.historyWatchdogMs /= options.pace;
  appOptions.timings.probeIntervalMs /= options.pace;
  appOptions.timings.linkGuardMs /= options.pace;
  bool ok = false;
  std::map<std::string, long long> meterStats;
  {
    guitest::SimulatedMeter meter(meterArgs);
    if (!meter.Started()) {
      std::fputs("soak: the simulated meter did not start\n", stderr);
      return 1;
    }
    guitest::PortDirectory ports(meter.Dir());
    std::optional<Soak> soak;
    {
      guitest::RunningApp running(appOptions);
      if (!running.app->MainFrame() || !running.WaitForPages()) {
        std::fputs("soak: the program did not start\n", stderr);
        return 1;
      }
      soak.emplace(*running.app->MainFrame(), options);
      ok = soak->Run();
      // The program and its frame go before the soak's figures are read.
    }
    meter.Stop();
    meterStats = ReadStats(statsPath);
    soak->Print(meterStats);
  }
  std::printf("result %s\n", ok ? "passed" : "FAILED");
  return ok ? 0 : 1;
}
