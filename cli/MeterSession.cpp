#include "cli/MeterSession.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/StopSignals.h"
#include "device/SystemPorts.h"

namespace cli {

namespace {
// The loop is run in slices so that a condition is never waited on for good.
constexpr int kSliceMs = 60 * 60 * 1000;
}  // namespace

config::Settings SettingsFor(const Options& options) {
  config::Settings settings = config::Settings::Read();
  if (options.language) settings.language = *options.language;
  return settings;
}

std::string LanguageValue(const Options& options) { return SettingsFor(options).language; }

MeterSession::MeterSession(const Options& options)
    : station(loop, host, SettingsFor(options)),
      channel(&station.Channel()),
      texts(station.Texts()),
      language(station.Settings().language),
      table(station.Table()),
      graph(station.Graph()),
      service(station.Service()) {
  host.SetBoxSink([](const LoopHost::BoxRecord& box) {
    std::fprintf(stderr, "%s\n", box.text.c_str());
    std::fflush(stderr);
  });
  if (options.port) {
    m_port = options.port;
    service.SetPortOverride(*options.port);
  }
  service.Feed().Subscribe([this](const feed::Event& event) {
    if (const auto* arrived = std::get_if<feed::RecordArrived>(&event)) {
      m_lastRecord = Clock::now();
      ++m_nRecords;
      if (onReply) onReply(arrived->record);
    } else if (const auto* done = std::get_if<feed::ExchangeDone>(&event)) {
      if (onDone) onDone(done->what);
    }
  });
}

bool MeterSession::Connect() {
  service.OnLink();
  RunUntil([this] { return !service.Scanning(); });
  if (!service.Connected() && m_port) ReportRefusedPort(*m_port, channel->LastOpenError());
  return service.Connected();
}

void MeterSession::ReportRefusedPort(const std::string& port, int openError) {
  // A port that opened but did not answer needs nothing beyond "Connecting failed".
  if (openError == 0) return;
  if (openError == ENOTTY || openError == ENODEV) {
    std::fprintf(stderr, "km360r-cli: %s is not a serial port\n", port.c_str());
  } else {
    std::fprintf(stderr, "km360r-cli: %s cannot be opened as a serial port: %s\n", port.c_str(),
                 OpenErrorText(openError).c_str());
  }
}

void MeterSession::RunUntil(const std::function<bool()>& done) {
  // The loop looks at its condition every few milliseconds even while nothing
  // is dispatched, so a stop noted by a signal handler ends the wait promptly.
  const auto doneOrStopped = [&done] { return StopSignal() != 0 || done(); };
  while (!loop.RunUntil(doneOrStopped, kSliceMs)) {
  }
}

void MeterSession::Drain() {
  // Not cut short by a stop: the records already received are what a stopped
  // command still saves.
  bool reached = false;
  loop.Post([&reached] { reached = true; });
  while (!loop.RunUntil([&reached] { return reached; }, kSliceMs)) {
  }
}

void MeterSession::MarkCommandSent() {
  m_lastRecord = Clock::now();
  m_nRecords = 0;
}

int MeterSession::SaveTable(const std::string& path, DataKind kind) {
  // A lost line leaves nothing shown; the rows are still those the command
  // read, and they are saved as such.
  const FileOutcome outcome = service.SaveFile(path, kind);
  if (outcome.status == FileOutcome::Status::Failed) {
    std::fprintf(stderr, "%s\n", outcome.message.c_str());
    return kExitFile;
  }
  return kExitOk;
}

}  // namespace cli
