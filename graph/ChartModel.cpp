#include "graph/ChartModel.h"

void ChartModel::SetRowCount(int rows) {
  const size_t wanted = rows > 0 ? static_cast<size_t>(rows) : 0;
  if (wanted == m_rows.size()) return;
  m_rows.resize(wanted);
  Changed();
}

void ChartModel::SetCategoryTitle(std::string title) {
  if (title == m_strCategoryTitle) return;
  m_strCategoryTitle = std::move(title);
  Changed();
}

void ChartModel::SetCurrentRow(int row) { m_nCurrentRow = row; }

ChartModel::Row* ChartModel::Current() {
  if (m_nCurrentRow < 1 || m_nCurrentRow > RowCount()) return nullptr;
  return &m_rows[static_cast<size_t>(m_nCurrentRow - 1)];
}

void ChartModel::SetRowLabel(std::string label) {
  Row* row = Current();
  if (!row || row->label == label) return;
  row->label = std::move(label);
  Changed();
}

void ChartModel::SetPointEmpty() {
  Row* row = Current();
  if (!row || !row->value) return;
  row->value.reset();
  Changed();
}

void ChartModel::SetData(int row, int column, double value, bool null) {
  if (null || column != 1 || row < 1 || row > RowCount()) return;
  std::optional<double>& slot = m_rows[static_cast<size_t>(row - 1)].value;
  if (slot == value) return;
  slot = value;
  Changed();
}

