// Nothing measured, typed or printed is lost or passed over in silence, in the
// window: Save writes the rows on screen whatever followed them, the new job
// form keeps what was typed until the job exists, a wavelength changed during
// a job keeps the reading and its rows, and a job report printed to a file
// names the file.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <functional>
#include <string>

#include "GuiMeterSupport.h"
#include "app/CommandSurface.h"
#include "app/ui/CMainFrame.h"
#include "field/ui/CFieldPanel.h"
#include "jobs/ui/CJobPanel.h"
#include "jobs/ui/CNewJobDialog.h"
#include "settings/ui/CSetWavelengthDialog.h"
#include "table/DataFiles.h"
#include "table/ui/CTablePageWindow.h"

using guitest::BoxAnswerer;
using guitest::ConfigFile;
using guitest::RunningApp;
using guitest::WaitFor;

namespace {

// Runs `act` once on the first modal window it accepts (it returns false
// while the window is not ready for it yet).
class WhenModal {
 public:
  explicit WhenModal(std::function<bool(QWidget*)> act) : m_act(std::move(act)) {
    m_timer.setInterval(10);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || !modal->isVisible() || !m_act(modal)) return;
      m_timer.stop();
      m_bDone = true;
    });
    m_timer.start();
  }
  bool Done() const { return m_bDone; }

 private:
  std::function<bool(QWidget*)> m_act;
  QTimer m_timer;
  bool m_bDone = false;
};

// A settings dialog's OK, by key, once the dialog lets it be pressed (the
// calibration waits for the meter to name its wavelength).
bool PressOk(QWidget* dialog) {
  if (qobject_cast<QMessageBox*>(dialog)) return false;
  for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
    if (!button->isDefault()) continue;
    if (!button->isEnabled()) return false;
    QTest::keyClick(dialog, Qt::Key_Return);
    return true;
  }
  return false;
}

TEST(NothingLost, CtrlSWritesTheRowsOnScreenAfterEachSettingDisconnectAndALostMeter) {
  const struct {
    const char* name;
    int command;  // the settings command answered with OK, or 0
    std::function<void(guitest::MeterWindow&)> other;
  } cases[] = {
      {"clock", cmd::ID_SET_CLOCK_EN, nullptr},
      {"wavelength", cmd::ID_SET_WAVELENGTH_EN, nullptr},
      {"calibration", cmd::ID_CALIBRATE_EN, nullptr},
      {"mode", cmd::ID_SET_MODE_EN, nullptr},
      {"disconnect", 0, [](guitest::MeterWindow& w) {
         ASSERT_TRUE(WaitFor([&] { return !w.frame->Service().LinkBusy(); }));  // the guard after Link
         w.frame->OnCommand(cmd::ID_LINK_EN);
         EXPECT_FALSE(w.frame->Service().Connected());
       }},
      {"meter killed", 0, [](guitest::MeterWindow& w) {
         BoxAnswerer lost(QMessageBox::Ok);
         w.meter.Stop();
         ASSERT_TRUE(WaitFor([&] { return lost.Answered(); }));
         EXPECT_FALSE(w.frame->Service().Connected());
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CApplication::Options options = guitest::MeterWindow::TenfoldPace();
    options.timings.linkGuardMs = 100;
    guitest::MeterWindow w("1", {}, options);
    ASSERT_TRUE(w.Ready());
    ASSERT_TRUE(w.Link());
    const TableModel& rows = w.running.TablePageWindow()->Page().Model();
    w.frame->OnCommand(cmd::ID_READ_REALTIME);
    ASSERT_TRUE(WaitFor([&] { return rows.RowCount() >= 2; }, 20000));
    if (c.command) {
      BoxAnswerer success(QMessageBox::Ok);
      WhenModal ok(PressOk);
      w.frame->OnCommand(c.command);
      ASSERT_TRUE(WaitFor([&] { return success.Answered(); }));
      EXPECT_EQ(success.Text().toStdString(), "Set up successful");
    } else {
      c.other(w);
    }
    ASSERT_TRUE(w.frame->windowTitle().startsWith('*'));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept"));
    std::string shown;  // the rows on screen when the operator confirms the name
    WhenModal save([&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      auto* name = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
      if (!name) return false;
      shown = datafile::Compose(rows, datafile::FileType::Ref);
      name->setText(path);
      QTest::keyClick(name, Qt::Key_Return);
      return true;
    });
    w.frame->activateWindow();
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == w.frame; }));
    QTest::keyClick(w.frame, Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return save.Done() && QFile::exists(path + ".ref"); }));
    QFile file(path + ".ref");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), shown);
    EXPECT_FALSE(w.frame->windowTitle().startsWith('*')) << w.frame->windowTitle().toStdString();
  }
}

