#include "table/CsvExport.h"

#include "common/Gbk.h"
#include "common/SpreadsheetText.h"

namespace csvexport {

namespace {

// A spreadsheet opening the file must show a text such as "=1+1" as it is,
// not compute it.
void Append(std::string& out, std::string_view gbk) {
  sheettext::AppendCsvValue(out, gbk);
  out += ',';
}

}  // namespace

std::string Text(const TableModel& table) {
  const int columns = table.ColumnCount();
  std::string out;
  size_t bytes = 0;
  for (int r = 0; r < table.RowCount(); ++r) {
    for (int c = 0; c < columns; ++c) bytes += table.Cell(r, c).size() + 1;
    bytes += 2;
  }
  out.reserve(bytes + 256);
  for (int c = 0; c < columns; ++c) Append(out, gbk::FromUtf8(table.Column(c).title));
  out += "\r\n";
  for (int r = 0; r < table.RowCount(); ++r) {
    for (int c = 0; c < columns; ++c) Append(out, table.Cell(r, c));
    out += "\r\n";
  }
  return out;
}

}  // namespace csvexport
