#include "jobs/ui/CPointList.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>

namespace {

// A frozen edge is set off from the columns scrolling beneath it by a line.
constexpr int kEdgeLine = 1;

}  // namespace

CPointList::CPointList(QWidget* parent) : QTableWidget(parent) {
  // Pixel steps: scrolled to its end, the last column meets the list's right
  // edge exactly, where its frozen copy stands.
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  m_leading.view = MakeEdgeView();
  m_trailing.view = MakeEdgeView();
  m_leading.view->setStyleSheet(QStringLiteral("QTableView { border: none; border-right: %1px solid #7d8a99; }").arg(kEdgeLine));
  m_trailing.view->setStyleSheet(QStringLiteral("QTableView { border: none; border-left: %1px solid #7d8a99; }").arg(kEdgeLine));
  connect(horizontalHeader(), &QHeaderView::sectionResized, this, &CPointList::PlaceEdges);
  connect(horizontalScrollBar(), &QScrollBar::rangeChanged, this, &CPointList::PlaceEdges);
}

QTableView* CPointList::MakeEdgeView() {
  auto* view = new QTableView(this);
  view->setModel(model());
  view->setSelectionModel(selectionModel());
  view->setSelectionBehavior(selectionBehavior());
  view->setSelectionMode(selectionMode());
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->verticalHeader()->hide();
  view->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // A click selects the row and gives the list the focus.
  view->setFocusPolicy(Qt::ClickFocus);
  view->setFocusProxy(this);
  connect(view->verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(), &QScrollBar::setValue);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, view->verticalScrollBar(), &QScrollBar::setValue);
  view->hide();
  return view;
}

void CPointList::Freeze(int leading, int trailing) {
  m_leading.first = 0;
  m_leading.count = std::max(0, leading);
  m_trailing.count = std::max(0, trailing);
  PlaceEdges();
}

int CPointList::EdgeWidth(const Edge& edge) const {
  int width = kEdgeLine;
  for (int c = edge.first; c < edge.first + edge.count; ++c) width += columnWidth(c);
  return width;
}

void CPointList::PlaceEdges() {
  if (!m_leading.view || !m_trailing.view) return;  // still being made
  m_trailing.first = columnCount() - m_trailing.count;
  // Frozen edges only while something scrolls beneath them, and only with a
  // column left between them to scroll.
  const bool scrolls = horizontalScrollBar()->maximum() > 0 && m_leading.count + m_trailing.count < columnCount();
  PlaceEdge(m_leading, false, scrolls);
  PlaceEdge(m_trailing, true, scrolls);
}

void CPointList::PlaceEdge(const Edge& edge, bool atRight, bool scrolls) {
  if (!scrolls || edge.count == 0) {
    edge.view->hide();
    return;
  }
  for (int c = 0; c < columnCount(); ++c) {
    edge.view->setColumnHidden(c, c < edge.first || c >= edge.first + edge.count);
    edge.view->setColumnWidth(c, columnWidth(c));
  }
  edge.view->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
  edge.view->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
  const QRect rows = viewport()->geometry();
  const int width = EdgeWidth(edge);
  const int left = atRight ? rows.right() + 1 - width : rows.left();
  const int top = horizontalHeader()->isVisible() ? horizontalHeader()->geometry().top() : rows.top();
  edge.view->setGeometry(left, top, width, rows.bottom() + 1 - top);
  edge.view->verticalScrollBar()->setValue(verticalScrollBar()->value());
  edge.view->show();
}

void CPointList::updateGeometries() {
  QTableWidget::updateGeometries();
  PlaceEdges();
}

void CPointList::scrollTo(const QModelIndex& index, ScrollHint hint) {
  QTableWidget::scrollTo(index, hint);
  if (!index.isValid() || (m_leading.view->isHidden() && m_trailing.view->isHidden())) return;
  const int column = index.column();
  if (column < m_leading.first + m_leading.count || column >= m_trailing.first) return;
  const int x = columnViewportPosition(column);
  const int left = EdgeWidth(m_leading);
  const int right = viewport()->width() - EdgeWidth(m_trailing);
  QScrollBar* bar = horizontalScrollBar();
  if (x < left) {
    bar->setValue(bar->value() - (left - x));
  } else if (x + columnWidth(column) > right) {
    bar->setValue(bar->value() + std::min(x + columnWidth(column) - right, x - left));
  }
}
