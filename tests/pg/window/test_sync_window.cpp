// File → Sync results… in the window against a real PostgreSQL server
// (tests/pg/with-server.sh starts it): the sync runs beside the window and
// its outcome is said in the window's language.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QMenu>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QMessageBox>
#include <QTemporaryDir>
#include <fstream>
#include <sstream>

#include "GuiTestSupport.h"
#include "app/ui/CMainFrame.h"
#include "jobs/Capture.h"
#include "jobs/Pg.h"
#include "jobs/SqliteStore.h"
#include "jobs/PgStore.h"
#include "jobs/Sync.h"
#include "jobs/ui/CJobPanel.h"
#include "jobs/ui/CSyncRunner.h"

using guitest::ConfigFile;
using guitest::RunningApp;
using guitest::WaitFor;

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A fresh database on the test server, and its URL.
std::string FreshDatabase(const std::string& name) {
  jobs::pg::Connection admin(Env("KM360R_TEST_SERVER"));
  admin.Execute("DROP DATABASE IF EXISTS " + name);
  admin.Execute("CREATE DATABASE " + name);
  return "postgresql:///" + name + "?host=" + Env("KM360R_TEST_SOCKET") + "&user=" + Env("KM360R_TEST_USER");
}

// A job of two points, each captured at 1310 and 1490 nm.
void FillStore(const std::string& path) {
  jobs::SqliteStore store(path);
  jobs::Job job;
  job.name = "Street 5";
  job.profile = jobs::BuiltInProfiles()[0];
  store.CreateJob(job, {"P1", "P2"});
  const jobs::Job made = *store.FindJob("Street 5");
  for (const char* point : {"P1", "P2"}) {
    for (int nm : {1310, 1490}) {
      jobs::Result r = jobs::ResultOf(made, point, nm, {-20.0}, 1765000000);
      store.AddResult("Street 5", r);
    }
  }
}

TEST(SyncWindow, FileSyncResultsSaysWhatWasSentOrWhyNotInTheWindowsLanguage) {
  if (Env("KM360R_TEST_SERVER").empty()) GTEST_SKIP() << "run through tests/pg/with-server.sh";
  struct Case {
    const char* language;
    const char* server;  // "up", "down" or "" (none set)
    bool ok;
    const char* message;  // the whole message, or its beginning when the server's reason follows
    int64_t onServer;
  };
  const Case cases[] = {
      {"1", "up", true, "sent 4 results, 0 already there", 4},
      {"0", "up", true, "已发送 4 个结果，0 个已在服务器上", 4},
      {"0", "down", false, "无法使用结果服务器：", 0},
      {"1", "down", false, "the results server cannot be used: ", 0},
      {"1", "", false, "No team server is set: set server= under [config] in config.ini, or KM360R_SERVER.", 0},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.language) + " " + c.server);
    QTemporaryDir dir;
    const std::string store = dir.filePath("results.sqlite").toStdString();
    FillStore(store);
    const std::string before = Bytes(store);
    setenv("KM360R_STORE", store.c_str(), 1);
    const std::string database = FreshDatabase("w_sync_" + std::to_string(++n));
    std::string server;
    if (std::string(c.server) == "up") server = database;
    if (std::string(c.server) == "down") server = "postgresql:///x?host=" + dir.path().toStdString();
    ConfigFile config("[config]\r\nlanguage=" + std::string(c.language) + "\r\n" +
                      (server.empty() ? "" : "server=" + server + "\r\n"));
    RunningApp running;
    CMainFrame* frame = running.app->MainFrame();
    ASSERT_NE(frame->SyncAction(), nullptr);
    // The entry sits in the File menu.
    QMenu* file = frame->menuBar()->actions().first()->menu();
    EXPECT_TRUE(file->actions().contains(frame->SyncAction()));
    frame->SyncAction()->trigger();
    ASSERT_TRUE(WaitFor([&] { return frame->SyncRunner()->Message() && !frame->SyncRunner()->Running(); }, 60000));
    QMessageBox* box = frame->SyncRunner()->Message();
    const std::string text = box->text().toStdString();
    EXPECT_EQ(text.rfind(c.message, 0), 0u) << text;
    EXPECT_EQ(box->icon(), c.ok ? QMessageBox::Information : QMessageBox::Warning);
    box->close();
    jobs::pg::Connection db(database);
    const bool tables = db.Query("SELECT to_regclass('results') IS NOT NULL").Text(0, 0) == "t";
    EXPECT_EQ(tables ? db.Query("SELECT count(*) FROM results").Int(0, 0) : 0, c.onServer);
    if (!c.ok) {
      EXPECT_EQ(Bytes(store), before);
    }
    unsetenv("KM360R_STORE");
  }
}

TEST(SyncWindow, TheJobPanelShowsTheServersJobsReadOnly) {
  if (Env("KM360R_TEST_SERVER").empty()) GTEST_SKIP() << "run through tests/pg/with-server.sh";
  QTemporaryDir dir;
  const std::string technician = dir.filePath("technician.sqlite").toStdString();
  FillStore(technician);
  const std::string server = FreshDatabase("w_panel");
  {
    jobs::PgStore remote(server, jobs::PgStore::Access::Sync);
    jobs::SqliteStore local(technician);
    jobs::Sync(local, remote);
  }
  // The office's own store holds no job.
  setenv("KM360R_STORE", dir.filePath("office.sqlite").toLocal8Bit().constData(), 1);
  ConfigFile config("[config]\r\nlanguage=1\r\nserver=" + server + "\r\n");
  RunningApp running;
  CJobPanel* panel = running.app->MainFrame()->JobPanel();
  panel->PanelAction()->trigger();
  EXPECT_FALSE(panel->OpenJob("Street 5"));

  panel->SourceSwitch()->setCurrentIndex(1);
  emit panel->SourceSwitch()->activated(1);
  ASSERT_TRUE(panel->OnServer()) << panel->StatusLine()->text().toStdString();
  ASSERT_TRUE(panel->OpenJob("Street 5")) << panel->StatusLine()->text().toStdString();
  EXPECT_EQ(panel->Points()->rowCount(), 2);
  EXPECT_EQ(panel->Points()->item(0, 0)->text(), QStringLiteral("P1"));
  // Nothing that would change the job is offered, and a capture is refused with the reason.
  for (QPushButton* b : panel->findChildren<QPushButton*>()) {
    if (b->isEnabled()) {
      EXPECT_NE(b->text().toStdString(), "New job…");
      EXPECT_EQ(b->text().toStdString().find("Capture"), std::string::npos);
    }
  }
  ASSERT_TRUE(panel->SelectPoint("P1"));
  EXPECT_FALSE(panel->Capture());
  EXPECT_EQ(panel->StatusLine()->text().toStdString(),
            "A job on the server can be viewed only, not changed or captured into.");
  jobs::pg::Connection db(server);
  EXPECT_EQ(db.Query("SELECT count(*) FROM results").Int(0, 0), 4);

  // Back to the local jobs: the office's store again, which has no such job.
  panel->SourceSwitch()->setCurrentIndex(0);
  emit panel->SourceSwitch()->activated(0);
  EXPECT_FALSE(panel->OnServer());
  EXPECT_FALSE(panel->OpenJob("Street 5"));
  unsetenv("KM360R_STORE");
}

}  // namespace
