// The "Test job" panel in the window with a meter: Space captures a
// result for the selected point from the simulated meter's live readings into
// the store file km360r-cli would use.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include "GuiMeterSupport.h"
#include "app/CommandSurface.h"
#include "app/ui/CMainFrame.h"
#include "field/ui/CFieldPanel.h"
#include "field/ui/CFieldReadout.h"
#include "jobs/JobTable.h"
#include "jobs/PointPattern.h"
#include "jobs/SqliteStore.h"
#include "jobs/ui/CJobPanel.h"
#include "jobs/ui/CNewJobDialog.h"
#include "table/ui/CTablePageWindow.h"

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

// A window with the simulated meter and a private store; Open shows the job
// panel with a job of the points given, Live reads until a capture's worth of
// readings has arrived.
struct JobWindow {
  explicit JobWindow(const std::string& language, const QStringList& meterArgs = {"--readings", "-20.00,-21.00,-19.50"})
      : store(dir.filePath("results.sqlite")), w(language, meterArgs) {}
  bool Open(const std::vector<std::string>& points) {
    if (!w.Ready()) return false;
    if (!panel()->isVisible()) panel()->PanelAction()->trigger();
    jobs::Job job;
    job.name = "Street 5";
    job.profile = jobs::FindProfile("gpon-b+", {}).value();
    return panel()->NewJob(job, points);
  }
  // Real-time reading until a capture's three readings have arrived.
  bool Live() {
    if (!w.Link()) return false;
    w.frame->OnCommand(cmd::ID_READ_REALTIME);
    return WaitFor([&] { return !panel()->StabilityLabel()->text().startsWith("too few") &&
                                !panel()->StabilityLabel()->text().isEmpty(); }, 20000);
  }
  CJobPanel* panel() const { return w.frame->JobPanel(); }
  QString Status() const { return panel()->StatusLine()->text(); }
  std::vector<jobs::Result> Stored() const {
    return jobs::SqliteStore(dir.filePath("results.sqlite").toStdString()).LatestResults("Street 5");
  }
  void ClickPoint(int row) const {
    QTableWidget* list = panel()->Points();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row, 0)).center());
  }

  QTemporaryDir dir;
  StoreVariable store;
  guitest::MeterWindow w;
};

TEST(JobPanel, TwoPressesApartStoreTwoResultsThatShareNoReading) {
  JobWindow j("1");
  ASSERT_TRUE(j.Open({"P01", "P02", "P03"})) << j.Status().toStdString();
  ASSERT_TRUE(j.Live());
  j.ClickPoint(1);
  QTest::keyClick(j.panel()->Points(), Qt::Key_Space);
  // A double tap: the second press finds no reading of its own and stores nothing.
  QTest::keyClick(j.panel()->Points(), Qt::Key_Space);
  EXPECT_EQ(j.Status(), "P03 not captured: 3 more new readings at 1310 nm needed; press again when in "
                        "(a reading serves one result only)");
  EXPECT_EQ(j.Stored().size(), 1u);
  // Pressed again until fresh readings are in: P03 gets readings of its own.
  ASSERT_TRUE(WaitFor([&] {
    QTest::keyClick(j.panel()->Points(), Qt::Key_Space);
    return j.Stored().size() == 2;
  })) << j.Status().toStdString();

  const std::vector<jobs::Result> stored = j.Stored();
  EXPECT_EQ(stored[0].point, "P02");
  EXPECT_EQ(stored[1].point, "P03");
  // The store says when each result's first and last reading arrived: the
  // second result's readings all came after the first's. (The times share
  // their offset, so their texts sort as the times do.)
  for (const jobs::Result& r : stored) {
    EXPECT_EQ(r.samples, 3) << r.point;
    ASSERT_EQ(r.firstReadingAt.size(), 29u) << r.point << " " << r.firstReadingAt;
    EXPECT_EQ(r.firstReadingAt.substr(23), stored[0].lastReadingAt.substr(23)) << r.point;
    EXPECT_LE(r.firstReadingAt, r.lastReadingAt) << r.point;
  }
  EXPECT_LT(stored[0].lastReadingAt, stored[1].firstReadingAt);
}

