// The main window as the operator meets it: texts per language, toolbar,
// note pane, exit confirmation, tabs and pages.
#include <gtest/gtest.h>

#include <QKeySequence>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTabBar>
#include <QTemporaryDir>
#include <QThread>
#include <QToolBar>
#include <QToolButton>
#include <atomic>
#include <cstdio>
#include <thread>

#include "GuiTestSupport.h"
#include "app/CommandSurface.h"
#include "app/ui/CMainView.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/QtRuntime.h"
#include "app/ui/CTabControl.h"
#include "graph/ui/CGraphPageWindow.h"
#include "table/ui/CTablePageWindow.h"

using guitest::BoxAnswerer;
using guitest::ConfigFile;
using guitest::RunningApp;
using guitest::Str;

namespace {

struct LanguageCase {
  const char* name;
  std::optional<std::string> config;  // nullopt: no config.ini at all
  std::vector<std::string> menuTitles;
  std::vector<std::string> toolbarLabels;  // empty: no toolbar
  std::vector<int> toolbarIds;
  std::string note;
  std::string caption;
  std::string exitAsk;
};

// The View menu (the readout panel's entry) comes after File.
const std::vector<std::string> kChineseMenus = {"文件(&F)", "查看(&W)", "读取(&R)", "设置(&V)", "帮助(&H)"};
const std::vector<std::string> kEnglishMenus = {"File(&F)", "View(&W)", "Read(&R)", "Set(&V)", "Help(&H)"};
const std::vector<std::string> kChineseLabels = {"实时数据", "历史数据", "读取参数", "设置时钟", "设置波长",
                                                 "校准系统", "测量方式", "保存",     "导出",     "打印",
                                                 "删除",     "退出",     "设备连接", "连接状态"};
const std::vector<std::string> kEnglishLabels = {"Real-time", "HistroyData", "Parameters", "SetClock",
                                                 "Wavelength", "AdjustSystem", "SetTestmode", "Save",
                                                 "Export",    "Print",       "Delete",     "Exit",
                                                 "Link",      "LinkStatus"};
const std::vector<int> kChineseIds = {32807, 32803, 32806, 32800, 32799, 32798, 32797,
                                      109,   32776, 32777, 32809, 57665, 32808, 32795};
const std::vector<int> kEnglishIds = {61456, 61454, 61455, 61453, 61452, 61451, 61450,
                                      61448, 32776, 32777, 61458, 61459, 61460, 32795};

std::vector<LanguageCase> Cases() {
  return {
      {"zero", "[config]\r\nlanguage=0\r\n", kChineseMenus, kChineseLabels, kChineseIds, "请连接设备",
       "澜屹PON光功率计管理软件 V1.0", "您确定退出应用程序"},
      {"one", "[config]\r\nlanguage=1\r\n", kEnglishMenus, kEnglishLabels, kEnglishIds,
       "please connect the equipment first", "Halvex PON Optical Power Meter Management Software  V1.0",
       "Are you sure to exit the application?"},
      {"two", "[config]\r\nlanguage=2\r\n", kChineseMenus, kChineseLabels, kChineseIds, "设备未连接",
       "光功率计管理软件V1.0", "您确定退出应用程序"},
      {"three", "[config]\r\nlanguage=3\r\n", kEnglishMenus, kEnglishLabels, kEnglishIds,
       "Equipment not connected yet", "Optical power meter Management software",
       "Are you sure to exit the application?"},
      {"none", "[config]\r\nlanguage=x\r\n", kChineseMenus, {}, {}, "", "Halvex - 澜屹PON光功率计管理软件 V1.0", ""},
      {"missingFile", std::nullopt, kChineseMenus, {}, {}, "", "Halvex - 澜屹PON光功率计管理软件 V1.0", ""},
      {"lineFeedsOnly", "[config]\nlanguage=1\n", kEnglishMenus, kEnglishLabels, kEnglishIds,
       "please connect the equipment first", "Halvex PON Optical Power Meter Management Software  V1.0",
       "Are you sure to exit the application?"},
  };
}

void PrintTo(const LanguageCase& c, std::ostream* os) { *os << c.name; }

class LanguageTest : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(LanguageTest, MenusToolbarNoteAndCaption) {
  const LanguageCase& c = GetParam();
  ConfigFile config(c.config);
  RunningApp running;
  CMainFrame* frame = running.app->MainFrame();
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(frame->isVisible());

