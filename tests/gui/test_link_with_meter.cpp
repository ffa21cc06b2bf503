// Link from the toolbar against the simulated meter on a pseudo-terminal.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTableView>
#include <cstdlib>

#include "GuiMeterSupport.h"
#include "app/CommandSurface.h"
#include "app/ui/CMainFrame.h"
#include "graph/ui/CGraphPageWindow.h"
#include "table/ui/CMeasureList.h"
#include "table/ui/CTablePageWindow.h"

using guitest::ConfigFile;
using guitest::kLinkButton;
using guitest::PortDirectory;
using guitest::RunningApp;
using guitest::SimulatedMeter;
using guitest::WaitFor;

namespace {

std::string Note(CMainFrame* frame) { return frame->NotePane()->text().toStdString(); }

}  // namespace

TEST(LinkWithMeter, ToolbarLinkConnectsReadsRealTimeAndDisconnects) {
  guitest::MeterWindow w("1");
  CMainFrame* frame = w.frame;
  ASSERT_TRUE(w.Ready());
  EXPECT_EQ(frame->ToolbarImage(cmd::kLinkStatusButton), 15);

  frame->ToolbarAction(kLinkButton)->trigger();
  ASSERT_TRUE(WaitFor([&] { return Note(frame) == "Equipment connected"; }, 20000)) << Note(frame);
  EXPECT_EQ(frame->ToolbarImage(cmd::kLinkStatusButton), 17);
  EXPECT_EQ(frame->NotePane()->width(), QFontMetrics(frame->font()).horizontalAdvance("Equipment connected"));

  // Real-time reading fills the table and feeds the graph page.
  frame->ToolbarAction(0)->trigger();
  EXPECT_EQ(frame->ToolbarAction(0)->text().toStdString(), "StopReading");
  EXPECT_EQ(frame->ToolbarImage(0), 16);
  QAbstractItemModel* rows = w.running.TablePageWindow()->List()->model();
  ASSERT_TRUE(WaitFor([&] { return rows->rowCount() >= 2; }, 20000));
  EXPECT_EQ(rows->data(rows->index(0, 0)).toString().toStdString(), "1");
  EXPECT_FALSE(rows->data(rows->index(0, 1)).toString().isEmpty());
  EXPECT_TRUE(w.running.GraphPageWindow()->Page().Chart().RowAt(1).value);
  frame->ToolbarAction(0)->trigger();
  EXPECT_EQ(frame->ToolbarAction(0)->text().toStdString(), "Real-time");

  // Link again disconnects, once the last poll's reply is in.
  ASSERT_TRUE(WaitFor([&] { return !frame->Service().LinkBusy(); }));
  frame->ToolbarAction(kLinkButton)->trigger();
  ASSERT_TRUE(WaitFor([&] { return Note(frame) == "Equipment disconnected"; }, 10000)) << Note(frame);
  EXPECT_EQ(frame->ToolbarImage(cmd::kLinkStatusButton), 18);
}

TEST(LinkWithMeter, PortOptionRestrictsTheScanToThatDevice) {
  SimulatedMeter meter;
  ASSERT_TRUE(meter.Started());
  ConfigFile config("[config]\r\nlanguage=0\r\n");
  CApplication::Options options;
  options.portOverride = meter.PortPath().toStdString();
  RunningApp running(options);
  CMainFrame* frame = running.app->MainFrame();
  frame->OnCommand(cmd::ID_LINK);
  ASSERT_TRUE(WaitFor([&] { return Note(frame) == "设备已连接"; }, 20000)) << Note(frame);
  EXPECT_EQ(frame->ToolbarImage(cmd::kLinkStatusButton), 17);
}

TEST(LinkWithMeter, ALostMeterIsReportedAndTheLampTurnsRed) {
  guitest::MeterWindow w("1", {"--hangup-after", "3"});
  CMainFrame* frame = w.frame;
  ASSERT_TRUE(w.Ready());
  frame->OnCommand(cmd::ID_LINK_EN);
  ASSERT_TRUE(WaitFor([&] { return frame->ToolbarImage(cmd::kLinkStatusButton) == 17; }, 20000));

  guitest::BoxAnswerer ok(QMessageBox::Ok);
  frame->OnCommand(cmd::ID_READ_REALTIME_EN);
  ASSERT_TRUE(WaitFor([&] { return frame->ToolbarImage(cmd::kLinkStatusButton) == 18; }, 20000));
  ASSERT_TRUE(WaitFor([&] { return ok.Answered(); }, 10000));
  EXPECT_TRUE(ok.Text().startsWith(QStringLiteral("Equipment disconnected"))) << ok.Text().toStdString();
  EXPECT_EQ(ok.Caption().toStdString(), "Massage prompt");
}
