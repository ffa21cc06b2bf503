#pragma once
// The program's work on one meter, without a window: the commands of the
// menus, the toolbar and the command line with their guards, the settings and
// the commands they send, the data files, and what is shown (the data kind,
// the row count, the parameter view, the meter's current wavelength). The
// meter's records and the data files reach the pages and their followers
// through the data feed (DataFeed), which the service drives. The person in
// front of the program is reached through a prompter (boxes, file dialogs,
// settings dialogs); whoever shows the service's state (the window's
// presenter) takes it through IServiceView. The Station owns the service;
// the window and km360r-cli both drive it. It also holds what the features
// beside the table work on: the field readout's feed with its live log, and
// the open test job with its results store; their panels keep only widgets.
#include <functional>
#include <optional>
#include <string>

#include "app/DataFeed.h"
#include "app/GraphFollower.h"
#include "jobs/JobDesk.h"
#include "app/Prompter.h"
#include "app/ServiceState.h"
#include "app/StatusPane.h"
#include "common/DataKind.h"
#include "common/FrameTexts.h"
#include "common/Language.h"
#include "common/LifeGuard.h"
#include "common/Runtime.h"
#include "device/MeterEvents.h"
#include "device/ReadingSession.h"
#include "field/LiveFeed.h"
#include "graph/GraphPage.h"
#include "print/TestReport.h"
#include "settings/SettingsCommands.h"
#include "settings/SettingsLink.h"
#include "table/TableExport.h"
#include "table/TablePage.h"

// The timer that keeps a second Link from following the first too closely.
inline constexpr int TIMER_LINK_GUARD = 4;
// The link pane's history progress, once a second while history comes in.
inline constexpr int TIMER_HISTORY_PROGRESS = 5;
// How long a reset's answer is awaited before the pane says none came.
inline constexpr int TIMER_RESET_ANSWER = 6;

class MeterService : public settings::ISettingsLink {
 public:
  static constexpr int kRealTimeDescriptionWidth = 200;
  static constexpr int kHistoryDescriptionWidth = 150;
  static constexpr int kHistoryProgressMs = 1000;
  // Two periods of the reply watchdog.
  static constexpr int kResetAnswerMs = 2000;

  // The service drives `session`, whose reports it takes once the session is
  // built with SessionEvents(); the constructor only keeps the reference (the
  // Station builds the service first and the session after it).
  MeterService(IRuntime& runtime, IPrompter& prompter, ReadingSession& session, TablePage& table,
               GraphPage& graph, FrameTexts texts, std::string languageValue);
  ~MeterService() override;
  MeterService(const MeterService&) = delete;
  MeterService& operator=(const MeterService&) = delete;

  // Who shows the state; nullptr for none.
  void SetView(IServiceView* view) { m_viewSink = view; }

  // Commands.
  void OnLink();
  void OnReadRealTime();  // toggle
  void OnReadHistory();
  void OnReadAdValues();
  void OnReadWavelengthCodes();
  void OnReadParams();
  void OnReset();
  void OnDeleteShownData();
  // Set clock, Set wavelength, Calibrate, Set measurement mode (kind Clock,
  // Wavelength, Calibration or Mode): reading stops, the kind is set for the
  // answer, and the command's dialog runs; what it chose is sent. A
  // wavelength changed while real-time reading ran lets the reading go on
  // into the same rows once the meter has answered (at once when nothing was
  // chosen): a technician measures each point at several wavelengths.
  void OnSettingsCommand(DataKind kind);
  // Sends a setting chosen outside a dialog (the command line), after
  // OnSettingsCommand opened the setting; the meter's next answer is its answer.
  void SendSetting(const settings::Choice& choice);

  // The open settings dialog's side (settings::ISettingsLink).
  const meter::Model& MeterModel() const override { return m_session.Model(); }
  void PostCommand(const std::string& text) override { m_session.PostCommand(text); }
  const std::string& CurrentWavelength() const override { return m_shown.currentWavelength; }
  // One subscription to the feed's WavelengthNamed, replaced by the next.
  void SetWavelengthListener(std::function<void()> listener) override;
  // Exit or the window's close box: true when the program may end. Unsaved
  // rows are asked about (Save / Discard / Cancel) in place of the exit
  // question; otherwise the exit question is asked.
  bool ConfirmExit();

  // Open and Save: real-time reading stops, then (posted, as UM_OPEN_FILE and
  // UM_SAVE_DATA) the file dialog and the file work.
  void OnOpenFile();
  void OnSaveData();
  // Print: the test report of the shown table on `device` (the operator
  // chooses the printer there). Nothing is printed while system parameters
  // are shown, and the note pane says so; a report that fails is dropped and
  // the operator told so.
  report::Outcome OnPrint(report::IReportDevice& device);
  // Export: posts UM_EXPORT; the export dialog and the writing follow.
  void OnExport();

  // Open and Save without dialogs or boxes (the command-line companion).
  // Open replaces the table and sets what is shown as the Open command does;
  // a file that cannot be read changes nothing. Save writes the rows as the
  // file type of `kind`, replacing a file at that path.
  FileOutcome OpenFile(const std::string& path);
  FileOutcome SaveFile(const std::string& path, DataKind kind);
  // Export without a dialog: the shown table to `path` as written (the CSV
  // file's ".csv" is the caller's), as a workbook or a CSV file.
  tableexport::Outcome ExportTable(const std::string& path, tableexport::Target target);

  // Restricts Link's port scan to one device (--port PATH).
  void SetPortOverride(std::string port) { m_session.SetPortOverride(std::move(port)); }

