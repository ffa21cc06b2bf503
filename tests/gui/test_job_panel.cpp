// The "Test job" panel in the window: Ctrl+J shows it, and Space captures a
// result for the selected point from the simulated meter's live readings into
// the store file km360r-cli would use.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include "GuiTestSupport.h"
#include "app/CommandSurface.h"
#include "app/ui/CMainFrame.h"
#include "jobs/JobTable.h"
#include "jobs/PointPattern.h"
#include "jobs/SqliteStore.h"
#include "jobs/ui/CJobPanel.h"

using guitest::ConfigFile;
using guitest::PortDirectory;
using guitest::RunningApp;
using guitest::SimulatedMeter;
using guitest::WaitFor;

namespace {

// KM360R_STORE for the duration of a test.
struct StoreVariable {
  explicit StoreVariable(const QString& path) { setenv("KM360R_STORE", path.toLocal8Bit().constData(), 1); }
  ~StoreVariable() { unsetenv("KM360R_STORE"); }
};

TEST(JobPanel, CtrlJShowsThePanelBesideTheTable) {
  QTemporaryDir dir;
  StoreVariable store(dir.filePath("results.sqlite"));
  ConfigFile config("[config]\r\nlanguage=0\r\n");
  RunningApp running;
  CMainFrame* frame = running.app->MainFrame();
  ASSERT_TRUE(running.WaitForPages());
  CJobPanel* panel = frame->JobPanel();
  EXPECT_FALSE(panel->isVisible());
  frame->activateWindow();
  ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == frame; }));
  QTest::keyClick(frame, Qt::Key_J, Qt::ControlModifier);
  EXPECT_TRUE(panel->isVisible());
  EXPECT_EQ(panel->windowTitle(), QStringLiteral("测试任务"));
  EXPECT_EQ(frame->dockWidgetArea(panel), Qt::RightDockWidgetArea);
  QTest::keyClick(frame, Qt::Key_J, Qt::ControlModifier);
  EXPECT_FALSE(panel->isVisible());
}

TEST(JobPanel, SpaceCapturesTheSelectedPointIntoTheStoreAndMovesOn) {
  QTemporaryDir dir;
  const QString path = dir.filePath("results.sqlite");
  StoreVariable store(path);
  guitest::MeterWindow w("1", {"--readings", "-20.00,-21.00,-19.50"});
  ASSERT_TRUE(w.Ready());
  CMainFrame* frame = w.frame;
  CJobPanel* panel = frame->JobPanel();
  panel->PanelAction()->trigger();
  jobs::Job job;
  job.name = "Street 5";
  job.operatorName = "Ann";
  job.profile = jobs::FindProfile("gpon-b+", {}).value();
  ASSERT_TRUE(panel->NewJob(job, {"P01", "P02", "P03"})) << panel->StatusLine()->text().toStdString();
  ASSERT_TRUE(panel->SelectPoint("P02"));

  // Not live yet: nothing is stored, and the panel says why.
  panel->Points()->setFocus();
  QTest::keyClick(panel->Points(), Qt::Key_Space);
  EXPECT_EQ(panel->StatusLine()->text(), "No live readings: start real-time reading first.");

  ASSERT_TRUE(w.Link());
  frame->OnCommand(cmd::ID_READ_REALTIME);
  ASSERT_TRUE(WaitFor([&] { return panel->StabilityLabel()->text().startsWith("unstable"); }, 20000))
      << panel->StabilityLabel()->text().toStdString();  // three readings 1.50 dB apart
  panel->Points()->setFocus();
  QTest::keyClick(panel->Points(), Qt::Key_Space);
  frame->OnCommand(cmd::ID_READ_REALTIME);

  // (10.00 + 7.94 + 11.22) uW / 3 = 9.721 uW = -20.12 dBm, inside 1310 nm's -28 ... -8 dBm.
  const std::vector<jobs::Result> stored = jobs::SqliteStore(path.toStdString()).LatestResults("Street 5");
  ASSERT_EQ(stored.size(), 1u) << panel->StatusLine()->text().toStdString();
  EXPECT_EQ(stored[0].point, "P02");
  EXPECT_EQ(stored[0].wavelengthNm, 1310);
  EXPECT_EQ(jobs::FormatDb(stored[0].powerDbm), "-20.12");
  EXPECT_EQ(stored[0].verdict, jobs::Verdict::Pass);
  EXPECT_TRUE(stored[0].unstable);
  EXPECT_EQ(stored[0].operatorName, "Ann");

  EXPECT_EQ(panel->SelectedPoint(), "P03");
  QTableWidget* points = panel->Points();
  const int last = points->columnCount() - 1;
  EXPECT_EQ(points->horizontalHeaderItem(last)->text(), "Verdict");
  EXPECT_EQ(points->item(1, last)->text(), "PASS");
  EXPECT_EQ(points->item(1, last)->background().color(), QColor(0x2e, 0x7d, 0x32));
  EXPECT_EQ(points->item(0, last)->text(), "");
  int column1310 = -1;
  for (int c = 0; c < points->columnCount(); ++c) {
    if (points->horizontalHeaderItem(c)->text() == "1310 dBm") column1310 = c;
  }
  ASSERT_GE(column1310, 0);
  EXPECT_EQ(points->item(1, column1310)->text(), "-20.12");
}

// Check store runs the full check of the local store and tells what it found:
// here an index swapped for another, which no opening reads far enough to see.
TEST(JobPanel, CheckStoreTellsWhetherTheStoreIsSound) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("results.sqlite").toStdString();
  StoreVariable store(dir.filePath("results.sqlite"));
  {
    jobs::SqliteStore made(path);
    jobs::Job job;
    job.name = "J";
    job.profile = jobs::BuiltInProfiles().front();
    made.CreateJob(job, jobs::ExpandPattern("P1-P50").labels);
  }
  ConfigFile config("[config]\r\nlanguage=1\r\n");
  RunningApp running;
  ASSERT_TRUE(running.WaitForPages());
  CJobPanel* panel = running.app->MainFrame()->JobPanel();
  panel->PanelAction()->trigger();
  auto* check = panel->findChild<QPushButton*>(QStringLiteral("checkStore"));
  ASSERT_NE(check, nullptr);
  QTest::mouseClick(check, Qt::LeftButton);
  EXPECT_EQ(panel->StatusLine()->text(), "The results store is sound.");
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db,
                         "PRAGMA writable_schema = ON;"
                         "UPDATE sqlite_master SET rootpage = (SELECT sum(rootpage) FROM sqlite_master WHERE name IN "
                         "('points_label', 'points_position')) - rootpage "
                         "WHERE name IN ('points_label', 'points_position');",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  QTest::mouseClick(check, Qt::LeftButton);
  EXPECT_TRUE(panel->StatusLine()->text().startsWith("The results store is damaged: "))
      << panel->StatusLine()->text().toStdString();
}

}  // namespace
