// The field readout in the window: the panel above the real-time table fed by
// the simulated meter, its menu entries, and its settings kept between runs.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <QTemporaryDir>
#include <QTime>

#include "GuiMeterSupport.h"
#include "app/CommandSurface.h"
#include "app/ui/CMainFrame.h"
#include "field/ui/CFieldPanel.h"
#include "field/ui/CFieldReadout.h"
#include "table/ui/CMeasureList.h"
#include "table/ui/CTablePageWindow.h"

using guitest::ConfigFile;
using guitest::PortDirectory;
using guitest::RunningApp;
using guitest::SimulatedMeter;
using guitest::WaitFor;

TEST(FieldPanel, LiveReadingsFillThePanelAndAFailIsShownInRed) {
  guitest::MeterWindow w("1", {"--readings", "-20.00,-21.00,-19.50,-30.00"});
  ASSERT_TRUE(w.Ready());
  CMainFrame* frame = w.frame;
  // A laptop's window, wider than the offscreen screen: the form, and the
  // panel in it, take the window's width.
  frame->showNormal();
  frame->resize(1024, 768);
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

  ASSERT_TRUE(w.Link());
  frame->OnCommand(cmd::ID_READ_REALTIME);
  EXPECT_TRUE(panel->isVisibleTo(frame));
  QAbstractItemModel* rows = w.running.TablePageWindow()->List()->model();
  ASSERT_TRUE(WaitFor([&] { return rows->rowCount() >= 4; }, 20000));
  // Live, a FAIL is red; stopped, it keeps its word but not its colour.
  EXPECT_EQ(panel->VerdictLabel()->palette().color(QPalette::Window), QColor(0xd3, 0x2f, 0x2f));
  frame->OnCommand(cmd::ID_READ_REALTIME);
  EXPECT_TRUE(panel->StaleLabel()->text().startsWith("stopped at ")) << panel->StaleLabel()->text().toStdString();

  EXPECT_EQ(panel->ValueLabel()->text(), QStringLiteral("\u221230.00"));
  EXPECT_GE(QFontMetrics(panel->ValueLabel()->font()).tightBoundingRect("8").height(), 48);
  EXPECT_EQ(panel->RelativeLabel()->text(), QStringLiteral("Relative \u221210.00 dB"));
  EXPECT_EQ(panel->VerdictLabel()->text(), "FAIL");
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
  QSettings().remove(QStringLiteral("field"));  // the readout's values in the settings file
  QWidget owner;
  field::Limits limits;
  limits.byWavelength[1490] = {-26.5, -9};
  limits.relative = field::Window{-3, 1};
  {
    field::LiveFeed feed;
    CFieldReadout first(feed, field::FieldTexts::For(lang::Index::One), &owner);
    // A first run judges by the PON presets.
    EXPECT_EQ(first.Feed().Values().LimitsSet(), field::Limits::PonPresets());
    first.SetReference(-20.5);
    first.SetLimits(limits);
    first.PanelAction()->setChecked(false);
  }
  field::LiveFeed feed;  // another run's
  CFieldReadout second(feed, field::FieldTexts::For(lang::Index::One), &owner);
  EXPECT_EQ(second.Feed().Values().Reference(), -20.5);
  EXPECT_EQ(second.Feed().Values().LimitsSet(), limits);
  EXPECT_FALSE(second.PanelAction()->isChecked());
}

