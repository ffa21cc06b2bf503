#include "print/TestReport.h"

#include <cctype>

#include "common/FrameTexts.h"
#include "common/Gbk.h"
#include "common/TextRules.h"

namespace report {

namespace {

constexpr const char* kFace = "宋体";
// A column title is read into a buffer of 256 bytes.
constexpr size_t kTitleBytes = 255;

// True when `key` occurs in `s` at a character start other than position 0.
bool OccursAfterStart(std::string_view s, std::string_view key) {
  const int first = text::Pos(s, key);
  if (first > 0) return true;
  return first == 0 && text::Pos(s.substr(key.size()), key) >= 0;
}

void ReplaceAll(std::string& s, std::string_view key, std::string_view with) {
  std::string out;
  std::string_view rest = s;
  for (int p = text::Pos(rest, key); p >= 0; p = text::Pos(rest, key)) {
    out.append(rest.substr(0, static_cast<size_t>(p)));
    out.append(with);
    rest.remove_prefix(static_cast<size_t>(p) + key.size());
  }
  out.append(rest);
  s = std::move(out);
}

bool IsWhite(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsWhite(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsWhite(s.back())) s.remove_suffix(1);
  return s;
}

// The first `n` bytes of a GBK text, never half a character.
std::string_view FirstBytes(std::string_view s, size_t n) {
  size_t end = 0;
  while (end < s.size()) {
    const size_t len = text::CharLength(s, end);
    if (end + len > n) break;
    end += len;
  }
  return s.substr(0, end);
}

}  // namespace

std::string FailureText(bool chinese) {
  return chinese ? "报告打印失败。" : "The report could not be printed.";
}

std::vector<std::string> TitleCells(const TableModel& table) {
  std::vector<std::string> cells;
  for (const TableColumn& column : table.Columns()) {
    cells.emplace_back(FirstBytes(gbk::FromUtf8(column.title), kTitleBytes));
  }
  return cells;
}

std::vector<std::string> RowCells(const TableModel& table, int row) {
  std::vector<std::string> cells;
  bool shorten = false;  // "Ethernet" occurs somewhere but at the row's very start
  for (int col = 0; col < table.ColumnCount(); ++col) {
    std::string cell(table.Cell(row, col));
    if (OccursAfterStart(cell, "\r\n")) ReplaceAll(cell, "\r\n", " ");
    cell = std::string(Trim(cell));
    shorten = shorten || (col == 0 ? OccursAfterStart(cell, "Ethernet") : text::Pos(cell, "Ethernet") >= 0);
    cells.push_back(std::move(cell));
  }
  if (shorten) {
    for (std::string& cell : cells) ReplaceAll(cell, "Ethernet", "Eth");
  }
  return cells;
}

}  // namespace report

report::Outcome CTestReport::Print(const TableModel& table, const std::string& titleGbk) {
  if (m_printer.ChoosePrinter() < 0) return report::Outcome::Cancelled;
  m_printer.SetOrientation(1);
  m_nSmall = m_printer.AddFontSet(report::kFace, 9, 9);
  m_nMedium = m_printer.AddFontSet(report::kFace, 12, 12);
  m_nLarge = m_printer.AddFontSet(report::kFace, 16, 16);
  m_printer.SetMargins(40, 160, 200, 200);
  m_printer.SetLineSpacing(5);
  m_printer.StartDocument(kApplicationTitle);
  m_printer.SetMargins(40, 160, 200, 200);
  m_printer.SetLineSpacing(5);
  m_printer.StartPage();

  m_printer.SelectFont(m_nLarge, CReportPrinter::kBold);
  m_printer.PrintText(m_nLarge, titleGbk, true);
  m_printer.PrintText(m_nLarge, "", true);
  m_printer.DrawRule(report::PenStyle::Solid);
  m_printer.PrintText(m_nLarge, "", true);
  PrintTable(table);

  m_printer.EndPage();
  m_printer.EndDocument();
  if (!m_printer.Failed()) return report::Outcome::Printed;
  m_printer.Abort();
  return report::Outcome::Failed;
}

void CTestReport::PrintTable(const TableModel& table) {
  const int n = table.ColumnCount();
  std::vector<int> widths;
  widths.reserve(static_cast<size_t>(n));
  for (int col = 0; col < n; ++col) widths.push_back(col < 6 ? kColumnWidths[col] : kLaterColumnWidth);
  m_printer.ResetTable();
  m_printer.SetColumns(widths);
  m_printer.SetColumnGap(kColumnGap);

  // Each row goes to the engine cell by cell: a cell's own "|" or a byte that
  // is not a whole character stays inside its column.
  m_printer.SelectFont(m_nSmall, CReportPrinter::kBold);
  m_printer.PrintTableRow(m_nSmall, report::TitleCells(table));
  m_printer.SelectFont(m_nSmall, CReportPrinter::kNormal);
  for (int row = 0; row < table.RowCount() && !m_printer.Failed(); ++row) {
    const std::vector<std::string> cells = report::RowCells(table, row);
    if (!cells.empty()) m_printer.PrintTableRow(m_nSmall, cells);
  }
}
