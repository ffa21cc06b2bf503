// The top of the meter service: its making from the parts, the link and
// the meter's reports: Link and Disconnect, what the session reports, and
// each record as it arrives, posted to the reading commands to be shown.
#include "app/MeterService.h"

#include <chrono>
#include <ctime>
#include <string>
#include <utility>

#include "app/StatusPane.h"
#include "common/Gbk.h"
#include "common/LocalTime.h"

namespace {

// The time of day now, "14:05:09".
std::string ClockNow() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  const std::tm local = localclock::At(now).fields;
  char text[16];
  std::strftime(text, sizeof text, "%H:%M:%S", &local);
  return text;
}

}  // namespace

MeterService::MeterService(IRuntime& runtime, IPrompter& prompter, ReadingSession& session, TablePage& table,
                           GraphPage& graph, FrameTexts texts, std::string languageValue)
    : m_core(runtime, prompter, session, table, graph, std::move(texts), std::move(languageValue)),
      m_files(m_core),
      m_reading(m_core, m_files),
      m_runtime(runtime),
      m_prompter(prompter),
      m_session(session),
      m_feed(m_core.Feed()),
      m_texts(m_core.Texts()),
      m_shown(m_core.Shown()),
      m_state(m_core.State()) {}

MeterService::~MeterService() { m_runtime.KillTimer(TIMER_LINK_GUARD); }

MeterListener MeterService::SessionEvents() {
  return [this](const meter::SessionReport& report) {
    if (const auto* probing = std::get_if<meter::Probing>(&report)) {
      m_core.SetLinkPane(statuspane::Searching(m_core.PaneChinese(), probing->portName), true);
    } else if (std::holds_alternative<meter::Connected>(report)) {
      OnConnected();
    } else if (std::holds_alternative<meter::LinkFailed>(report)) {
      OnLinkFailed();
    } else if (const auto* lost = std::get_if<meter::Lost>(&report)) {
      OnMeterLost(lost->how);
    } else if (const auto* arrived = std::get_if<meter::Arrived>(&report)) {
      OnReply(arrived->record);
    } else if (const auto* completed = std::get_if<meter::Completed>(&report)) {
      OnCommandDone(completed->what);
    } else if (const auto* error = std::get_if<meter::DriverError>(&report)) {
      OnDriverError(error->text);
    }
  };
}

// ---------------------------------------------------------------------------
// The link

void MeterService::OnLink() {
  // A scan can last far longer than the link guard: a second one must not
  // run on the same channel.
  if (m_session.Scanning()) return;
  if (m_bLinkBusy) {
    // Right after a disconnect the press would otherwise seem lost.
    if (!m_session.Connected()) m_core.SetLinkPane(statuspane::LinkTooSoon(m_core.PaneChinese()), false);
    return;
  }
  m_bLinkBusy = true;
  m_runtime.StartTimer(TIMER_LINK_GUARD, m_session.Timings().linkGuardMs, [this] {
    m_bLinkBusy = false;
    m_runtime.KillTimer(TIMER_LINK_GUARD);
  });

  if (m_session.History()) {
    m_core.Box(m_texts.m_strWaitHistory);
    return;
  }
  if (m_session.Connected()) {
    Disconnect();
    return;
  }
  m_session.Scan();
}

void MeterService::Disconnect() {
  m_session.Disconnect();
  m_reading.DropGoingOn();
  m_core.SetRealTimeButton(false);
  m_shown.dataKind = DataKind::Nothing;
  m_core.SetLinkLamp(LinkLamp::Disconnected);
  m_core.PostStatus(m_texts.m_strDisconnected);
  m_core.SetLinkPane(statuspane::NotConnected(m_core.PaneChinese()), true);
}

void MeterService::OnConnected() {
  ++m_nLinksMade;
  m_core.PostStatus(m_texts.m_strConnected);
  m_state.linkTip = statuspane::Connected(m_core.PaneChinese(), m_core.CurrentPort());
  m_state.linkNote = m_state.linkTip;
  m_core.SetLinkLamp(LinkLamp::Connected);
}

void MeterService::OnLinkFailed() {
  m_core.SetLinkPane(statuspane::NotConnected(m_core.PaneChinese()), true);
  m_core.Box(m_texts.m_strConnectFailed);
  m_core.PostStatus(m_texts.m_strDisconnected);
  m_core.SetLinkLamp(LinkLamp::Disconnected);
  m_bLinkBusy = false;
}

void MeterService::OnMeterLost(meter::Loss how) {
  m_core.TellLiveStopped(true);
  // Which port went and when, and what a history read had brought so far
  // (its rows stay); the count waits for the records still being shown.
  const std::string lost = statuspane::Lost(m_core.PaneChinese(), m_core.CurrentPort(), ClockNow());
  const bool historyCut = m_reading.HistoryCounting();
  m_reading.EndHistoryProgress();
  m_core.PostSelf([this, lost, historyCut] {
    m_state.linkTip = lost;
    m_core.SetLinkPane(
        historyCut ? statuspane::HistoryIncomplete(m_core.PaneChinese(), m_shown.rowCount) + " · " + lost : lost,
        false);
  });
  if (how == meter::Loss::Silent) {
    m_core.SetRealTimeButton(false);
    m_core.SetSaveAfter(SaveAfter::Read);
    m_core.SetLinkLamp(LinkLamp::Disconnected);
    m_core.PostStatus(m_texts.m_strDisconnected);
    m_core.Box(m_texts.m_strLostMeter);
    return;
  }
  // The line is gone: the program disconnects whatever the link guard says,
  // or it would go on showing a dead line as connected.
  m_core.Box(m_texts.m_strDisconnected);
  Disconnect();
}

void MeterService::OnDriverError(const std::string& text) {
  m_prompter.MessageBox(text, "Application Error", BoxButtons::Ok);
}

// ---------------------------------------------------------------------------
// Replies

void MeterService::OnReply(const meter::Record& record) {
  m_feed.RecordArrived(record);
  if (m_reading.ResetPending()) m_reading.ResetAnswered(gbk::ToUtf8(record.Text()));
  // One posted closure per record, guarded itself: a meter sends thousands
  // of records a second. The record travels with the message, so none is
  // overwritten before the pages have taken it; whether it is plotted is
  // decided now, while real-time reading runs.
  m_runtime.Post([this, alive = m_core.Watch(), plot = m_session.RealTime(), r = record] {
    if (!alive.expired()) m_reading.ShowRecord(r, plot);
  });
}

void MeterService::SetWavelengthListener(std::function<void()> listener) {
  if (m_wavelengthSubscription) m_feed.Unsubscribe(*std::exchange(m_wavelengthSubscription, std::nullopt));
  if (!listener) return;
  m_wavelengthSubscription = m_feed.Subscribe([listener = std::move(listener)](const feed::Event& event) {
    if (std::holds_alternative<feed::WavelengthNamed>(event)) listener();
  });
}

void MeterService::OnCommandDone(meter::Done what) {
  if (what == meter::Done::HistoryEnd) {
    m_reading.EndHistoryProgress();
    // Counted once the records still queued are shown.
    m_core.PostSelf([this] {
      m_core.SetLinkPane(statuspane::HistoryComplete(m_core.PaneChinese(), m_shown.rowCount), false);
    });
    m_core.Box(m_texts.m_strHistoryDone);
    m_core.PostStatus(m_texts.m_strConnected);
  }
  m_feed.ExchangeDone(what);
}
