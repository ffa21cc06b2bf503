// The "Test job" panel against a results store, with no meter: Ctrl+J shows
// it, and its commands rename a job and check the store.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include "GuiTestSupport.h"
#include "app/ui/CMainFrame.h"
#include "jobs/PointPattern.h"
#include "jobs/SqliteStore.h"
#include "jobs/ui/CJobPanel.h"

using guitest::ConfigFile;
using guitest::RunningApp;
using guitest::WaitFor;

namespace {

TEST(JobPanel, CtrlJShowsThePanelBesideTheTable) {
  QTemporaryDir dir;
  guitest::EnvironmentVariable store("KM360R_STORE", dir.filePath("results.sqlite"));
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

TEST(JobPanel, RenameJobRenamesTheOpenJobInTheStoreAndRefusesATakenName) {
  QTemporaryDir dir;
  const QString path = dir.filePath("results.sqlite");
  guitest::EnvironmentVariable store("KM360R_STORE", path);
  ConfigFile config("[config]\r\nlanguage=1\r\n");
  RunningApp running;
  CJobPanel* panel = running.app->MainFrame()->JobPanel();
  panel->PanelAction()->trigger();
  jobs::Job job;
  job.profile = jobs::FindProfile("gpon-b+", {}).value();
  for (const char* name : {"Other", "Street 5"}) {
    job.name = name;
    ASSERT_TRUE(panel->NewJob(job, {"P1"})) << panel->StatusLine()->text().toStdString();
  }
  // The button asks for the name; it is typed over the old one and Enter renames.
  QTimer::singleShot(0, [] {
    auto* ask = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(ask, nullptr);
    QLineEdit* edit = ask->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClicks(edit, "Street 5a");
    QTest::keyClick(edit, Qt::Key_Return);
  });
  QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("renameJob")), Qt::LeftButton);
  ASSERT_TRUE(panel->OpenedJob());
  EXPECT_EQ(panel->OpenedJob()->name, "Street 5a");
  EXPECT_FALSE(panel->RenameJob("Other"));
  EXPECT_EQ(panel->StatusLine()->text().toStdString(), "The results store failed: a job named Other exists");
  jobs::SqliteStore kept(path.toStdString());
  EXPECT_TRUE(kept.FindJob("Street 5a"));
  EXPECT_FALSE(kept.FindJob("Street 5"));
}

// Check store runs the full check of the local store and tells what it found:
// here an index swapped for another, which no opening reads far enough to see.
TEST(JobPanel, CheckStoreTellsWhetherTheStoreIsSound) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("results.sqlite").toStdString();
  guitest::EnvironmentVariable store("KM360R_STORE", dir.filePath("results.sqlite"));
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
                         "('points_label', 'points_order')) - rootpage "
                         "WHERE name IN ('points_label', 'points_order');",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  QTest::mouseClick(check, Qt::LeftButton);
  EXPECT_TRUE(panel->StatusLine()->text().startsWith("The results store is damaged: "))
      << panel->StatusLine()->text().toStdString();
}

}  // namespace
