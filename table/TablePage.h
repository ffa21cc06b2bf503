#pragma once
// The table page's behaviour without its window: the rows the operator sees,
// the column layouts, what each record from the meter turns into according to
// the shown data's kind, and the data files. CTablePageWindow (the window) shows its
// model; the meter service feeds it; the command-line companion uses the same
// object.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/DataKind.h"
#include "common/FrameTexts.h"
#include "device/Measurement.h"
#include "device/Record.h"
#include "table/DataFiles.h"
#include "table/TableModel.h"

enum class Layout { Measurement, AD, Wavelength, Parameters };

// What showing one record asks of the program around the page.
struct RecordOutcome {
  // (Whether a record answers a setting is the meter service's to decide: only
  // the setting just sent is answered, meter::Record::SettingAnswer.)
  // The meter's current wavelength (answers to the wavelength and calibration
  // settings), for the open dialog.
  std::optional<std::string> currentWavelength;
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

// What an opened file brought.
struct OpenedFile : FileOutcome {
  datafile::FileType type = datafile::FileType::None;
  int records = 0;
  // A real-time file's whole-dBm values, one per record, in file order.
  std::vector<int> graphValues;
};

class TablePage {
 public:
  TablePage(FrameTexts texts, std::string languageValue);

  // Deletes all rows, deletes the first column ten times, inserts the
  // layout's columns. The description column's width applies to Measurement.
  void ApplyLayout(Layout layout, int descriptionWidth = 200);
  void DeleteAllRows();

  // A record posted to be shown: shows the part of `record` (read once by the meter
  // model) that the data of `kind` is made of; a new row goes to index
  // `rowCount`, which counts on. A real-time or history row shows the
  // measurement's texts, exactly as the meter wrote them.
  RecordOutcome ShowReply(const meter::Record& record, DataKind kind, int& rowCount);

  // Writes the rows as the file type of `kind` to `path` (the type's
  // extension appended when the path holds none), replacing a file there.
  FileOutcome SaveToPath(const std::string& path, DataKind kind);
  // Reads the data file at `path` by its extension: the rows are replaced and
  // the type's layout applied. A file that cannot be read leaves the table as
  // it was.
  OpenedFile OpenPath(const std::string& path);
  // The question before a save replaces an existing file (UTF-8).
  std::string ReplaceQuestion(const std::string& path) const;

  const TableModel& Model() const { return m_list; }
  TableModel& Model() { return m_list; }

  // An edit by the operator: stores the cell (GBK) and, when its text
  // changed, tells the edit listener. False when the cell does not exist.
  bool EditCell(int row, int col, std::string_view gbk);
  void SetEditListener(std::function<void()> listener) { m_edited = std::move(listener); }

  // The closing step after a record: the window makes this row wholly visible.
  void SetScrollListener(std::function<void(int row)> listener) { m_scroll = std::move(listener); }

  std::string m_strRecord;         // the latest record shown
  std::string m_strFilePath;       // the data file last opened
  std::string m_strSetOk;          // "设置成功" / "Set up successful" (UTF-8)
  std::string m_strPromptCaption;  // "信息提示" / "Massage prompt" (UTF-8)
  std::string m_strLanguage;       // config.ini's language value
  // The table shows a .ref or .hif file opened from disk.
  bool m_bFileOpened = false;

 private:
  void InsertLayoutColumns(Layout layout, int descriptionWidth);
  void ShowReading(const meter::Reading& reading, int& rowCount);
  void ShowParameters(const meter::ParameterRecord& record, int rowCount);
  void ClosingStep();

  FrameTexts m_texts;
  TableModel m_list;
  std::function<void(int)> m_scroll;
  std::function<void()> m_edited;
};
