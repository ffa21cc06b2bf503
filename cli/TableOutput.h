#pragma once
// A table on standard output: one header line with the column titles, then one
// line per row, top to bottom; cells separated by one TAB and printed as the
// table holds them (blanks kept), converted from GBK to UTF-8.
#include <cstdio>

#include "table/TableModel.h"

namespace cli {

class TableOutput {
 public:
  TableOutput(const TableModel& table, std::FILE* out) : m_table(table), m_out(out) {}

  void PrintHeader();
  // Prints the rows from the first one not printed yet to the last.
  void PrintNewRows();
  void PrintAll() {
    PrintHeader();
    PrintNewRows();
  }

 private:
  void PrintRow(int row);

  const TableModel& m_table;
  std::FILE* m_out;
  int m_nPrinted = 0;
};

}  // namespace cli
