#pragma once
// The table's document: the unsaved rows question, Open, Save, Print and
// Export, with their dialogs or (for the command line) without. It works on
// the service's core (what is shown, the guards, the feed that reads and
// writes the files); the reading commands and the link ask it about unsaved
// rows before they replace them, and it calls none of them.
#include <optional>
#include <string>

#include "app/DataFeed.h"
#include "app/Prompter.h"
#include "app/ServiceCore.h"
#include "app/ServiceState.h"
#include "common/DataKind.h"
#include "common/FrameTexts.h"
#include "common/Language.h"
#include "device/ReadingSession.h"
#include "print/TestReport.h"
#include "table/TableExport.h"
#include "table/TablePage.h"

class FileCommands {
 public:
  explicit FileCommands(ServiceCore& core);
  FileCommands(const FileCommands&) = delete;
  FileCommands& operator=(const FileCommands&) = delete;

  // Before a command replaces or empties unsaved rows: asks Save / Discard /
  // Cancel. True to go on (nothing unsaved, Discard, or a Save that wrote
  // the file); false leaves everything as it is.
  bool ResolveUnsaved();
  // Exit or the window's close box: true when the program may end. Unsaved
  // rows are asked about (Save / Discard / Cancel) in place of the exit
  // question; otherwise the exit question is asked.
  bool ConfirmExit();

  // Open and Save: real-time reading stops, then (posted) the file dialog and
  // the file work.
  void OnOpenFile();
  void OnSaveData();
  // Print: the test report of the shown table on `device`. Nothing is
  // printed while system parameters are shown, and the note pane says so; a
  // report that fails is dropped and the operator told so.
  report::Outcome OnPrint(report::IReportDevice& device);
  // Export: posts the export dialog; the writing follows.
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

 private:
  // The posted file dialogs of Open and Save.
  void OpenWithDialog();
  // True when the rows were written.
  bool SaveWithDialog();
  // The posted export dialog.
  void ExportWithDialog();

  ServiceCore& m_core;
  IPrompter& m_prompter;
  ReadingSession& m_session;
  TablePage& m_table;
  DataFeed& m_feed;
  const FrameTexts& m_texts;
  const std::optional<lang::Index>& m_language;
  ShownData& m_shown;
  const ServiceState& m_state;
};
