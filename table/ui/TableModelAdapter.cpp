#include "table/ui/TableModelAdapter.h"

#include "common/Gbk.h"

TableModelAdapter::TableModelAdapter(TableModel& model, QObject* parent)
    : QAbstractTableModel(parent), m_model(model), m_nRows(model.RowCount()),
      m_nColumns(model.ColumnCount()) {
  m_model.AddObserver(this);
}

TableModelAdapter::~TableModelAdapter() { m_model.RemoveObserver(this); }

int TableModelAdapter::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : m_nRows;
}

int TableModelAdapter::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : m_nColumns;
}

QVariant TableModelAdapter::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole) {
    const std::string utf8 = gbk::ToUtf8(m_model.Cell(index.row(), index.column()));
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  }
  if (role == Qt::TextAlignmentRole && index.column() < m_model.ColumnCount()) {
    switch (m_model.Column(index.column()).align) {
      case TableColumn::Align::Right: return int(Qt::AlignRight | Qt::AlignVCenter);
      case TableColumn::Align::Center: return int(Qt::AlignHCenter | Qt::AlignVCenter);
      case TableColumn::Align::Left: break;
    }
    return int(Qt::AlignLeft | Qt::AlignVCenter);
  }
  return {};
}

QVariant TableModelAdapter::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= m_model.ColumnCount()) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  if (role == Qt::DisplayRole) return QString::fromStdString(m_model.Column(section).title);
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

Qt::ItemFlags TableModelAdapter::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool TableModelAdapter::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  const std::optional<std::string> bytes = gbk::FromUtf8Exactly(value.toString().toStdString());
  // The model tells the view of the change itself (OnCellChanged).
  if (!bytes) return false;
  return m_editor ? m_editor(index.row(), index.column(), *bytes)
                  : m_model.SetCell(index.row(), index.column(), *bytes);
}

void TableModelAdapter::ResetAll() {
  beginResetModel();
  m_nRows = m_model.RowCount();
  m_nColumns = m_model.ColumnCount();
  endResetModel();
}

void TableModelAdapter::OnColumnsReset() {
  ResetAll();
  emit ColumnsReset();
}

void TableModelAdapter::OnRowInserted(int row) {
  beginInsertRows(QModelIndex(), row, row);
  ++m_nRows;
  endInsertRows();
}

void TableModelAdapter::OnRowsCleared() { ResetAll(); }

void TableModelAdapter::OnCellChanged(int row, int col) {
  const QModelIndex at = index(row, col);
  emit dataChanged(at, at, {Qt::DisplayRole});
}

void TableModelAdapter::OnModelReset(bool columnsReset) {
  // A model reset keeps the header's sections as they were; a layout applied
  // during the bulk update (a file opened) needs its own widths put on them.
  ResetAll();
  if (columnsReset) emit ColumnsReset();
}
