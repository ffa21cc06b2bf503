#include "app/ui/CMainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "app/CommandSurface.h"
#include "app/IniReader.h"
#include "app/KeyLockLeds.h"
#include "app/SharedState.h"
#include "app/ui/CKM360R_ProjectView.h"
#include "app/ui/CTabControl.h"
#include "app/ui/ToolbarIcons.h"
#include "device/MainFrameLogic.h"
#include "device/SerialChannel.h"
#include "graph/ui/CPage2.h"
#include "table/ui/CPage1.h"

CMainFrame* g_pMainFrame = nullptr;

namespace {

QString Qs(const std::string& utf8) { return QString::fromStdString(utf8); }

// Room a toolbar button needs around its label, and the smallest label font.
constexpr int kLabelPadding = 10;
constexpr double kSmallestLabelPoints = 7.0;

// How often the lock panes follow the keyboard's lamps.
constexpr int kLockPanePollMs = 500;

}  // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
  // Construction: no link yet.
  g_bConnected = false;
  g_bLinkBusy = false;
  g_pMainFrame = this;

  // Window creation. The language is read once, here: the menus, the toolbar
  // and the texts stay as they are chosen now for the whole run.
  const CIniReader config(lang::ConfigPath());
  m_strLanguage = config.GetValue("config", "language", "");
  m_strDrive = config.GetValue("config", "drive", "");
  m_language = lang::Resolve(m_strLanguage);
  m_texts = FrameTexts::For(m_language);

  if (m_language) BuildToolBar();
  BuildStatusBar();
  BuildMenuBar();

  m_pView = new CKM360R_ProjectView(m_texts, this);
  setCentralWidget(m_pView);

  m_pLogic = std::make_unique<MainFrameLogic>(*this, m_pView->m_page1->Page(), g_serialChannel,
                                              m_texts, m_strLanguage);
  m_pLogic->AttachGraphPage(&m_pView->m_page2->State());

  SetStatusNote(m_texts.m_strNotConnected);
}

CMainFrame::~CMainFrame() {
  // The logic talks to the pages; it goes first, before the widgets.
  m_pLogic.reset();
  if (g_pMainFrame == this) g_pMainFrame = nullptr;
}

void CMainFrame::BuildMenuBar() {
  // Without a language the frame's own (Chinese) menu stays.
  const bool chinese = !m_language || m_texts.m_bChinese;
  QMenuBar* bar = menuBar();
  std::function<void(QMenu*, const std::vector<cmd::MenuEntry>&)> fill =
      [&](QMenu* menu, const std::vector<cmd::MenuEntry>& entries) {
        for (const cmd::MenuEntry& e : entries) {
          switch (e.kind) {
            case cmd::MenuEntry::Kind::Separator: menu->addSeparator(); break;
            case cmd::MenuEntry::Kind::Popup: fill(menu->addMenu(Qs(e.text)), e.children); break;
            case cmd::MenuEntry::Kind::Command: {
              QAction* action = menu->addAction(Qs(e.text));
              action->setData(e.id);
              if (const auto prompt = cmd::PromptFor(e.id)) action->setStatusTip(Qs(prompt->prompt));
              connect(action, &QAction::triggered, this, [this, action] { OnCommand(action->data().toInt()); });
              break;
            }
          }
        }
      };
  for (const cmd::MenuEntry& popup : cmd::MenuBar(chinese)) {
    fill(bar->addMenu(Qs(popup.text)), popup.children);
  }
}

void CMainFrame::BuildToolBar() {
  m_wndToolBar = new QToolBar(this);
  m_wndToolBar->setObjectName(QStringLiteral("m_wndToolBar"));
  m_wndToolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  m_wndToolBar->setIconSize(QSize(cmd::kImageSize, cmd::kImageSize));
  m_wndToolBar->setMovable(true);
  m_wndToolBar->setFloatable(false);
  m_wndToolBar->setAllowedAreas(Qt::TopToolBarArea);
  addToolBar(Qt::TopToolBarArea, m_wndToolBar);

  const bool chinese = m_texts.m_bChinese;
  const auto positions = cmd::Toolbar(chinese);
  for (int i = 0; i < cmd::kToolbarPositions; ++i) {
    const cmd::ToolbarPosition& pos = positions[static_cast<size_t>(i)];
    if (pos.separator) {
      m_wndToolBar->addSeparator();
      continue;
    }
    auto* action = new QAction(this);
    m_wndToolBar->addAction(action);
    m_toolbarActions[i] = action;
    connect(action, &QAction::triggered, this, [this, action] { OnCommand(action->data().toInt()); });
    SetToolbarButton(i, pos.id, pos.label, pos.image);
  }

  // Every button gets the same width, taken from the widest label the
  // buttons can carry (button 0 changes its label at run time), kept within
  // 65 to 80 pixels. A label that would not fit into 80 pixels makes the
  // toolbar's font a little smaller rather than being cut.
  QStringList labels;
  for (const auto& pos : positions) labels << Qs(pos.label);
  for (bool running : {false, true}) labels << Qs(cmd::RealTimeButton(chinese, running).label);
  auto widestLabel = [&labels](const QFont& font) {
    const QFontMetrics fm(font);
    int widest = 0;
    for (const QString& label : labels) widest = std::max(widest, fm.horizontalAdvance(label));
    return widest;
  };
  QFont font = m_wndToolBar->font();
  while (widestLabel(font) + kLabelPadding > cmd::kButtonMaxWidth && font.pointSizeF() > kSmallestLabelPoints) {
    font.setPointSizeF(font.pointSizeF() - 0.5);
  }
  m_wndToolBar->setFont(font);
  const int width = std::clamp(widestLabel(font) + kLabelPadding, cmd::kButtonMinWidth, cmd::kButtonMaxWidth);
  for (const auto& [position, action] : m_toolbarActions) {
    if (QWidget* button = m_wndToolBar->widgetForAction(action)) {
      button->setFont(font);
      button->setFixedWidth(width);
    }
  }
}

