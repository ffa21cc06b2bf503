#include "graph/ui/CGraphPageWindow.h"

#include <QLabel>
#include <QPainter>
#include <utility>

#include "common/Language.h"
#include "graph/ui/CPowerChart.h"

namespace {

// The page's layout in dialog units (a unit is about 1.5 pixels in the
// page's 9 point font): the status line at 61, 23; the chart from 38, 57 to
// the page's right and bottom edges less a small margin; the frame one unit
// inside the chart's left and bottom edges.
constexpr double kPixelsPerUnit = 1.5;
int Px(int units) { return static_cast<int>(units * kPixelsPerUnit); }

}  // namespace

CSnapshotFrame::CSnapshotFrame(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CSnapshotFrame::SetPicture(QImage picture) {
  m_picture = std::move(picture);
  update();
}

void CSnapshotFrame::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // The picture is the chart drawn one pixel smaller each way, so it goes
  // in at 1, 1 as it is, without stretching.
  if (m_picture.size() != size() - QSize(1, 1)) painter.fillRect(rect(), Qt::white);
  if (!m_picture.isNull()) painter.drawImage(QPoint(1, 1), m_picture);
  painter.setPen(Qt::black);
  painter.drawLine(0, 0, width() - 1, 0);
  painter.drawLine(0, 0, 0, height() - 1);
}

CGraphPageWindow::CGraphPageWindow(GraphPage& page, std::string languageValue, QWidget* parent)
    : QWidget(parent), m_page(page), m_strLanguage(std::move(languageValue)) {
  hide();
}

CGraphPageWindow::~CGraphPageWindow() { m_page.SetWindow({}); }

void CGraphPageWindow::Create() {
  setAutoFillBackground(true);
  m_status = new QLabel(this);
  // An opaque status line: a new text repaints the line alone, not the page
  // under it.
  m_status->setAutoFillBackground(true);
  m_status->setTextFormat(Qt::PlainText);
  m_wndChart = new CPowerChart(m_page.Chart(), this);
  m_wndFrame = new CSnapshotFrame(this);
  m_wndFrame->hide();
  PlaceControls();
  m_page.SetWindow({[this] { OnChartRefresh(); }, [this](bool on) { OnChartRedraw(on); },
                    [this](bool showFrame) { OnSnapshot(showFrame); },
                    [this](const std::string& text) { OnStatus(text); }});
  m_page.Initialise(m_strLanguage);
  m_wndFrame->hide();
  m_bCreated = true;
}

void CGraphPageWindow::PlaceControls() {
  if (!m_status) return;
  const int right = width() - Px(1);
  const int bottom = height() - Px(9);
  m_status->setGeometry(Px(61), Px(23), std::max(1, right - Px(61)), Px(12));
  const QRect chart(QPoint(Px(38), Px(57)), QPoint(std::max(Px(38) + 100, right),
                                                   std::max(Px(57) + 100, bottom)));
  m_wndChart->setGeometry(chart);
  m_wndFrame->setGeometry(chart.adjusted(1, 0, 0, -1));
}

void CGraphPageWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceControls();
}

void CGraphPageWindow::paintEvent(QPaintEvent*) {
  if (m_bCreated) m_page.OnPaint(RealTime());
}

void CGraphPageWindow::OnChartRefresh() {
  // Under the frame the chart is not seen; it is drawn when the frame goes.
  if (!m_wndFrame->isVisible()) m_wndChart->Refresh();
}

void CGraphPageWindow::OnChartRedraw(bool on) { m_wndChart->SetRedraw(on); }

void CGraphPageWindow::OnSnapshot(bool showFrame) {
  if (!showFrame) {
    m_wndFrame->hide();
    return;
  }
  // The picture is drawn again only when the chart changed since.
  if (m_page.Chart().Version() != m_nFrameVersion || m_wndChart->size() != m_frameSize) {
    m_nFrameVersion = m_page.Chart().Version();
    m_frameSize = m_wndChart->size();
    const QSize pictureSize = m_frameSize - QSize(1, 1);
    if (m_wndFrame->Picture().size() == pictureSize) {
      m_wndChart->CopyPictureInto(m_wndFrame->Picture());
      m_wndFrame->update();
    } else {
      m_wndFrame->SetPicture(m_wndChart->CopyPicture(pictureSize));
    }
  }
  m_wndFrame->raise();
  m_wndFrame->show();
}

void CGraphPageWindow::OnStatus(const std::string& text) {
  const QString shown = QString::fromStdString(text);
  if (m_status->text() != shown) m_status->setText(shown);
  // Out of real-time reading the frame gives way to the chart at the page's
  // next paint. A dialog closing over the page (the file dialog of Open)
  // does not always repaint what lay under it, so the page asks for that
  // paint itself.
  if (!RealTime() && m_wndFrame->isVisible()) update();
}
