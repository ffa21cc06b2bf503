#pragma once
// Shared pieces of the fuzz targets: a table page in either language and a
// table of arbitrary cells taken from the input.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "common/FrameTexts.h"
#include "common/Language.h"
#include "table/TablePage.h"
#include "table/TableModel.h"

namespace fuzz {

inline TablePage MakePage(bool chinese) {
  const std::string language = chinese ? "0" : "1";
  return TablePage(FrameTexts::For(lang::Resolve(language)), language);
}

// Columns and rows of arbitrary GBK bytes (titles are UTF-8 for people, but
// the writers must survive any bytes there too). Sizes stay small so that
// an input spends its time on the cell texts, not on building the table.
inline void FillTable(FuzzedDataProvider& in, TableModel& table) {
  const int columns = in.ConsumeIntegralInRange(0, 12);
  for (int c = 0; c < columns; ++c) {
    table.InsertColumn(c, in.ConsumeRandomLengthString(64), in.ConsumeIntegralInRange(0, 400));
  }
  while (in.remaining_bytes() > 0 && table.RowCount() < 2000) {
    const int row = table.InsertRow(table.RowCount(), in.ConsumeRandomLengthString(256));
    for (int c = 1; c < columns && in.remaining_bytes() > 0; ++c) {
      table.SetCell(row, c, in.ConsumeRandomLengthString(256));
    }
  }
}

}  // namespace fuzz