void CMainFrame::SetToolbarButton(int position, int id, const std::string& label, int image) {
  const auto it = m_toolbarActions.find(position);
  if (it == m_toolbarActions.end()) return;
  QAction* action = it->second;
  action->setData(id);
  action->setText(Qs(label));
  action->setIcon(toolbar_icons::Image(image));
  m_toolbarImages[position] = image;
  const auto prompt = cmd::PromptFor(id);
  action->setStatusTip(prompt ? Qs(prompt->prompt) : QString());
  action->setToolTip(prompt ? Qs(prompt->tooltip) : Qs(label));
}

void CMainFrame::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  m_pNotePane = new QLabel(QString::fromUtf8(cmd::kNotePaneDefault), bar);
  m_pNotePane->setObjectName(QStringLiteral("notePane"));
  m_pNotePane->setContentsMargins(0, 0, 0, 0);
  m_pNotePane->setMargin(0);
  m_pNotePane->setIndent(0);
  bar->addPermanentWidget(m_pNotePane);
  for (int i = 0; i < 3; ++i) {
    auto* pane = new QLabel(QString::fromLatin1(cmd::kIndicatorTexts[static_cast<size_t>(i)]), bar);
    pane->setAlignment(Qt::AlignCenter);
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(pane->text()) + 10);
    pane->setEnabled(false);
    bar->addPermanentWidget(pane);
    m_pLockPanes[i] = pane;
  }
  UpdateLockPanes();
  // Only keyboards that show their lamps to the system can be followed.
  const KeyLockStates states = ReadKeyLockStates();
  if (states.caps || states.num || states.scroll) {
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &CMainFrame::UpdateLockPanes);
    timer->start(kLockPanePollMs);
  }
}

void CMainFrame::UpdateLockPanes() {
  const KeyLockStates states = ReadKeyLockStates();
  const std::optional<bool> lit[3] = {states.caps, states.num, states.scroll};
  for (int i = 0; i < 3; ++i) m_pLockPanes[i]->setEnabled(lit[i].value_or(false));
}

QAction* CMainFrame::ToolbarAction(int position) const {
  const auto it = m_toolbarActions.find(position);
  return it == m_toolbarActions.end() ? nullptr : it->second;
}

int CMainFrame::ToolbarImage(int position) const {
  const auto it = m_toolbarImages.find(position);
  return it == m_toolbarImages.end() ? -1 : it->second;
}

void CMainFrame::StopRealTimeReading() { m_pLogic->StopRealTimeReading(); }

void CMainFrame::SetPortOverride(const std::string& devicePath) { m_pLogic->SetPortOverride(devicePath); }

// ---- commands ---------------------------------------------------------------

void CMainFrame::OnCommand(int id) {
  const std::optional<cmd::Command> command = cmd::CommandFor(id);
  if (!command) return;
  MainFrameLogic& logic = *m_pLogic;
  switch (*command) {
    case cmd::Command::ReadRealTime: logic.OnReadRealTime(); break;
    case cmd::Command::Text: logic.OnText(); break;
    case cmd::Command::Graphic: logic.OnGraphic(); break;
    case cmd::Command::ReadHistory: logic.OnReadHistory(); break;
    case cmd::Command::ReadAdValues: logic.OnReadAdValues(); break;
    case cmd::Command::ReadWavelengthCodes: logic.OnReadWavelengthCodes(); break;
    case cmd::Command::ReadParams: logic.OnReadParams(); break;
    case cmd::Command::Reset: logic.OnReset(); break;
    case cmd::Command::DeleteShownData: logic.OnDeleteShownData(); break;
    case cmd::Command::Link: logic.OnLink(); break;
    case cmd::Command::Open: logic.OnOpenFile(); break;
    case cmd::Command::Save: logic.OnSaveData(); break;
    case cmd::Command::Exit: OnExit(); break;
    // The link-status button only shows the link state.
    case cmd::Command::LinkStatus: break;
    // The settings dialogs, export, print, help and the About box are
    // separate pieces that plug in here.
    case cmd::Command::SetClock:
    case cmd::Command::SetWavelength:
    case cmd::Command::Calibrate:
    case cmd::Command::SetMode:
    case cmd::Command::Export:
    case cmd::Command::Print:
    case cmd::Command::Help:
    case cmd::Command::About: break;
  }
}

