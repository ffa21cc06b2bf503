#include "table/TableModel.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kWord = sizeof(uint32_t);

uint32_t ReadWord(const std::string& s, size_t at) {
  uint32_t v;
  std::memcpy(&v, s.data() + at, kWord);
  return v;
}

void WriteWord(std::string& s, size_t at, uint32_t v) { std::memcpy(s.data() + at, &v, kWord); }

std::string_view WordBytes(const uint32_t& v) {
  return {reinterpret_cast<const char*>(&v), kWord};
}

}  // namespace

// ---- Row -------------------------------------------------------------------

TableModel::Row::Row(std::span<const std::string_view> cells, int cellCount) {
  const uint32_t n = static_cast<uint32_t>(std::max(cellCount, 1));
  const size_t given = std::min<size_t>(cells.size(), n);
  size_t bytes = 0;
  for (size_t i = 0; i < given; ++i) bytes += cells[i].size();
  m_packed.reserve(kWord * (1 + n) + bytes);
  m_packed.append(WordBytes(n));
  uint32_t end = 0;
  for (uint32_t i = 0; i < n; ++i) {
    if (i < given) end += static_cast<uint32_t>(cells[i].size());
    m_packed.append(WordBytes(end));
  }
  for (size_t i = 0; i < given; ++i) m_packed.append(cells[i]);
}

int TableModel::Row::CellCount() const {
  return m_packed.empty() ? 0 : static_cast<int>(ReadWord(m_packed, 0));
}

std::string_view TableModel::Row::Cell(int col) const {
  const int n = CellCount();
  if (col < 0 || col >= n) return {};
  const size_t text = kWord * (1 + static_cast<size_t>(n));
  const size_t begin = col == 0 ? 0 : ReadWord(m_packed, kWord * static_cast<size_t>(col));
  const size_t end = ReadWord(m_packed, kWord * (1 + static_cast<size_t>(col)));
  return std::string_view(m_packed).substr(text + begin, end - begin);
}

void TableModel::Row::SetCell(int col, std::string_view value) {
  const int n = CellCount();
  const size_t text = kWord * (1 + static_cast<size_t>(n));
  const size_t begin = col == 0 ? 0 : ReadWord(m_packed, kWord * static_cast<size_t>(col));
  const size_t end = ReadWord(m_packed, kWord * (1 + static_cast<size_t>(col)));
  m_packed.replace(text + begin, end - begin, value);
  const uint32_t newLength = static_cast<uint32_t>(value.size());
  const uint32_t oldLength = static_cast<uint32_t>(end - begin);
  for (int j = col; j < n; ++j) {
    const size_t at = kWord * (1 + static_cast<size_t>(j));
    WriteWord(m_packed, at, ReadWord(m_packed, at) - oldLength + newLength);
  }
}

void TableModel::Row::InsertCell(int col) {
  const uint32_t n = static_cast<uint32_t>(CellCount());
  const uint32_t start = col == 0 ? 0 : ReadWord(m_packed, kWord * static_cast<size_t>(col));
  m_packed.insert(kWord * (1 + static_cast<size_t>(col)), WordBytes(start));
  WriteWord(m_packed, 0, n + 1);
}

void TableModel::Row::EraseCell(int col) {
  const int n = CellCount();
  const size_t text = kWord * (1 + static_cast<size_t>(n));
  const size_t begin = col == 0 ? 0 : ReadWord(m_packed, kWord * static_cast<size_t>(col));
  const size_t end = ReadWord(m_packed, kWord * (1 + static_cast<size_t>(col)));
  const uint32_t length = static_cast<uint32_t>(end - begin);
  m_packed.erase(text + begin, length);
  for (int j = col + 1; j < n; ++j) {
    const size_t at = kWord * (1 + static_cast<size_t>(j));
    WriteWord(m_packed, at, ReadWord(m_packed, at) - length);
  }
  m_packed.erase(kWord * (1 + static_cast<size_t>(col)), kWord);
  WriteWord(m_packed, 0, static_cast<uint32_t>(n - 1));
}

// ---- TableModel ------------------------------------------------------------

void TableModel::NotifyColumnsReset() {
  // A bulk update keeps the fact for its end: a window that only re-read the
  // rows there would go on with the previous layout's column widths.
  if (!Announcing()) m_bBulkColumnsReset = true;
  Notify([](ITableObserver& o) { o.OnColumnsReset(); });
}

int TableModel::InsertColumn(int index, std::string titleUtf8, int width, TableColumn::Align align) {
  index = std::clamp(index, 0, ColumnCount());
  m_columns.insert(m_columns.begin() + index, TableColumn{std::move(titleUtf8), width, align});
  // A row always holds at least one cell (the item text), so the first column
  // inserted into a table whose rows already exist takes those texts over.
  if (ColumnCount() > 1) {
    for (Row& row : m_rows) {
      if (index <= row.CellCount()) row.InsertCell(index);
    }
  }
  NotifyColumnsReset();
  return index;
}

bool TableModel::DeleteColumn(int index) {
  if (index < 0 || index >= ColumnCount()) return false;
  m_columns.erase(m_columns.begin() + index);
  for (Row& row : m_rows) {
    if (index < row.CellCount() && row.CellCount() > 1) row.EraseCell(index);
    else if (index == 0) row.SetCell(0, {});
  }
  NotifyColumnsReset();
  return true;
}

int TableModel::InsertRow(int index, std::string_view firstCell) {
  return InsertRow(index, std::span<const std::string_view>(&firstCell, 1));
}

int TableModel::InsertRow(int index, std::span<const std::string_view> cells) {
  index = std::clamp(index, 0, RowCount());
  m_rows.insert(m_rows.begin() + index, Row(cells, ColumnCount()));
  Notify([index](ITableObserver& o) { o.OnRowInserted(index); });
  return index;
}

bool TableModel::SetCell(int row, int col, std::string_view text) {
  if (row < 0 || row >= RowCount() || col < 0 || col >= ColumnCount()) return false;
  Row& r = m_rows[static_cast<size_t>(row)];
  if (col >= r.CellCount()) return false;
  r.SetCell(col, text);
  Notify([row, col](ITableObserver& o) { o.OnCellChanged(row, col); });
  return true;
}

std::string_view TableModel::Cell(int row, int col) const {
  if (row < 0 || row >= RowCount()) return {};
  return m_rows[static_cast<size_t>(row)].Cell(col);
}

void TableModel::DeleteAllRows() {
  std::vector<Row>().swap(m_rows);  // give the memory of a large table back
  Notify([](ITableObserver& o) { o.OnRowsCleared(); });
}

void TableModel::AddObserver(ITableObserver* observer) {
  if (std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end()) {
    m_observers.push_back(observer);
  }
}

void TableModel::RemoveObserver(ITableObserver* observer) {
  m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer),
                    m_observers.end());
}

TableModel::BulkUpdate::~BulkUpdate() {
  if (--m_model.m_nBulkDepth == 0 && m_model.m_bBulkChanged) {
    const bool columnsReset = m_model.m_bBulkColumnsReset;
    m_model.m_bBulkChanged = false;
    m_model.m_bBulkColumnsReset = false;
    for (ITableObserver* o : m_model.m_observers) o->OnModelReset(columnsReset);
  }
}

size_t TableModel::ApproximateBytes() const {
  size_t bytes = m_rows.capacity() * sizeof(Row);
  for (const Row& row : m_rows) {
    // Texts beyond the small-string buffer live in a heap block of their own.
    if (row.Bytes() > 15) bytes += row.Bytes() + 16;
  }
  return bytes;
}
