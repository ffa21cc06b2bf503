// The reading commands and the settings: each checks its guards, sets what
// is shown and starts the session's exchange.
#include "app/ReadingCommands.h"

#include <optional>
#include <string>
#include <utility>

#include "app/StatusPane.h"

ReadingCommands::ReadingCommands(ServiceCore& core, FileCommands& files)
    : m_core(core),
      m_files(files),
      m_runtime(core.Runtime()),
      m_prompter(core.Prompter()),
      m_session(core.Session()),
      m_table(core.Table()),
      m_graph(core.Graph()),
      m_feed(core.Feed()),
      m_texts(core.Texts()),
      m_shown(core.Shown()),
      m_state(core.State()) {}

ReadingCommands::~ReadingCommands() {
  m_runtime.KillTimer(TIMER_HISTORY_PROGRESS);
  m_runtime.KillTimer(TIMER_RESET_ANSWER);
}

void ReadingCommands::OnReadRealTime() {
  const bool paramViewBefore = m_shown.paramView;
  m_shown.paramView = false;
  if (!m_core.CheckConnected()) return;
  if (m_session.RealTime()) {
    m_session.StopReading();
    m_core.SetRealTimeButton(false);
    return;
  }
  if (!m_core.CheckNoHistory()) return;
  if (!m_files.ResolveUnsaved()) {
    m_shown.paramView = paramViewBefore;
    return;
  }
  m_core.SetDocument({}, false);

  m_core.PostGraphClear();
  m_graph.StartLive();
  m_shown.dataKind = DataKind::RealTime;
  m_shown.rowsKind = DataKind::RealTime;
  m_shown.rowCount = 0;
  m_table.ApplyLayout(Layout::Measurement, kRealTimeDescriptionWidth);
  m_core.SetRealTimeButton(true);
  m_core.SetSaveAfter(SaveAfter::Read);
  m_core.ShowTable(TableContent::RealTime);
  m_core.ClearTableNote();
  // An opened file's path goes with the file the live rows replace.
  if (m_core.StatusText() != m_texts.m_strConnected) m_core.PostStatus(m_texts.m_strConnected);
  m_feed.ReadStarted();
  m_session.StartRealTime();
}

void ReadingCommands::GoOnReading() {
  if (m_session.RealTime()) return;
  // The rows, their count, the graph, the tabs and the document stay: new
  // rows follow the ones shown. The followers start their figures again,
  // since the readings that come are of another wavelength.
  m_shown.dataKind = DataKind::RealTime;
  m_shown.rowsKind = DataKind::RealTime;
  m_core.SetRealTimeButton(true);
  m_core.SetSaveAfter(SaveAfter::Read);
  m_feed.ReadStarted();
  m_session.StartRealTime();
}

