// The link and the meter's reports: Link and Disconnect, what the session
// reports, and each record as it arrives, posted to be shown.
#include "app/MeterService.h"

#include <chrono>
#include <ctime>
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

MeterListener MeterService::SessionEvents() {
  return [this](const meter::SessionReport& report) {
    if (const auto* probing = std::get_if<meter::Probing>(&report)) {
      SetLinkPane(statuspane::Searching(PaneChinese(), probing->portName), true);
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
    if (!m_session.Connected()) SetLinkPane(statuspane::LinkTooSoon(PaneChinese()), false);
    return;
  }
  m_bLinkBusy = true;
  m_runtime.StartTimer(TIMER_LINK_GUARD, m_session.Timings().linkGuardMs, [this] {
    m_bLinkBusy = false;
    m_runtime.KillTimer(TIMER_LINK_GUARD);
  });

  if (m_session.History()) {
    Box(m_texts.m_strWaitHistory);
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
  m_bGoOnAfterSetting = false;
  SetRealTimeButton(false);
  m_shown.dataKind = DataKind::Nothing;
  SetLinkLamp(LinkLamp::Disconnected);
  PostStatus(m_texts.m_strDisconnected);
  SetLinkPane(statuspane::NotConnected(PaneChinese()), true);
}

void MeterService::OnConnected() {
  ++m_nLinksMade;
  PostStatus(m_texts.m_strConnected);
  m_state.linkTip = statuspane::Connected(PaneChinese(), CurrentPort());
  m_state.linkNote = m_state.linkTip;
  SetLinkLamp(LinkLamp::Connected);
}

void MeterService::OnLinkFailed() {
  SetLinkPane(statuspane::NotConnected(PaneChinese()), true);
  Box(m_texts.m_strConnectFailed);
  PostStatus(m_texts.m_strDisconnected);
  SetLinkLamp(LinkLamp::Disconnected);
  m_bLinkBusy = false;
}

void MeterService::OnMeterLost(meter::Loss how) {
  TellLiveStopped(true);
  // Which port went and when, and what a history read had brought so far
  // (its rows stay); the count waits for the records still being shown.
  const std::string lost =
      statuspane::Lost(PaneChinese(), CurrentPort(), ClockNow());
  const bool historyCut = m_bHistoryProgress;
  EndHistoryProgress();
  PostSelf([this, lost, historyCut] {
    m_state.linkTip = lost;
    SetLinkPane(historyCut ? statuspane::HistoryIncomplete(PaneChinese(), m_shown.rowCount) + " · " + lost
                           : lost,
                false);
  });
  if (how == meter::Loss::Silent) {
    SetRealTimeButton(false);
    SetSaveAfter(SaveAfter::Read);
    SetLinkLamp(LinkLamp::Disconnected);
    PostStatus(m_texts.m_strDisconnected);
    Box(m_texts.m_strLostMeter);
    return;
  }
  // The line is gone: the program disconnects whatever the link guard says,
  // or it would go on showing a dead line as connected.
  Box(m_texts.m_strDisconnected);
  Disconnect();
}

void MeterService::OnDriverError(const std::string& text) {
  m_prompter.MessageBox(text, "Application Error", BoxButtons::Ok);
}

// ---------------------------------------------------------------------------
// Replies

void MeterService::OnReply(const meter::Record& record) {
  m_feed.RecordArrived(record);
  if (m_bResetPending) ResetAnswered(gbk::ToUtf8(record.Text()));
  // One posted closure per record, guarded itself: a meter sends thousands
  // of records a second. The record travels with the message, so none is
  // overwritten before the pages have taken it; whether it is plotted is
  // decided now, while real-time reading runs.
  m_runtime.Post([this, alive = m_life.Watch(), plot = m_session.RealTime(), r = record] {
    if (!alive.expired()) ShowRecord(r, plot);
  });
}

void MeterService::ResetAnswered(const std::string& answer) {
  m_bResetPending = false;
  m_runtime.KillTimer(TIMER_RESET_ANSWER);
  // One line: the record's "$" and line ends are not part of what the meter said.
  std::string said = answer;
  for (char& c : said) {
    if (c == '\r' || c == '\n' || c == '$') c = ' ';
  }
  const size_t first = said.find_first_not_of(' ');
  const size_t last = said.find_last_not_of(' ');
  said = first == std::string::npos ? std::string() : said.substr(first, last - first + 1);
  SetLinkPane(statuspane::ResetAnswered(PaneChinese(), said), false);
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
    EndHistoryProgress();
    // Counted once the records still queued are shown.
    PostSelf([this] {
      SetLinkPane(statuspane::HistoryComplete(PaneChinese(), m_shown.rowCount), false);
    });
    Box(m_texts.m_strHistoryDone);
    PostStatus(m_texts.m_strConnected);
  }
  m_feed.ExchangeDone(what);
}
