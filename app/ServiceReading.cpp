// The reading commands and the settings: each checks its guards, sets what
// is shown and starts the session's exchange.
#include <optional>
#include <string>

#include "app/MeterService.h"

void MeterService::OnReadRealTime() {
  const bool paramViewBefore = m_shown.paramView;
  m_shown.paramView = false;
  if (!CheckConnected()) return;
  if (m_session.RealTime()) {
    m_session.StopReading();
    SetRealTimeButton(false);
    return;
  }
  if (!CheckNoHistory()) return;
  if (!ResolveUnsaved()) {
    m_shown.paramView = paramViewBefore;
    return;
  }
  SetDocument({}, false);

  PostGraphClear();
  m_graph.StartLive();
  m_shown.dataKind = DataKind::RealTime;
  m_shown.rowsKind = DataKind::RealTime;
  m_shown.rowCount = 0;
  m_table.ApplyLayout(Layout::Measurement, kRealTimeDescriptionWidth);
  SetRealTimeButton(true);
  SetSaveAfter(SaveAfter::Read);
  ShowTable(TableContent::RealTime);
  ClearTableNote();
  // An opened file's path goes with the file the live rows replace.
  if (m_strStatusText != m_texts.m_strConnected) PostStatus(m_texts.m_strConnected);
  m_feed.ReadStarted();
  m_session.StartRealTime();
}

void MeterService::GoOnReading() {
  if (m_session.RealTime()) return;
  // The rows, their count, the graph, the tabs and the document stay: new
  // rows follow the ones shown. The followers start their figures again,
  // since the readings that come are of another wavelength.
  m_shown.dataKind = DataKind::RealTime;
  m_shown.rowsKind = DataKind::RealTime;
  SetRealTimeButton(true);
  SetSaveAfter(SaveAfter::Read);
  m_feed.ReadStarted();
  m_session.StartRealTime();
}

void MeterService::OnReadHistory() {
  const bool paramViewBefore = m_shown.paramView;
  m_shown.paramView = false;
  if (!CheckConnected() || !CheckNoHistory()) return;
  if (!ResolveUnsaved()) {
    m_shown.paramView = paramViewBefore;
    return;
  }
  SetDocument({}, false);
  PostGraphClear();
  SetRealTimeButton(false);
  SetSaveAfter(SaveAfter::Read);
  PostStatus(m_texts.m_strReceivingHistory);
  m_shown.dataKind = DataKind::History;
  m_shown.rowsKind = DataKind::History;
  m_shown.rowCount = 0;
  TellTableReplaced();
  ShowTable(TableContent::History);
  m_table.ApplyLayout(Layout::Measurement, kHistoryDescriptionWidth);
  m_session.ReadHistory();
  m_bHistoryProgress = true;
  m_nHistorySeconds = 0;
  ShowHistoryProgress();
  m_runtime.StartTimer(TIMER_HISTORY_PROGRESS, kHistoryProgressMs, [this] {
    ++m_nHistorySeconds;
    ShowHistoryProgress();
  });
}

void MeterService::ShowHistoryProgress() {
  SetLinkPane(statuspane::HistoryProgress(PaneChinese(), m_shown.rowCount, m_nHistorySeconds), false);
  m_feed.HistoryProgress(m_shown.rowCount, m_nHistorySeconds);
}

void MeterService::EndHistoryProgress() {
  m_bHistoryProgress = false;
  m_runtime.KillTimer(TIMER_HISTORY_PROGRESS);
}

void MeterService::OnReadAdValues() {
  ReadListing(DataKind::History, Layout::AD, Listing::AdValues);
}

void MeterService::OnReadWavelengthCodes() {
  ReadListing(DataKind::WavelengthCodes, Layout::Wavelength, Listing::WavelengthCodes);
}

void MeterService::ReadListing(DataKind kind, Layout layout, Listing listing) {
  if (!CheckConnected() || !CheckNoHistory() || !ResolveUnsaved()) return;
  SetDocument({}, false);
  SetRealTimeButton(false);
  SetSaveAfter(SaveAfter::Read);
  PostGraphClear();
  m_shown.dataKind = kind;
  m_shown.rowsKind = kind;
  m_shown.rowCount = 0;
  TellTableReplaced();
  ShowTable(TableContent::Listing);
  m_table.ApplyLayout(layout);
  m_session.ReadListing(listing);
}

