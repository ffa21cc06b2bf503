#include "app/FrameLogic.h"

#include <chrono>
#include <ctime>
#include <utility>

#include "app/StatusPane.h"
#include "common/Gbk.h"
#include "table/DataFiles.h"
#include "common/FileAccess.h"
#include "common/LocalTime.h"

FrameLogic::FrameLogic(IRuntime& runtime, IPrompter& prompter, IFrameView& view,
                       ReadingSession& session, TablePage& table, GraphPage& graph,
                       FrameTexts texts, std::string languageValue)
    : m_runtime(runtime),
      m_prompter(prompter),
      m_viewSink(view),
      m_table(table),
      m_graph(graph),
      m_feed(table, graph),
      m_graphFollower(runtime, graph, m_feed),
      m_texts(std::move(texts)),
      m_strLanguage(std::move(languageValue)),
      m_language(lang::Resolve(m_strLanguage)),
      m_session(session) {
  // The first show of the window puts the two tab items in.
  m_view.tabs = {m_texts.m_strTextData, m_texts.m_strGraphicData};
  m_view.statusNote = m_texts.m_strNotConnected;
  m_view.linkNote = m_view.linkTip = statuspane::NotConnected(PaneChinese());
  // The operator's cell edits are the table's own, until a file holds them.
  m_table.SetEditListener([this] { MarkUnsaved(); });
}

FrameLogic::~FrameLogic() {
  m_table.SetEditListener(nullptr);
  m_runtime.KillTimer(TIMER_LINK_GUARD);
  m_runtime.KillTimer(TIMER_HISTORY_PROGRESS);
  m_runtime.KillTimer(TIMER_RESET_ANSWER);
}

