// The main window as a field technician meets it on a laptop: the form fits
// 1366 x 768 and 1024 x 768 beside the job dock, worked by keyboard (Tab
// reaches every button and the table, the focus shows, Space and Enter
// press, nothing scrolls away), each menu key shown once, Qt's own widgets in
// the window's language, a usable size when restored from maximised, and the
// live log named as a CSV file.
#include <gtest/gtest.h>

#include <QAction>
#include <QDateEdit>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QScrollBar>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest/QTest>
#include <algorithm>
#include <set>

#include "GuiTestSupport.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/CMainView.h"
#include "app/ui/CTabControl.h"
#include "app/ui/FocusRing.h"
#include "app/ui/KeyboardFocus.h"
#include "field/ui/CFieldPanel.h"
#include "field/ui/CFieldReadout.h"
#include "jobs/Capture.h"
#include "jobs/SqliteStore.h"
#include "jobs/ui/CJobPanel.h"
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

// The active window at a laptop's `size`, the readout in view and the job
// dock opened by its key, with a job open whose first point was captured at
// three wavelengths, in a store of the test's own.
struct DockedWindow {
  DockedWindow(const char* language, QSize size) : window(language), frame(window.frame) {
    const std::string store = dir.filePath("results.sqlite").toStdString();
    qputenv("KM360R_STORE", QByteArray::fromStdString(store));  // before the panel first needs its store
    frame->showNormal();
    frame->resize(size);
    QTest::keyClick(frame, Qt::Key_J, Qt::ControlModifier);
    jobs::Job job;
    job.name = "Street 5";
    job.uuid = "street-5";
    job.profile = jobs::FindProfile("gpon-b+", {}).value();
    {
      jobs::SqliteStore results(store);
      results.CreateJob(job, {"P01", "P02"});
      // With a reference at each wavelength, each shows its dBm and its loss.
      for (const int nm : {1310, 1490, 1550}) {
        results.SetReference(job.name, nm, -5.0);
        job.referencesDbm[nm] = -5.0;
        jobs::Result result = jobs::ResultOf(job, "P01", nm, {-20.0, -20.1, -20.2}, 0);
        results.AddResult(job.name, result);
      }
    }
    ready = window.ready && frame->JobPanel()->isVisible() && frame->JobPanel()->OpenJob(job.name);
    guitest::Drain();
  }
  ~DockedWindow() { qunsetenv("KM360R_STORE"); }
  QTabBar* Strip() const { return frame->View()->m_tabCtrl->findChild<QTabBar*>(); }
  QTemporaryDir dir;
  ActiveWindow window;
  CMainFrame* frame;
  bool ready = false;
};

const std::pair<QSize, const char*> kLaptops[] = {
    {{1366, 768}, "1"}, {{1366, 768}, "0"}, {{1024, 768}, "1"}, {{1024, 768}, "0"}};

// Whether all of `widget` is in view: shown, and inside each of its holders.
bool Whole(const QWidget* widget) {
  const QRect area(widget->mapTo(widget->window(), QPoint()), widget->size());
  for (const QWidget* holder = widget->parentWidget(); holder; holder = holder->parentWidget()) {
    if (!QRect(holder->mapTo(widget->window(), QPoint()), holder->size()).contains(area)) return false;
    if (holder->isWindow()) break;
  }
  return widget->isVisible();
}

// What a list shows at `at`: the text of the header section or the cell
// drawn there, by whichever view draws it.
QString SeenAt(QTableWidget* list, QPoint at) {
  for (QWidget* w = list->childAt(at); w; w = w == list ? nullptr : w->parentWidget()) {
    if (auto* header = qobject_cast<QHeaderView*>(w)) {
      return header->model()->headerData(header->logicalIndexAt(header->mapFrom(list, at)), Qt::Horizontal).toString();
    }
    if (auto* view = qobject_cast<QAbstractItemView*>(w)) return view->indexAt(view->viewport()->mapFrom(list, at)).data().toString();
  }
  return {};
}

}  // namespace

TEST(LaptopWindow, TheFormFitsBesideTheJobDockWithoutScrollBars) {
  for (const auto& [size, language] : kLaptops) {
    SCOPED_TRACE(std::to_string(size.width()) + " language " + language);
    DockedWindow w(language, size);
    ASSERT_TRUE(w.ready);
    EXPECT_EQ(w.frame->size(), size);
    EXPECT_FALSE(w.frame->View()->geometry().intersects(w.frame->JobPanel()->geometry()));
    // Scroll bars only in the two lists, which scroll their own rows.
    const QWidget* lists[] = {w.window.running.TablePageWindow()->List(), w.frame->JobPanel()->Points()};
    for (const QScrollBar* bar : w.frame->findChildren<QScrollBar*>()) {
      if (bar->isVisible()) EXPECT_TRUE(lists[0]->isAncestorOf(bar) || lists[1]->isAncestorOf(bar));
    }
    // The tabs, the readout's large value and every button are wholly in view.
    EXPECT_TRUE(Whole(w.Strip()));
    EXPECT_TRUE(Whole(w.frame->FieldReadout()->Panel()->ValueLabel()));
    for (const QAbstractButton* button : w.frame->findChildren<QAbstractButton*>()) {
      if (button->isVisible()) EXPECT_TRUE(Whole(button)) << button->text().toStdString();
    }
  }
}

