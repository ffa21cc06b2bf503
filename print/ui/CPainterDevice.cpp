#include "print/ui/CPainterDevice.h"

#include <QFontMetrics>
#include <algorithm>
#include <QPagedPaintDevice>

#include "common/Gbk.h"

namespace {

QString FromGbk(std::string_view gbk) { return QString::fromStdString(gbk::ToUtf8(gbk)); }

Qt::PenStyle QtPen(report::PenStyle style) {
  switch (style) {
    case report::PenStyle::Solid: return Qt::SolidLine;
    case report::PenStyle::Dash: return Qt::DashLine;
    case report::PenStyle::Dot: return Qt::DotLine;
    case report::PenStyle::DashDot: return Qt::DashDotLine;
    case report::PenStyle::DashDotDot: return Qt::DashDotDotLine;
  }
  return Qt::SolidLine;
}

}  // namespace

const QStringList& CPainterDevice::FallbackFaces() {
  static const QStringList faces = {
      QStringLiteral("SimSun"),           QStringLiteral("NSimSun"),
      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
      QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("WenQuanYi Micro Hei"),
      QStringLiteral("AR PL UMing CN"),
  };
  return faces;
}

QFont CPainterDevice::FontFor(const report::FontSpec& wanted) {
  QFont font;
  font.setFamilies(QStringList{QString::fromStdString(wanted.face)} + FallbackFaces());
  font.setPixelSize(std::max(1, wanted.pixelHeight));
  font.setWeight(wanted.weight >= 700 ? QFont::Bold : QFont::Normal);
  return font;
}

int CPainterDevice::VerticalResolution() const { return Paper().logicalDpiY(); }

bool CPainterDevice::StartDocument(const std::string& jobName) {
  NameJob(QString::fromStdString(jobName));
  if (!m_painter.begin(&Paper())) return false;
  m_bFirstPage = true;
  // The painter's resolution is the document's now.
  std::fill(m_ascents.begin(), m_ascents.end(), -1);
  if (m_nFont >= 0) m_painter.setFont(m_fonts[static_cast<size_t>(m_nFont)]);
  m_painter.setPen(m_color);
  return true;
}

int CPainterDevice::PageWidth() const { return Paper().width(); }
int CPainterDevice::PageHeight() const { return Paper().height(); }

bool CPainterDevice::StartPage() {
  if (!m_painter.isActive()) return false;
  // The painter opened the first page when the document started.
  if (m_bFirstPage) {
    m_bFirstPage = false;
    return true;
  }
  return Paper().newPage();
}

bool CPainterDevice::EndDocument() { return m_painter.end(); }

void CPainterDevice::AbortDocument() {
  if (m_painter.isActive()) m_painter.end();
  Discard();
}

int CPainterDevice::CreateFont(const report::FontSpec& wanted) {
  m_fonts.push_back(FontFor(wanted));
  m_metrics.emplace_back();
  m_ascents.push_back(-1);
  return static_cast<int>(m_fonts.size()) - 1;
}

void CPainterDevice::SelectFont(int font) {
  if (font < 0 || font >= static_cast<int>(m_fonts.size())) return;
  m_nFont = font;
  if (m_painter.isActive()) m_painter.setFont(m_fonts[static_cast<size_t>(font)]);
}

report::TextExtent CPainterDevice::MeasureText(std::string_view gbk) {
  if (m_nFont < 0) return {};
  const QFontMetrics& metrics = Metrics();
  return {metrics.horizontalAdvance(FromGbk(gbk)), metrics.height()};
}

const QFontMetrics& CPainterDevice::Metrics() {
  std::optional<QFontMetrics>& metrics = m_metrics[static_cast<size_t>(m_nFont)];
  // Measured at the device's resolution, as it will be drawn.
  if (!metrics) metrics.emplace(m_fonts[static_cast<size_t>(m_nFont)], &Paper());
  return *metrics;
}

int CPainterDevice::Ascent() {
  if (m_nFont < 0) return m_painter.fontMetrics().ascent();
  int& ascent = m_ascents[static_cast<size_t>(m_nFont)];
  if (ascent < 0) ascent = m_painter.fontMetrics().ascent();
  return ascent;
}

void CPainterDevice::DrawText(int x, int y, std::string_view gbk, const report::Rect& clip) {
  m_painter.save();
  m_painter.setClipRect(QRect(QPoint(clip.left, clip.top), QPoint(clip.right - 1, clip.bottom - 1)),
                        Qt::IntersectClip);
  DrawText(x, y, gbk);
  m_painter.restore();
}

void CPainterDevice::DrawText(int x, int y, std::string_view gbk) {
  // (x, y) is the top left of the text; Qt draws from the base line.
  m_painter.drawText(QPoint(x, y + Ascent()), FromGbk(gbk));
}

void CPainterDevice::DrawLine(int x1, int y1, int x2, int y2, report::PenStyle style) {
  m_painter.save();
  m_painter.setPen(QPen(QBrush(m_color), 0, QtPen(style)));
  m_painter.drawLine(x1, y1, x2, y2);
  m_painter.restore();
}

void CPainterDevice::SetColor(const report::Color& color) {
  m_color = QColor(color.red, color.green, color.blue);
  if (m_painter.isActive()) m_painter.setPen(m_color);
}
