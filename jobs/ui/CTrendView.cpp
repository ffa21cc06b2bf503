#include "jobs/ui/CTrendView.h"

#include <QPainter>
#include <QPainterPath>

#include "field/Readout.h"

namespace {
QString Two(double v) { return QString::fromStdString(field::FormatTwoDecimals(v)); }
}  // namespace

CTrendView::CTrendView(QString title, QWidget* parent) : QWidget(parent), m_title(std::move(title)) {
  setObjectName(QStringLiteral("jobTrend"));
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void CTrendView::Show(const std::deque<jobs::LiveReading>& trend, const jobs::TrendLines& lines) {
  m_trend = trend;
  m_lines = lines;
  update();
}

void CTrendView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Base));
  const QFontMetrics fm(font());
  const int left = fm.horizontalAdvance(QStringLiteral("-100.00")) + 6;
  const QRect plot(left, fm.height() + 4, width() - left - 6, height() - 2 * fm.height() - 8);
  p.setPen(palette().color(QPalette::Text));
  p.drawText(QRect(left, 0, plot.width(), fm.height() + 2), Qt::AlignLeft | Qt::AlignVCenter, m_title);
  p.setPen(palette().color(QPalette::Mid));
  p.drawRect(plot);
  if (plot.height() < 10 || plot.width() < 10) return;

  const jobs::TrendScale scale = jobs::ScaleOf(m_trend, m_lines.Values());
  const auto y = [&](double dbm) {
    return plot.bottom() - (dbm - scale.low) / (scale.high - scale.low) * plot.height();
  };
  p.setPen(palette().color(QPalette::Text));
  p.drawText(QRect(0, plot.top() - fm.height() / 2, left - 4, fm.height()), Qt::AlignRight, Two(scale.high));
  p.drawText(QRect(0, plot.bottom() - fm.height() / 2, left - 4, fm.height()), Qt::AlignRight, Two(scale.low));

  const auto line = [&](const std::optional<double>& value, const QColor& colour, Qt::PenStyle style) {
    if (!value) return;
    p.setPen(QPen(colour, 1, style));
    const double at = y(*value);
    p.drawLine(QPointF(plot.left(), at), QPointF(plot.right(), at));
    p.drawText(QRectF(plot.left() + 2, at - fm.height(), plot.width() - 4, fm.height()), Qt::AlignRight,
               Two(*value));
  };
  line(m_lines.low, QColor(0xd3, 0x2f, 0x2f), Qt::DashLine);
  line(m_lines.high, QColor(0xd3, 0x2f, 0x2f), Qt::DashLine);
  line(m_lines.reference, QColor(0x15, 0x65, 0xc0), Qt::DotLine);

  if (m_trend.empty()) return;
  const double end = m_trend.back().seconds;
  const auto x = [&](double seconds) {
    return plot.right() - (end - seconds) / jobs::kTrendSeconds * plot.width();
  };
  QPainterPath path;
  bool first = true;
  for (const jobs::LiveReading& r : m_trend) {
    const QPointF at(x(r.seconds), y(r.dbm));
    if (first) path.moveTo(at); else path.lineTo(at);
    first = false;
  }
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(palette().color(QPalette::Highlight), 2));
  p.drawPath(path);
  const QPointF last(x(end), y(m_trend.back().dbm));
  p.setBrush(palette().color(QPalette::Highlight));
  p.drawEllipse(last, 3, 3);
  p.setPen(palette().color(QPalette::Text));
  p.drawText(QRect(plot.left(), plot.bottom() + 2, plot.width(), fm.height() + 2), Qt::AlignRight,
             Two(m_trend.back().dbm) + QStringLiteral(" dBm"));
}
