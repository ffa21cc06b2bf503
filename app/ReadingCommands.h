#pragma once
// The reading commands and the settings, and the records as they are shown:
// each command checks its guards, asks the file commands about unsaved rows,
// sets what is shown and starts the session's exchange; each record is routed
// to the pages, and the awaited setting's or reset's answer judged. It works
// on the service's core and the file commands; the link (MeterService) hands
// it the records and calls none of it back.
#include <string>

#include "app/DataFeed.h"
#include "app/FileCommands.h"
#include "app/Prompter.h"
#include "app/ServiceCore.h"
#include "app/ServiceState.h"
#include "common/DataKind.h"
#include "common/FrameTexts.h"
#include "common/Runtime.h"
#include "device/MeterEvents.h"
#include "device/ReadingSession.h"
#include "graph/GraphPage.h"
#include "settings/SettingsCommands.h"
#include "table/TablePage.h"

// The link pane's history progress, once a second while history comes in.
inline constexpr int TIMER_HISTORY_PROGRESS = 5;
// How long a reset's answer is awaited before the pane says none came.
inline constexpr int TIMER_RESET_ANSWER = 6;

class ReadingCommands {
 public:
  static constexpr int kRealTimeDescriptionWidth = 200;
  static constexpr int kHistoryDescriptionWidth = 150;
  static constexpr int kHistoryProgressMs = 1000;
  // Two periods of the reply watchdog.
  static constexpr int kResetAnswerMs = 2000;

  ReadingCommands(ServiceCore& core, FileCommands& files);
  ~ReadingCommands();
  ReadingCommands(const ReadingCommands&) = delete;
  ReadingCommands& operator=(const ReadingCommands&) = delete;

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

  // A record the meter sent, posted to be shown on the pages.
  void ShowRecord(const meter::Record& record, bool plot);
  // A reset's answer is awaited; the meter's next record is the answer, which
  // goes to the link pane on one line.
  bool ResetPending() const { return m_bResetPending; }
  void ResetAnswered(const std::string& answer);
  // The link pane counts a history read; it stops counting when the read
  // ends or the meter is lost.
  bool HistoryCounting() const { return m_bHistoryProgress; }
  void EndHistoryProgress();
  // The link is gone: no reading goes on after the open setting's answer.
  void DropGoingOn() { m_bGoOnAfterSetting = false; }

 private:
  // The awaited setting's answer: the success box, or (for the clock) Set
  // clock again on a refusal.
  void JudgeSettingAnswer(const meter::Record& record);
  void ReadListing(DataKind kind, Layout layout, Listing listing);
  // Real-time reading goes on after a wavelength change: new rows follow the
  // ones shown, which stay as they are, saved or not.
  void GoOnReading();
  void ShowHistoryProgress();

  ServiceCore& m_core;
  FileCommands& m_files;
  IRuntime& m_runtime;
  IPrompter& m_prompter;
  ReadingSession& m_session;
  TablePage& m_table;
  GraphPage& m_graph;
  DataFeed& m_feed;
  const FrameTexts& m_texts;
  ShownData& m_shown;
  const ServiceState& m_state;

  bool m_bHistoryProgress = false;  // the link pane counts a history read
  int m_nHistorySeconds = 0;
  bool m_bResetPending = false;  // a reset's answer is awaited
  // The setting whose command has gone out and whose answer is awaited;
  // Nothing while none is. Only its answer counts as a setting's answer.
  DataKind m_awaitedSetting = DataKind::Nothing;
  bool m_bSettingSent = false;       // the open setting's command went out
  bool m_bGoOnAfterSetting = false;  // real-time reading goes on once the setting is answered
};
