#include "graph/ui/CPowerChart.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "common/ui/QtText.h"

namespace {

QColor Colour(const ChartColour& c) { return QColor(c.red, c.green, c.blue); }

// Room around the plot area, in pixels.
constexpr int kChartGap = 6;
constexpr int kTopMargin = 14;
constexpr int kRightMargin = 18;

QString ValueLabel(double v) { return QString::number(v, 'g', 6); }

}  // namespace

CPowerChart::CPowerChart(const ChartModel& model, QWidget* parent) : QWidget(parent), m_model(model) {
  // The chart covers its whole rectangle, so what lies under it is never
  // repainted for it.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CPowerChart::Refresh() {
  if (!m_bRedraw) {
    m_bRefreshPending = true;
    return;
  }
  if (m_model.Version() != m_nPaintedVersion) update();
}

void CPowerChart::SetRedraw(bool on) {
  m_bRedraw = on;
  if (on && m_bRefreshPending) {
    m_bRefreshPending = false;
    Refresh();
  }
}

QImage CPowerChart::CopyPicture(const QSize& size) const {
  QImage picture(size, QImage::Format_RGB32);
  CopyPictureInto(picture);
  return picture;
}

void CPowerChart::CopyPictureInto(QImage& picture) const {
  QPainter painter(&picture);
  painter.setFont(font());
  Draw(painter, picture.rect(), m_model);
}

void CPowerChart::paintEvent(QPaintEvent*) {
  ++m_nPaints;
  m_nPaintedVersion = m_model.Version();
  QPainter painter(this);
  Draw(painter, rect(), m_model);
}

void CPowerChart::Draw(QPainter& painter, const QRect& area, const ChartModel& model) {
  const ChartLook& look = model.Look();
  painter.fillRect(area, Colour(look.backdrop));
  const QFontMetrics metrics = painter.fontMetrics();
  const int lineHeight = metrics.height();

  // Margins: the value axis title (turned) and its labels on the left; the
  // row labels and the category title below; the chart title on top.
  const double top = look.valueMaximum, bottom = look.valueMinimum;
  const int divisions = std::max(1, look.valueMajorDivisions);
  int labelWidth = 0;
  for (int i = 0; i <= divisions; ++i) {
    labelWidth = std::max(labelWidth,
                          metrics.horizontalAdvance(ValueLabel(top - (top - bottom) * i / divisions)));
  }
  const int titleHeight = look.title.empty() ? 0 : lineHeight + kChartGap;
  QRect plot = area.adjusted(kChartGap + lineHeight + kChartGap + labelWidth + kChartGap,
                             kTopMargin + titleHeight, -kRightMargin,
                             -(kChartGap + lineHeight + kChartGap + lineHeight + kChartGap));
  if (plot.width() < 2 || plot.height() < 2) return;

  painter.setPen(Qt::black);
  if (!look.title.empty()) {
    painter.drawText(QRect(area.left(), area.top() + kChartGap, area.width(), lineHeight),
                     Qt::AlignHCenter, Qs(look.title));
  }

  // Value axis: a grid line and a label at every major division.
  auto yOf = [&](double v) { return plot.bottom() - (v - bottom) * plot.height() / (top - bottom); };
  for (int i = 0; i <= divisions; ++i) {
    const double v = top - (top - bottom) * i / divisions;
    const int y = static_cast<int>(std::lround(yOf(v)));
    painter.setPen(QColor(210, 210, 210));
    if (i > 0 && i < divisions) painter.drawLine(plot.left(), y, plot.right(), y);
    painter.setPen(Qt::black);
    painter.drawLine(plot.left() - 4, y, plot.left(), y);
    painter.drawText(QRect(plot.left() - kChartGap - labelWidth - 4, y - lineHeight / 2, labelWidth,
                           lineHeight),
                     Qt::AlignRight | Qt::AlignVCenter, ValueLabel(v));
  }
  painter.drawRect(plot.adjusted(0, 0, -1, -1));
  painter.save();
  painter.translate(area.left() + kChartGap, plot.center().y());
  painter.rotate(-90);
  painter.drawText(QRect(-plot.height() / 2, 0, plot.height(), lineHeight), Qt::AlignCenter,
                   Qs(look.valueAxisTitle));
  painter.restore();

  // Category axis: each row's label centred under its row. A label that
  // would run into the one before it is left out, except the last row's,
  // which is always shown and makes room for itself.
  const int rows = model.RowCount();
  auto xOf = [&](int row) { return plot.left() + (row - 0.5) * plot.width() / std::max(1, rows); };
  const int labelTop = plot.bottom() + kChartGap;
  struct Placed {
    QRect box;
    QString text;
  };
  std::vector<Placed> placed;
  for (int r = 1; r <= rows; ++r) {
    const QString text = Qs(model.RowAt(r).label).trimmed();
    if (text.isEmpty()) continue;
    const int width = metrics.horizontalAdvance(text);
    QRect box(static_cast<int>(std::lround(xOf(r))) - width / 2, labelTop, width, lineHeight);
    box.moveRight(std::min(box.right(), area.right() - 1));
    const bool last = r == rows;
    while (last && !placed.empty() && placed.back().box.right() + kChartGap > box.left()) {
      placed.pop_back();
    }
    if (!placed.empty() && placed.back().box.right() + kChartGap > box.left()) continue;
    placed.push_back({box, text});
  }
  for (const Placed& p : placed) painter.drawText(p.box, Qt::AlignCenter, p.text);
  painter.drawText(QRect(plot.left(), labelTop + lineHeight + kChartGap, plot.width(), lineHeight),
                   Qt::AlignHCenter, Qs(model.CategoryTitle()));

  // The series: a line through neighbouring points; an empty point leaves a
  // gap, and a point with no neighbour is drawn as a dot. Points beyond the
  // fixed scale lie outside the plot area and are cut off at its edge.
  painter.save();
  painter.setClipRect(plot.adjusted(1, 1, -1, -1));
  // A plain, unsmoothed line: smoothing a thick line doubles the cost of
  // every live update.
  QPen pen(Colour(look.pen));
  pen.setWidthF(std::max(1.0f, look.penWidth / 10.0f));
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  painter.setPen(pen);
  QPainterPath path;
  bool inLine = false;
  for (int r = 1; r <= rows; ++r) {
    const auto& value = model.RowAt(r).value;
    if (!value) {
      inLine = false;
      continue;
    }
    const QPointF point(xOf(r), yOf(*value));
    const bool hasNext = r < rows && model.RowAt(r + 1).value.has_value();
    if (inLine) {
      path.lineTo(point);
    } else if (hasNext) {
      path.moveTo(point);
    } else {
      painter.drawPoint(point);
    }
    inLine = true;
  }
  painter.drawPath(path);
  painter.restore();
}
