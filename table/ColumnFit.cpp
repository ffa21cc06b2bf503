#include "table/ColumnFit.h"

#include <algorithm>

#include "common/Gbk.h"

namespace columnfit {

namespace {

// Descriptions typed by the operator come in endless shapes; the memory of
// shapes starts again beyond this many.
constexpr size_t kMaxShapes = 4096;

}  // namespace

std::string_view Drawn(std::string_view cell) {
  const size_t end = cell.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : cell.substr(0, end + 1);
}

void ColumnFit::Reset(const TableModel& model) {
  m_widths.assign(static_cast<size_t>(model.ColumnCount()), 0);
  for (int c = 0; c < model.ColumnCount(); ++c) {
    const TableColumn& column = model.Column(c);
    m_widths[static_cast<size_t>(c)] =
        std::max(column.width, column.title.empty() ? 0 : m_titleWidth(column.title) + kTitlePadding);
  }
  for (int r = 0; r < model.RowCount(); ++r) AddRow(model, r);
}

bool ColumnFit::AddRow(const TableModel& model, int row) {
  bool widened = false;
  for (int c = 0; c < Columns(); ++c) widened = AddCell(model, row, c) || widened;
  return widened;
}

bool ColumnFit::AddCell(const TableModel& model, int row, int column) {
  if (column < 0 || column >= Columns() || column >= model.ColumnCount()) return false;
  if (row < 0 || row >= model.RowCount()) return false;
  const std::string_view drawn = Drawn(model.Cell(row, column));
  if (drawn.empty()) return false;
  const int needed = CellWidth(drawn) + kCellPadding;
  int& width = m_widths[static_cast<size_t>(column)];
  if (needed <= width) return false;
  width = needed;
  return true;
}

int ColumnFit::CellWidth(std::string_view drawn) {
  // GBK's second bytes are never ASCII digits, so a digit byte is a digit.
  std::string shape(drawn);
  for (char& c : shape) {
    if (c >= '0' && c <= '9') c = '0';
  }
  if (const auto it = m_byShape.find(shape); it != m_byShape.end()) return it->second;
  if (m_byShape.size() >= kMaxShapes) m_byShape.clear();
  const int width = m_cellWidth(gbk::ToUtf8(shape));
  m_byShape.emplace(std::move(shape), width);
  return width;
}

int ColumnFit::Width(int column) const {
  return column >= 0 && column < Columns() ? m_widths[static_cast<size_t>(column)] : 0;
}

}  // namespace columnfit
