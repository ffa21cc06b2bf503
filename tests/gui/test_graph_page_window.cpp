// The graph page in the whole program: an opened real-time file and the
// chart's repaints (test_graph_live_reading.cpp has the live line).
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

std::string StatusLine(CGraphPageWindow* page) { return page->StatusControl()->text().toStdString(); }

}  // namespace

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
  frame->Presenter().OnTabSelected(1);
  guitest::Drain();
  const int paints = page->Chart()->Paints();
  ASSERT_EQ(frame->Service().OpenFile(path).status, FileOutcome::Status::Done);
  ASSERT_TRUE(guitest::WaitFor([&] { return StatusLine(page) == "Current Open file:   " + path; }))
      << StatusLine(page);
  EXPECT_TRUE(guitest::WaitFor([&] { return page->Chart()->Paints() > paints; }, 2000));
  const ChartModel& chart = page->Page().Chart();
  EXPECT_EQ(chart.RowAt(120).value, -(10 + 119 % 25));
  EXPECT_FALSE(chart.RowAt(121).value);
  // Out of real-time reading the chart itself is seen.
  EXPECT_FALSE(page->Frame()->isVisible());
  EXPECT_GT(guitest::RedPixels(page->Chart()->CopyPicture()), 0);
}

TEST(GraphWindow, AClearOfAThousandRowsRepaintsTheChartOnce) {
  guitest::ConfigFile config("[config]\r\nlanguage=1\r\n");
  guitest::RunningApp running;
  ASSERT_TRUE(running.WaitForPages());
  running.app->MainFrame()->Presenter().OnTabSelected(1);
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