MeterListener FrameLogic::SessionEvents() {
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
// Small helpers

void FrameLogic::Box(const std::string& text) {
  m_prompter.MessageBox(text, m_texts.m_strMsgCaption, BoxButtons::Ok);
}

bool FrameLogic::AskYesNo(const std::string& text, const std::string& caption) {
  return m_prompter.MessageBox(text, caption, BoxButtons::YesNo) == BoxAnswer::Yes;
}

bool FrameLogic::ResolveUnsaved() {
  if (!m_view.unsaved) return true;
  switch (m_prompter.AskSaveDiscardCancel(unsaved::QuestionFor(m_language))) {
    case SaveChoice::Discard:
      return true;
    case SaveChoice::Cancel:
      return false;
    case SaveChoice::Save:
      break;
  }
  // The Save command as the operator would give it: reading stops, then the
  // dialog and the file. Only rows that reached a file may be replaced.
  m_session.StopReading();
  SetRealTimeButton(false);
  return SaveWithDialog();
}

void FrameLogic::MarkUnsaved() {
  if (m_view.unsaved) return;
  m_view.unsaved = true;
  ShowView();
}

void FrameLogic::SetDocument(const std::string& fileName, bool unsaved) {
  if (m_view.fileName == fileName && m_view.unsaved == unsaved) return;
  m_view.fileName = fileName;
  m_view.unsaved = unsaved;
  ShowView();
}

bool FrameLogic::ConfirmExit() {
  if (m_view.unsaved) return ResolveUnsaved();
  return AskYesNo(m_texts.m_strExitAsk, m_texts.m_strMsgCaption);
}

bool FrameLogic::CheckConnected() {
  if (m_session.Connected()) return true;
  Box(m_texts.m_strConnectFirst);
  return false;
}

bool FrameLogic::CheckNoHistory() {
  if (!m_session.History()) return true;
  Box(m_texts.m_strWaitHistory);
  return false;
}

void FrameLogic::PostSelf(std::function<void()> fn) {
  m_life.Post(m_runtime, std::move(fn));
}

// ---------------------------------------------------------------------------
// The view

void FrameLogic::ShowView() { m_viewSink.Apply(m_view); }

void FrameLogic::SetLinkImage(int image) {
  m_view.linkImage = image;
  ShowView();
}

void FrameLogic::SetRealTimeButton(bool running) {
  if (!running) TellLiveStopped(false);
  if (!m_language) return;
  m_view.realTimeRunning = running;
  ShowView();
}

void FrameLogic::SetSaveButtonImage(int image) {
  if (!m_language) return;
  m_view.saveImage = image;
  ShowView();
}

void FrameLogic::SetTabs(TabLayout layout) {
  std::vector<std::string>& tabs = m_view.tabs;
  // The first item is relabelled in place, so it stays selected when it was.
  auto relabelFirst = [&tabs](const std::string& caption) {
    if (tabs.empty()) {
      tabs.push_back(caption);
    } else {
      tabs[0] = caption;
    }
  };
  switch (layout) {
    case TabLayout::Text:
      relabelFirst(m_texts.m_strTextData);
      break;
    case TabLayout::RealTime:
      if (tabs.size() == 1) tabs.push_back(m_texts.m_strGraphicData);
      relabelFirst(m_texts.m_strReadRealTime);
      break;
    case TabLayout::History:
      tabs = {m_texts.m_strReadHistory};
      m_view.selectedTab = 0;
      m_view.shownPage = 0;
      break;
    case TabLayout::Parameters:
      tabs = {m_texts.m_strReadParams};
      m_view.selectedTab = 0;
      m_view.shownPage = 0;
      break;
  }
  ShowView();
}

void FrameLogic::SelectTab(int index) {
  m_view.selectedTab = index;
  m_view.shownPage = index;
  ShowView();
}

void FrameLogic::OnTabSelected(int index) {
  if (index < 0 || index >= static_cast<int>(m_view.tabs.size())) return;
  SelectTab(index);
}

void FrameLogic::PostStatus(const std::string& text) {
  m_strStatusText = text;
  PostSelf([this, text] {
    m_view.statusNote = text;
    ShowView();
  });
}

// The link pane speaks the menus' language: Chinese also where the language
// matches none.
bool FrameLogic::PaneChinese() const { return !m_language || m_texts.m_bChinese; }

void FrameLogic::SetLinkPane(const std::string& note, bool tip) {
  m_view.linkNote = note;
  if (tip) m_view.linkTip = note;
  ShowView();
}

statuspane::Port FrameLogic::CurrentPort() const {
  return {m_session.ConnectedPortName(), m_session.ConnectedPort()};
}

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

// ---------------------------------------------------------------------------
// The link

void FrameLogic::OnLink() {
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

void FrameLogic::Disconnect() {
  m_session.Disconnect();
  m_bGoOnAfterSetting = false;
  SetRealTimeButton(false);
  m_shown.dataKind = DataKind::Nothing;
  SetLinkImage(toolbar_image::kDisconnected);
  PostStatus(m_texts.m_strDisconnected);
  SetLinkPane(statuspane::NotConnected(PaneChinese()), true);
}

void FrameLogic::OnConnected() {
  ++m_nLinksMade;
  PostStatus(m_texts.m_strConnected);
  m_view.linkTip = statuspane::Connected(PaneChinese(), CurrentPort());
  m_view.linkNote = m_view.linkTip;
  SetLinkImage(toolbar_image::kConnected);
}

void FrameLogic::OnLinkFailed() {
  SetLinkPane(statuspane::NotConnected(PaneChinese()), true);
  Box(m_texts.m_strConnectFailed);
  PostStatus(m_texts.m_strDisconnected);
  SetLinkImage(toolbar_image::kDisconnected);
  m_bLinkBusy = false;
}

void FrameLogic::OnMeterLost(meter::Loss how) {
  TellLiveStopped(true);
  // Which port went and when, and what a history read had brought so far
  // (its rows stay); the count waits for the records still being shown.
  const std::string lost =
      statuspane::Lost(PaneChinese(), CurrentPort(), ClockNow());
  const bool historyCut = m_bHistoryProgress;
  EndHistoryProgress();
  PostSelf([this, lost, historyCut] {
    m_view.linkTip = lost;
    SetLinkPane(historyCut ? statuspane::HistoryIncomplete(PaneChinese(), m_shown.rowCount) + " · " + lost
                           : lost,
                false);
  });
  if (how == meter::Loss::Silent) {
    SetRealTimeButton(false);
    SetSaveButtonImage(toolbar_image::kSaveAfterRead);
    SetLinkImage(toolbar_image::kDisconnected);
    PostStatus(m_texts.m_strDisconnected);
    Box(m_texts.m_strLostMeter);
    return;
  }
  // The line is gone: the program disconnects whatever the link guard says,
  // or it would go on showing a dead line as connected.
  Box(m_texts.m_strDisconnected);
  Disconnect();
}

void FrameLogic::OnDriverError(const std::string& text) {
  m_prompter.MessageBox(text, "Application Error", BoxButtons::Ok);
}

// ---------------------------------------------------------------------------
// Replies

void FrameLogic::OnReply(const meter::Record& record) {
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

void FrameLogic::ShowRecord(const meter::Record& record, bool plot) {
  const int tableRowsBefore = m_table.Model().RowCount();
  const RecordOutcome outcome = m_feed.Route(record, plot, m_shown.dataKind, m_shown.rowCount);
  if (m_table.Model().RowCount() > tableRowsBefore) MarkUnsaved();
  if (outcome.currentWavelength) {
    m_shown.currentWavelength = *outcome.currentWavelength;
    m_feed.WavelengthNamed(m_shown.currentWavelength);
  }
  JudgeSettingAnswer(record);
}

void FrameLogic::JudgeSettingAnswer(const meter::Record& record) {
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

void FrameLogic::SetWavelengthListener(std::function<void()> listener) {
  if (m_wavelengthSubscription) m_feed.Unsubscribe(*std::exchange(m_wavelengthSubscription, std::nullopt));
  if (!listener) return;
  m_wavelengthSubscription = m_feed.Subscribe([listener = std::move(listener)](const feed::Event& event) {
    if (std::holds_alternative<feed::WavelengthNamed>(event)) listener();
  });
}

void FrameLogic::PostSetting(const std::string& text) {
  const DataKind setting = m_shown.dataKind;
  m_bSettingSent = true;
  m_session.PostCommand(text);
  // Marked behind the command's own write: records taken before it went out
  // cannot answer it.
  PostSelf([this, setting] { m_awaitedSetting = setting; });
}

void FrameLogic::SendNow(const std::string& text) {
  m_bSettingSent = true;
  m_session.Send(text);
  m_awaitedSetting = m_shown.dataKind;
}

void FrameLogic::TellTableReplaced() {
  m_feed.TableReplaced();
  ClearTableNote();
}

void FrameLogic::TellLiveStopped(bool lost) { m_feed.ReadFinished(lost); }

void FrameLogic::GoOnReading() {
  if (m_session.RealTime()) return;
  // The rows, their count, the graph, the tabs and the document stay: new
  // rows follow the ones shown. The followers start their figures again,
  // since the readings that come are of another wavelength.
  m_shown.dataKind = DataKind::RealTime;
  m_shown.rowsKind = DataKind::RealTime;
  SetRealTimeButton(true);
  SetSaveButtonImage(toolbar_image::kSaveAfterRead);
  m_feed.ReadStarted();
  m_session.StartRealTime();
}

void FrameLogic::ClearTableNote() {
  // What the link pane said about the data shown (a history read's count)
  // goes with that data; the pane says what it says about the link again.
  if (m_view.linkNote != m_view.linkTip) SetLinkPane(m_view.linkTip, false);
}

void FrameLogic::OnCommandDone(meter::Done what) {
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

// ---------------------------------------------------------------------------
// Reading commands

void FrameLogic::OnReadRealTime() {
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
  SetSaveButtonImage(toolbar_image::kSaveAfterRead);
  SetTabs(TabLayout::RealTime);
  ClearTableNote();
  // An opened file's path goes with the file the live rows replace.
  if (m_strStatusText != m_texts.m_strConnected) PostStatus(m_texts.m_strConnected);
  m_feed.ReadStarted();
  m_session.StartRealTime();
}

void FrameLogic::OnText() {
  if (!m_session.RealTime()) OnReadRealTime();
  SelectTab(0);
}

void FrameLogic::OnGraphic() {
  if (!m_session.RealTime()) OnReadRealTime();
  SelectTab(1);
}

void FrameLogic::OnReadHistory() {
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
  SetSaveButtonImage(toolbar_image::kSaveAfterRead);
  PostStatus(m_texts.m_strReceivingHistory);
  m_shown.dataKind = DataKind::History;
  m_shown.rowsKind = DataKind::History;
  m_shown.rowCount = 0;
  TellTableReplaced();
  SetTabs(TabLayout::History);
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

void FrameLogic::ShowHistoryProgress() {
  SetLinkPane(statuspane::HistoryProgress(PaneChinese(), m_shown.rowCount, m_nHistorySeconds), false);
  m_feed.HistoryProgress(m_shown.rowCount, m_nHistorySeconds);
}

void FrameLogic::EndHistoryProgress() {
  m_bHistoryProgress = false;
  m_runtime.KillTimer(TIMER_HISTORY_PROGRESS);
}

void FrameLogic::OnReadAdValues() {
  ReadListing(DataKind::History, Layout::AD, Listing::AdValues);
}

void FrameLogic::OnReadWavelengthCodes() {
  ReadListing(DataKind::WavelengthCodes, Layout::Wavelength, Listing::WavelengthCodes);
}

void FrameLogic::ReadListing(DataKind kind, Layout layout, Listing listing) {
  if (!CheckConnected() || !CheckNoHistory() || !ResolveUnsaved()) return;
  SetDocument({}, false);
  SetRealTimeButton(false);
  SetSaveButtonImage(toolbar_image::kSaveAfterRead);
  PostGraphClear();
  m_shown.dataKind = kind;
  m_shown.rowsKind = kind;
  m_shown.rowCount = 0;
  TellTableReplaced();
  SelectTab(0);
  m_table.ApplyLayout(layout);
  m_session.ReadListing(listing);
}

void FrameLogic::OnReadParams() {
  const bool paramViewBefore = m_shown.paramView;
  m_shown.paramView = true;
  if (!CheckConnected() || !CheckNoHistory()) return;
  if (!ResolveUnsaved()) {
    m_shown.paramView = paramViewBefore;
    return;
  }
  SetDocument({}, false);
  SetRealTimeButton(false);
  SetSaveButtonImage(toolbar_image::kSaveAfterRead);
  PostGraphClear();
  m_shown.dataKind = DataKind::Parameters;
  m_shown.rowsKind = DataKind::Parameters;
  m_shown.rowCount = 0;
  TellTableReplaced();
  SetTabs(TabLayout::Parameters);
  m_table.ApplyLayout(Layout::Parameters);
  m_session.ReadListing(Listing::Parameters);
}

void FrameLogic::OnReset() {
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

void FrameLogic::ResetAnswered(const std::string& answer) {
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

void FrameLogic::OnDeleteShownData() {
  if (!CheckNoHistory()) return;
  // Unsaved rows are asked about instead: Discard is the deletion.
  if (m_view.unsaved) {
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
  SetTabs(TabLayout::Text);
  m_shown.dataKind = DataKind::Nothing;
  m_shown.rowsKind = DataKind::Nothing;
  m_shown.rowCount = 0;
  SetDocument({}, false);
  m_session.DiscardPartialReply();
  // With nothing shown the page only brings its last row into view.
  PostSelf([this] { ShowRecord(meter::Record(), false); });
}

void FrameLogic::OnSettingsCommand(DataKind kind) {
  if (!CheckConnected() || !CheckNoHistory()) return;
  const bool goOn = kind == DataKind::Wavelength && m_session.RealTime();
  m_session.BeginSetting();
  m_awaitedSetting = DataKind::Nothing;  // until this opening's command goes out
  // The rows stay whatever the dialog does; the reading goes on after the
  // meter's answer, or as soon as the dialog closes without sending.
  m_bGoOnAfterSetting = goOn;
  m_bSettingSent = false;
  SetRealTimeButton(false);
  SetSaveButtonImage(toolbar_image::kSaveAfterSettings);
  m_shown.dataKind = kind;
  m_prompter.RunSettingsDialog(kind);
  if (m_bGoOnAfterSetting && !m_bSettingSent) {
    m_bGoOnAfterSetting = false;
    GoOnReading();
  }
}

// ---------------------------------------------------------------------------
// Files

void FrameLogic::OnOpenFile() {
  if (!CheckNoHistory() || !ResolveUnsaved()) return;
  m_session.StopReading();
  SetRealTimeButton(false);
  PostSelf([this] { OpenWithDialog(); });
}

void FrameLogic::OpenWithDialog() {
  const auto chosen = m_prompter.AskOpenPath(std::string(datafile::kOpenFilter));
  if (!chosen) return;
  const FileOutcome outcome = OpenFile(*chosen);
  if (outcome.status == FileOutcome::Status::Failed) {
    m_prompter.MessageBox(outcome.message, m_table.m_strPromptCaption, BoxButtons::Ok);
    return;
  }
  PostStatus(m_table.m_strFilePath);
}

FileOutcome FrameLogic::OpenFile(const std::string& path) {
  using datafile::FileType;
  // The feed fills the table and tells the graph and the other followers;
  // what is shown is set here.
  OpenedFile opened = m_feed.Open(path);
  if (opened.status == FileOutcome::Status::Failed) return opened;
  SetDocument(unsaved::FileNameOf(opened.path), false);
  m_session.StopReading();
  m_shown.rowCount = 0;
  TellTableReplaced();
  switch (opened.type) {
    case FileType::None:
      break;
    case FileType::Syf:
      m_shown.paramView = true;
      SetTabs(TabLayout::Parameters);
      // Shown system parameters save as .syf again.
      m_shown.dataKind = DataKind::Parameters;
      m_shown.rowCount = opened.records;
      break;
    case FileType::Ref:
    case FileType::Hif:
      m_shown.paramView = false;
      SetTabs(opened.type == FileType::Ref ? TabLayout::RealTime : TabLayout::History);
      if (opened.records > 0) m_shown.dataKind = DataKind::RealTime;
      m_shown.rowCount = opened.records;
      break;
  }
  m_shown.rowsKind = m_shown.dataKind;
  return opened;
}

void FrameLogic::OnSaveData() {
  m_session.StopReading();
  SetRealTimeButton(false);
  PostSelf([this] { SaveWithDialog(); });
}

bool FrameLogic::SaveWithDialog() {
  const DataKind kind = m_shown.rowsKind;
  const datafile::FileType type =
      kind == DataKind::Nothing ? datafile::FileType::None : datafile::TypeForDataKind(kind);
  // A Save that cannot write says why rather than doing nothing.
  if (type == datafile::FileType::None) {
    PostStatus(unsaved::NothingToSave(m_language));
    return false;
  }
  const auto chosen = m_prompter.AskSavePath(std::string(datafile::SaveFilter(type)));
  if (!chosen) {
    PostStatus({});
    return false;
  }
  const std::string path = datafile::PathWithExtension(*chosen, type);
  if (fileaccess::Exists(path) &&
      !AskYesNo(m_table.ReplaceQuestion(path), m_table.m_strPromptCaption)) {
    PostStatus({});
    return false;
  }
  const FileOutcome outcome = SaveFile(path, kind);
  if (outcome.status == FileOutcome::Status::Failed) {
    m_prompter.MessageBox(outcome.message, m_table.m_strPromptCaption, BoxButtons::Ok);
    return false;
  }
  PostStatus(outcome.path);
  return true;
}

FileOutcome FrameLogic::SaveFile(const std::string& path, DataKind kind) {
  FileOutcome outcome = m_feed.Save(path, kind);
  if (outcome.status == FileOutcome::Status::Done) SetDocument(unsaved::FileNameOf(outcome.path), false);
  return outcome;
}

// ---------------------------------------------------------------------------
// Print

report::Outcome FrameLogic::OnPrint(report::IReportDevice& device) {
  if (m_shown.paramView) {
    PostStatus(unsaved::ParametersNotPrinted(m_language));
    return report::Outcome::NotPrinted;
  }
  CTestReport report(device);
  const report::Outcome outcome =
      report.Print(m_table.Model(), gbk::FromUtf8(m_texts.m_strReportTitle));
  if (outcome == report::Outcome::Failed) Box(report::FailureText(m_texts.m_bChinese));
  return outcome;
}

// ---------------------------------------------------------------------------
// Export

void FrameLogic::OnExport() {
  PostSelf([this] { ExportWithDialog(); });
}

void FrameLogic::ExportWithDialog() {
  const auto chosen = m_prompter.AskExportPath(std::string(tableexport::kFilter));
  if (!chosen) return;
  const tableexport::Target target = tableexport::TargetForFilter(chosen->filterIndex);
  const bool workbook = target == tableexport::Target::Workbook;
  const std::string path = workbook ? tableexport::WorkbookPath(chosen->path) : tableexport::CsvPath(chosen->path);
  // The dialog asked about the name chosen; a CSV file under the longer name
  // would be replaced without a word.
  if (path != chosen->path && fileaccess::Exists(path) &&
      !AskYesNo(m_table.ReplaceQuestion(path), m_table.m_strPromptCaption)) {
    return;
  }
  if (workbook) m_prompter.ShowWaitCursor(true);
  const tableexport::Outcome outcome = ExportTable(path, target);
  if (workbook) m_prompter.ShowWaitCursor(false);
  switch (outcome.status) {
    case tableexport::Outcome::Status::Done:
      PostStatus(path);
      break;
    case tableexport::Outcome::Status::CreateFailed:
      m_prompter.MessageBox(tableexport::kCreateFailed, kApplicationTitle, BoxButtons::Ok);
      break;
    case tableexport::Outcome::Status::Failed:
      m_prompter.ErrorBox(tableexport::kExportFailed, m_table.m_strPromptCaption);
      break;
  }
}

tableexport::Outcome FrameLogic::ExportTable(const std::string& path, tableexport::Target target) {
  return m_feed.Export(path, target);
}
