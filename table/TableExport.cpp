#include "table/TableExport.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <new>

#include "common/Gbk.h"
#include "table/CsvExport.h"
#include "common/FileAccess.h"
#include "table/XlsWorkbook.h"

namespace tableexport {

namespace {

constexpr std::string_view kCsvExtension = ".csv";

Outcome Failed(std::string reason) {
  Outcome o;
  o.status = Outcome::Status::Failed;
  o.reason = std::move(reason);
  return o;
}

// One sheet's share of the table: titles in row 1, rows [first, end) below.
void FillSheet(xls::Worksheet& sheet, const TableModel& table, int first, int end) {
  const int n = table.ColumnCount();
  sheet.ReserveCells(static_cast<size_t>(n) * static_cast<size_t>(end - first + 1));
  for (int i = 0; i < n; ++i) sheet.PutCell(1, i + 1, gbk::FromUtf8(table.Column(i).title));
  for (int j = first; j < end; ++j) {
    for (int k = 0; k < n; ++k) sheet.PutCell(j - first + 2, k + 1, table.Cell(j, k));
  }
  sheet.SetColumnWidth(kColumnWidth);
  sheet.SetHorizontalAlignment(xls::HAlign::Left);
  sheet.SetVerticalAlignment(xls::VAlign::Top);
}

}  // namespace

Target TargetForFilter(int filterIndex) { return filterIndex == 0 ? Target::Workbook : Target::Csv; }

std::string CsvPath(const std::string& chosen) {
  const bool named = chosen.size() >= kCsvExtension.size() &&
                     chosen.compare(chosen.size() - kCsvExtension.size(), kCsvExtension.size(),
                                    kCsvExtension) == 0;
  return named ? chosen : chosen + std::string(kCsvExtension);
}

std::string WorkbookPath(const std::string& chosen) {
  const size_t name = chosen.find_last_of('/');
  const size_t dot = chosen.find_last_of('.');
  const bool extension = dot != std::string::npos && (name == std::string::npos || dot > name);
  return extension ? chosen : chosen + ".xls";
}

Outcome ExportCsv(const TableModel& table, const std::string& path) {
  std::string reason;
  try {
    reason = fileaccess::WriteFileReplacing(path, csvexport::Text(table), std::numeric_limits<size_t>::max());
  } catch (const std::bad_alloc&) {
    reason = "out of memory";
  }
  if (!reason.empty()) return Failed(std::move(reason));
  Outcome o;
  o.path = path;
  return o;
}

Outcome ExportWorkbook(const TableModel& table, const std::string& path) {
  std::unique_ptr<xls::Workbook> book;
  try {
    book = std::make_unique<xls::Workbook>();
  } catch (const std::exception&) {
    Outcome o;
    o.status = Outcome::Status::CreateFailed;
    return o;
  }
  try {
    // A new sheet before the first, the old one deleted: the export sheet.
    book->AddSheet(1);
    book->DeleteSheet(2);
    xls::Worksheet* sheet = &book->Sheet(1);
    sheet->SetName(kSheetName);
    const int rows = table.RowCount();
    size_t textBytes = 0;
    for (int j = 0; j < rows; ++j) {
      for (int k = 0; k < table.ColumnCount(); ++k) textBytes += table.Cell(j, k).size();
    }
    book->ReserveText(textBytes, static_cast<size_t>(rows) * static_cast<size_t>(table.ColumnCount()));
    FillSheet(*sheet, table, 0, std::min(rows, kRowsPerSheet));
    for (int first = kRowsPerSheet, number = 2; first < rows; first += kRowsPerSheet, ++number) {
      sheet = &book->AddSheet(0);
      sheet->SetName(std::string(kSheetName) + " (" + std::to_string(number) + ")");
      FillSheet(*sheet, table, first, std::min(rows, first + kRowsPerSheet));
    }
    std::string reason = book->SaveAs(path);
    if (!reason.empty()) return Failed(std::move(reason));
  } catch (const std::exception& e) {
    return Failed(e.what());
  }
  Outcome o;
  o.path = path;
  return o;
}

}  // namespace tableexport
