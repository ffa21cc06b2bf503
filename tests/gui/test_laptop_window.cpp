// The main window as a field technician meets it on a laptop: worked by
// keyboard (Tab reaches every button and the table, the focus shows, Space
// and Enter press), each menu key shown once, Qt's own widgets in the
// window's language, a usable size when restored from maximised, and the
// live log named as a CSV file.
#include <gtest/gtest.h>

#include <QAction>
#include <QDateEdit>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolBar>
#include <set>

#include "GuiTestSupport.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/FocusRing.h"
#include "app/ui/KeyboardFocus.h"
#include "field/ui/CFieldPanel.h"
#include "field/ui/CFieldReadout.h"
#include "settings/ui/CSetClockDialog.h"
#include "table/ui/CMeasureList.h"
#include "table/ui/CTablePageWindow.h"

using guitest::BoxAnswerer;
using guitest::ConfigFile;
using guitest::RunningApp;
using guitest::WaitFor;

namespace {

// A key pressed and let go where the focus is.
void Key(int key) {
  QPointer<QWidget> to = QApplication::focusWidget();
  ASSERT_NE(to, nullptr);
  const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QString();
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(to, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  if (to) QApplication::sendEvent(to, &release);
}

// The window shown, active and with its readout panel in view.
struct ActiveWindow {
  explicit ActiveWindow(const char* language) : config(std::string("[config]\r\nlanguage=") + language + "\r\n") {
    frame = running.app->MainFrame();
    ready = running.WaitForPages();
    frame->FieldReadout()->OnStarted();
    frame->activateWindow();
    ready = ready && WaitFor([this] { return QApplication::activeWindow() == frame; });
  }
  QWidget* ToolbarButton(int position) const {
    return frame->ToolBar()->widgetForAction(frame->ToolbarAction(position));
  }
  ConfigFile config;
  RunningApp running;
  CMainFrame* frame = nullptr;
  bool ready = false;
};

}  // namespace

TEST(LaptopWindow, TabReachesToolbarPanelAndTableAndTheFocusShows) {
  ActiveWindow w("1");
  ASSERT_TRUE(w.ready);
  CFieldPanel* panel = w.frame->FieldReadout()->Panel();
  const QWidget* wanted[] = {w.ToolbarButton(0), w.ToolbarButton(15), panel->Button(0), panel->Button(1),
                             panel->Button(2), w.running.TablePageWindow()->List()};
  std::set<const QWidget*> reached;
  w.frame->ToolBar()->setFocus();
  for (int i = 0; i < 60; ++i) {
    Key(Qt::Key_Tab);
    QWidget* focused = QApplication::focusWidget();
    reached.insert(focused);
    // The ring is drawn around whatever has the focus.
    EXPECT_TRUE(w.frame->Keyboard()->Ring()->isVisible()) << i;
    EXPECT_EQ(w.frame->Keyboard()->Ring()->widget(), focused) << i;
  }
  for (const QWidget* widget : wanted) EXPECT_TRUE(reached.count(widget)) << widget->metaObject()->className();

  // The focused button looks different from the same button without the focus.
  QWidget* button = w.ToolbarButton(0);
  const QRect around = QRect(button->mapTo(w.frame, QPoint()), button->size()).adjusted(-4, -4, 4, 4);
  button->setFocus(Qt::TabFocusReason);
  guitest::Drain();
  const QImage focused = w.frame->grab(around).toImage();
  w.running.TablePageWindow()->List()->setFocus(Qt::TabFocusReason);
  guitest::Drain();
  EXPECT_NE(w.frame->grab(around).toImage(), focused);
}

TEST(LaptopWindow, SpaceOrEnterPressesTheFocusedButton) {
  for (const int key : {Qt::Key_Space, Qt::Key_Return}) {
    ActiveWindow w("1");
    ASSERT_TRUE(w.ready);
    // A toolbar button: Real-time without a meter asks to connect first.
    w.ToolbarButton(0)->setFocus(Qt::TabFocusReason);
    BoxAnswerer answerer(QMessageBox::Ok);
    Key(key);
    EXPECT_EQ(answerer.Text().toStdString(), "Please connect first") << key;
    // The box took the window's activation with it.
    w.frame->activateWindow();
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == w.frame; }));
    // A panel button: Reset statistics.
    CFieldReadout* readout = w.frame->FieldReadout();
    meter::Reading reading;
    reading.wavelength = "1310";
    reading.linearPower = "1.00uW";
    reading.logPower = "-30.00";
    readout->OnRow(reading);
    ASSERT_EQ(readout->Feed().Values().Stats().Count(), 1);
    readout->Panel()->Button(2)->setFocus(Qt::TabFocusReason);
    Key(key);
    EXPECT_EQ(readout->Feed().Values().Stats().Count(), 0) << key;
  }
}

