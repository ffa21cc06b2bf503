// The graph page's live line against the simulated meter.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>

#include "GuiMeterSupport.h"
#include "app/MeterService.h"
#include "app/ui/CMainFrame.h"
#include "graph/ui/CGraphPageWindow.h"
#include "graph/ui/CPowerChart.h"

namespace {

std::string GraphStatus(CGraphPageWindow* page) { return page->StatusControl()->text().toStdString(); }

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
  frame->Presenter().OnGraphic();
  ASSERT_TRUE(page->isVisible());
  ASSERT_TRUE(guitest::WaitFor([&] { return graph.NextRow() >= 3; }, 20000));

  // Each reading adds one point, and the frame over the chart shows the line
  // growing.
  const int row = graph.NextRow();
  ASSERT_TRUE(guitest::WaitFor([&] { return page->Frame()->isVisible(); }));
  const int red = guitest::RedPixels(page->Frame()->Picture());
  EXPECT_GT(red, 0);
  ASSERT_TRUE(guitest::WaitFor([&] { return graph.NextRow() > row; }, 20000));
  EXPECT_TRUE(graph.Chart().RowAt(row).value);
  EXPECT_GT(guitest::RedPixels(page->Frame()->Picture()), red);
  EXPECT_EQ(GraphStatus(page).rfind("当前测试时间:", 0), 0u) << GraphStatus(page);

  // A minute of reading takes no picture through the system clipboard.
  ASSERT_TRUE(guitest::WaitFor([&] { return graph.NextRow() > 61; }, 100000));
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "copied by the operator");
  EXPECT_NE(GraphStatus(page).find("当前测试时长:01:0"), std::string::npos) << GraphStatus(page);
}
