#include "app/ui/CMainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeySequence>
#include <QLayout>
#include <QStyle>
#include <QResizeEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "app/CommandSurface.h"
#include "app/Help.h"
#include "app/KeyLockLeds.h"
#include "app/MenuShortcuts.h"
#include "app/ui/DialogSupport.h"
#include "app/ui/CMainView.h"
#include "app/ui/CTabControl.h"
#include "app/ui/DesktopOpener.h"
#include "app/ui/KeyboardFocus.h"
#include "app/ui/ToolbarIcons.h"
#include "field/ui/CFieldPanel.h"
#include "field/ui/CFieldReadout.h"
#include "graph/ui/CGraphPageWindow.h"
#include "jobs/JobTexts.h"
#include "jobs/ServerTarget.h"
#include "jobs/StorePath.h"
#include "jobs/SyncTexts.h"
#include "jobs/ui/CJobPanel.h"
#include "jobs/ui/CSyncRunner.h"
#include "print/ui/CPrinterDevice.h"
#include "table/ui/CTablePageWindow.h"

namespace {

QString Qs(const std::string& utf8) { return QString::fromStdString(utf8); }

// Boxes get Chinese button texts in a window of a Chinese language.
bool ChineseButtons(const config::Settings& settings) {
  const std::optional<lang::Index> language = settings.LanguageIndex();
  return language && FrameTexts::For(language).m_bChinese;
}

// Room a toolbar button needs around its label, and the smallest label font.
constexpr int kLabelPadding = 10;
constexpr double kSmallestLabelPoints = 7.0;

// How often the lock panes follow the keyboard's lamps.
constexpr int kLockPanePollMs = 500;

}  // namespace

CMainFrame::CMainFrame(config::Settings settings, SessionTimings timings, QWidget* parent)
    : QMainWindow(parent),
      m_prompter(this, ChineseButtons(settings)),
      m_station(m_runtime, m_prompter, *this, std::move(settings), timings),
      m_language(m_station.Settings().LanguageIndex()),
      m_texts(m_station.Texts()) {
  // The menus, the toolbar and the texts stay as the settings chose them for
  // the whole run.
  m_prompter.SetSettingsLink(&m_station.Logic());
  dialogs::UseQtLanguage(!m_language || m_texts.m_bChinese);

  if (m_language) BuildToolBar();
  BuildStatusBar();
  BuildMenuBar();

  m_pDesktop = new DesktopOpener(this);
  m_pView = new CMainView(m_station.Table(), m_station.Graph(), Language(), this);
  setCentralWidget(m_pView);
  m_pView->m_tablePage->SetParameterViewQuery([this] { return Logic().Shown().paramView; });
  m_pView->m_graphPage->SetRealTimeQuery([this] { return Logic().RealTime(); });
  connect(m_pView, &CMainView::TabSelected, this, [this](int index) { Logic().OnTabSelected(index); });
  // Its texts follow the menus: Chinese also when the language names none.
  m_pFieldReadout = new CFieldReadout(field::FieldTexts::For(m_language.value_or(lang::Index::Zero)), this);
  m_pFieldReadout->InstallMenus(menuBar());
  m_pView->m_tablePage->SetTopPanel(m_pFieldReadout->Panel());
  BuildJobPanel();
  Logic().SetLiveReadingListener({[this] {
                                    m_pFieldReadout->OnStarted();
                                    m_pJobPanel->OnStarted();
                                  },
                                  [this](int, const meter::Measurement& r) {
                                    m_pFieldReadout->OnRow(r);
                                    m_pJobPanel->OnRow(r);
                                  },
                                  [this] {
                                    m_pFieldReadout->OnReplaced();
                                    m_pJobPanel->OnStopped();
                                  },
                                  [this](bool lost) {
                                    m_pFieldReadout->OnStopped(lost);
                                    m_pJobPanel->OnStopped();
                                  }});
  m_pKeyboard = new KeyboardFocus(this);
  for (const auto& [position, action] : m_toolbarActions) {
    if (auto* button = qobject_cast<QAbstractButton*>(m_wndToolBar->widgetForAction(action))) {
      m_pKeyboard->AddButton(button);
    }
  }
  for (int i = 0; i < 3; ++i) m_pKeyboard->AddButton(m_pFieldReadout->Panel()->Button(i));
  Apply(Logic().View());
  PlaceForRestore();
}