TEST(LaptopWindow, EveryMenuKeyIsShownOnceAndThePanelCommandsHaveTheirs) {
  for (const char* language : {"0", "1"}) {
    ConfigFile config(std::string("[config]\r\nlanguage=") + language + "\r\n");
    RunningApp running;
    CMainFrame* frame = running.app->MainFrame();
    std::multiset<std::string> shown;
    std::function<void(QMenu*)> walk = [&](QMenu* menu) {
      for (QAction* a : menu->actions()) {
        if (a->menu()) walk(a->menu());
        const QString text = a->text();
        const int tab = static_cast<int>(text.indexOf(QLatin1Char('\t')));
        const QString key = tab >= 0 ? text.mid(tab + 1) : a->shortcut().toString();
        if (tab >= 0) {
          EXPECT_EQ(QKeySequence(key), a->shortcut()) << text.toStdString();
        }
        if (!key.isEmpty()) shown.insert(key.toStdString());
      }
    };
    for (QAction* popup : frame->menuBar()->actions()) walk(popup->menu());
    for (const std::string& key : shown) EXPECT_EQ(shown.count(key), 1u) << key << " language " << language;
    CFieldReadout* readout = frame->FieldReadout();
    for (QAction* a : {readout->ReferenceAction(), readout->LimitsAction(), readout->ResetStatisticsAction()}) {
      EXPECT_FALSE(a->shortcut().isEmpty()) << a->text().toStdString();
      EXPECT_TRUE(frame->menuBar()->actions().at(1)->menu()->actions().contains(a)) << a->text().toStdString();
    }
  }
}

TEST(LaptopWindow, QtsOwnDatePickerSpeaksTheWindowsLanguage) {
  const std::pair<const char*, QLocale::Language> cases[] = {{"0", QLocale::Chinese}, {"1", QLocale::English}};
  for (const auto& [language, expected] : cases) {
    ConfigFile config(std::string("[config]\r\nlanguage=") + language + "\r\n");
    RunningApp running;
    CSetClockDialog dialog(running.app->MainFrame()->Logic(), running.app->MainFrame());
    EXPECT_EQ(dialog.DateCtrl()->locale().language(), expected) << language;
    // A Chinese date begins with the year.
    EXPECT_EQ(dialog.DateCtrl()->text().startsWith(QString::number(dialog.DateCtrl()->date().year())),
              expected == QLocale::Chinese)
        << dialog.DateCtrl()->text().toStdString();
  }
}

TEST(LaptopWindow, RestoredFromMaximisedTheWindowIsUsableAndKeepsTheOperatorsSize) {
  QFile::remove(CMainFrame::PlacementFile());
  ConfigFile config("[config]\r\nlanguage=1\r\n");
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  const QRect own(screen.topLeft() + QPoint(20, 30), screen.size() / 2);
  {
    RunningApp running;
    CMainFrame* frame = running.app->MainFrame();
    frame->showNormal();
    guitest::Drain();
    // About 80% of the screen, centred.
    EXPECT_EQ(frame->size(), screen.size() * 4 / 5);
    EXPECT_EQ(frame->geometry().center(), screen.center());
    frame->setGeometry(own);
    BoxAnswerer yes(QMessageBox::Yes);
    frame->close();
    ASSERT_TRUE(yes.Answered());
  }
  RunningApp running;
  running.app->MainFrame()->showNormal();
  guitest::Drain();
  EXPECT_EQ(running.app->MainFrame()->geometry(), own);
  QFile::remove(CMainFrame::PlacementFile());
}

TEST(LaptopWindow, TheLiveLogNamedWithoutAnExtensionIsACsvFile) {
  QTemporaryDir dir;
  QWidget owner;
  CFieldReadout readout(field::FieldTexts::For(lang::Index::One), &owner, dir.filePath("field.ini"));
  readout.SetLogPathAsker([&] { return std::optional<QString>(dir.filePath("site-7")); });
  readout.LogAction()->trigger();
  EXPECT_TRUE(readout.LogAction()->isChecked());
  EXPECT_TRUE(QFile::exists(dir.filePath("site-7.csv")));
  EXPECT_FALSE(QFile::exists(dir.filePath("site-7")));
}
