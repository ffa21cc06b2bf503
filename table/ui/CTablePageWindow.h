#pragma once
// The table page window: one report-style list showing the rows of a
// TablePage it is handed (the station owns the rows), kept in view as records
// arrive.
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "table/ColumnFit.h"
#include "table/TablePage.h"

class CMeasureList;
class TableModelAdapter;

class CTablePageWindow : public QWidget {
  Q_OBJECT

 public:
  // The window over `page`, which outlives it; the window itself is made by
  // Create (the view's page timer).
  CTablePageWindow(TablePage& page, QWidget* parent);
  ~CTablePageWindow() override;

  // Window creation and initialisation: the list with grid lines and
  // full-row single selection, the columns of the current layout.
  void Create();
  bool IsCreated() const { return m_list != nullptr; }

  TablePage& Page() { return m_page; }
  CMeasureList* List() const { return m_list; }

  // Whether the table shows system parameters now (the list edits nothing then).
  void SetParameterViewQuery(std::function<bool()> query);

  // A panel shown above the list (the field readout); placed when the window
  // is created, or at once if it already is.
  void SetTopPanel(QWidget* panel);

  // The closing step: the row is made wholly visible, when the list was
  // scrolled to its end; an operator looking at older rows keeps them in view.
  void ScrollToRow(int row);

  // A file-dialog filter of description|pattern pairs, each ending with "|",
  // in the toolkit's form: "Data (*.ref);;..." (a description that already
  // names its pattern in brackets stays as it is).
  static QString DialogFilter(const std::string& filter);

 private:
  void ApplyColumnWidths();
  void ScrollToPendingRow();
  // Widens the columns whose new cells need it.
  void FitRows(int first, int last);
  void FitCells(const QModelIndex& topLeft, const QModelIndex& bottomRight);
  void ResizeColumn(int column);

  TablePage& m_page;
  CMeasureList* m_list = nullptr;
  std::function<bool()> m_parameterView;
  TableModelAdapter* m_adapter = nullptr;
  QWidget* m_topPanel = nullptr;
  // The closing step's scroll, made once per turn of the event loop.
  int m_nScrollRow = -1;
  bool m_bScrollPending = false;
  bool m_bFollow = true;  // the operator left the list at its end
  std::unique_ptr<columnfit::ColumnFit> m_fit;
};
