// The graph page in the whole program: the live line against the simulated
// meter, an opened real-time file, and the chart's repaints.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <fstream>

#include "GuiTestSupport.h"
#include "app/ui/CMainView.h"
#include "app/ui/CMainFrame.h"
#include "common/Gbk.h"
#include "graph/ui/CPowerChart.h"
#include "graph/ui/CGraphPageWindow.h"

namespace {

// Pixels of the line's red in a picture.
int RedPixels(const QImage& picture) {
  int n = 0;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      const QColor c = picture.pixelColor(x, y);
      n += c.red() > 200 && c.green() < 90 && c.blue() < 90;
    }
  }
  return n;
}

std::string StatusLine(CGraphPageWindow* page) { return page->StatusControl()->text().toStdString(); }

}  // namespace

TEST(GraphWindow, LiveReadingDrawsAGrowingRedLineAndLeavesTheClipboardAlone) {
  // A reading every 20 ms: the minute of readings passes in a second or two.
  CApplication::Options fast = guitest::MeterWindow::TenfoldPace();
  fast.timings.pollPeriodMs = 20;
  // Readings in a zigzag: each one adds a steep segment to the line.
  guitest::MeterWindow w("0", {"--readings", "-12.00,-16.00"}, fast);
  CGraphPageWindow* page = w.running.GraphPageWindow();
  CMainFrame* frame = w.frame;
  ASSERT_TRUE(w.Ready());
  const GraphPage& graph = page->Page();
  QGuiApplication::clipboard()->setText("copied by the operator");

  ASSERT_TRUE(w.Link());
  frame->Logic().OnGraphic();
  ASSERT_TRUE(page->isVisible());
  ASSERT_TRUE(guitest::WaitFor([&] { return graph.NextRow() >= 3; }, 20000));

  // Each reading adds one point, and the frame over the chart shows the line
  // growing.
  const int row = graph.NextRow();
  ASSERT_TRUE(guitest::WaitFor([&] { return page->Frame()->isVisible(); }));
  const int red = RedPixels(page->Frame()->Picture());
  EXPECT_GT(red, 0);
  ASSERT_TRUE(guitest::WaitFor([&] { return graph.NextRow() == row + 1; }, 20000));
  EXPECT_TRUE(graph.Chart().RowAt(row).value);
  EXPECT_GT(RedPixels(page->Frame()->Picture()), red);
  EXPECT_EQ(StatusLine(page).rfind("当前测试时间:", 0), 0u) << StatusLine(page);

  // A minute of reading takes no picture through the system clipboard.
  ASSERT_TRUE(guitest::WaitFor([&] { return graph.NextRow() > 61; }, 100000));
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "copied by the operator");
  EXPECT_NE(StatusLine(page).find("当前测试时长:01:0"), std::string::npos) << StatusLine(page);
}

TEST(GraphWindow, AnOpenedRealTimeFileIsDrawnAndNamedInTheStatusLine) {
  guitest::ConfigFile config("[config]\r\nlanguage=1\r\n");
  guitest::RunningApp running;
  ASSERT_TRUE(running.WaitForPages());
  CMainFrame* frame = running.app->MainFrame();
  CGraphPageWindow* page = running.GraphPageWindow();
  QTemporaryDir dir;
  const std::string path = dir.filePath("field.ref").toStdString();
  {
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < 120; ++i) {
      out << gbk::FromUtf8("测试时间:2012/05/06 10:20:30       No.:" + std::to_string(i + 1) +
                           "       备注:        波长:1310 nm     线性功率:12.34uW     对数功率:-" +
                           std::to_string(10 + i % 25) + ".09 dBm     \r\n");
    }
    out << '\0';
  }

  // The graph page in front, as the operator left it.
  frame->Logic().OnTabSelected(1);
  guitest::Drain();
  const int paints = page->Chart()->Paints();
  ASSERT_EQ(frame->Logic().OpenFile(path).status, FileOutcome::Status::Done);
  ASSERT_TRUE(guitest::WaitFor([&] { return StatusLine(page) == "Current Open file:   " + path; }))
      << StatusLine(page);
  EXPECT_TRUE(guitest::WaitFor([&] { return page->Chart()->Paints() > paints; }, 2000));
  const ChartModel& chart = page->Page().Chart();
  EXPECT_EQ(chart.RowAt(120).value, -(10 + 119 % 25));
  EXPECT_FALSE(chart.RowAt(121).value);
  // Out of real-time reading the chart itself is seen.
  EXPECT_FALSE(page->Frame()->isVisible());
  EXPECT_GT(RedPixels(page->Chart()->CopyPicture()), 0);
}

TEST(GraphWindow, AClearOfAThousandRowsRepaintsTheChartOnce) {
  guitest::ConfigFile config("[config]\r\nlanguage=1\r\n");
  guitest::RunningApp running;
  ASSERT_TRUE(running.WaitForPages());
  running.app->MainFrame()->Logic().OnTabSelected(1);
  CGraphPageWindow* page = running.GraphPageWindow();
  page->Page().SetFileValues(std::vector<int>(1000, -20));  // 1000 live rows
  page->Page().OnGraphUpdate("-20.00");
  guitest::Drain();
  const int paints = page->Chart()->Paints();
  page->Page().OnGraphClear();
  guitest::Drain();
  EXPECT_EQ(page->Page().Chart().RowCount(), 1000);
  EXPECT_EQ(page->Chart()->Paints(), paints + 1);
}