  // Where the records and the data files go; whoever follows the meter or
  // the data (the field readout, the job panel, the live log, the front
  // ends) subscribes to its events.
  DataFeed& Feed() { return m_feed; }
  // The field readout's figures and the live log, fed one real-time row at a time.
  field::LiveFeed& Readout() { return m_readout; }
  // The test job open and its results store.
  JobDesk& Jobs() { return m_jobs; }

  const ShownData& Shown() const { return m_shown; }
  const ServiceState& State() const { return m_state; }
  // The table holds rows or cell edits that no file holds yet.
  bool Unsaved() const { return m_state.unsaved; }
  const FrameTexts& Texts() const { return m_texts; }
  const std::string& Language() const { return m_strLanguage; }
  // The status string: the text of the latest status note posted.
  const std::string& StatusText() const { return m_strStatusText; }
  bool LinkBusy() const { return m_bLinkBusy; }
  // Links made since start: a loss reported belongs to the last of them, even
  // when the line was lost before anyone saw the lamp turn green.
  int LinksMade() const { return m_nLinksMade; }

  // What the meter's session reports, handed to the session at its making.
  MeterListener SessionEvents();

  // The meter's side.
  ReadingSession& Meter() { return m_session; }
  const ReadingSession& Meter() const { return m_session; }
  bool Connected() const { return m_session.Connected(); }
  bool Scanning() const { return m_session.Scanning(); }
  bool RealTime() const { return m_session.RealTime(); }
  bool History() const { return m_session.History(); }
  const std::string& ConnectedPort() const { return m_session.ConnectedPort(); }

 private:
  // The link and the meter's reports (ServiceLink.cpp).
  void OnConnected();
  void OnLinkFailed();
  void OnMeterLost(meter::Loss how);
  void OnReply(const meter::Record& record);
  void OnCommandDone(meter::Done what);
  void OnDriverError(const std::string& text);
  void Disconnect();
  void ResetAnswered(const std::string& answer);

  // Reading, and the records shown (ServiceReading.cpp).
  // UM_RECORD_READY
  void ShowRecord(const meter::Record& record, bool plot);
  // The awaited setting's answer: the success box, or (for the clock) Set
  // clock again on a refusal.
  void JudgeSettingAnswer(const meter::Record& record);
  void ReadListing(DataKind kind, Layout layout, Listing listing);
  // Real-time reading goes on after a wavelength change: new rows follow the
  // ones shown, which stay as they are, saved or not.
  void GoOnReading();
  void ShowHistoryProgress();
  void EndHistoryProgress();

  // Files (ServiceFiles.cpp).
  // Before a command replaces or empties unsaved rows: asks Save / Discard /
  // Cancel. True to go on (nothing unsaved, Discard, or a Save that wrote
  // the file); false leaves everything as it is.
  bool ResolveUnsaved();
  // UM_OPEN_FILE and UM_SAVE_DATA
  void OpenWithDialog();
  // True when the rows were written.
  bool SaveWithDialog();
  // UM_EXPORT
  void ExportWithDialog();

  // What is shown and the guards (MeterService.cpp): below the link, the
  // reading and the files, which all use them.
  void MarkUnsaved();
  // The table now shows `fileName` (empty: no file) and is saved or not.
  void SetDocument(const std::string& fileName, bool unsaved);
  // Guard checks; each shows its box when it fails.
  bool CheckConnected();
  bool CheckNoHistory();
  void Box(const std::string& text);
  bool AskYesNo(const std::string& text, const std::string& caption);

  // What is shown: each change is told at once.
  void ShowState();
  void ShowTable(TableContent content);
  void SetLinkLamp(LinkLamp lamp);
  void SetRealTimeButton(bool running);
  void SetSaveAfter(SaveAfter after);
  // Writes `text` into the status string and posts UM_STATUS_TEXT with it.
  void PostStatus(const std::string& text);
  // The link pane (and with `tip` the lamp's tooltip too).
  void SetLinkPane(const std::string& note, bool tip);
  bool PaneChinese() const;
  statuspane::Port CurrentPort() const;
  void TellTableReplaced();
  void TellLiveStopped(bool lost);
  void ClearTableNote();

  // Posts fn to the UI thread; it is dropped if this object is gone by then.
  void PostSelf(std::function<void()> fn);
  void PostGraphClear() { m_graphFollower.PostClear(); }

  IRuntime& m_runtime;
  IPrompter& m_prompter;
  IServiceView* m_viewSink = nullptr;
  TablePage& m_table;
  GraphPage& m_graph;
  DataFeed m_feed;
  GraphFollower m_graphFollower;  // the graph's part of the feed's events
  FrameTexts m_texts;
  std::string m_strLanguage;
  std::optional<lang::Index> m_language;
  ReadingSession& m_session;

  field::LiveFeed m_readout;
  JobDesk m_jobs;

  ShownData m_shown;
  ServiceState m_state;
  std::string m_strStatusText;
  bool m_bLinkBusy = false;  // a Link command was accepted within the link guard
  bool m_bHistoryProgress = false;  // the link pane counts a history read
  int m_nHistorySeconds = 0;
  bool m_bResetPending = false;  // a reset's answer is awaited
  // The setting whose command has gone out and whose answer is awaited;
  // Nothing while none is. Only its answer counts as a setting's answer.
  DataKind m_awaitedSetting = DataKind::Nothing;
  bool m_bSettingSent = false;       // the open setting's command went out
  bool m_bGoOnAfterSetting = false;  // real-time reading goes on once the setting is answered
  int m_nLinksMade = 0;

  std::optional<DataFeed::Token> m_wavelengthSubscription;  // UM_WAVELENGTH_UPDATE to the open dialog

  // What the service posts does nothing once the service is gone.
  LifeGuard m_life;
};
