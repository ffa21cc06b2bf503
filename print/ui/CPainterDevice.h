#pragma once
// The report drawn with a QPainter on a paged device: a printer or a PDF file.
// Coordinates are the device's pixels from the top left of its printable area.
// Fonts ask for "宋体" and fall back on the CJK faces a Linux desktop has, so
// Chinese cells print as characters, not as boxes.
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <optional>
#include <vector>

#include "print/ReportDevice.h"

class QPagedPaintDevice;

class CPainterDevice : public report::IReportDevice {
 public:
  // Faces tried after the one asked for, in order.
  static const QStringList& FallbackFaces();
  // The font the engine's FontSpec stands for.
  static QFont FontFor(const report::FontSpec& wanted);

  int VerticalResolution() const override;
  bool StartDocument(const std::string& jobName) override;
  int PageWidth() const override;
  int PageHeight() const override;
  bool StartPage() override;
  bool EndPage() override { return true; }
  bool EndDocument() override;
  void AbortDocument() override;
  int CreateFont(const report::FontSpec& wanted) override;
  void SelectFont(int font) override;
  report::TextExtent MeasureText(std::string_view gbk) override;
  void DrawText(int x, int y, std::string_view gbk, const report::Rect& clip) override;
  void DrawText(int x, int y, std::string_view gbk) override;
  void DrawLine(int x1, int y1, int x2, int y2, report::PenStyle style) override;
  void SetColor(const report::Color& color) override;

 protected:
  // The device drawn on.
  virtual QPagedPaintDevice& Paper() = 0;
  const QPagedPaintDevice& Paper() const { return const_cast<CPainterDevice*>(this)->Paper(); }
  // Names the job before drawing starts.
  virtual void NameJob(const QString& name) = 0;
  // Drops what was drawn; the painter has been ended.
  virtual void Discard() = 0;

 private:
  // The selected font's metrics at the device's resolution, and its ascent
  // as the painter draws with it: made once per font, not for every text of
  // every row.
  const QFontMetrics& Metrics();
  int Ascent();

  QPainter m_painter;
  std::vector<QFont> m_fonts;
  std::vector<std::optional<QFontMetrics>> m_metrics;
  std::vector<int> m_ascents;  // -1 until drawn with
  int m_nFont = -1;
  QColor m_color = Qt::black;
  bool m_bFirstPage = true;
};
