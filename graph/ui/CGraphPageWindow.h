#pragma once
// The graph page window: the status line above the chart, the chart, and the
// frame over the chart that shows a still picture of it during real-time
// reading. It carries out what its GraphPage asks of a window and hands it
// the page's paints.
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "graph/GraphPage.h"

class CPowerChart;
class QLabel;

// The frame over the chart: a black border with the chart's picture inside.
class CSnapshotFrame : public QWidget {
 public:
  explicit CSnapshotFrame(QWidget* parent);
  void SetPicture(QImage picture);
  // The picture, to be drawn again in place (then update()).
  QImage& Picture() { return m_picture; }
  const QImage& Picture() const { return m_picture; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage m_picture;
};

class CGraphPageWindow : public QWidget {
  Q_OBJECT

 public:
  // The window over `page`, which outlives it; `languageValue` (config.ini's
  // language value) chooses the page's texts when the window is created.
  CGraphPageWindow(GraphPage& page, std::string languageValue, QWidget* parent);
  ~CGraphPageWindow() override;

  // Window creation and initialisation.
  void Create();
  bool IsCreated() const { return m_bCreated; }

  // Whether real-time reading runs (the frame's state); read at each paint.
  void SetRealTimeQuery(std::function<bool()> realTime) { m_realTime = std::move(realTime); }

  GraphPage& Page() { return m_page; }
  CPowerChart* Chart() const { return m_wndChart; }
  CSnapshotFrame* Frame() const { return m_wndFrame; }
  QLabel* StatusControl() const { return m_status; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // What the page's bookkeeping asks of the window.
  void OnChartRefresh();
  void OnChartRedraw(bool on);
  void OnSnapshot(bool showFrame);
  void OnStatus(const std::string& text);

  void PlaceControls();
  bool RealTime() const { return m_realTime && m_realTime(); }

  GraphPage& m_page;
  std::string m_strLanguage;
  bool m_bCreated = false;
  QLabel* m_status = nullptr;
  CPowerChart* m_wndChart = nullptr;
  CSnapshotFrame* m_wndFrame = nullptr;
  std::function<bool()> m_realTime;
  // What the frame's picture shows: the chart's model version and size.
  std::uint64_t m_nFrameVersion = ~std::uint64_t{0};
  QSize m_frameSize;
};
