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
//
// The service is built in parts that call one way, each below the next:
// ServiceCore (what is shown, the guards, the references), FileCommands (the
// table's document), ReadingCommands (reading, the settings, the records
// shown), and this class on top: the link and the session's reports, and the
// one face the front ends see, which hands each command to its part.
#include <functional>
#include <optional>
#include <string>

#include "app/DataFeed.h"
#include "app/FileCommands.h"
#include "app/Prompter.h"
#include "app/ReadingCommands.h"
#include "app/ServiceCore.h"
#include "app/ServiceState.h"
#include "common/DataKind.h"
#include "common/FrameTexts.h"
#include "common/Language.h"
#include "common/Runtime.h"
#include "device/MeterEvents.h"
#include "device/ReadingSession.h"
#include "field/LiveFeed.h"
#include "graph/GraphPage.h"
#include "jobs/JobDesk.h"
#include "print/TestReport.h"
#include "settings/SettingsCommands.h"
#include "settings/SettingsLink.h"
#include "table/TableExport.h"
#include "table/TablePage.h"

// The timer that keeps a second Link from following the first too closely.
inline constexpr int TIMER_LINK_GUARD = 4;

class MeterService : public settings::ISettingsLink {
 public:
  // The service drives `session`, whose reports it takes once the session is
  // built with SessionEvents(); the constructor only keeps the reference (the
  // Station builds the service first and the session after it).
  MeterService(IRuntime& runtime, IPrompter& prompter, ReadingSession& session, TablePage& table,
               GraphPage& graph, FrameTexts texts, std::string languageValue);
  ~MeterService() override;
  MeterService(const MeterService&) = delete;
  MeterService& operator=(const MeterService&) = delete;

  // Who shows the state; nullptr for none.
  void SetView(IServiceView* view) { m_core.SetView(view); }

  // Commands.
  void OnLink();
  void OnReadRealTime() { m_reading.OnReadRealTime(); }  // toggle
  void OnReadHistory() { m_reading.OnReadHistory(); }
  void OnReadAdValues() { m_reading.OnReadAdValues(); }
  void OnReadWavelengthCodes() { m_reading.OnReadWavelengthCodes(); }
  void OnReadParams() { m_reading.OnReadParams(); }
  void OnReset() { m_reading.OnReset(); }
  void OnDeleteShownData() { m_reading.OnDeleteShownData(); }
  // Set clock, Set wavelength, Calibrate, Set measurement mode (kind Clock,
  // Wavelength, Calibration or Mode): reading stops, the kind is set for the
  // answer, and the command's dialog runs; what it chose is sent. A
  // wavelength changed while real-time reading ran lets the reading go on
  // into the same rows once the meter has answered (at once when nothing was
  // chosen): a technician measures each point at several wavelengths.
  void OnSettingsCommand(DataKind kind) { m_reading.OnSettingsCommand(kind); }
  // Sends a setting chosen outside a dialog (the command line), after
  // OnSettingsCommand opened the setting; the meter's next answer is its answer.
  void SendSetting(const settings::Choice& choice) { m_reading.SendSetting(choice); }

  // The open settings dialog's side (settings::ISettingsLink).
  const meter::Model& MeterModel() const override { return m_session.Model(); }
  void PostCommand(const std::string& text) override { m_session.PostCommand(text); }
  const std::string& CurrentWavelength() const override { return m_core.Shown().currentWavelength; }
  // One subscription to the feed's WavelengthNamed, replaced by the next.
  void SetWavelengthListener(std::function<void()> listener) override;
  // Exit or the window's close box: true when the program may end. Unsaved
  // rows are asked about (Save / Discard / Cancel) in place of the exit
  // question; otherwise the exit question is asked.
  bool ConfirmExit() { return m_files.ConfirmExit(); }

  // Open and Save: real-time reading stops, then (posted) the file dialog and
  // the file work.
  void OnOpenFile() { m_files.OnOpenFile(); }
  void OnSaveData() { m_files.OnSaveData(); }
  // Print: the test report of the shown table on `device` (the operator
  // chooses the printer there). Nothing is printed while system parameters
  // are shown, and the note pane says so; a report that fails is dropped and
  // the operator told so.
  report::Outcome OnPrint(report::IReportDevice& device) { return m_files.OnPrint(device); }
  // Export: posts the export dialog; the writing follows.
  void OnExport() { m_files.OnExport(); }

  // Open and Save without dialogs or boxes (the command-line companion).
  // Open replaces the table and sets what is shown as the Open command does;
  // a file that cannot be read changes nothing. Save writes the rows as the
  // file type of `kind`, replacing a file at that path.
  FileOutcome OpenFile(const std::string& path) { return m_files.OpenFile(path); }
  FileOutcome SaveFile(const std::string& path, DataKind kind) { return m_files.SaveFile(path, kind); }
  // Export without a dialog: the shown table to `path` as written (the CSV
  // file's ".csv" is the caller's), as a workbook or a CSV file.
  tableexport::Outcome ExportTable(const std::string& path, tableexport::Target target) {
    return m_files.ExportTable(path, target);
  }

  // Restricts Link's port scan to one device (--port PATH).
  void SetPortOverride(std::string port) { m_session.SetPortOverride(std::move(port)); }

  // Where the records and the data files go; whoever follows the meter or
  // the data (the field readout, the job panel, the live log, the front
  // ends) subscribes to its events.
  DataFeed& Feed() { return m_core.Feed(); }
  // The field readout's figures and the live log, fed one real-time row at a time.
  field::LiveFeed& Readout() { return m_core.Readout(); }
  // The test job open and its results store.
  JobDesk& Jobs() { return m_core.Jobs(); }

  const ShownData& Shown() const { return m_core.Shown(); }
  const ServiceState& State() const { return m_core.State(); }
  // The table holds rows or cell edits that no file holds yet.
  bool Unsaved() const { return m_core.State().unsaved; }
  const FrameTexts& Texts() const { return m_core.Texts(); }
  const std::string& Language() const { return m_core.Language(); }
  // The status string: the text of the latest status note posted.
  const std::string& StatusText() const { return m_core.StatusText(); }
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
  // The link and the meter's reports (MeterService.cpp).
  void OnConnected();
  void OnLinkFailed();
  void OnMeterLost(meter::Loss how);
  void OnReply(const meter::Record& record);
  void OnCommandDone(meter::Done what);
  void OnDriverError(const std::string& text);
  void Disconnect();

  // The parts, each built on the ones before it.
  ServiceCore m_core;
  FileCommands m_files;
  ReadingCommands m_reading;

  // The core's references the link works with.
  IRuntime& m_runtime;
  IPrompter& m_prompter;
  ReadingSession& m_session;
  DataFeed& m_feed;
  const FrameTexts& m_texts;
  ShownData& m_shown;
  ServiceState& m_state;

  bool m_bLinkBusy = false;  // a Link command was accepted within the link guard
  int m_nLinksMade = 0;

  std::optional<DataFeed::Token> m_wavelengthSubscription;  // word of a new wavelength to the open dialog
};
