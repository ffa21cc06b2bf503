#pragma once
// The table page's behaviour without its window: the rows the operator sees,
// the column layouts, and what each record from the meter turns into according
// to g_nDataKind. CPage1 (the window) shows a TablePage's model and answers its
// host calls; the command-line companion uses the same object.
//
// Boundary used by the main frame's logic (keep these signatures):
//   TablePage(ITablePageHost&, FrameTexts, std::string languageValue)
//   void ApplyLayout(Layout layout, int descriptionWidth = 200)
//   void DeleteAllRows()
//   void OnRecordReady(const std::string& record)   // UM_RECORD_READY
//   const TableModel& Model() const
#include <optional>
#include <string>

#include "app/FrameTexts.h"
#include "table/DataFiles.h"
#include "table/TableModel.h"

enum class Layout { Measurement, AD, Wavelength, Parameters };

// What the page needs from its surroundings. The first four are the record
// handling's; the rest serve the file commands and have defaults that do
// nothing, so a host without dialogs, tabs or a graph page (the command-line
// companion, the main frame's tests) need not implement them. All texts are
// UTF-8; paths are the file system's own bytes.
class ITablePageHost {
 public:
  virtual ~ITablePageHost() = default;
  // The page's success notice: a modal box with one OK button (UTF-8 texts).
  virtual void ShowNotice(const std::string& text, const std::string& caption) = 0;
  // A clock reply without success: the main frame's Set clock command runs again.
  virtual void RunSetClockAgain() = 0;
  // UM_WAVELENGTH_UPDATE to the open set-wavelength (kind 5) or calibration
  // (kind 6) dialog, if one is open; g_strCurWavelength holds the text.
  virtual void NotifyWavelengthDialog(int kind) = 0;
  // The closing step: make this row wholly visible.
  virtual void ScrollToRow(int row) = 0;

  // ---- file commands ----

  // The standard save dialog: no default extension, no initial name. `filter`
  // is a list of description|pattern pairs ending with "|", e.g.
  // " (*.ref)|*.ref|". The page appends the extension and asks before
  // replacing a file itself, so the dialog must not ask about overwriting.
  // nullopt when the operator cancels.
  virtual std::optional<std::string> AskSavePath(const std::string& filter) {
    (void)filter;
    return std::nullopt;
  }
  // The standard open dialog with the filter
  // "(*.ref)|*.ref|(*.hif)|*.hif|(*.syf)|*.syf|". nullopt on cancel.
  virtual std::optional<std::string> AskOpenPath(const std::string& filter) {
    (void)filter;
    return std::nullopt;
  }
  // A modal question with Yes and No; true for Yes. Without a person to ask,
  // the answer is No (nothing is replaced).
  virtual bool AskYesNo(const std::string& text, const std::string& caption) {
    (void)text, (void)caption;
    return false;
  }
  // A modal error box with one OK button (a file that could not be read or
  // written).
  virtual void ShowError(const std::string& text, const std::string& caption) {
    (void)text, (void)caption;
  }
  // The main frame's status string m_pStatusText becomes `text`, then
  // UM_STATUS_TEXT is posted to the main frame.
  virtual void SetStatusText(const std::string& text) { (void)text; }
  // Stops real-time reading before an opened file replaces the table: the
  // main frame kills TIMER_POLL and clears m_bRealTime.
  virtual void StopRealTimeReading() {}

  // The form view's tab control (tab 0 the table, tab 1 the graph).
  virtual int TabCount() { return 0; }
  virtual void DeleteTab(int index) { (void)index; }
  virtual void InsertTab(int index, const std::string& caption) { (void)index, (void)caption; }
  virtual void SelectTab(int index) { (void)index; }

  // The graph page: its bookkeeping (nullptr when there is no graph page),
  // UM_GRAPH_CLEAR and UM_GRAPH_UPDATE (both posted). The update that follows
  // an opened file carries no value: the graph page draws m_anFileValues
  // because m_bFileOpened is set.
  virtual GraphPageState* GraphState() { return nullptr; }
  virtual void PostGraphClear() {}
  virtual void PostGraphUpdate() {}
};

// How a path-based file operation ended.
struct FileOutcome {
  enum class Status {
    Done,     // written, or read and loaded (an unknown extension loads nothing)
    Nothing,  // the shown data has no file type: nothing written
    Failed,   // nothing written or loaded; `message` says why
  };
  Status status = Status::Done;
  std::string path;     // the path used (with the extension a save appended)
  std::string message;  // UTF-8, for a person; empty unless Failed
};

class TablePage {
 public:
  TablePage(ITablePageHost& host, FrameTexts texts, std::string languageValue);

  // Deletes all rows, deletes the first column ten times, inserts the
  // layout's columns. The description column's width applies to Measurement.
  void ApplyLayout(Layout layout, int descriptionWidth = 200);
  void DeleteAllRows();

  // UM_RECORD_READY: shows `record` by g_nDataKind.
  void OnRecordReady(const std::string& record);

  // UM_SAVE_DATA: asks for a path, then writes the file of the shown data's
  // type; the status note shows the path (empty after a cancel).
  void OnSaveData();
  // UM_OPEN_FILE: asks for a path and opens it as OpenPath does; a file that
  // cannot be read is reported in an error box and changes nothing.
  void OnOpenFile();

  // The same without dialogs or boxes (the command-line companion). Save
  // appends the type's extension when the path holds none, and replaces an
  // existing file without asking. Open loads the file by its extension and
  // leaves the table as it was when the file cannot be read.
  FileOutcome SaveToPath(const std::string& path);
  FileOutcome OpenPath(const std::string& path);

  const TableModel& Model() const { return m_list; }
  TableModel& Model() { return m_list; }

  std::string m_strRecord;         // the record of the latest UM_RECORD_READY
  std::string m_strFilePath;       // the data file last opened
  std::string m_strSetOk;          // "设置成功" / "Set up successful" (UTF-8)
  std::string m_strPromptCaption;  // "信息提示" / "Massage prompt" (UTF-8)
  std::string m_strLanguage;       // config.ini's language value
  // The table shows a .ref or .hif file opened from disk; the graph page reads
  // and clears it.
  bool m_bFileOpened = false;

 private:
  void InsertLayoutColumns(Layout layout, int descriptionWidth);
  void ShowMeasurementRecord(const std::string& record, bool history);
  void ShowParameterRecord(const std::string& record);
  void ShowSettingReply(const std::string& record, int kind);
  void SuccessNotice();
  void ClosingStep();
  void LoadContent(datafile::FileType type, std::string_view content);

  ITablePageHost& m_host;
  FrameTexts m_texts;
  TableModel m_list;
};