CMainFrame::~CMainFrame() {
  // The pages' windows go before the station, whose data they show. The
  // keyboard's ring goes first: the focus leaving the table as it goes would
  // ask it to follow, and the ring may sit inside the table's page.
  delete m_pKeyboard;
  m_pKeyboard = nullptr;
  delete m_pView;
  m_pView = nullptr;
}

void CMainFrame::BuildMenuBar() {
  // Without a language the frame's own (Chinese) menu stays.
  const bool chinese = !m_language || m_texts.m_bChinese;
  QMenuBar* bar = menuBar();
  const std::map<int, std::string> shortcuts = cmd::MenuShortcuts(cmd::MenuBar(chinese));
  std::function<void(QMenu*, const std::vector<cmd::MenuEntry>&)> fill =
      [&](QMenu* menu, const std::vector<cmd::MenuEntry>& entries) {
        for (const cmd::MenuEntry& e : entries) {
          switch (e.kind) {
            case cmd::MenuEntry::Kind::Separator: menu->addSeparator(); break;
            case cmd::MenuEntry::Kind::Popup: fill(menu->addMenu(Qs(e.text)), e.children); break;
            case cmd::MenuEntry::Kind::Command: {
              const auto key = shortcuts.find(e.id);
              // A key name another entry holds is not shown here: it would
              // promise a key that does something else.
              const size_t tab = e.text.find('\t');
              const bool own = key != shortcuts.end() || tab == std::string::npos;
              QAction* action = menu->addAction(Qs(own ? e.text : e.text.substr(0, tab)));
              action->setData(e.id);
              if (key != shortcuts.end()) action->setShortcut(QKeySequence(Qs(key->second)));
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

void CMainFrame::BuildJobPanel() {
  // Its texts follow the menus, as the readout's do.
  m_pJobPanel = new CJobPanel(jobs::JobTexts::For(m_language.value_or(lang::Index::Zero)), this, {},
                              m_station.Settings().server);
  addDockWidget(Qt::RightDockWidgetArea, m_pJobPanel);
  m_pJobPanel->hide();
  // The View menu the readout put in: the panel's entry (Ctrl+J), then Capture.
  for (QAction* entry : menuBar()->actions()) {
    QMenu* menu = entry->menu();
    if (!menu || !menu->actions().contains(m_pFieldReadout->PanelAction())) continue;
    QAction* before = menu->actions().size() > 1 ? menu->actions()[1] : nullptr;
    menu->insertAction(before, m_pJobPanel->PanelAction());
    menu->insertAction(before, m_pJobPanel->CaptureAction());
    break;
  }
  // File → Sync results…, above the File menu's last entry (Exit): the
  // panel's store to the server of the settings or KM360R_SERVER.
  const jobs::SyncTexts syncTexts = jobs::SyncTexts::For(m_language.value_or(lang::Index::Zero));
  m_pSyncRunner = new CSyncRunner(syncTexts, this);
  QMenu* file = menuBar()->actions().isEmpty() ? nullptr : menuBar()->actions().first()->menu();
  if (file && !file->actions().isEmpty()) {
    m_pSyncAction = new QAction(QString::fromStdString(syncTexts.menuEntry), this);
    QAction* last = file->actions().last();
    file->insertAction(last, m_pSyncAction);
    file->insertSeparator(last);
    connect(m_pSyncAction, &QAction::triggered, this, [this] {
      m_pSyncRunner->Start(jobs::StorePath(std::nullopt),
                           jobs::ServerTarget(std::nullopt, m_station.Settings().server));
    });
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
  m_nLabelledButtonWidth = width;
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
  // The link pane, left: the port, the scan, a loss, a read's progress.
  m_pLinkPane = new QLabel(bar);
  m_pLinkPane->setObjectName(QStringLiteral("linkPane"));
  bar->addWidget(m_pLinkPane, 1);
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

void CMainFrame::SetPortOverride(const std::string& devicePath) { Logic().SetPortOverride(devicePath); }

// ---- commands ---------------------------------------------------------------

void CMainFrame::OnCommand(int id) {
  const std::optional<cmd::Command> command = cmd::CommandFor(id);
  if (!command) return;
  FrameLogic& logic = Logic();
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
    case cmd::Command::Print: {
      CPrinterDevice printer(this);
      logic.OnPrint(printer);
      break;
    }
    case cmd::Command::Export: logic.OnExport(); break;
    case cmd::Command::Exit: OnExit(); break;
    // The link-status button only shows the link state.
    case cmd::Command::LinkStatus: break;
    case cmd::Command::SetClock: logic.OnSettingsCommand(DataKind::Clock); break;
    case cmd::Command::SetWavelength: logic.OnSettingsCommand(DataKind::Wavelength); break;
    case cmd::Command::Calibrate: logic.OnSettingsCommand(DataKind::Calibration); break;
    case cmd::Command::SetMode: logic.OnSettingsCommand(DataKind::Mode); break;
    case cmd::Command::Help:
      // The language the window was made with chooses the file.
      help::Open(Language(), lang::ProgramDirectory(), *m_pDesktop, m_prompter);
      break;
    case cmd::Command::About:
      if (m_onAbout) m_onAbout();
      break;
  }
}

bool CMainFrame::AskExit() { return Logic().ConfirmExit(); }

void CMainFrame::OnExit() {
  if (!AskExit()) return;
  m_station.Channel().StopMonitor();
  m_bCloseConfirmed = true;
  close();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (m_bCloseConfirmed) {
    RememberPlacement();
    event->accept();
    return;
  }
  if (!AskExit()) {
    event->ignore();
    return;
  }
  m_station.Channel().StopMonitor();
  m_bCloseConfirmed = true;
  RememberPlacement();
  event->accept();
}

QString CMainFrame::PlacementFile() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/KM360R/window.ini");
}

void CMainFrame::PlaceForRestore() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect available = screen->availableGeometry();
  m_defaultPlacement = QRect(QPoint(), available.size() * 4 / 5);
  m_defaultPlacement.moveCenter(available.center());
  QRect placement = m_defaultPlacement;
  const QSettings s(PlacementFile(), QSettings::IniFormat);
  const QRect kept = s.value(QStringLiteral("window/normal")).toRect();
  // A size kept on a larger screen is not used where it would not fit.
  if (kept.isValid() && available.contains(kept)) placement = kept;
  setGeometry(placement);
}

void CMainFrame::RememberPlacement() const {
  const QRect normal = isMaximized() || isFullScreen() ? normalGeometry() : geometry();
  // Only a size the operator gave the window is kept.
  if (!normal.isValid() || normal == m_defaultPlacement) return;
  QSettings s(PlacementFile(), QSettings::IniFormat);
  s.setValue(QStringLiteral("window/normal"), normal);
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FitToolbar();
}

void CMainFrame::FitToolbar() {
  if (!m_wndToolBar || m_toolbarActions.empty()) return;
  // What the buttons and separators take with their labels.
  const int separators = cmd::kToolbarPositions - static_cast<int>(m_toolbarActions.size());
  const int spacing = m_wndToolBar->layout() ? m_wndToolBar->layout()->spacing() : 0;
  const int handle = style()->pixelMetric(QStyle::PM_ToolBarHandleExtent) +
                     2 * style()->pixelMetric(QStyle::PM_ToolBarFrameWidth) +
                     2 * style()->pixelMetric(QStyle::PM_ToolBarItemMargin);
  const int separator = style()->pixelMetric(QStyle::PM_ToolBarSeparatorExtent);
  const int labelled = static_cast<int>(m_toolbarActions.size()) * (m_nLabelledButtonWidth + spacing) +
                       separators * (separator + spacing) + handle;
  const bool iconsOnly = width() < labelled;
  const Qt::ToolButtonStyle wanted = iconsOnly ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextUnderIcon;
  if (m_wndToolBar->toolButtonStyle() == wanted) return;
  m_wndToolBar->setToolButtonStyle(wanted);
  const int buttonWidth = iconsOnly ? cmd::kImageSize + kLabelPadding : m_nLabelledButtonWidth;
  for (const auto& [position, action] : m_toolbarActions) {
    if (QWidget* button = m_wndToolBar->widgetForAction(action)) button->setFixedWidth(buttonWidth);
  }
}

void CMainFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // The first show puts the tab items in; later shows (restoring from the
  // task bar) add nothing.
  if (m_bTabsPending) {
    m_bTabsPending = false;
    ApplyTabs(Logic().View());
  }
}

// ---- IFrameView --------------------------------------------------------------

void CMainFrame::Apply(const ViewState& state) {
  const bool first = !m_shown;
  if (first || m_shown->statusNote != state.statusNote) SetStatusNote(state.statusNote);
  if (first || m_shown->linkNote != state.linkNote) m_pLinkPane->setText(Qs(state.linkNote));
  if (first || m_shown->linkImage != state.linkImage || m_shown->linkTip != state.linkTip) {
    const auto it = m_toolbarActions.find(cmd::kLinkStatusButton);
    if (it != m_toolbarActions.end()) {
      it->second->setIcon(toolbar_icons::Image(state.linkImage));
      it->second->setToolTip(Qs(state.linkTip));
      m_toolbarImages[cmd::kLinkStatusButton] = state.linkImage;
    }
  }
  // Without a language there is no toolbar to change.
  if (m_language && !first && m_shown->realTimeRunning != state.realTimeRunning) {
    const cmd::ToolbarPosition b = cmd::RealTimeButton(m_texts.m_bChinese, state.realTimeRunning);
    SetToolbarButton(cmd::kRealTimeButton, b.id, b.label, b.image);
  }
  if (m_language && !first && m_shown->saveImage != state.saveImage) {
    const cmd::ToolbarPosition b = cmd::SaveButton(m_texts.m_bChinese, state.saveImage);
    SetToolbarButton(cmd::kSaveButton, b.id, b.label, b.image);
  }
  if (!m_bTabsPending) ApplyTabs(state);
  if (first || m_shown->fileName != state.fileName || m_shown->unsaved != state.unsaved) ApplyTitle(state);
  if (first || m_shown->shownPage != state.shownPage) m_pView->ShowPage(state.shownPage);
  m_shown = state;
}

void CMainFrame::SetCaption(const std::string& caption) {
  m_strCaption = caption;
  ApplyTitle(Logic().View());
}

void CMainFrame::ApplyTitle(const ViewState& state) {
  // Until the caption is given, the window keeps the title it was made with.
  if (m_strCaption.empty()) return;
  setWindowTitle(Qs(unsaved::Title(m_strCaption, state.fileName, state.unsaved)));
}

void CMainFrame::ApplyTabs(const ViewState& state) {
  QStringList captions;
  for (const std::string& caption : state.tabs) captions << Qs(caption);
  CTabControl* tabs = m_pView->m_tabCtrl;
  tabs->SetItems(captions);
  tabs->SetCurSel(state.selectedTab);
}

void CMainFrame::SetStatusNote(const std::string& text) {
  // The note pane is exactly as wide as its text in the window's font.
  const QString note = Qs(text);
  m_pNotePane->setText(note);
  m_pNotePane->setFixedWidth(QFontMetrics(font()).horizontalAdvance(note));
  m_pNotePane->setVisible(!note.isEmpty());
}
