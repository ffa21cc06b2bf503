#pragma once
// The job panel's trend: the readings of the last minute as a line, the
// profile's limits (red, dashed) and the reference (blue, dotted) as
// straight lines, on a value axis that JobSession scales.
#include <QWidget>
#include <deque>

#include "jobs/JobSession.h"

class CTrendView : public QWidget {
  Q_OBJECT

 public:
  explicit CTrendView(QString title, QWidget* parent = nullptr);
  void Show(const std::deque<jobs::LiveReading>& trend, const jobs::TrendLines& lines);
  QSize sizeHint() const override { return {320, 140}; }
  QSize minimumSizeHint() const override { return {160, 90}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString m_title;
  std::deque<jobs::LiveReading> m_trend;
  jobs::TrendLines m_lines;
};