// The results store in a folder of the test's (KM360R_STORE) while it runs.
struct StoreInFolder {
  explicit StoreInFolder(const QString& path) { setenv("KM360R_STORE", path.toLocal8Bit().constData(), 1); }
  ~StoreInFolder() { unsetenv("KM360R_STORE"); }
};

QPushButton* ButtonNamed(QWidget* parent, const QString& text) {
  for (QPushButton* b : parent->findChildren<QPushButton*>()) {
    if (b->text() == text) return b;
  }
  return nullptr;
}

// An English window with the job panel shown and a store of the test's own.
struct PanelWindow {
  PanelWindow() : store(dir.filePath("results.sqlite")), config("[config]\r\nlanguage=1\r\n") {
    ready = running.WaitForPages();
    panel = running.app->MainFrame()->JobPanel();
    panel->PanelAction()->trigger();
  }
  QTemporaryDir dir;
  StoreInFolder store;
  ConfigFile config;
  RunningApp running;
  CJobPanel* panel = nullptr;
  bool ready = false;
};

// A refused name, pattern or job keeps the form open with the reason under
// its field and everything typed; mended, the form makes the job and closes.
TEST(NothingLost, TheNewJobFormKeepsWhatWasTypedUntilTheJobExists) {
  PanelWindow w;
  ASSERT_TRUE(w.ready);
  CJobPanel* panel = w.panel;
  jobs::Job taken;
  taken.name = "Taken";
  ASSERT_TRUE(panel->NewJob(taken, {}));
  QPushButton* newJob = ButtonNamed(panel, QStringLiteral("New job…"));
  ASSERT_NE(newJob, nullptr);
  const struct {
    const char* name;
    const char* pattern;
    QLabel* (CNewJobDialog::*problem)() const;
    QLineEdit* (CNewJobDialog::*field)() const;  // mended
    const char* mended;
    const char* reason;  // a part of it
  } cases[] = {
      {"Street 5", "P01-P03,,P05", &CNewJobDialog::PatternProblem, &CNewJobDialog::PatternEdit, "P01-P03",
       "an empty part between commas"},
      {"  ", "P01-P03", &CNewJobDialog::NameProblem, &CNewJobDialog::NameEdit, "Street 6", "cannot be empty"},
      {"Taken", "P01", &CNewJobDialog::JobProblem, &CNewJobDialog::NameEdit, "Street 7", "exists"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    WhenModal form([&](QWidget* modal) {
      auto* dialog = qobject_cast<CNewJobDialog*>(modal);
      if (!dialog) return false;
      QTest::keyClicks(dialog->NameEdit(), c.name);
      QTest::keyClicks(dialog->PatternEdit(), c.pattern);
      QTest::keyClick(dialog->PatternEdit(), Qt::Key_Return);
      EXPECT_TRUE(dialog->isVisible());
      EXPECT_NE((dialog->*c.problem)()->text().toStdString().find(c.reason), std::string::npos)
          << (dialog->*c.problem)()->text().toStdString();
      EXPECT_EQ(dialog->NameEdit()->text(), c.name);
      EXPECT_EQ(dialog->PatternEdit()->text(), c.pattern);
      QLineEdit* field = (dialog->*c.field)();
      field->selectAll();
      QTest::keyClicks(field, c.mended);
      QTest::keyClick(field, Qt::Key_Return);
      EXPECT_FALSE(dialog->isVisible());
      return true;
    });
    QTest::mouseClick(newJob, Qt::LeftButton);
    ASSERT_TRUE(form.Done());
    ASSERT_TRUE(panel->OpenedJob());
    EXPECT_EQ(panel->OpenedJob()->name, c.field == &CNewJobDialog::NameEdit ? c.mended : c.name);
  }
}

// A technician measures each point at 1310, 1490 and 1550 nm: each change of
// wavelength lets the reading go on into the same rows, asks nothing about
// them, and leaves no word of stale readings once readings come again.
TEST(NothingLost, AWavelengthChangedDuringAJobKeepsTheReadingAndItsRows) {
  QTemporaryDir dir;
  StoreInFolder store(dir.filePath("results.sqlite"));
  guitest::MeterWindow w("1");
  ASSERT_TRUE(w.Ready());
  CJobPanel* panel = w.frame->JobPanel();
  panel->PanelAction()->trigger();
  jobs::Job job;
  job.name = "Street 5";
  job.profile = jobs::FindProfile("gpon-b+", {}).value();
  ASSERT_TRUE(panel->NewJob(job, {"P01"}));
  ASSERT_TRUE(panel->SelectPoint("P01"));
  panel->Points()->setFocus();
  QTest::keyClick(panel->Points(), Qt::Key_Space);
  EXPECT_EQ(panel->StatusLine()->text(), "No live readings: start real-time reading first.");

  ASSERT_TRUE(w.Link());
  const TableModel& rows = w.running.TablePageWindow()->Page().Model();
  QLabel* stale = w.frame->findChild<CFieldPanel*>()->StaleLabel();
  w.frame->OnCommand(cmd::ID_READ_REALTIME);
  ASSERT_TRUE(WaitFor([&] { return rows.RowCount() >= 2; }, 20000));
  EXPECT_EQ(panel->StatusLine()->text(), "");
  const std::string firstRow(rows.Cell(0, 3));
  BoxAnswerer boxes(QMessageBox::Ok);
  for (const auto& [from, to] : {std::pair{"1310", "1490"}, std::pair{"1490", "1550"}}) {
    SCOPED_TRACE(to);
    const int before = rows.RowCount();
    WhenModal choose([&, from = from](QWidget* modal) {
      auto* dialog = qobject_cast<CSetWavelengthDialog*>(modal);
      if (!dialog || dialog->CurrentLabel()->text() != from) return false;  // the meter's answer
      EXPECT_EQ(dialog->WaveLengthList()->currentText(), from);
      QTest::keyClick(dialog->WaveLengthList(), Qt::Key_Down);
      QTest::keyClick(dialog, Qt::Key_Return);
      return true;
    });
    w.frame->OnCommand(cmd::ID_SET_WAVELENGTH_EN);
    ASSERT_TRUE(WaitFor(
        [&, to = to] {
          const int last = rows.RowCount() - 1;
          return last >= before && rows.Cell(last, 1).find(to) != std::string_view::npos;
        },
        20000));
    EXPECT_TRUE(w.frame->Service().RealTime());
    EXPECT_EQ(std::string(rows.Cell(0, 3)), firstRow);
    EXPECT_EQ(stale->text(), "");
  }
  EXPECT_EQ(boxes.Boxes(), 2);  // "Set up successful" twice, and no question
  EXPECT_EQ(boxes.Text().toStdString(), "Set up successful");
}

// Answers the print dialog with its PDF printer into `pdf`.
bool PrintToFile(QWidget* modal, const QString& pdf) {
  auto* dialog = qobject_cast<QPrintDialog*>(modal);
  if (!dialog) return false;
  auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
  if (printers) printers->setCurrentIndex(printers->count() - 1);  // the PDF file comes last
  if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("filename"))) name->setText(pdf);
  dialog->accept();
  return true;
}

TEST(NothingLost, AJobReportPrintedToAFileNamesTheFile) {
  PanelWindow w;
  ASSERT_TRUE(w.ready);
  CJobPanel* panel = w.panel;
  QTemporaryDir& dir = w.dir;
  jobs::Job job;
  job.name = "Street 5";
  ASSERT_TRUE(panel->NewJob(job, {"P01"}));
  const QString pdf = dir.filePath(QStringLiteral("street 5.pdf"));
  WhenModal print([&](QWidget* modal) { return PrintToFile(modal, pdf); });
  QTest::mouseClick(ButtonNamed(panel, QStringLiteral("Print report…")), Qt::LeftButton);
  ASSERT_TRUE(print.Done());
  EXPECT_TRUE(QFile::exists(pdf));
  EXPECT_EQ(panel->StatusLine()->text(), "The job report was printed to the file " + pdf);
}

}  // namespace
