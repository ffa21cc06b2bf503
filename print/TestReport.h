#pragma once
// The test report: a title, a rule, and the rows of the table page under
// their column titles, composed from the print engine's operations.
#include <string>
#include <vector>

#include "print/ReportDevice.h"
#include "print/ReportPrinter.h"
#include "table/TableModel.h"

namespace report {

enum class Outcome {
  Printed,
  Cancelled,   // the operator cancelled the printer choice, or it cannot be used
  NotPrinted,  // the shown data is not printed (system parameters)
  Failed,      // the document or a page could not be started or finished
};

// The message when a report could not be printed (UTF-8).
std::string FailureText(bool chinese);

// The table's column titles as one printed row: each title in GBK, at most 255
// bytes, never cut within a character.
std::vector<std::string> TitleCells(const TableModel& table);
// One table row as printed, a text per column: line breaks made blanks (unless
// the only one opens the cell), white space trimmed at both ends; "Ethernet"
// shortened to "Eth" unless it only opens the row.
std::vector<std::string> RowCells(const TableModel& table, int row);

}  // namespace report

class CTestReport {
 public:
  // The printed table's column widths in pixels, and the gap between columns.
  static constexpr int kColumnWidths[6] = {400, 400, 480, 800, 800, 1000};
  static constexpr int kLaterColumnWidth = 800;
  static constexpr int kColumnGap = 100;

  explicit CTestReport(report::IReportDevice& device) : m_printer(device) {}

  // Lets the operator choose the printer, then prints `titleGbk` and the
  // table. A failure leaves nothing half printed: the document is dropped.
  report::Outcome Print(const TableModel& table, const std::string& titleGbk);

 private:
  void PrintTable(const TableModel& table);

  CReportPrinter m_printer;
  int m_nSmall = -1;
  int m_nMedium = -1;
  int m_nLarge = -1;
};