  std::vector<std::string> menus;
  for (QAction* a : frame->menuBar()->actions()) menus.push_back(Str(a->text()));
  EXPECT_EQ(menus, c.menuTitles);

  if (c.toolbarLabels.empty()) {
    EXPECT_EQ(frame->ToolBar(), nullptr);
  } else {
    ASSERT_NE(frame->ToolBar(), nullptr);
    std::vector<std::string> labels;
    std::vector<int> ids;
    int separators = 0;
    for (QAction* a : frame->ToolBar()->actions()) {
      if (a->isSeparator()) {
        ++separators;
        continue;
      }
      labels.push_back(Str(a->text()));
      ids.push_back(a->data().toInt());
    }
    EXPECT_EQ(labels, c.toolbarLabels);
    EXPECT_EQ(ids, c.toolbarIds);
    EXPECT_EQ(separators, 3);
    EXPECT_EQ(frame->ToolbarImage(cmd::kLinkStatusButton), 15);
  }

  EXPECT_EQ(Str(frame->NotePane()->text()), c.note);
  EXPECT_EQ(Str(frame->windowTitle()), c.caption);

  // The first show put the two tab items in, captioned in the language.
  CTabControl* tabs = frame->View()->m_tabCtrl;
  ASSERT_EQ(tabs->GetItemCount(), 2);
  if (c.toolbarLabels.empty()) {
    EXPECT_EQ(Str(tabs->GetItemText(0)), "");
  } else if (c.menuTitles == kChineseMenus) {
    EXPECT_EQ(Str(tabs->GetItemText(0)), "文本数据");
    EXPECT_EQ(Str(tabs->GetItemText(1)), "图形数据");
  } else {
    EXPECT_EQ(Str(tabs->GetItemText(0)), "Text data");
    EXPECT_EQ(Str(tabs->GetItemText(1)), "Graphic data");
  }

