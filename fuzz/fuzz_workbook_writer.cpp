// The workbook built by the program's own steps with arbitrary cells, sheet
// names and sheet changes, then its bytes; and the table export's workbook of
// a table of arbitrary cells.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "fuzz/FuzzTable.h"
#include "table/XlsWorkbook.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  xls::Workbook book;
  while (in.remaining_bytes() > 0) {
    try {
      switch (in.ConsumeIntegralInRange(0, 9)) {
        case 0:
          book.AddSheet(in.ConsumeIntegralInRange(0, book.SheetCount() + 1));
          break;
        case 1:
          book.DeleteSheet(in.ConsumeIntegralInRange(1, book.SheetCount()));
          break;
        case 2:
          book.Sheet(in.ConsumeIntegralInRange(1, book.SheetCount()))
              .SetName(in.ConsumeRandomLengthString(40));
          break;
        case 3:
          book.Sheet(in.ConsumeIntegralInRange(1, book.SheetCount()))
              .SetColumnWidth(in.ConsumeFloatingPoint<double>());
          break;
        default: {
          xls::Worksheet& sheet = book.Sheet(in.ConsumeIntegralInRange(1, book.SheetCount()));
          // Mostly near the top left, sometimes anywhere (the limits throw).
          const bool anywhere = in.ConsumeIntegralInRange(0, 15) == 0;
          const int row = anywhere ? in.ConsumeIntegral<int>() : in.ConsumeIntegralInRange(1, 40);
          const int col = anywhere ? in.ConsumeIntegral<int>() : in.ConsumeIntegralInRange(1, 12);
          sheet.PutCell(row, col, in.ConsumeRandomLengthString(300));
          break;
        }
      }
    } catch (const xls::ExportError&) {
      // What the spreadsheet program raises; the workbook stays usable.
    }
  }
  const std::string bytes = book.Bytes();
  // A compound document starts with its signature and is whole sectors.
  if (bytes.size() < 512 || bytes.size() % 512 != 0 ||
      bytes.compare(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") != 0) {
    __builtin_trap();
  }
  return 0;
}