void MeterService::OnReadParams() {
  const bool paramViewBefore = m_shown.paramView;
  m_shown.paramView = true;
  if (!CheckConnected() || !CheckNoHistory()) return;
  if (!ResolveUnsaved()) {
    m_shown.paramView = paramViewBefore;
    return;
  }
  SetDocument({}, false);
  SetRealTimeButton(false);
  SetSaveAfter(SaveAfter::Read);
  PostGraphClear();
  m_shown.dataKind = DataKind::Parameters;
  m_shown.rowsKind = DataKind::Parameters;
  m_shown.rowCount = 0;
  TellTableReplaced();
  ShowTable(TableContent::Parameters);
  m_table.ApplyLayout(Layout::Parameters);
  m_session.ReadListing(Listing::Parameters);
}

void MeterService::OnReset() {
  if (!CheckConnected() || !CheckNoHistory()) return;
  // No leaves everything as it was: a real-time reading goes on.
  if (m_prompter.AskYesNoDefaultNo(m_texts.m_strResetAsk, m_texts.m_strMsgCaption) != BoxAnswer::Yes) {
    return;
  }
  if (!ResolveUnsaved()) return;
  m_session.StopReading();
  SetRealTimeButton(false);
  m_session.Reset();
  m_awaitedSetting = DataKind::Nothing;  // the answer that comes is the reset's
  // The meter's answer, or its silence, goes to the link pane.
  m_bResetPending = true;
  m_runtime.StartTimer(TIMER_RESET_ANSWER, kResetAnswerMs, [this] {
    m_runtime.KillTimer(TIMER_RESET_ANSWER);
    if (!m_bResetPending) return;
    m_bResetPending = false;
    SetLinkPane(statuspane::ResetUnanswered(PaneChinese()), false);
  });
}

void MeterService::OnDeleteShownData() {
  if (!CheckNoHistory()) return;
  // Unsaved rows are asked about instead: Discard is the deletion.
  if (m_state.unsaved) {
    if (!ResolveUnsaved()) return;
  } else if (m_prompter.AskYesNoDefaultNo(m_texts.m_strDeleteAsk, m_texts.m_strDeleteAsk) != BoxAnswer::Yes) {
    return;
  }
  PostGraphClear();
  m_session.StopReading();
  SetRealTimeButton(false);
  PostStatus(std::string());
  m_table.DeleteAllRows();
  TellTableReplaced();
  ShowTable(TableContent::Cleared);
  m_shown.dataKind = DataKind::Nothing;
  m_shown.rowsKind = DataKind::Nothing;
  m_shown.rowCount = 0;
  SetDocument({}, false);
  m_session.DiscardPartialReply();
  // With nothing shown the page only brings its last row into view.
  PostSelf([this] { ShowRecord(meter::Record(), false); });
}

// ---------------------------------------------------------------------------
// Settings

void MeterService::OnSettingsCommand(DataKind kind) {
  if (!CheckConnected() || !CheckNoHistory()) return;
  const bool goOn = kind == DataKind::Wavelength && m_session.RealTime();
  m_session.BeginSetting();
  m_awaitedSetting = DataKind::Nothing;  // until this opening's command goes out
  // The rows stay whatever the dialog does; the reading goes on after the
  // meter's answer, or as soon as the dialog closes without a choice.
  m_bGoOnAfterSetting = goOn;
  m_bSettingSent = false;
  SetRealTimeButton(false);
  SetSaveAfter(SaveAfter::Settings);
  m_shown.dataKind = kind;
  if (const std::optional<settings::Choice> choice = m_prompter.AskSetting(kind)) SendSetting(*choice);
  if (m_bGoOnAfterSetting && !m_bSettingSent) {
    m_bGoOnAfterSetting = false;
    GoOnReading();
  }
}

void MeterService::SendSetting(const settings::Choice& choice) {
  // The dialogs and the command line offer only what the meter takes; a
  // choice it cannot take sends nothing and leaves the setting unsent.
  const std::optional<std::string> command = MeterModel().settings.command(choice);
  if (!command) return;
  const std::string& text = *command;
  const DataKind setting = m_shown.dataKind;
  m_bSettingSent = true;
  if (settings::SentAtOnce(choice)) {
    m_session.Send(text);
    m_awaitedSetting = setting;
    return;
  }
  m_session.PostCommand(text);
  // Marked behind the command's own write: records taken before it went out
  // cannot answer it.
  PostSelf([this, setting] { m_awaitedSetting = setting; });
}
