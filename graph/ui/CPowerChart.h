#pragma once
// The graph page's chart: a line chart of one series drawn with QPainter from
// a ChartModel. The page changes the model and asks for a refresh; refreshes
// coalesce into one repaint, and none happens while drawing is stopped.
#include <QImage>
#include <QWidget>
#include <cstdint>

#include "graph/ChartModel.h"

class QPainter;

class CPowerChart : public QWidget {
  Q_OBJECT

 public:
  CPowerChart(const ChartModel& model, QWidget* parent);

  // Redraw now: schedules one repaint when the model changed since the last.
  void Refresh();
  // Stops (false) and restarts (true) the chart's drawing; a refresh asked
  // for meanwhile is made when drawing restarts.
  void SetRedraw(bool on);
  // The chart's picture at its current size, or drawn into `size`.
  QImage CopyPicture() const { return CopyPicture(size()); }
  QImage CopyPicture(const QSize& size) const;
  // Draws the picture again into `picture`, at its size; a live update does
  // this once a second and so reuses one picture's memory.
  void CopyPictureInto(QImage& picture) const;
  // Paints since creation (for measuring the cost of refreshes).
  int Paints() const { return m_nPaints; }

  // Draws `model` into `area`.
  static void Draw(QPainter& painter, const QRect& area, const ChartModel& model);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const ChartModel& m_model;
  bool m_bRedraw = true;
  bool m_bRefreshPending = false;
  std::uint64_t m_nPaintedVersion = ~std::uint64_t{0};
  int m_nPaints = 0;
};