TEST(FieldPanel, ALogDeletedDuringTheRunIsToldOnceAndGoesOnInANewFile) {
  QTemporaryDir dir;
  field::LiveFeed feed;
  QWidget owner;
  QSettings().remove(QStringLiteral("field"));  // starts as a first run
  CFieldReadout readout(feed, field::FieldTexts::For(lang::Index::One), &owner);
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

namespace {

// Where a label's text is drawn, in the panel's coordinates: the whole
// label where it fills its ground, else the text's own box in its place.
QRect DrawnRect(const QLabel* label, const QWidget* panel) {
  const QRect inLabel =
      label->autoFillBackground()
          ? label->rect()
          : QStyle::alignedRect(label->layoutDirection(), label->alignment(),
                                label->fontMetrics().size(Qt::TextSingleLine, label->text()), label->contentsRect());
  return QRect(label->mapTo(panel, inLabel.topLeft()), inLabel.size());
}

// A label's text is cut when it does not fit its label or its label does not
// fit the panel.
bool Cut(const QLabel* label, const QWidget* panel) {
  const QSize text = label->fontMetrics().size(Qt::TextSingleLine, label->text());
  const QRect room = label->contentsRect();
  return text.width() > room.width() || text.height() > room.height() ||
         !panel->rect().contains(label->geometry());
}

}  // namespace

TEST(FieldPanel, NoTextIsDrawnOverAnotherOrCutAtLaptopAndDesktopSizes) {
  const QSize screens[] = {{800, 600}, {1024, 768}, {1366, 768}, {1600, 900}, {1920, 1080}};
  for (const char* language : {"0", "1"}) {
    ConfigFile config(std::string("[config]\r\nlanguage=") + language + "\r\n");
    RunningApp running;
    CMainFrame* frame = running.app->MainFrame();
    ASSERT_TRUE(running.WaitForPages());
    frame->showNormal();
    CFieldReadout* readout = frame->FieldReadout();
    CFieldPanel* panel = readout->Panel();
    for (const QSize& screen : screens) {
      for (const bool extras : {false, true}) {
        const std::string where = std::string("language ") + language + " " + std::to_string(screen.width()) + "x" +
                                  std::to_string(screen.height()) + (extras ? " with reference and limits" : "");
        readout->SetReference(extras ? std::optional<double>(-20.0) : std::nullopt);
        field::Limits limits;
        if (extras) limits.byWavelength[1310] = {-28, -8};
        readout->SetLimits(limits);
        readout->OnStarted();
        meter::Reading reading;
        reading.wavelength = "1310";
        reading.linearPower = "123.45nW";
        reading.logPower = "-39.08";
        for (int i = 0; i < 48; ++i) readout->OnRow(reading);
        readout->OnStopped(true);  // the note under the value is placed too
        frame->resize(screen);
        guitest::Drain();
        guitest::Drain();
        ASSERT_TRUE(panel->isVisible()) << where;
        EXPECT_EQ(panel->width(), running.TablePageWindow()->width()) << where;
        std::vector<std::pair<QRect, QString>> drawn;
        for (const QLabel* label : panel->findChildren<QLabel*>()) {
          if (!label->isVisible() || label->text().isEmpty()) continue;
          EXPECT_FALSE(Cut(label, panel)) << where << ": " << label->text().toStdString() << " size "
                                          << label->fontMetrics().size(Qt::TextSingleLine, label->text()).width() << "x"
                                          << label->fontMetrics().size(Qt::TextSingleLine, label->text()).height()
                                          << " in " << label->contentsRect().width() << "x"
                                          << label->contentsRect().height() << " at " << label->x() << ","
                                          << label->y() << " panel " << panel->width() << "x" << panel->height();
          drawn.emplace_back(DrawnRect(label, panel), label->text());
        }
        for (int i = 0; i < 3; ++i) {
          const QPushButton* button = panel->Button(i);
          EXPECT_TRUE(button->isVisible()) << where;
          EXPECT_GE(button->width(), button->sizeHint().width()) << where << ": " << button->text().toStdString();
          EXPECT_TRUE(panel->rect().contains(button->geometry())) << where << ": " << button->text().toStdString();
          drawn.emplace_back(button->geometry(), button->text());
        }
        for (size_t a = 0; a < drawn.size(); ++a) {
          for (size_t b = a + 1; b < drawn.size(); ++b) {
            EXPECT_FALSE(drawn[a].first.intersects(drawn[b].first))
                << where << ": \"" << drawn[a].second.toStdString() << "\" and \"" << drawn[b].second.toStdString()
                << "\"";
          }
        }
        // The table keeps room for rows under the panel.
        EXPECT_GE(running.TablePageWindow()->List()->height(), 150) << where;
      }
    }
  }
}

TEST(FieldPanel, AValueNoLongerLiveIsGreyedWithWhenItStopped) {
  const struct {
    bool lost;
    const char* language;
    const char* note;
    const char* pass;  // the verdict word in the window's language
  } cases[] = {{false, "1", "stopped at ", "PASS"},
               {true, "1", "lost at ", "PASS"},
               {false, "0", "停止于 ", "合格"},
               {true, "0", "断开于 ", "合格"}};
  for (const auto& c : cases) {
    QTemporaryDir dir;
    field::LiveFeed feed;
    QWidget owner;
    QSettings().remove(QStringLiteral("field"));  // starts as a first run
    CFieldReadout readout(feed, field::FieldTexts::For(lang::Resolve(c.language)), &owner);
    CFieldPanel* panel = readout.Panel();
    readout.OnStarted();
    meter::Reading reading;
    reading.wavelength = "1310";
    reading.linearPower = "12.24uW";
    reading.logPower = "-19.12";
    readout.OnRow(reading);
    const QColor live = panel->ValueLabel()->palette().color(QPalette::WindowText);
    EXPECT_EQ(panel->VerdictLabel()->palette().color(QPalette::Window), QColor(0x1e, 0x9e, 0x48));  // PASS
    EXPECT_TRUE(panel->StaleLabel()->text().isEmpty());
    readout.OnStopped(c.lost);
    readout.OnStopped(!c.lost);  // the first word stays
    const QString note = panel->StaleLabel()->text();
    EXPECT_TRUE(note.startsWith(QString::fromUtf8(c.note))) << note.toStdString();
    EXPECT_TRUE(QTime::fromString(note.mid(QString::fromUtf8(c.note).size()), "HH:mm:ss").isValid())
        << note.toStdString();
    EXPECT_NE(panel->ValueLabel()->palette().color(QPalette::WindowText), live);
    EXPECT_NE(panel->VerdictLabel()->palette().color(QPalette::Window), QColor(0x1e, 0x9e, 0x48));
    EXPECT_EQ(panel->VerdictLabel()->text(), QString::fromUtf8(c.pass));  // the verdict it had, no longer in colour
    // A new run is live again.
    readout.OnStarted();
    EXPECT_TRUE(panel->StaleLabel()->text().isEmpty());
    EXPECT_EQ(panel->ValueLabel()->palette().color(QPalette::WindowText), live);
  }
}