void ReadingCommands::OnReadHistory() {
  const bool paramViewBefore = m_shown.paramView;
  m_shown.paramView = false;
  if (!m_core.CheckConnected() || !m_core.CheckNoHistory()) return;
  if (!m_files.ResolveUnsaved()) {
    m_shown.paramView = paramViewBefore;
    return;
  }
  m_core.SetDocument({}, false);
  m_core.PostGraphClear();
  m_core.SetRealTimeButton(false);
  m_core.SetSaveAfter(SaveAfter::Read);
  m_core.PostStatus(m_texts.m_strReceivingHistory);
  m_shown.dataKind = DataKind::History;
  m_shown.rowsKind = DataKind::History;
  m_shown.rowCount = 0;
  m_core.TellTableReplaced();
  m_core.ShowTable(TableContent::History);
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

void ReadingCommands::ShowHistoryProgress() {
  m_core.SetLinkPane(statuspane::HistoryProgress(m_core.PaneChinese(), m_shown.rowCount, m_nHistorySeconds), false);
  m_feed.HistoryProgress(m_shown.rowCount, m_nHistorySeconds);
}

void ReadingCommands::EndHistoryProgress() {
  m_bHistoryProgress = false;
  m_runtime.KillTimer(TIMER_HISTORY_PROGRESS);
}

void ReadingCommands::OnReadAdValues() {
  ReadListing(DataKind::History, Layout::AD, Listing::AdValues);
}

void ReadingCommands::OnReadWavelengthCodes() {
  ReadListing(DataKind::WavelengthCodes, Layout::Wavelength, Listing::WavelengthCodes);
}

void ReadingCommands::ReadListing(DataKind kind, Layout layout, Listing listing) {
  if (!m_core.CheckConnected() || !m_core.CheckNoHistory() || !m_files.ResolveUnsaved()) return;
  m_core.SetDocument({}, false);
  m_core.SetRealTimeButton(false);
  m_core.SetSaveAfter(SaveAfter::Read);
  m_core.PostGraphClear();
  m_shown.dataKind = kind;
  m_shown.rowsKind = kind;
  m_shown.rowCount = 0;
  m_core.TellTableReplaced();
  m_core.ShowTable(TableContent::Listing);
  m_table.ApplyLayout(layout);
  m_session.ReadListing(listing);
}

void ReadingCommands::OnReadParams() {
  const bool paramViewBefore = m_shown.paramView;
  m_shown.paramView = true;
  if (!m_core.CheckConnected() || !m_core.CheckNoHistory()) return;
  if (!m_files.ResolveUnsaved()) {
    m_shown.paramView = paramViewBefore;
    return;
  }
  m_core.SetDocument({}, false);
  m_core.SetRealTimeButton(false);
  m_core.SetSaveAfter(SaveAfter::Read);
  m_core.PostGraphClear();
  m_shown.dataKind = DataKind::Parameters;
  m_shown.rowsKind = DataKind::Parameters;
  m_shown.rowCount = 0;
  m_core.TellTableReplaced();
  m_core.ShowTable(TableContent::Parameters);
  m_table.ApplyLayout(Layout::Parameters);
  m_session.ReadListing(Listing::Parameters);
}

void ReadingCommands::OnReset() {
  if (!m_core.CheckConnected() || !m_core.CheckNoHistory()) return;
  // No leaves everything as it was: a real-time reading goes on.
  if (m_prompter.AskYesNoDefaultNo(m_texts.m_strResetAsk, m_texts.m_strMsgCaption) != BoxAnswer::Yes) {
    return;
  }
  if (!m_files.ResolveUnsaved()) return;
  m_session.StopReading();
  m_core.SetRealTimeButton(false);
  m_session.Reset();
  m_awaitedSetting = DataKind::Nothing;  // the answer that comes is the reset's
  // The meter's answer, or its silence, goes to the link pane.
  m_bResetPending = true;
  m_runtime.StartTimer(TIMER_RESET_ANSWER, kResetAnswerMs, [this] {
    m_runtime.KillTimer(TIMER_RESET_ANSWER);
    if (!m_bResetPending) return;
    m_bResetPending = false;
    m_core.SetLinkPane(statuspane::ResetUnanswered(m_core.PaneChinese()), false);
  });
}

void ReadingCommands::ResetAnswered(const std::string& answer) {
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
  m_core.SetLinkPane(statuspane::ResetAnswered(m_core.PaneChinese(), said), false);
}

void ReadingCommands::OnDeleteShownData() {
  if (!m_core.CheckNoHistory()) return;
  // Unsaved rows are asked about instead: Discard is the deletion.
  if (m_state.unsaved) {
    if (!m_files.ResolveUnsaved()) return;
  } else if (m_prompter.AskYesNoDefaultNo(m_texts.m_strDeleteAsk, m_texts.m_strDeleteAsk) != BoxAnswer::Yes) {
    return;
  }
  m_core.PostGraphClear();
  m_session.StopReading();
  m_core.SetRealTimeButton(false);
  m_core.PostStatus(std::string());
  m_table.DeleteAllRows();
  m_core.TellTableReplaced();
  m_core.ShowTable(TableContent::Cleared);
  m_shown.dataKind = DataKind::Nothing;
  m_shown.rowsKind = DataKind::Nothing;
  m_shown.rowCount = 0;
  m_core.SetDocument({}, false);
  m_session.DiscardPartialReply();
  // With nothing shown the page only brings its last row into view.
  m_core.PostSelf([this] { ShowRecord(meter::Record(), false); });
}

// ---------------------------------------------------------------------------
// Records shown, and the awaited setting's answer

void ReadingCommands::ShowRecord(const meter::Record& record, bool plot) {
  const int tableRowsBefore = m_table.Model().RowCount();
  const RecordOutcome outcome = m_feed.Route(record, plot, m_shown.dataKind, m_shown.rowCount);
  if (m_table.Model().RowCount() > tableRowsBefore) m_core.MarkUnsaved();
  if (outcome.currentWavelength) {
    m_shown.currentWavelength = *outcome.currentWavelength;
    m_feed.WavelengthNamed(m_shown.currentWavelength);
  }
  JudgeSettingAnswer(record);
}

void ReadingCommands::JudgeSettingAnswer(const meter::Record& record) {
  // Only the answer to the setting just sent counts: a reading still on its
  // way, a listing or a reset's answer after a cancelled dialog is no answer.
  if (m_awaitedSetting == DataKind::Nothing || m_awaitedSetting != m_shown.dataKind) return;
  const meter::Answer answer = record.SettingAnswer();
  if (answer == meter::Answer::None) return;
  const DataKind setting = m_awaitedSetting;
  m_awaitedSetting = DataKind::Nothing;
  const bool goOn = std::exchange(m_bGoOnAfterSetting, false);
  if (answer == meter::Answer::Taken) {
    m_prompter.MessageBox(m_table.m_strSetOk, m_table.m_strPromptCaption, BoxButtons::Ok);
    m_shown.dataKind = DataKind::Nothing;
  } else if (setting == DataKind::Clock) {
    // A refused clock runs the whole Set clock command again, guards included.
    OnSettingsCommand(DataKind::Clock);
    return;
  }
  // Taken or refused, the reading goes on: each reading names the wavelength
  // it was taken at, so no row can stand for another wavelength.
  if (goOn && m_session.Connected()) GoOnReading();
}

// ---------------------------------------------------------------------------
// Settings

void ReadingCommands::OnSettingsCommand(DataKind kind) {
  if (!m_core.CheckConnected() || !m_core.CheckNoHistory()) return;
  const bool goOn = kind == DataKind::Wavelength && m_session.RealTime();
  m_session.BeginSetting();
  m_awaitedSetting = DataKind::Nothing;  // until this opening's command goes out
  // The rows stay whatever the dialog does; the reading goes on after the
  // meter's answer, or as soon as the dialog closes without a choice.
  m_bGoOnAfterSetting = goOn;
  m_bSettingSent = false;
  m_core.SetRealTimeButton(false);
  m_core.SetSaveAfter(SaveAfter::Settings);
  m_shown.dataKind = kind;
  if (const std::optional<settings::Choice> choice = m_prompter.AskSetting(kind)) SendSetting(*choice);
  if (m_bGoOnAfterSetting && !m_bSettingSent) {
    m_bGoOnAfterSetting = false;
    GoOnReading();
  }
}

void ReadingCommands::SendSetting(const settings::Choice& choice) {
  // The dialogs and the command line offer only what the meter takes; a
  // choice it cannot take sends nothing and leaves the setting unsent.
  const std::optional<std::string> command = m_session.Model().settings.command(choice);
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
  m_core.PostSelf([this, setting] { m_awaitedSetting = setting; });
}
