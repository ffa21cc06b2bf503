#pragma once
// The rows and columns the table page shows, with the semantics of a
// report-style list control: columns carry a title (UTF-8, for people), a
// width in pixels and an alignment (always left here); rows carry one GBK cell
// text per column. Cell texts are stored as the meter or the data file gave
// them; conversion to UTF-8 is the window's job.
//
// Rows are kept compactly (one allocation per row) because a history read or
// an opened file may hold 100,000 of them.
//
// Observers (the Qt adapter of the table page window, the command-line
// companion's live printer) hear about every change. All calls are made on the
// UI thread.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct TableColumn {
  std::string title;  // UTF-8
  int width = 0;      // pixels
  // Every column of every layout is left aligned; the field exists so that the
  // window does not have to assume it.
  enum class Align { Left, Right, Center } align = Align::Left;
};

class ITableObserver {
 public:
  virtual ~ITableObserver() = default;
  // The set of columns changed (a column was inserted or deleted). Cells of
  // existing rows moved with their columns.
  virtual void OnColumnsReset() {}
  // A row was inserted at `row`; rows from there on moved down by one.
  virtual void OnRowInserted(int row) { (void)row; }
  // Every row was deleted (columns stay).
  virtual void OnRowsCleared() {}
  // The text of one cell changed.
  virtual void OnCellChanged(int row, int col) { (void)row, (void)col; }
  // A bulk update (see TableModel::BulkUpdate) ended: columns, rows and cells
  // may have changed in any way without single notifications; re-read
  // everything. `columnsReset` says whether columns were inserted or deleted
  // during it (a layout applied), which is when a view takes the columns'
  // widths again.
  virtual void OnModelReset(bool columnsReset) { (void)columnsReset; }
};

class TableModel {
 public:
  TableModel() = default;
  TableModel(const TableModel&) = delete;
  TableModel& operator=(const TableModel&) = delete;

  // Columns.
  int ColumnCount() const { return static_cast<int>(m_columns.size()); }
  const TableColumn& Column(int col) const { return m_columns[static_cast<size_t>(col)]; }
  const std::vector<TableColumn>& Columns() const { return m_columns; }
  // Inserts a column at `index` (clipped to 0..ColumnCount()); returns the
  // index used. Existing rows get an empty cell there.
  int InsertColumn(int index, std::string titleUtf8, int width,
                   TableColumn::Align align = TableColumn::Align::Left);
  // Deletes a column; a column that does not exist is a no-op (false).
  bool DeleteColumn(int index);

  // Rows.
  int RowCount() const { return static_cast<int>(m_rows.size()); }
  // Inserts a row at `index`, clipped to 0..RowCount(), whose first cell is
  // `firstCell` and the others empty; returns the index used.
  int InsertRow(int index, std::string_view firstCell);
  // Inserts a row whose first cells are `cells` (those beyond the columns
  // dropped, the rest empty), in one step: for the file loaders, which would
  // otherwise rebuild each row once per cell.
  int InsertRow(int index, std::span<const std::string_view> cells);
  // Sets a cell; false (and no change) when the row or column does not exist.
  bool SetCell(int row, int col, std::string_view text);
  // The cell text (GBK); empty for a cell that does not exist. The view stays
  // valid until the row is changed or deleted.
  std::string_view Cell(int row, int col) const;
  void DeleteAllRows();

  // Observers are not owned; remove one before it is destroyed.
  void AddObserver(ITableObserver* observer);
  void RemoveObserver(ITableObserver* observer);

  // While a BulkUpdate object lives, column, row and cell changes are not
  // announced one by one; its end sends one OnModelReset. Used by the file loaders,
  // which build tens of thousands of rows at once.
  class BulkUpdate {
   public:
    explicit BulkUpdate(TableModel& model) : m_model(model) { ++m_model.m_nBulkDepth; }
    ~BulkUpdate();
    BulkUpdate(const BulkUpdate&) = delete;
    BulkUpdate& operator=(const BulkUpdate&) = delete;

   private:
    TableModel& m_model;
  };

  // Bytes held by the rows (for the memory figures of the benchmarks).
  size_t ApproximateBytes() const;

 private:
  // One row in one allocation: a uint32 cell count n, n uint32 end offsets of
  // the cell texts, then the cell texts back to back.
  class Row {
   public:
    Row() = default;
    Row(std::span<const std::string_view> cells, int cellCount);
    int CellCount() const;
    std::string_view Cell(int col) const;
    void SetCell(int col, std::string_view text);
    void InsertCell(int col);
    void EraseCell(int col);
    size_t Bytes() const { return m_packed.capacity(); }

   private:
    std::string m_packed;
  };

  bool Announcing() const { return m_nBulkDepth == 0; }
  void NotifyColumnsReset();
  template <typename F>
  void Notify(F&& f) {
    if (!Announcing()) {
      m_bBulkChanged = true;
      return;
    }
    for (ITableObserver* o : m_observers) f(*o);
  }

  std::vector<TableColumn> m_columns;
  std::vector<Row> m_rows;
  std::vector<ITableObserver*> m_observers;
  int m_nBulkDepth = 0;
  bool m_bBulkChanged = false;
  bool m_bBulkColumnsReset = false;
};