TEST(LaptopWindow, ThePointAndItsVerdictStayInViewWhileTheWavelengthsScroll) {
  for (const auto& [size, language] : kLaptops) {
    SCOPED_TRACE(std::to_string(size.width()) + " language " + language);
    DockedWindow w(language, size);
    ASSERT_TRUE(w.ready);
    // The dock drawn narrow, as a technician may leave it: the values scroll.
    w.frame->resizeDocks({w.frame->JobPanel()}, {w.frame->JobPanel()->minimumSizeHint().width()}, Qt::Horizontal);
    guitest::Drain();
    QTableWidget* list = w.frame->JobPanel()->Points();
    const int last = list->columnCount() - 1;
    ASSERT_FALSE(list->item(0, last)->text().isEmpty());
    const QScrollBar* bar = list->horizontalScrollBar();
    ASSERT_GT(bar->maximum(), 0);  // the columns of values do not all fit
    const QRect rows = list->viewport()->geometry();
    const std::pair<int, std::pair<QString, QString>> lines[] = {
        {list->horizontalHeader()->geometry().center().y(),
         {list->horizontalHeaderItem(0)->text(), list->horizontalHeaderItem(last)->text()}},
        {rows.top() + list->rowHeight(0) / 2, {"P01", list->item(0, last)->text()}}};
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(rows.width() / 2, list->rowHeight(0) / 2));
    for (const Qt::Key key : {Qt::Key_End, Qt::Key_Home}) {
      QTest::keyClick(list, key);
      EXPECT_EQ(bar->value(), key == Qt::Key_End ? bar->maximum() : 0);
      for (const auto& [y, edges] : lines) {
        EXPECT_EQ(SeenAt(list, {rows.left() + 3, y}), edges.first) << key;
        EXPECT_EQ(SeenAt(list, {rows.right() - 3, y}), edges.second) << key;
      }
    }
  }
}

TEST(LaptopWindow, EveryTabStopShowsItsFocusAndTabNeverScrollsTheFormAway) {
  for (const auto& [size, language] : kLaptops) {
    SCOPED_TRACE(std::to_string(size.width()) + " language " + language);
    DockedWindow w(language, size);
    ASSERT_TRUE(w.ready);
    const QPoint strip = w.Strip()->mapTo(w.frame, QPoint());
    const FocusRing* ring = w.frame->Keyboard()->Ring();
    std::set<const QWidget*> reached;
    w.frame->ToolBar()->setFocus();
    for (int i = 0; i < 60; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      const QWidget* focused = QApplication::focusWidget();
      reached.insert(focused);
      // The whole ring is in view, around the stop.
      EXPECT_EQ(ring->widget(), focused) << i;
      EXPECT_TRUE(Whole(ring)) << i << focused->metaObject()->className();
      EXPECT_TRUE(ring->geometry().contains(QRect(focused->mapTo(w.frame, QPoint()), focused->size()).center()));
      EXPECT_EQ(w.Strip()->mapTo(w.frame, QPoint()), strip) << i;
    }
    EXPECT_TRUE(reached.count(w.frame->JobPanel()->Points()));
    EXPECT_TRUE(reached.count(w.Strip()));
    for (const QPushButton* button : w.frame->JobPanel()->findChildren<QPushButton*>()) {
      if (button->isEnabled()) EXPECT_TRUE(reached.count(button)) << button->text().toStdString();
    }
  }
}

TEST(LaptopWindow, SpaceOrEnterPressesAFocusedButtonOfTheJobPanel) {
  for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
    DockedWindow w("1", {1024, 768});
    ASSERT_TRUE(w.ready);
    const QList<QPushButton*> buttons = w.frame->JobPanel()->findChildren<QPushButton*>();
    const auto close = std::find_if(buttons.begin(), buttons.end(), [](auto* b) { return b->text() == "Close job"; });
    ASSERT_NE(close, buttons.end());
    (*close)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(*close, key);
    EXPECT_FALSE(w.frame->JobPanel()->OpenedJob().has_value()) << key;
  }
}

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
    CSetClockDialog dialog(running.app->MainFrame());
    EXPECT_EQ(dialog.DateCtrl()->locale().language(), expected) << language;
    // A Chinese date begins with the year.
    EXPECT_EQ(dialog.DateCtrl()->text().startsWith(QString::number(dialog.DateCtrl()->date().year())),
              expected == QLocale::Chinese)
        << dialog.DateCtrl()->text().toStdString();
  }
}

TEST(LaptopWindow, RestoredFromMaximisedTheWindowIsUsableAndKeepsTheOperatorsSize) {
  QSettings().remove(QStringLiteral("window"));  // the size kept in the settings file
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
  QSettings().remove(QStringLiteral("window"));  // the size kept in the settings file
}

TEST(LaptopWindow, TheLiveLogNamedWithoutAnExtensionIsACsvFile) {
  QTemporaryDir dir;
  field::LiveFeed feed;
  QWidget owner;
  CFieldReadout readout(feed, field::FieldTexts::For(lang::Index::One), &owner);
  readout.SetLogPathAsker([&] { return std::optional<QString>(dir.filePath("site-7")); });
  readout.LogAction()->trigger();
  EXPECT_TRUE(readout.LogAction()->isChecked());
  EXPECT_TRUE(QFile::exists(dir.filePath("site-7.csv")));
  EXPECT_FALSE(QFile::exists(dir.filePath("site-7")));
}
