#pragma once
// Shows a TableModel in a QTableView. The model announces its changes after
// they happened; the adapter keeps its own row and column counts, so that the
// view is told "about to change" and "changed" in the order it needs while the
// model already holds the new state. Cells are GBK and become UTF-8 only when
// the view asks for the visible ones.
#include <QAbstractTableModel>
#include <functional>
#include <string_view>

#include "table/TableModel.h"

class TableModelAdapter : public QAbstractTableModel, private ITableObserver {
  Q_OBJECT

 public:
  explicit TableModelAdapter(TableModel& model, QObject* parent = nullptr);
  ~TableModelAdapter() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  // Cells take an edit (the list decides which); the text comes as UTF-8 and
  // is stored as GBK. False when a character GBK cannot hold is in it.
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  // Where an edit is stored instead of the model itself (the page, which
  // tells who follows the operator's edits).
  void SetEditor(std::function<bool(int row, int col, std::string_view gbk)> editor) {
    m_editor = std::move(editor);
  }

 signals:
  // The columns were replaced: the view applies the model's widths.
  void ColumnsReset();

 private:
  void OnColumnsReset() override;
  void OnRowInserted(int row) override;
  void OnRowsCleared() override;
  void OnCellChanged(int row, int col) override;
  void OnModelReset(bool columnsReset) override;
  void ResetAll();

  TableModel& m_model;
  std::function<bool(int, int, std::string_view)> m_editor;
  int m_nRows = 0;
  int m_nColumns = 0;
};
