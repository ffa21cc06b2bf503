// What the window tells and offers the operator beyond the meter's own
// texts: the link pane, a table that shows whole texts,
// Qt's dialogs in Chinese, the reset question, a narrow window.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolBar>
#include <set>

#include "GuiMeterSupport.h"
#include "app/CommandSurface.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/DialogSupport.h"
#include "common/Gbk.h"
#include "common/ui/UserSettings.h"
#include "table/ui/CMeasureList.h"
#include "table/ui/CTablePageWindow.h"

using guitest::BoxAnswerer;
using guitest::ConfigFile;
using guitest::Drain;
using guitest::kLinkButton;
using guitest::MeterWindow;
using guitest::RunningApp;
using guitest::Str;
using guitest::WaitFor;

namespace {

std::string LinkPane(CMainFrame* frame) { return Str(frame->LinkPane()->text()); }

// Connects through the toolbar, noting each text the link pane showed.
bool Connect(CMainFrame* frame, std::set<std::string>* seen = nullptr) {
  frame->ToolbarAction(kLinkButton)->trigger();
  return WaitFor(
      [&] {
        if (seen) seen->insert(LinkPane(frame));
        return frame->Service().Connected();
      },
      20000);
}

using WithMeter = MeterWindow;

TEST(OperatorComfort, TheLinkPaneAndLampNameThePortProbedThenTheOneConnected) {
  // The probe's answer comes late enough for the search to be seen.
  WithMeter w("1", {"--probe-delay-ms", "3000"});
  ASSERT_TRUE(w.Ready());
  CMainFrame* frame = w.frame;
  EXPECT_EQ(LinkPane(frame), "No meter connected");
  std::set<std::string> seen;
  ASSERT_TRUE(Connect(frame, &seen));
  EXPECT_EQ(seen.count("Searching for the meter… COM3"), 1u);
  const std::string connected = "Connected: COM3 · " + Str(w.meter.PortPath());
  EXPECT_EQ(LinkPane(frame), connected);
  EXPECT_EQ(Str(frame->ToolbarAction(cmd::kLinkStatusButton)->toolTip()), connected);
}

TEST(OperatorComfort, AHistoryReadCountsInTheLinkPaneAndSaysWhenComplete) {
  WithMeter w("0", {"--history-count", "40", "--history-delay-ms", "40"});
  ASSERT_TRUE(w.Ready());
  CMainFrame* frame = w.frame;
  ASSERT_TRUE(Connect(frame));
  BoxAnswerer done(QMessageBox::Ok);
  frame->OnCommand(cmd::ID_READ_HISTORY);
  EXPECT_EQ(LinkPane(frame).rfind("历史数据：", 0), 0u) << LinkPane(frame);
  ASSERT_TRUE(WaitFor([&] { return done.Answered(); }, 20000));
  ASSERT_TRUE(WaitFor([&] { return LinkPane(frame) == "历史数据读取完成：40 条"; })) << LinkPane(frame);
}

TEST(OperatorComfort, TheResetQuestionDefaultsToNoAndTheMetersAnswerIsShown) {
  WithMeter w("1");
  ASSERT_TRUE(w.Ready());
  CMainFrame* frame = w.frame;
  ASSERT_TRUE(Connect(frame));
  {
    BoxAnswerer yes(QMessageBox::Yes);
    frame->OnCommand(cmd::ID_RESET);  // the English menu's ResetSystem
    ASSERT_TRUE(yes.Answered());
    EXPECT_EQ(yes.DefaultButton(), QMessageBox::No);
  }
  BoxAnswerer ok(QMessageBox::Ok);  // the success box that follows
  ASSERT_TRUE(WaitFor([&] { return LinkPane(frame).rfind("Reset: factory settings restored (", 0) == 0; }))
      << LinkPane(frame);
  EXPECT_NE(LinkPane(frame).find("成功"), std::string::npos);
}

TEST(OperatorComfort, ColumnsWidenToTheWidestTimeAndDrawNoTrailingBlanks) {
  ConfigFile config("[config]\r\nlanguage=0\r\n");
  RunningApp running;
  ASSERT_TRUE(running.WaitForPages());
  running.TablePageWindow()->Page().ApplyLayout(Layout::Measurement, 150);
  TableModel& rows = running.TablePageWindow()->Page().Model();
  QTableView* list = running.TablePageWindow()->List();
  const std::string time = "2026/12/07 16:25:30";
  rows.InsertRow(0, "1");
  rows.SetCell(0, 4, time + "      ");
  Drain();
  const QFontMetrics fm = list->fontMetrics();
  EXPECT_GE(list->horizontalHeader()->sectionSize(4), fm.horizontalAdvance(QString::fromStdString(time)) + 10);
  EXPECT_LT(list->horizontalHeader()->sectionSize(4),
            fm.horizontalAdvance(QString::fromStdString(time + "      ")) + 10);
  // Every title whole, in the font the header draws with.
  for (int c = 0; c < rows.ColumnCount(); ++c) {
    const QString title = QString::fromStdString(rows.Column(c).title);
    EXPECT_GE(list->horizontalHeader()->sectionSize(c), list->horizontalHeader()->fontMetrics().horizontalAdvance(title))
        << c;
  }
}

TEST(OperatorComfort, ValuesKeptInEarlierPlacesComeIntoTheOneSettingsFileOnce) {
  QTemporaryDir earlier;
  ASSERT_TRUE(earlier.isValid());
  QSettings().clear();
  EXPECT_TRUE(usersettings::File().endsWith(QStringLiteral("/KM360R/km360r.ini")));
  usersettings::EarlierPlaces places;
  places.dialogs = earlier.filePath(QStringLiteral("KM360R_Project.conf"));
  places.dialogsFormat = QSettings::IniFormat;
  places.window = earlier.filePath(QStringLiteral("window.ini"));
  places.readout = earlier.filePath(QStringLiteral("field-readout.ini"));
  QSettings(places.dialogs, QSettings::IniFormat).setValue(QStringLiteral("FileDialogs/LastFolder"), earlier.path());
  QSettings(places.window, QSettings::IniFormat).setValue(QStringLiteral("window/normal"), QRect(10, 20, 300, 200));
  {
    QSettings readout(places.readout, QSettings::IniFormat);
    readout.setValue(QStringLiteral("reference/dbm"), -12.5);
    readout.setValue(QStringLiteral("panel/visible"), false);
  }
  // A value the file has already stays.
  QSettings().setValue(QStringLiteral("window/normal"), QRect(1, 2, 30, 40));

  usersettings::CarryOver(places);
  {
    const QSettings s;
    EXPECT_EQ(s.value(QStringLiteral("FileDialogs/LastFolder")).toString(), earlier.path());
    EXPECT_EQ(s.value(QStringLiteral("window/normal")).toRect(), QRect(1, 2, 30, 40));
    EXPECT_EQ(s.value(QStringLiteral("field/reference/dbm")).toDouble(), -12.5);
    EXPECT_FALSE(s.value(QStringLiteral("field/panel/visible")).toBool());
  }
  // Read once: a value removed later is not brought back.
  QSettings().remove(QStringLiteral("field/reference"));
  usersettings::CarryOver(places);
  EXPECT_FALSE(QSettings().contains(QStringLiteral("field/reference/dbm")));
  QSettings().clear();
}

TEST(OperatorComfort, FileDialogsSpeakChineseAndOpenInTheFolderLastUsed) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  dialogs::RememberFolderOf(folder.filePath(QStringLiteral("earlier.hif")));
  ConfigFile config("[config]\r\nlanguage=0\r\n");
  RunningApp running;
  QString cancel, shownFolder;
  QTimer look;
  look.setInterval(10);
  QObject::connect(&look, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    if (auto* box = dialog->findChild<QDialogButtonBox*>()) {
      if (QPushButton* b = box->button(QDialogButtonBox::Cancel)) cancel = b->text();
    }
    shownFolder = dialog->directory().absolutePath();
    dialog->reject();
    look.stop();
  });
  look.start();
  running.app->MainFrame()->OnCommand(cmd::ID_OPEN);
  ASSERT_TRUE(WaitFor([&] { return !look.isActive(); }));
  EXPECT_EQ(Str(cancel), "取消");
  EXPECT_EQ(shownFolder, QDir(folder.path()).absolutePath());
}

TEST(OperatorComfort, ANarrowWindowKeepsLinkAndTheLampOnTheToolbar) {
  ConfigFile config("[config]\r\nlanguage=1\r\n");
  RunningApp running;
  CMainFrame* frame = running.app->MainFrame();
  frame->showNormal();
  frame->resize(800, 600);
  Drain();
  QToolBar* bar = frame->ToolBar();
  for (int position : {kLinkButton, cmd::kLinkStatusButton}) {
    QWidget* button = bar->widgetForAction(frame->ToolbarAction(position));
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isVisible()) << position;
    EXPECT_TRUE(bar->rect().contains(button->geometry())) << position;
  }
  // With room again the labels come back.
  frame->resize(1600, 900);
  Drain();
  EXPECT_EQ(bar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
}

}  // namespace