TEST(JobPanel, SpaceCapturesWhereverTheFocusIsAndSaysWhyWhenItCannot) {
  JobWindow j("1");
  ASSERT_TRUE(j.w.Ready());
  QWidget* readings = j.w.running.TablePageWindow()->List();
  // Without a job Space in the readings table stays the table's own.
  j.panel()->PanelAction()->trigger();
  readings->setFocus();
  QTest::keyClick(readings, Qt::Key_Space);
  EXPECT_EQ(j.Status(), "");

  ASSERT_TRUE(j.Open({"P01", "P02"})) << j.Status().toStdString();
  // Clear reference says why it cannot clear one before any reading.
  for (QPushButton* clear : j.panel()->findChildren<QPushButton*>()) {
    if (clear->text() == "Clear reference") QTest::mouseClick(clear, Qt::LeftButton);
  }
  EXPECT_EQ(j.Status(), "No live readings: start real-time reading first.");
  j.panel()->StatusLine()->clear();
  readings->setFocus();
  QTest::keyClick(readings, Qt::Key_Space);
  EXPECT_EQ(j.Status(), "No live readings: start real-time reading first.");

  ASSERT_TRUE(j.Live());
  // Live readings take the stale line away.
  EXPECT_EQ(j.Status(), "");
  // A field being typed in types, a focused button is pressed: neither captures.
  QSpinBox* samples = j.panel()->findChild<QSpinBox*>();
  QPushButton* reset = j.w.frame->FieldReadout()->Panel()->Button(2);
  for (QWidget* own : std::initializer_list<QWidget*>{samples, reset}) {
    own->setFocus();
    QTest::keyClick(own, Qt::Key_Space);
    EXPECT_EQ(j.Status(), "");
  }
  readings->setFocus();
  QTest::keyClick(readings, Qt::Key_Space);
  EXPECT_TRUE(j.Status().startsWith("Stored: P01  1310 nm")) << j.Status().toStdString();
  ASSERT_TRUE(WaitFor([&] {
    QTest::keyClick(readings, Qt::Key_Space);
    return j.Status().startsWith("Stored: P02");
  })) << j.Status().toStdString();
  EXPECT_TRUE(j.Status().endsWith(";  all points measured")) << j.Status().toStdString();
  EXPECT_EQ(j.panel()->SelectedPoint(), "P02");

  j.ClickPoint(0);
  ASSERT_TRUE(WaitFor([&] {
    QTest::keyClick(j.panel()->Points(), Qt::Key_Space);
    return j.Status().startsWith("Stored: P01");
  })) << j.Status().toStdString();
  EXPECT_TRUE(j.Status().contains(";  P01 measured again; the earlier result is kept")) << j.Status().toStdString();
}

TEST(JobPanel, TheStabilityGreysWhenTheReadingStopsOrTheMeterIsLost) {
  struct Case {
    bool lost;
    const char* why;
  } cases[] = {{false, "No live readings: start real-time reading first."},
               {true, "The meter was lost: link it and start real-time reading again."}};
  for (const Case& c : cases) {
    JobWindow j("1", c.lost ? QStringList{"--hangup-after", "8"} : QStringList{});
    guitest::BoxAnswerer ok(QMessageBox::Ok);
    ASSERT_TRUE(j.Open({"P01"}));
    ASSERT_TRUE(j.Live());
    const QLabel* stability = j.panel()->StabilityLabel();
    EXPECT_NE(stability->palette().color(QPalette::Window), QColor(0xdd, 0xe1, 0xe6)) << c.why;
    if (!c.lost) j.w.frame->OnCommand(cmd::ID_READ_REALTIME);
    ASSERT_TRUE(WaitFor([&] { return stability->palette().color(QPalette::Window) == QColor(0xdd, 0xe1, 0xe6); }))
        << c.why;
    j.panel()->Points()->setFocus();
    QTest::keyClick(j.panel()->Points(), Qt::Key_Space);
    EXPECT_EQ(j.Status(), c.why);
    EXPECT_TRUE(j.Stored().empty());
  }
}

