#include "app/ui/CKM360R_ProjectView.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include "app/ui/CTabControl.h"
#include "graph/ui/CPage2.h"
#include "table/ui/CPage1.h"

namespace {

// Dialog units of the form's font, SimSun 9 point: 6 x 12 pixels per
// character at 96 dots per inch, four horizontal and eight vertical units each.
constexpr double kBaseUnitX = 6.0;
constexpr double kBaseUnitY = 12.0;
constexpr int kFormWidthDlu = 711;
constexpr int kFormHeightDlu = 485;

}  // namespace

QSize CKM360R_ProjectView::FormSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const double scale = screen ? screen->logicalDotsPerInch() / 96.0 : 1.0;
  return QSize(qRound(kFormWidthDlu * kBaseUnitX * scale / 4),
               qRound(kFormHeightDlu * kBaseUnitY * scale / 8));
}

CKM360R_ProjectView::CKM360R_ProjectView(TablePage& table, GraphPage& graph, const std::string& languageValue,
                                         QWidget* parent)
    : QScrollArea(parent) {
  setFrameShape(QFrame::NoFrame);
  setWidgetResizable(true);

  // The form scrolls when the window is smaller than it; the tab control
  // stands at its origin and covers it.
  auto* form = new QWidget;
  form->setMinimumSize(FormSize());
  auto* layout = new QVBoxLayout(form);
  layout->setContentsMargins(0, 0, 0, 0);
  m_tabCtrl = new CTabControl(form);
  layout->addWidget(m_tabCtrl);
  setWidget(form);

  // The pages exist as objects from here on; their windows are made by the
  // timer.
  m_page1 = new CPage1(table, m_tabCtrl);
  m_page2 = new CPage2(graph, languageValue, m_tabCtrl);

  connect(m_tabCtrl, &CTabControl::SelectionChanged, this, &CKM360R_ProjectView::OnSelectionChanged);

  m_createPagesTimer.setSingleShot(true);
  m_createPagesTimer.setInterval(kCreatePagesDelayMs);
  connect(&m_createPagesTimer, &QTimer::timeout, this, &CKM360R_ProjectView::CreatePages);
  m_createPagesTimer.start();
}

CKM360R_ProjectView::~CKM360R_ProjectView() = default;

void CKM360R_ProjectView::CreatePages() {
  m_page1->Create();
  m_page2->Create();
  m_bPagesCreated = true;
  PlacePages();
  m_page1->show();
  m_page2->hide();
  m_createPagesTimer.stop();
  emit PagesCreatedSignal();
}

void CKM360R_ProjectView::PlacePages() {
  if (!m_bPagesCreated) return;
  // The client area less a strip for the tabs; the tab control stands at the
  // view's origin, so the rectangle serves in its coordinates too. Placed at
  // creation and again at every size change of the client area: sized only
  // once, the table would keep the size of the window it was made in and show
  // a row or two after the window is restored and enlarged.
  QRect area = viewport()->rect();
  area.setTop(area.top() + CTabControl::kStripHeight);
  m_page1->setGeometry(area);
  m_page2->setGeometry(area);
}

void CKM360R_ProjectView::resizeEvent(QResizeEvent* event) {
  QScrollArea::resizeEvent(event);
  PlacePages();
}

void CKM360R_ProjectView::ShowPage(int page) {
  if (!m_bPagesCreated) return;
  if (page == 0) {
    m_page1->show();
    m_page2->hide();
  } else if (page == 1) {
    m_page1->hide();
    m_page2->show();
  }
}

void CKM360R_ProjectView::OnSelectionChanged() { emit TabSelected(m_tabCtrl->GetCurSel()); }