  // Exit asks the language's question; No keeps the window.
  BoxAnswerer no(QMessageBox::No);
  frame->OnCommand(cmd::ID_EXIT);
  EXPECT_TRUE(no.Answered());
  EXPECT_EQ(Str(no.Text()), c.exitAsk);
  EXPECT_TRUE(frame->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

TEST(MainWindow, ToolbarButtonsShareOneWidthWithinLimitsAndShowTextUnderIcons) {
  for (const char* value : {"0", "1"}) {
    ConfigFile config(std::string("[config]\r\nlanguage=") + value + "\r\n");
    RunningApp running;
    // A window wide enough for the labels.
    running.app->MainFrame()->showNormal();
    running.app->MainFrame()->resize(1600, 900);
    guitest::Drain();
    QToolBar* bar = running.app->MainFrame()->ToolBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->iconSize(), QSize(32, 32));
    EXPECT_EQ(bar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    int width = -1;
    for (QAction* a : bar->actions()) {
      if (a->isSeparator()) continue;
      QWidget* button = bar->widgetForAction(a);
      ASSERT_NE(button, nullptr);
      EXPECT_GE(button->width(), cmd::kButtonMinWidth);
      EXPECT_LE(button->width(), cmd::kButtonMaxWidth);
      if (width < 0) width = button->width();
      EXPECT_EQ(button->width(), width) << Str(a->text());
      EXPECT_FALSE(a->icon().isNull());
    }
  }
}

TEST(MainWindow, TooltipsAndPromptsComeFromTheStringTable) {
  ConfigFile config("[config]\r\nlanguage=1\r\n");
  RunningApp running;
  CMainFrame* frame = running.app->MainFrame();
  QAction* history = frame->ToolbarAction(1);
  ASSERT_NE(history, nullptr);
  EXPECT_EQ(Str(history->toolTip()), " Read Histroy Data");
  EXPECT_EQ(Str(history->statusTip()), "Read histroy data ");
  EXPECT_EQ(Str(frame->ToolbarAction(15)->toolTip()), "Link the equipment");
  // Menu entries carry the prompt; the key name stays in the text.
  QAction* file = frame->menuBar()->actions().at(0);
  QAction* open = file->menu()->actions().at(0);
  EXPECT_EQ(Str(open->text()), "Open...(&O)\tCtrl+O");
  EXPECT_EQ(Str(open->statusTip()), "Open File ");
  EXPECT_EQ(open->data().toInt(), cmd::ID_OPEN);
  // The keys shown work; Ctrl+E, shown by Export and Exit, is Export's.
  EXPECT_EQ(open->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
  EXPECT_EQ(file->menu()->actions().at(2)->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));
  EXPECT_TRUE(file->menu()->actions().last()->shortcut().isEmpty());
  // Each key is shown only on the entry it works for.
  EXPECT_EQ(Str(file->menu()->actions().last()->text()), "Exit...(&E)");
  QMenu* read = frame->menuBar()->actions().at(2)->menu();
  EXPECT_EQ(Str(read->actions().at(0)->menu()->actions().at(1)->text()), "Graphic(&P)");
}

TEST(MainWindow, RunTimeToolbarStatesChangeLabelImageAndKeepTheCommand) {
  ConfigFile config("[config]\r\nlanguage=0\r\n");
  RunningApp running;
  CMainFrame* frame = running.app->MainFrame();
  ViewState state = frame->Presenter().View();
  auto show = [&](auto change) {
    change(state);
    frame->Apply(state);
  };
  show([](ViewState& v) { v.realTimeRunning = true; });
  EXPECT_EQ(Str(frame->ToolbarAction(0)->text()), "停止测试");
  EXPECT_EQ(frame->ToolbarImage(0), 16);
  EXPECT_EQ(frame->ToolbarAction(0)->data().toInt(), 32807);
  show([](ViewState& v) { v.realTimeRunning = false; });
  EXPECT_EQ(Str(frame->ToolbarAction(0)->text()), "实时测试");
  EXPECT_EQ(frame->ToolbarImage(0), 1);
  show([](ViewState& v) { v.saveImage = 14; });
  EXPECT_EQ(frame->ToolbarImage(9), 14);
  EXPECT_EQ(frame->ToolbarAction(9)->data().toInt(), 109);
  show([](ViewState& v) { v.linkImage = 17; });
  EXPECT_EQ(frame->ToolbarImage(16), 17);
  show([](ViewState& v) { v.linkImage = 18; });
  EXPECT_EQ(frame->ToolbarImage(16), 18);
}

TEST(MainWindow, NotePaneIsExactlyAsWideAsItsText) {
  ConfigFile config("[config]\r\nlanguage=1\r\n");
  RunningApp running;
  CMainFrame* frame = running.app->MainFrame();
  const QFontMetrics fm(frame->font());
  QLabel* note = frame->NotePane();
  EXPECT_EQ(note->width(), fm.horizontalAdvance(note->text()));

  ViewState state = frame->Presenter().View();
  auto noteShown = [&](const char* text) {
    state.statusNote = text;
    frame->Apply(state);
    guitest::Drain();
  };
  noteShown("OK");
  const int narrow = note->width();
  EXPECT_EQ(narrow, fm.horizontalAdvance("OK"));
  noteShown("Equipment disconnected");
  EXPECT_GT(note->width(), narrow);
  EXPECT_EQ(note->width(), fm.horizontalAdvance("Equipment disconnected"));
  noteShown("");
  EXPECT_EQ(note->width(), 0);
}

TEST(MainWindow, CloseBoxAsksLikeExitAndYesEnds) {
  ConfigFile config("[config]\r\nlanguage=1\r\n");
  RunningApp running;
  CMainFrame* frame = running.app->MainFrame();
  {
    BoxAnswerer no(QMessageBox::No);
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(no.Answered());
    EXPECT_EQ(Str(no.Text()), "Are you sure to exit the application?");
    EXPECT_EQ(Str(no.Caption()), "Massage prompt");
    EXPECT_TRUE(frame->isVisible());
  }
  {
    // Exit from the toolbar asks the same.
    BoxAnswerer no(QMessageBox::No);
    frame->ToolbarAction(13)->trigger();
    EXPECT_TRUE(no.Answered());
    EXPECT_EQ(Str(no.Text()), "Are you sure to exit the application?");
    EXPECT_TRUE(frame->isVisible());
  }
  {
    BoxAnswerer yes(QMessageBox::Yes);
    frame->ToolbarAction(13)->trigger();
    EXPECT_TRUE(yes.Answered());
    EXPECT_EQ(yes.Boxes(), 1);  // the close that follows does not ask again
    EXPECT_FALSE(frame->isVisible());
  }
}

TEST(MainWindow, ChineseBoxesAskInChinese) {
  ConfigFile config("[config]\r\nlanguage=2\r\n");
  RunningApp running;
  BoxAnswerer no(QMessageBox::No);
  EXPECT_FALSE(running.app->MainFrame()->close());
  EXPECT_EQ(Str(no.Text()), "您确定退出应用程序");
  EXPECT_EQ(Str(no.Caption()), "信息提示");
}

TEST(MainWindow, HidingShowingAndMinimisingAddNoTabs) {
  ConfigFile config("[config]\r\nlanguage=1\r\n");
  RunningApp running;
  CMainFrame* frame = running.app->MainFrame();
  CTabControl* tabs = frame->View()->m_tabCtrl;
  ASSERT_EQ(tabs->GetItemCount(), 2);
  frame->showMinimized();
  guitest::Drain();
  frame->showMaximized();
  guitest::Drain();
  frame->hide();
  frame->show();
  guitest::Drain();
  EXPECT_EQ(tabs->GetItemCount(), 2);
  ASSERT_TRUE(running.WaitForPages());
  frame->hide();
  frame->showNormal();
  guitest::Drain();
  EXPECT_EQ(tabs->GetItemCount(), 2);
}

namespace {

void ClickTab(CTabControl* tabs, int index) {
  QTabBar* strip = tabs->Strip();
  const QPoint at = strip->tabRect(index).center();
  QMouseEvent press(QEvent::MouseButtonPress, at, strip->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, strip->mapToGlobal(at), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(strip, &press);
  QApplication::sendEvent(strip, &release);
}

}  // namespace

TEST(MainWindow, GraphTabBeforeThePagesExistSwitchesNothing) {
  ConfigFile config("[config]\r\nlanguage=1\r\n");
  RunningApp running;
  CMainView* view = running.app->MainFrame()->View();
  ASSERT_FALSE(view->PagesCreated());
  EXPECT_EQ(view->m_tabCtrl->GetItemCount(), 2);  // put in by the first show

  ClickTab(view->m_tabCtrl, 1);
  EXPECT_EQ(view->m_tabCtrl->GetCurSel(), 1);
  EXPECT_FALSE(view->m_tablePage->isVisible());
  EXPECT_FALSE(view->m_graphPage->isVisible());

  // The pages come with the table page shown, although the graph tab is selected.
  ASSERT_TRUE(running.WaitForPages());
  EXPECT_TRUE(view->m_tablePage->isVisible());
  EXPECT_FALSE(view->m_graphPage->isVisible());
  EXPECT_EQ(view->m_tabCtrl->GetCurSel(), 1);

  ClickTab(view->m_tabCtrl, 0);
  EXPECT_TRUE(view->m_tablePage->isVisible());
  ClickTab(view->m_tabCtrl, 1);
  EXPECT_FALSE(view->m_tablePage->isVisible());
  EXPECT_TRUE(view->m_graphPage->isVisible());
  ClickTab(view->m_tabCtrl, 0);
  EXPECT_TRUE(view->m_tablePage->isVisible());
  EXPECT_FALSE(view->m_graphPage->isVisible());
}

TEST(MainWindow, PagesFillTheClientAreaBelowTheTabStripWheneverItChanges) {
  ConfigFile config("[config]\r\nlanguage=0\r\n");
  RunningApp running;
  CMainFrame* frame = running.app->MainFrame();
  CMainView* view = frame->View();
  ASSERT_TRUE(running.WaitForPages());
  // Maximised at creation, then restored and made larger, then smaller again.
  frame->showNormal();
  for (const QSize size : {QSize(0, 0), QSize(1500, 1100), QSize(900, 600), QSize(500, 400)}) {
    if (!size.isEmpty()) frame->resize(size);
    guitest::Drain();
    SCOPED_TRACE(QStringLiteral("%1 x %2").arg(frame->width()).arg(frame->height()).toStdString());
    const QRect client = view->rect();
    const QRect expected(client.left(), client.top() + 20, client.width(), client.height() - 20);
    EXPECT_EQ(view->m_tablePage->geometry(), expected);
    EXPECT_EQ(view->m_graphPage->geometry(), expected);
  }
}

TEST(MainWindow, TabOperationsFromCodeKeepListSemantics) {
  ConfigFile config("[config]\r\nlanguage=1\r\n");
  RunningApp running;
  CMainView* view = running.app->MainFrame()->View();
  CTabControl* tabs = view->m_tabCtrl;
  ASSERT_TRUE(running.WaitForPages());

  // Selecting from code switches no page.
  tabs->SetCurSel(1);
  EXPECT_EQ(tabs->GetCurSel(), 1);
  EXPECT_TRUE(view->m_tablePage->isVisible());
  view->ShowPage(1);
  EXPECT_TRUE(view->m_graphPage->isVisible());
  EXPECT_FALSE(view->m_tablePage->isVisible());

  // Relabelling the selected first tab keeps it selected.
  tabs->SetCurSel(0);
  tabs->SetItems({"Read real-time data", "Graphic data"});
  EXPECT_EQ(tabs->GetItemCount(), 2);
  EXPECT_EQ(tabs->GetCurSel(), 0);
  EXPECT_EQ(Str(tabs->GetItemText(0)), "Read real-time data");
  EXPECT_TRUE(view->m_graphPage->isVisible());  // no page switched on the way

  // History: the graph tab goes.
  tabs->SetItems({"Read history data"});
  EXPECT_EQ(tabs->GetItemCount(), 1);
  tabs->DeleteItem(5);  // no such item: nothing happens
  EXPECT_EQ(tabs->GetItemCount(), 1);
  tabs->InsertItem(9, "Graphic data");  // past the end: appended
  EXPECT_EQ(Str(tabs->GetItemText(1)), "Graphic data");
}

TEST(MainWindow, OpeningHistoryOrParametersFromTheGraphTabShowsTheTable) {
  ConfigFile config("[config]\r\nlanguage=1\r\n");
  RunningApp running;
  CMainView* view = running.app->MainFrame()->View();
  ASSERT_TRUE(running.WaitForPages());
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());

  MeterService& service = running.app->MainFrame()->Service();
  auto emptyFile = [&](const char* name) {
    std::string path = QFile::encodeName(dir.filePath(name)).toStdString();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
      std::fputc(0, f);
      std::fclose(f);
    }
    return path;
  };
  for (const char* name : {"a.hif", "a.syf"}) {
    SCOPED_TRACE(name);
    // The operator looks at the graph of an opened real-time file when the
    // next file is opened.
    ASSERT_EQ(service.OpenFile(emptyFile("a.ref")).status, FileOutcome::Status::Done);
    ASSERT_EQ(view->m_tabCtrl->GetItemCount(), 2);
    ClickTab(view->m_tabCtrl, 1);
    ASSERT_TRUE(view->m_graphPage->isVisible());

    ASSERT_EQ(service.OpenFile(emptyFile(name)).status, FileOutcome::Status::Done);

    // Only the table's tab is left, selected, and the table is what shows.
    EXPECT_EQ(view->m_tabCtrl->GetItemCount(), 1);
    EXPECT_EQ(view->m_tabCtrl->GetCurSel(), 0);
    EXPECT_TRUE(view->m_tablePage->isVisible());
    EXPECT_FALSE(view->m_graphPage->isVisible());
  }
}

TEST(WindowRuntime, PostFromAnotherThreadRunsOnTheUiThread) {
  QtRuntime runtime;  // the main window's
  std::atomic<int> ran{0};
  std::atomic<bool> onUiThread{false};
  QThread* ui = QThread::currentThread();
  std::thread worker([&] {
    for (int i = 0; i < 100; ++i) {
      runtime.Post([&] {
        onUiThread = QThread::currentThread() == ui;
        ++ran;
      });
    }
  });
  worker.join();
  EXPECT_EQ(ran.load(), 0);  // nothing runs inside the poster's call
  ASSERT_TRUE(guitest::WaitFor([&] { return ran.load() == 100; }));
  EXPECT_TRUE(onUiThread.load());
}
