#pragma once
// Export of the shown table: the export dialog's filter, which
// entry writes what, and the two writers run over the table page's rows,
// titles first. The workbook is built in the program; no spreadsheet program
// is needed.
#include <string>
#include <string_view>

#include "table/TableModel.h"

namespace tableexport {

// The export dialog's entries: the first gives the workbook, the others the
// CSV file.
inline constexpr std::string_view kFilter = "Excel (*.xls)|*.xls|csv (*.csv)|*.csv| (*.*)|*.*||";

// The two failure messages, English in every language.
inline constexpr const char* kCreateFailed =
    "Create Excel service failure,Please make sure the computer is installed excel!";
inline constexpr const char* kExportFailed = "There is something wrong when the data is exported.";

// The workbook's first sheet. A table of more rows than a sheet holds below
// its title row goes on in further sheets, "TestSheet (2)" and on, each with
// the titles in row 1.
inline constexpr const char* kSheetName = "TestSheet";
inline constexpr int kRowsPerSheet = 65535;
inline constexpr double kColumnWidth = 20;

enum class Target { Workbook, Csv };

// The output for the dialog entry chosen (from 0).
Target TargetForFilter(int filterIndex);
// The CSV file's name: ".csv" appended unless the chosen name ends in it.
std::string CsvPath(const std::string& chosen);
// The workbook's name: ".xls" appended when the chosen file name has no
// extension, so other programs know what the file is.
std::string WorkbookPath(const std::string& chosen);

struct Outcome {
  enum class Status {
    Done,
    CreateFailed,  // the workbook could not be started: nothing written
    Failed,        // nothing written; `reason` says why (the system's text)
  };
  Status status = Status::Done;
  std::string path;    // the file written
  std::string reason;
};

// Writes `path` exactly (no extension added); an existing file is replaced
// as one step, and a failed write leaves no partial file.
Outcome ExportCsv(const TableModel& table, const std::string& path);
Outcome ExportWorkbook(const TableModel& table, const std::string& path);

}  // namespace tableexport
