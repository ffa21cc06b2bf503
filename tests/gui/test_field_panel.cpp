// The field readout in the window: the panel above the real-time table fed by
// the simulated meter, its menu entries, and its settings kept between runs.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include "GuiTestSupport.h"
#include "app/CommandSurface.h"
#include "app/ui/CMainFrame.h"
#include "field/ui/CFieldPanel.h"
#include "field/ui/CFieldReadout.h"
#include "table/ui/CMeasureList.h"
#include "table/ui/CPage1.h"

using guitest::ConfigFile;
using guitest::PortDirectory;
using guitest::RunningApp;
using guitest::SimulatedMeter;
using guitest::WaitFor;

TEST(FieldPanel, LiveReadingsFillThePanelAndAFailIsShownInRed) {
  SimulatedMeter meter({"--readings", "-20.00,-21.00,-19.50,-30.00"});
  ASSERT_TRUE(meter.Started());
  PortDirectory ports(meter.Dir());
  ConfigFile config("[config]\r\nlanguage=1\r\n");
  RunningApp running;
  CMainFrame* frame = running.app->MainFrame();
  ASSERT_TRUE(running.WaitForPages());
  CFieldReadout* readout = frame->FieldReadout();
  CFieldPanel* panel = readout->Panel();
  EXPECT_FALSE(panel->isVisibleTo(frame));  // nothing live yet

  field::Limits limits;
  limits.relative = field::Window{-3, 1};
  readout->SetLimits(limits);
  readout->SetReference(-20.0);
  QTemporaryDir dir;
  ASSERT_TRUE(readout->StartLog(dir.filePath("live.csv")));
  EXPECT_TRUE(readout->LogAction()->isChecked());

  frame->OnCommand(cmd::ID_LINK);
  ASSERT_TRUE(WaitFor([&] { return frame->Logic().Connected(); }, 20000));
  frame->OnCommand(cmd::ID_READ_REALTIME);
  EXPECT_TRUE(panel->isVisibleTo(frame));
  QAbstractItemModel* rows = running.Page1()->List()->model();
  ASSERT_TRUE(WaitFor([&] { return rows->rowCount() >= 4; }, 20000));
  frame->OnCommand(cmd::ID_READ_REALTIME);

  EXPECT_EQ(panel->ValueLabel()->text(), QStringLiteral("\u221230.00"));
  EXPECT_GE(QFontMetrics(panel->ValueLabel()->font()).tightBoundingRect("8").height(), 48);
  EXPECT_EQ(panel->RelativeLabel()->text(), QStringLiteral("Relative \u221210.00 dB"));
  EXPECT_EQ(panel->VerdictLabel()->text(), "FAIL");
  EXPECT_EQ(panel->VerdictLabel()->palette().color(QPalette::Window), QColor(0xd3, 0x2f, 0x2f));
  EXPECT_EQ(panel->StatisticsLabel(0)->text(), "4");
  EXPECT_EQ(panel->StatisticsLabel(4)->text(), "10.50 dB");
  QFile log(dir.filePath("live.csv"));
  ASSERT_TRUE(log.open(QIODevice::ReadOnly));
  EXPECT_EQ(log.readAll().count('\n'), 1 + rows->rowCount());

  // Hidden from the View menu; the panel stays with the stopped reading.
  readout->PanelAction()->trigger();
  EXPECT_FALSE(panel->isVisibleTo(frame));
  readout->PanelAction()->trigger();
  EXPECT_TRUE(panel->isVisibleTo(frame));
}

TEST(FieldPanel, ReferenceAndLimitsAreKeptBetweenRuns) {
  QTemporaryDir dir;
  const QString file = dir.filePath("field.ini");
  QWidget owner;
  field::Limits limits;
  limits.byWavelength[1490] = {-26.5, -9};
  limits.relative = field::Window{-3, 1};
  {
    CFieldReadout first(field::FieldTexts::For(lang::Index::One), &owner, file);
    // A first run judges by the PON presets.
    EXPECT_EQ(first.Feed().Values().LimitsSet(), field::Limits::PonPresets());
    first.SetReference(-20.5);
    first.SetLimits(limits);
    first.PanelAction()->setChecked(false);
  }
  CFieldReadout second(field::FieldTexts::For(lang::Index::One), &owner, file);
  EXPECT_EQ(second.Feed().Values().Reference(), -20.5);
  EXPECT_EQ(second.Feed().Values().LimitsSet(), limits);
  EXPECT_FALSE(second.PanelAction()->isChecked());
}

TEST(FieldPanel, ALogDeletedDuringTheRunIsToldOnceAndGoesOnInANewFile) {
  QTemporaryDir dir;
  QWidget owner;
  CFieldReadout readout(field::FieldTexts::For(lang::Index::One), &owner, dir.filePath("field.ini"));
  QStringList told;
  readout.SetFailureSink([&](const QString& text) { told << text; });
  const QString path = dir.filePath("live.csv");
  ASSERT_TRUE(readout.StartLog(path));
  meter::Reading reading;
  reading.wavelength = "1310";
  reading.linearPower = "10.00uW";
  reading.logPower = "-20.00";
  readout.OnStarted();
  readout.OnRow(reading);
  ASSERT_TRUE(QFile::remove(path));
  readout.OnRow(reading);
  readout.OnRow(reading);
  EXPECT_EQ(told, QStringList{"The log file was deleted or replaced; a new one was started: " + path});
  EXPECT_TRUE(readout.LogAction()->isChecked());
  QFile log(path);
  ASSERT_TRUE(log.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = log.readAll().split('\n');
  ASSERT_EQ(lines.size(), 4);  // the header, two rows, nothing after the last line end
  EXPECT_EQ(lines[0], "time,wavelength_nm,power_dbm,linear_power,relative_db,result");
}
