#include "app/ui/CMainView.h"

#include <QVBoxLayout>

#include "app/ui/CTabControl.h"
#include "graph/ui/CGraphPageWindow.h"
#include "table/ui/CTablePageWindow.h"

CMainView::CMainView(TablePage& table, GraphPage& graph, const std::string& languageValue,
                                         QWidget* parent)
    : QWidget(parent) {
  // The tab control stands at the form's origin and covers it.
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  m_tabCtrl = new CTabControl(this);
  layout->addWidget(m_tabCtrl);

  // The pages exist as objects from here on; their windows are made by the
  // timer.
  m_tablePage = new CTablePageWindow(table, m_tabCtrl);
  m_graphPage = new CGraphPageWindow(graph, languageValue, m_tabCtrl);

  connect(m_tabCtrl, &CTabControl::SelectionChanged, this, &CMainView::OnSelectionChanged);

  m_createPagesTimer.setSingleShot(true);
  m_createPagesTimer.setInterval(kCreatePagesDelayMs);
  connect(&m_createPagesTimer, &QTimer::timeout, this, &CMainView::CreatePages);
  m_createPagesTimer.start();
}

CMainView::~CMainView() = default;

void CMainView::CreatePages() {
  m_tablePage->Create();
  m_graphPage->Create();
  m_bPagesCreated = true;
  PlacePages();
  m_tablePage->show();
  m_graphPage->hide();
  m_createPagesTimer.stop();
  emit PagesCreatedSignal();
}

void CMainView::PlacePages() {
  if (!m_bPagesCreated) return;
  // The client area less a strip for the tabs; the tab control stands at the
  // view's origin, so the rectangle serves in its coordinates too. Placed at
  // creation and again at every size change of the client area: sized only
  // once, the table would keep the size of the window it was made in and show
  // a row or two after the window is restored and enlarged.
  QRect area = rect();
  area.setTop(area.top() + CTabControl::kStripHeight);
  m_tablePage->setGeometry(area);
  m_graphPage->setGeometry(area);
}

void CMainView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlacePages();
}

void CMainView::ShowPage(int page) {
  if (!m_bPagesCreated) return;
  if (page == 0) {
    m_tablePage->show();
    m_graphPage->hide();
  } else if (page == 1) {
    m_tablePage->hide();
    m_graphPage->show();
  }
}

void CMainView::OnSelectionChanged() { emit TabSelected(m_tabCtrl->GetCurSel()); }
