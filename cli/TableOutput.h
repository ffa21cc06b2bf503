#pragma once
// A table on standard output: one header line with the column titles, then one
// line per row, top to bottom; cells separated by one TAB and printed as the
// table holds them (blanks kept), converted from GBK to UTF-8. Meter text may
// hold a TAB, CR or LF; inside a cell they are printed as \t, \r and \n, and a
// backslash as \\, so that one line is always one row.
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "table/TableModel.h"

namespace cli {

// A stream that keeps its first write failure: a table cut short by a full disk
// must not end as a success. After a failure nothing more is written. A reader
// that went away (EPIPE) asks the run to stop as SIGPIPE would.
class TextOutput {
 public:
  explicit TextOutput(std::FILE* stream) : m_stream(stream) {}

  void Write(std::string_view text);
  void Flush();
  bool Failed() const { return m_nErrno != 0; }
  int Errno() const { return m_nErrno; }

 private:
  void Fail(int error);

  std::FILE* m_stream;
  int m_nErrno = 0;
};

// Standard output for the whole run.
TextOutput& StandardOutput();

// `cell` (UTF-8) with TAB, CR, LF and backslash written as \t, \r, \n and \\.
std::string EscapeCell(std::string_view cell);

class TableOutput {
 public:
  TableOutput(const TableModel& table, TextOutput& out) : m_table(table), m_out(out) {}

  void PrintHeader();
  // Prints the rows from the first one not printed yet to the last.
  void PrintNewRows();
  void PrintAll() {
    PrintHeader();
    PrintNewRows();
  }
  // Columns printed after the table's own: their titles and each row's cells
  // (UTF-8), asked for as the row is printed.
  void AddColumns(std::vector<std::string> titles, std::function<std::vector<std::string>(int row)> cells) {
    m_extraTitles = std::move(titles);
    m_extraCells = std::move(cells);
  }

 private:
  void PrintRow(int row);

  const TableModel& m_table;
  TextOutput& m_out;
  int m_nPrinted = 0;
  std::string m_line;  // one row's text, its memory kept from row to row
  std::vector<std::string> m_extraTitles;
  std::function<std::vector<std::string>(int row)> m_extraCells;
};

}  // namespace cli
