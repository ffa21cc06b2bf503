#include "device/ReadingSession.h"

#include <chrono>
#include <thread>
#include <utility>

namespace {

using S = SessionState;
using E = SessionEvent;

bool IsConnectedState(S s) {
  return s == S::Connected || s == S::RealTime || s == S::History || s == S::Listing ||
         s == S::Setting;
}

std::string_view CommandFor(const meter::Commands& commands, Listing listing) {
  switch (listing) {
    case Listing::AdValues: return commands.adValues;
    case Listing::WavelengthCodes: return commands.wavelengthCodes;
    case Listing::Parameters: return commands.parameters;
  }
  return "";
}

}  // namespace

std::optional<SessionState> NextState(SessionState state, SessionEvent event) {
  switch (state) {
    case S::Idle:
      switch (event) {
        case E::Scan: return S::Scanning;
        // A "?" means a meter is on the line, whoever opened it.
        case E::ProbeAnswered: return S::Connected;
        case E::Stop:
        case E::Disconnect:
        case E::LineLost: return S::Idle;
        default: return std::nullopt;
      }
    case S::Scanning:
      switch (event) {
        case E::ScanSucceeded: return S::Connected;
        case E::ScanFailed: return S::Idle;
        // The line belongs to the scan, which moves on by itself.
        case E::ProbeAnswered:
        case E::LineLost:
        case E::Stop: return S::Scanning;
        default: return std::nullopt;
      }
    case S::History:
      switch (event) {
        case E::HistoryEnded:
        case E::LineLost: return S::Connected;
        case E::WatchdogExpired:
        case E::Disconnect: return S::Idle;
        // Only the end marker or a lost meter ends a history read.
        case E::ProbeAnswered:
        case E::Stop: return S::History;
        default: return std::nullopt;
      }
    case S::Connected:
    case S::RealTime:
    case S::Listing:
    case S::Setting:
      switch (event) {
        case E::StartRealTime: return S::RealTime;
        case E::StartHistory: return S::History;
        case E::StartListing: return S::Listing;
        case E::StartSetting: return S::Setting;
        case E::Stop: return state == S::RealTime ? S::Connected : state;
        case E::LineLost: return S::Connected;
        case E::WatchdogExpired:
        case E::Disconnect: return S::Idle;
        case E::ProbeAnswered:
        case E::HistoryEnded: return state;
        default: return std::nullopt;
      }
  }
  return std::nullopt;
}

ReadingSession::ReadingSession(IRuntime& runtime, ISerialPort& port, IPortList& ports,
                               const meter::Model& model, MeterListener listener, SessionTimings timings)
    : m_runtime(runtime),
      m_channel(port),
      m_model(model),
      m_timings(timings),
      m_listener(std::move(listener)),
      m_assembler(model.framing),
      m_lineOwner({[this](std::function<void()> fn) { m_runtime.Post(std::move(fn)); },
                   [this](std::string_view bytes) { Receive(bytes); }, [this] { LineLost(); },
                   [this](const std::string& text) { LineFailed(text); }}),
      m_scan(port, ports, m_lineOwner, model.commands.probe, model.line, timings.probeIntervalMs) {}