bool CMainFrame::AskExit() {
  return MessageBox(m_texts.m_strExitAsk, m_texts.m_strMsgCaption, BoxButtons::YesNo) == BoxAnswer::Yes;
}

void CMainFrame::OnExit() {
  if (!AskExit()) return;
  g_serialChannel.StopMonitor();
  m_bCloseConfirmed = true;
  close();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (m_bCloseConfirmed) {
    event->accept();
    return;
  }
  if (!AskExit()) {
    event->ignore();
    return;
  }
  g_serialChannel.StopMonitor();
  m_bCloseConfirmed = true;
  event->accept();
}

void CMainFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // The first show puts the two tab items in; later shows (restoring from
  // the task bar) add nothing.
  if (g_bTabsPending) {
    InsertTab(0, m_texts.m_strTextData);
    InsertTab(1, m_texts.m_strGraphicData);
    g_bTabsPending = false;
  }
}

// ---- IFrameHost -------------------------------------------------------------

void CMainFrame::StartTimer(int id, int periodMs) {
  QTimer*& timer = m_timers[id];
  if (!timer) {
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this, id] {
      if (m_pLogic) m_pLogic->OnTimer(id);
    });
  }
  timer->start(periodMs);
}

void CMainFrame::KillTimer(int id) {
  const auto it = m_timers.find(id);
  if (it != m_timers.end()) it->second->stop();
}

void CMainFrame::Post(std::function<void()> fn) {
  // Safe from any thread: the call is queued to this window's thread.
  QMetaObject::invokeMethod(this, [fn = std::move(fn)] { fn(); }, Qt::QueuedConnection);
}

BoxAnswer CMainFrame::MessageBox(const std::string& text, const std::string& caption, BoxButtons buttons) {
  const bool yesNo = buttons == BoxButtons::YesNo;
  QMessageBox box(yesNo ? QMessageBox::Question : QMessageBox::Information, Qs(caption), Qs(text),
                  yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, this);
  if (m_language && m_texts.m_bChinese) {
    if (yesNo) {
      box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
      box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    } else {
      box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    }
  }
  const int answer = box.exec();
  if (!yesNo) return BoxAnswer::Ok;
  return answer == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
}

void CMainFrame::SetStatusNote(const std::string& text) {
  // The note pane is exactly as wide as its text in the window's font.
  const QString note = Qs(text);
  m_pNotePane->setText(note);
  m_pNotePane->setFixedWidth(QFontMetrics(font()).horizontalAdvance(note));
  m_pNotePane->setVisible(!note.isEmpty());
}

void CMainFrame::SetLinkImage(int image) {
  const auto it = m_toolbarActions.find(cmd::kLinkStatusButton);
  if (it == m_toolbarActions.end()) return;
  it->second->setIcon(toolbar_icons::Image(image));
  m_toolbarImages[cmd::kLinkStatusButton] = image;
}

void CMainFrame::SetRealTimeButton(bool running) {
  if (!m_language) return;
  const cmd::ToolbarPosition b = cmd::RealTimeButton(m_texts.m_bChinese, running);
  SetToolbarButton(cmd::kRealTimeButton, b.id, b.label, b.image);
}

void CMainFrame::SetSaveButtonImage(int image) {
  if (!m_language) return;
  const cmd::ToolbarPosition b = cmd::SaveButton(m_texts.m_bChinese, image);
  SetToolbarButton(cmd::kSaveButton, b.id, b.label, b.image);
}

int CMainFrame::TabCount() { return m_pView->m_tabCtrl->GetItemCount(); }

void CMainFrame::DeleteTab(int index) { m_pView->m_tabCtrl->DeleteItem(index); }

void CMainFrame::InsertTab(int index, const std::string& caption) {
  m_pView->m_tabCtrl->InsertItem(index, Qs(caption));
}

void CMainFrame::SelectTab(int index) { m_pView->m_tabCtrl->SetCurSel(index); }

void CMainFrame::ShowPage(int page) { m_pView->ShowPage(page); }

void CMainFrame::PostGraphClear() {
  Post([] {
    if (g_pPage2) g_pPage2->OnGraphClear();
  });
}

void CMainFrame::PostGraphUpdate(const std::string& valueText) {
  Post([valueText] {
    if (g_pPage2) g_pPage2->OnGraphUpdate(valueText);
  });
}

void CMainFrame::RunSettingsDialog(int kind) {
  // The settings dialogs plug in here.
  (void)kind;
}