TEST(JobPanel, TheReadoutJudgesAsTheOpenJobInTheWindowsWords) {
  // -27.00 dBm at 1310 nm: inside the readout's own -28 ... -8, within the
  // job's 2 dB margin of -28.
  JobWindow j("0", {"--readings", "-27.00"});
  ASSERT_TRUE(j.w.Ready());
  CFieldPanel* readout = j.w.frame->FieldReadout()->Panel();
  j.w.frame->FieldReadout()->SetReference(std::nullopt);
  j.w.frame->FieldReadout()->SetLimits(field::Limits::PonPresets());
  ASSERT_TRUE(j.w.Link());
  j.w.frame->OnCommand(cmd::ID_READ_REALTIME);
  ASSERT_TRUE(WaitFor([&] { return readout->VerdictLabel()->text() == "合格"; }, 20000))
      << readout->VerdictLabel()->text().toStdString();

  ASSERT_TRUE(j.Open({"P01"}));
  EXPECT_EQ(readout->VerdictLabel()->text(), "临界");
  EXPECT_EQ(readout->JudgedByLabel()->text(), "任务门限：GPON B+");
  const QLabel* judgedBy = readout->JudgedByLabel();
  EXPECT_FALSE(judgedBy->geometry().intersects(readout->VerdictLabel()->geometry()));
  EXPECT_GE(judgedBy->contentsRect().width(), judgedBy->fontMetrics().horizontalAdvance(judgedBy->text()));
  ASSERT_TRUE(WaitFor([&] { return !j.panel()->StabilityLabel()->text().startsWith("读数不足"); }));
  j.panel()->Points()->setFocus();
  QTest::keyClick(j.panel()->Points(), Qt::Key_Space);
  ASSERT_TRUE(WaitFor([&] { return j.Stored().size() == 1; })) << j.Status().toStdString();
  EXPECT_TRUE(j.Status().endsWith("临界;  全部测试点已测")) << j.Status().toStdString();
  QTableWidget* points = j.panel()->Points();
  EXPECT_EQ(points->item(0, points->columnCount() - 1)->text(), "临界");

  j.panel()->CloseJob();
  EXPECT_EQ(readout->VerdictLabel()->text(), "合格");
  EXPECT_TRUE(readout->JudgedByLabel()->isHidden());
}

TEST(JobPanel, APatternRefusedIsToldInTheWindowsLanguage) {
  JobWindow j("0");
  ASSERT_TRUE(j.w.Ready());
  j.panel()->PanelAction()->trigger();
  QPushButton* newJob = nullptr;
  for (QPushButton* b : j.panel()->findChildren<QPushButton*>()) {
    if (b->text() == "新建任务…") newJob = b;
  }
  ASSERT_NE(newJob, nullptr);
  const struct {
    const char* pattern;
    const char* told;
  } cases[] = {
      {"P05-P01", "P05-P01：范围由大到小"},
      {"P1,P1", "测试点 P1 已在任务中"},
  };
  for (const auto& c : cases) {
    // Enter on the pattern: the form stays open with the reason beside the field.
    std::string told;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<CNewJobDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      QTest::keyClicks(dialog->NameEdit(), "Job");
      QTest::keyClicks(dialog->PatternEdit(), c.pattern);
      QTest::keyClick(dialog->PatternEdit(), Qt::Key_Return);
      told = dialog->PatternProblem()->text().toStdString();
      dialog->reject();
    });
    QTest::mouseClick(newJob, Qt::LeftButton);
    EXPECT_EQ(told, c.told);
  }
  EXPECT_FALSE(j.panel()->OpenedJob().has_value());
}

}  // namespace
