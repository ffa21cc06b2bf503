// The CSV export of a table of arbitrary cells: every value must come back
// whole when the file is split by the quoting rule it is written with (a
// value a spreadsheet would compute comes back behind its apostrophe).
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "common/Gbk.h"
#include "common/SpreadsheetText.h"
#include "fuzz/FuzzTable.h"
#include "table/CsvExport.h"

namespace {

// Reads one value written by sheettext::AppendCsvValue at `pos` (up to its ",").
std::string ReadValue(const std::string& file, size_t& pos) {
  std::string value;
  if (pos < file.size() && file[pos] == '"') {
    ++pos;
    while (pos < file.size()) {
      if (file[pos] == '"') {
        if (pos + 1 < file.size() && file[pos + 1] == '"') {
          value += '"';
          pos += 2;
          continue;
        }
        ++pos;
        break;
      }
      value += file[pos++];
    }
  } else {
    while (pos < file.size() && file[pos] != ',') value += file[pos++];
  }
  if (pos >= file.size() || file[pos] != ',') __builtin_trap();
  ++pos;
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  TableModel table;
  fuzz::FillTable(in, table);
  const std::string file = csvexport::Text(table);

  // The title line, then the rows; each line is its values and CR LF.
  size_t pos = 0;
  for (int col = 0; col < table.ColumnCount(); ++col) {
    if (ReadValue(file, pos) != sheettext::Defused(gbk::FromUtf8(table.Column(col).title))) __builtin_trap();
  }
  if (file.compare(pos, 2, "\r\n") != 0) __builtin_trap();
  pos += 2;
  for (int row = 0; row < table.RowCount(); ++row) {
    for (int col = 0; col < table.ColumnCount(); ++col) {
      if (ReadValue(file, pos) != sheettext::Defused(table.Cell(row, col))) __builtin_trap();
    }
    if (file.compare(pos, 2, "\r\n") != 0) __builtin_trap();
    pos += 2;
  }
  if (pos != file.size()) __builtin_trap();
  return 0;
}
