#include "table/ui/CTablePageWindow.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include "common/Language.h"
#include "common/ui/QtText.h"
#include "table/ui/CMeasureList.h"
#include "table/ui/TableModelAdapter.h"

namespace {

// Rows are at least as tall as the list's 16-pixel small images.
constexpr int kMinRowHeight = 16;

}  // namespace

CTablePageWindow::CTablePageWindow(TablePage& page, QWidget* parent) : QWidget(parent), m_page(page) {
  m_page.SetScrollListener([this](int row) { ScrollToRow(row); });
  hide();
}

// The page outlives this window: the window stops listening to it, and the
// adapter, a child widget's model that would be deleted only with the
// children, leaves the table's observers now.
CTablePageWindow::~CTablePageWindow() {
  m_page.SetScrollListener(nullptr);
  delete m_adapter;
}

void CTablePageWindow::Create() {
  if (m_list) return;
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  m_list = new CMeasureList(this);
  m_adapter = new TableModelAdapter(m_page.Model(), this);
  m_list->setModel(m_adapter);
  m_adapter->SetEditor([this](int row, int col, std::string_view gbk) { return m_page.EditCell(row, col, gbk); });
  m_list->setShowGrid(true);
  const auto language = lang::Resolve(m_page.m_strLanguage);
  m_list->SetChinese(language && lang::IsChinese(*language));
  m_list->SetParameterViewQuery([this] { return m_parameterView && m_parameterView(); });
  m_list->setWordWrap(false);
  m_list->setCornerButtonEnabled(false);
  m_list->setAlternatingRowColors(false);
  m_list->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  m_list->verticalHeader()->hide();
  QHeaderView* rows = m_list->verticalHeader();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(qMax(kMinRowHeight, fontMetrics().height() + 6));
  QHeaderView* header = m_list->horizontalHeader();
  header->setSectionResizeMode(QHeaderView::Interactive);
  header->setStretchLastSection(false);
  header->setHighlightSections(false);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  header->setMinimumSectionSize(0);
  // The grid and the titles in quiet greys, the selected cell in the
  // program's blue; titles keep a few pixels off the grid lines.
  m_list->setStyleSheet(QStringLiteral(
      "QTableView { gridline-color: #d3d8df; selection-background-color: #2f7fd0;"
      "  selection-color: #ffffff; }"
      "QHeaderView::section { background: #f3f5f8; color: #2b3340; border: none;"
      "  border-right: 1px solid #d3d8df; border-bottom: 1px solid #c2c9d2; padding: 3px 4px; }"));
  if (m_topPanel) layout->addWidget(m_topPanel);
  layout->addWidget(m_list);
  // Widths are measured in the fonts the list and its titles are drawn with.
  m_fit = std::make_unique<columnfit::ColumnFit>(
      [this](const std::string& utf8) { return m_list->fontMetrics().horizontalAdvance(Qs(utf8)); },
      [this](const std::string& utf8) {
        return m_list->horizontalHeader()->fontMetrics().horizontalAdvance(Qs(utf8));
      });
  // Every reset of the model (new columns, rows deleted, a file opened) starts
  // the widths again from the layout's.
  connect(m_adapter, &QAbstractItemModel::modelReset, this, &CTablePageWindow::ApplyColumnWidths);
  connect(m_adapter, &QAbstractItemModel::rowsInserted, this,
          [this](const QModelIndex&, int first, int last) { FitRows(first, last); });
  connect(m_adapter, &QAbstractItemModel::dataChanged, this, &CTablePageWindow::FitCells);
  // Where the operator leaves the list: at its end it follows new rows. New
  // rows lengthen the range without moving the bar, so only a move decides.
  QScrollBar* bar = m_list->verticalScrollBar();
  connect(bar, &QScrollBar::valueChanged, this, [this, bar](int value) { m_bFollow = value >= bar->maximum(); });
  ApplyColumnWidths();
}

void CTablePageWindow::SetTopPanel(QWidget* panel) {
  m_topPanel = panel;
  if (!m_list) return;
  panel->setParent(this);
  static_cast<QVBoxLayout*>(layout())->insertWidget(0, panel);
}

void CTablePageWindow::SetParameterViewQuery(std::function<bool()> query) { m_parameterView = std::move(query); }

void CTablePageWindow::ApplyColumnWidths() {
  if (!m_list) return;
  const TableModel& model = m_page.Model();
  m_fit->Reset(model);
  for (int c = 0; c < model.ColumnCount(); ++c) ResizeColumn(c);
}

void CTablePageWindow::ResizeColumn(int column) {
  m_list->horizontalHeader()->resizeSection(column, m_fit->Width(column));
}

void CTablePageWindow::FitRows(int first, int last) {
  for (int r = first; r <= last; ++r) {
    if (!m_fit->AddRow(m_page.Model(), r)) continue;
    for (int c = 0; c < m_fit->Columns(); ++c) {
      if (m_list->horizontalHeader()->sectionSize(c) < m_fit->Width(c)) ResizeColumn(c);
    }
  }
}

void CTablePageWindow::FitCells(const QModelIndex& topLeft, const QModelIndex& bottomRight) {
  for (int r = topLeft.row(); r <= bottomRight.row(); ++r) {
    for (int c = topLeft.column(); c <= bottomRight.column(); ++c) {
      // A column the operator made wider stays as wide.
      if (m_fit->AddCell(m_page.Model(), r, c) && m_list->horizontalHeader()->sectionSize(c) < m_fit->Width(c)) {
        ResizeColumn(c);
      }
    }
  }
}


void CTablePageWindow::ScrollToRow(int row) {
  if (!m_list || row < 0 || row >= m_adapter->rowCount()) return;
  // A fast meter or a history read hands over records far quicker than the
  // list can be laid out: scrolling at once would lay the whole list out
  // again for every record. The scroll waits for the end of this turn of the
  // event loop, and only the last row asked for there is scrolled to.
  m_nScrollRow = row;
  if (m_bScrollPending) return;
  m_bScrollPending = true;
  QMetaObject::invokeMethod(this, &CTablePageWindow::ScrollToPendingRow, Qt::QueuedConnection);
}

void CTablePageWindow::ScrollToPendingRow() {
  m_bScrollPending = false;
  // Rows may have gone since the request (a layout applied, all rows deleted).
  if (!m_list || m_nScrollRow < 0 || m_nScrollRow >= m_adapter->rowCount()) return;
  if (!m_bFollow) return;
  // The scroll range must include the rows inserted during this turn before
  // the view works out where the row is, or the newest row stays just out of
  // sight.
  m_list->doItemsLayout();
  m_list->scrollTo(m_adapter->index(m_nScrollRow, 0), QAbstractItemView::EnsureVisible);
}

QString CTablePageWindow::DialogFilter(const std::string& filter) {
  const QStringList parts = Qs(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    const QString description = parts[i].trimmed();
    const QString pattern = parts[i + 1].trimmed();
    if (pattern.isEmpty()) continue;
    filters << (description.contains(QLatin1Char('(')) ? description
                                                      : QStringLiteral("%1 (%2)").arg(description, pattern).trimmed());
  }
  return filters.join(QStringLiteral(";;"));
}