ReadingSession::~ReadingSession() {
  // Ticks that came after the session would find it gone.
  m_runtime.KillTimer(TIMER_POLL);
  m_runtime.KillTimer(TIMER_REPLY_WATCHDOG);
  m_scan.Stop();
  // The channel reports to this object: its monitor must have ended before
  // the object goes. Stopping releases a monitor that waits for this (the UI)
  // thread, so the wait is short; the bound only guards against a hang.
  m_channel.StopMonitor();
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (m_channel.IsThreadAlive() && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

bool ReadingSession::Connected() const { return IsConnectedState(m_state); }

bool ReadingSession::Apply(SessionEvent event) {
  const std::optional<SessionState> next = NextState(m_state, event);
  if (!next) return false;
  const SessionState previous = m_state;
  m_state = *next;
  // Every way out of real-time or history reading ends the poll and the
  // watchdog: a reply that is still on its way no longer answers anything
  // that is watched.
  if ((previous == S::RealTime && m_state != S::RealTime) ||
      (previous == S::History && m_state != S::History)) {
    m_runtime.KillTimer(TIMER_POLL);
    DisarmWatchdog();
  }
  return true;
}

// ---------------------------------------------------------------------------
// Commands

void ReadingSession::PostSelf(std::function<void()> fn) {
  m_life.Post(m_runtime, std::move(fn));
}

void ReadingSession::PostCommand(const std::string& text) {
  // The text travels with the message, so a later command cannot change what
  // an earlier, still queued one writes.
  PostSelf([this, text] { WriteCommand(text); });
}

void ReadingSession::WriteCommand(const std::string& text) {
  m_channel.Send(text);
  if (m_bAwaitReply) return;
  if (m_state == S::RealTime) {
    ArmWatchdog(m_timings.realTimeWatchdogMs);
  } else if (m_state == S::History) {
    ArmWatchdog(m_timings.historyWatchdogMs);
  }
}

void ReadingSession::Send(const std::string& text) { m_channel.Send(text); }

void ReadingSession::Scan() {
  if (!Apply(E::Scan)) return;
  m_scan.Start(
      m_strPortOverride,
      [this](const ports::PortCandidate& port) {
        if (m_state == S::Scanning) m_listener(meter::Probing{port.name});
      },
      [this](const ports::PortCandidate& port) { ScanFinished(port); });
}

void ReadingSession::ScanFinished(const ports::PortCandidate& port) {
  if (port.devicePath.empty()) {
    Apply(E::ScanFailed);
    m_listener(meter::LinkFailed{});
    return;
  }
  m_strConnectedPort = port.devicePath;
  m_strConnectedPortName = port.name;
  Apply(E::ScanSucceeded);
  m_listener(meter::Connected{port.devicePath});
}

void ReadingSession::Disconnect() {
  if (!Apply(E::Disconnect)) return;
  m_runtime.KillTimer(TIMER_POLL);
  DisarmWatchdog();
  m_channel.StopMonitor();
}

void ReadingSession::StartRealTime() {
  if (!Apply(E::StartRealTime)) return;
  m_runtime.KillTimer(TIMER_POLL);
  m_runtime.StartTimer(TIMER_POLL, m_timings.pollPeriodMs, [this] { PollTick(); });
  m_assembler.Clear();
  m_strLastCommand = m_model.commands.realTime;
  PostCommand(m_strLastCommand);
}

void ReadingSession::ReadHistory() {
  if (!Apply(E::StartHistory)) return;
  m_assembler.Clear();
  m_strLastCommand = m_model.commands.history;
  PostCommand(m_strLastCommand);
}

void ReadingSession::ReadListing(Listing listing) {
  if (!Apply(E::StartListing)) return;
  m_assembler.Clear();
  m_strLastCommand = CommandFor(m_model.commands, listing);
  PostCommand(m_strLastCommand);  // not watched
}

void ReadingSession::Reset() {
  if (!Apply(E::StartSetting)) return;
  m_assembler.Clear();
  m_strLastCommand = m_model.commands.reset;
  PostCommand(m_strLastCommand);
}

void ReadingSession::BeginSetting() { Apply(E::StartSetting); }

void ReadingSession::StopReading() {
  Apply(E::Stop);
  m_runtime.KillTimer(TIMER_POLL);
}

// ---------------------------------------------------------------------------
// The poll and the reply watchdog

void ReadingSession::PollTick() {
  if (m_state != S::RealTime || m_bAwaitReply) return;
  m_strLastCommand = m_model.commands.realTime;
  PostCommand(m_strLastCommand);
}

void ReadingSession::ArmWatchdog(int periodMs) {
  m_bAwaitReply = true;
  m_nWatchdogTicks = 0;
  m_nWatchdogPeriodMs = periodMs;
  m_runtime.StartTimer(TIMER_REPLY_WATCHDOG, periodMs, [this] { WatchdogTick(); });
}

void ReadingSession::DisarmWatchdog() {
  m_bAwaitReply = false;
  m_nWatchdogTicks = 0;
  m_runtime.KillTimer(TIMER_REPLY_WATCHDOG);
}

void ReadingSession::WatchdogTick() {
  if (!m_bAwaitReply) return;
  if (++m_nWatchdogTicks != 2) return;
  // Second tick without the awaited reply: the meter is lost.
  Apply(E::WatchdogExpired);
  m_runtime.KillTimer(TIMER_POLL);
  DisarmWatchdog();
  m_channel.StopMonitor();
  m_listener(meter::Lost{meter::Loss::Silent});
}

// ---------------------------------------------------------------------------
// Replies and the line

void ReadingSession::Receive(std::string_view bytes) {
  while (!bytes.empty()) {
    switch (m_assembler.Add(bytes)) {
      case ReplyAssembler::Step::None: break;
      case ReplyAssembler::Step::ProbeAnswer:
        if (m_state == S::Scanning) m_scan.MarkAnswered();
        Apply(E::ProbeAnswered);
        break;
      case ReplyAssembler::Step::Record: OnRecord(m_assembler.TakeRecord()); break;
    }
  }
}

void ReadingSession::OnRecord(std::string text) {
  // The one place a record is read; everything after takes its parts.
  const meter::Record record = meter::ReadRecord(m_model, std::move(text));
  const meter::Completion& done = record.Completes();

  if (m_state == S::RealTime) DisarmWatchdog();
  // A history transfer of a full memory runs for minutes: every record shows
  // the meter is alive, so the silence count starts again. Two periods
  // without any record still mean the meter is lost.
  if (m_state == S::History && m_bAwaitReply && !done.historyEnd) {
    m_nWatchdogTicks = 0;
    m_runtime.StartTimer(TIMER_REPLY_WATCHDOG, m_nWatchdogPeriodMs, [this] { WatchdogTick(); });
  }
  if (done.AnswersCommand()) DisarmWatchdog();
  if (done.historyEnd) {
    Apply(E::HistoryEnded);
    DisarmWatchdog();
  }

  m_listener(meter::Arrived{record});
  if (done.historyEnd) m_listener(meter::Completed{meter::Done::HistoryEnd});
  if (done.listingEnd) m_listener(meter::Completed{meter::Done::ListingEnd});
  if (done.parametersEnd) m_listener(meter::Completed{meter::Done::ParametersEnd});
  if (done.success) m_listener(meter::Completed{meter::Done::Success});
}

void ReadingSession::LineLost() {
  // While a scan runs the channel belongs to the scan, which moves on to the
  // next candidate by itself.
  if (m_state == S::Scanning) return;
  Apply(E::LineLost);
  m_runtime.KillTimer(TIMER_POLL);
  DisarmWatchdog();
  m_listener(meter::Lost{meter::Loss::Line});
}

void ReadingSession::LineFailed(const std::string& text) { m_listener(meter::DriverError{text}); }

