#include "table/ui/CPage1.h"

#include <QHeaderView>
#include <QMessageBox>
#include <QTableView>
#include <QVBoxLayout>

#include "app/CommandSurface.h"
#include "app/Language.h"
#include "app/ui/CMainFrame.h"
#include "table/ui/TableModelAdapter.h"

CPage1* g_pPage1 = nullptr;

namespace {

// Rows are at least as tall as the list's 16-pixel small images.
constexpr int kMinRowHeight = 16;

QString Qs(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace

CPage1::CPage1(const FrameTexts& texts, QWidget* parent)
    : QWidget(parent), m_page(*this, texts, lang::ReadSetting()) {
  g_pPage1 = this;
  hide();
}

CPage1::~CPage1() {
  if (g_pPage1 == this) g_pPage1 = nullptr;
}

void CPage1::Create() {
  if (m_list) return;
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  m_list = new QTableView(this);
  m_adapter = new TableModelAdapter(m_page.Model(), this);
  m_list->setModel(m_adapter);
  m_list->setShowGrid(true);
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
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
  layout->addWidget(m_list);
  connect(m_adapter, &TableModelAdapter::ColumnsReset, this, &CPage1::ApplyColumnWidths);
  ApplyColumnWidths();
}

void CPage1::ApplyColumnWidths() {
  if (!m_list) return;
  const TableModel& model = m_page.Model();
  for (int c = 0; c < model.ColumnCount(); ++c) {
    m_list->horizontalHeader()->resizeSection(c, model.Column(c).width);
  }
}

void CPage1::ShowNotice(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::Information, Qs(caption), Qs(text), QMessageBox::Ok, window());
  box.exec();
}

void CPage1::RunSetClockAgain() {
  if (g_pMainFrame) g_pMainFrame->OnCommand(cmd::ID_SET_CLOCK);
}

void CPage1::NotifyWavelengthDialog(int kind) {
  // UM_WAVELENGTH_UPDATE goes only to a dialog that is open; the settings
  // dialogs are not part of this window yet, so none ever is.
  (void)kind;
}

void CPage1::ScrollToRow(int row) {
  if (!m_list || row < 0 || row >= m_adapter->rowCount()) return;
  m_list->scrollTo(m_adapter->index(row, 0), QAbstractItemView::EnsureVisible);
}
