#include "app/ui/CMainFrame.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>

#include "app/CommandSurface.h"
#include "app/Help.h"
#include "app/ui/CMainView.h"
#include "app/ui/CStatusPanes.h"
#include "app/ui/CTabControl.h"
#include "app/ui/DesktopOpener.h"
#include "app/ui/DialogSupport.h"
#include "app/ui/KeyboardFocus.h"
#include "app/ui/MainMenus.h"
#include "common/ui/QtText.h"
#include "field/ui/CFieldPanel.h"
#include "field/ui/CFieldReadout.h"
#include "graph/ui/CGraphPageWindow.h"
#include "jobs/ReadoutJudge.h"
#include "jobs/ui/CJobPanel.h"
#include "print/ui/CPrinterDevice.h"
#include "table/ui/CTablePageWindow.h"

namespace {

// Boxes get Chinese button texts in a window of a Chinese language.
bool ChineseButtons(const config::Settings& settings) {
  const std::optional<lang::Index> language = settings.LanguageIndex();
  return language && FrameTexts::For(language).m_bChinese;
}

}  // namespace

CMainFrame::CMainFrame(config::Settings settings, SessionTimings timings, QWidget* parent)
    : QMainWindow(parent),
      m_prompter(this, ChineseButtons(settings)),
      m_station(m_runtime, m_prompter, std::move(settings), timings),
      m_presenter(m_station.Service(), *this),
      m_language(m_station.Settings().LanguageIndex()),
      m_texts(m_station.Texts()) {
  // The menus, the toolbar and the texts stay as the settings chose them for
  // the whole run; without a language there is no toolbar and the frame's
  // own (Chinese) menu stays.
  m_prompter.SetSettingsLink(&m_station.Service());
  dialogs::UseQtLanguage(!m_language || m_texts.m_bChinese);
  const auto onCommand = [this](int id) { OnCommand(id); };
  if (m_language) {
    m_pToolBar = new CMainToolBar(m_texts.m_bChinese, onCommand, this);
    addToolBar(Qt::TopToolBarArea, m_pToolBar);
  }
  m_pPanes = new CStatusPanes(*this);
  mainmenus::Build(*menuBar(), !m_language || m_texts.m_bChinese, this, onCommand);

  m_pDesktop = new DesktopOpener(this);
  m_pView = new CMainView(m_station.Table(), m_station.Graph(), Language(), this);
  setCentralWidget(m_pView);
  m_pView->m_tablePage->SetParameterViewQuery([this] { return Service().Shown().paramView; });
  m_pView->m_graphPage->SetRealTimeQuery([this] { return Service().RealTime(); });
  connect(m_pView, &CMainView::TabSelected, this, [this](int index) { m_presenter.OnTabSelected(index); });
  // The readout's and the job panel's texts follow the menus: Chinese also
  // when the language names none.
  const lang::Index panelLanguage = m_language.value_or(lang::Index::Zero);
  m_pFieldReadout = new CFieldReadout(Service().Readout(), field::FieldTexts::For(panelLanguage), this);
  m_pFieldReadout->InstallMenus(menuBar());
  m_pView->m_tablePage->SetTopPanel(m_pFieldReadout->Panel());
  m_jobs = InstallJobPanel(*this, Service().Jobs(), panelLanguage, m_pFieldReadout->PanelAction(),
                           m_station.Settings());
  CFieldReadout* readout = m_pFieldReadout;
  CJobPanel* jobs = m_jobs.panel;
  m_liveSubscription = Service().Feed().Subscribe([readout, jobs](const feed::Event& event) {
    if (std::holds_alternative<feed::ReadStarted>(event)) {
      readout->OnStarted();
      jobs->OnStarted();
    } else if (const auto* row = std::get_if<feed::Row>(&event)) {
      readout->OnRow(row->measurement);
      jobs->OnRow(row->measurement);
    } else if (std::holds_alternative<feed::TableReplaced>(event)) {
      readout->OnReplaced();
      jobs->OnStopped(false);
    } else if (const auto* finished = std::get_if<feed::ReadFinished>(&event)) {
      readout->OnStopped(finished->lost);
      jobs->OnStopped(finished->lost);
    }
  });
  // One verdict for a reading: while a job is open, the readout judges as the job does.
  connect(jobs, &CJobPanel::JobChanged, readout, [readout, jobs] {
    const std::optional<jobs::Job>& job = jobs->OpenedJob();
    readout->JudgeBy(job ? std::optional(jobs::ReadoutJudgeOf(*job)) : std::nullopt);
  });
  m_pKeyboard = new KeyboardFocus(this);
  if (m_pToolBar) {
    for (const auto& [position, button] : m_pToolBar->Buttons()) m_pKeyboard->AddButton(button);
  }
  for (int i = 0; i < 3; ++i) m_pKeyboard->AddButton(m_pFieldReadout->Panel()->Button(i));
  Apply(m_presenter.View());
  m_placement.Place(*this);
}

CMainFrame::~CMainFrame() {
  // The pages' windows go before the station, whose data they show. The
  // keyboard's ring goes first: the focus leaving the table as it goes would
  // ask it to follow, and the ring may sit inside the table's page.
  delete m_pKeyboard;
  m_pKeyboard = nullptr;
  delete m_pView;
  m_pView = nullptr;
  // The readout and the job panel show the service's feed and job desk: they
  // go before the station too, once the service tells them nothing more.
  Service().Feed().Unsubscribe(m_liveSubscription);
  delete m_pFieldReadout;
  m_pFieldReadout = nullptr;
  delete m_jobs.panel;
  m_jobs.panel = nullptr;
}

QLabel* CMainFrame::NotePane() const { return m_pPanes->NotePane(); }
QLabel* CMainFrame::LinkPane() const { return m_pPanes->LinkPane(); }

void CMainFrame::SetPortOverride(const std::string& devicePath) { Service().SetPortOverride(devicePath); }

// ---- commands ---------------------------------------------------------------

void CMainFrame::OnCommand(int id) {
  const std::optional<cmd::Command> command = cmd::CommandFor(id);
  if (!command) return;
  MeterService& service = Service();
  switch (*command) {
    case cmd::Command::ReadRealTime: service.OnReadRealTime(); break;
    case cmd::Command::Text: m_presenter.OnText(); break;
    case cmd::Command::Graphic: m_presenter.OnGraphic(); break;
    case cmd::Command::ReadHistory: service.OnReadHistory(); break;
    case cmd::Command::ReadAdValues: service.OnReadAdValues(); break;
    case cmd::Command::ReadWavelengthCodes: service.OnReadWavelengthCodes(); break;
    case cmd::Command::ReadParams: service.OnReadParams(); break;
    case cmd::Command::Reset: service.OnReset(); break;
    case cmd::Command::DeleteShownData: service.OnDeleteShownData(); break;
    case cmd::Command::Link: service.OnLink(); break;
    case cmd::Command::Open: service.OnOpenFile(); break;
    case cmd::Command::Save: service.OnSaveData(); break;
    case cmd::Command::Print: {
      CPrinterDevice printer(this);
      service.OnPrint(printer);
      break;
    }
    case cmd::Command::Export: service.OnExport(); break;
    case cmd::Command::Exit: OnExit(); break;
    // The link-status button only shows the link state.
    case cmd::Command::LinkStatus: break;
    case cmd::Command::SetClock: service.OnSettingsCommand(DataKind::Clock); break;
    case cmd::Command::SetWavelength: service.OnSettingsCommand(DataKind::Wavelength); break;
    case cmd::Command::Calibrate: service.OnSettingsCommand(DataKind::Calibration); break;
    case cmd::Command::SetMode: service.OnSettingsCommand(DataKind::Mode); break;
    case cmd::Command::Help:
      // The language the window was made with chooses the file.
      help::Open(Language(), lang::ProgramDirectory(), *m_pDesktop, m_prompter);
      break;
    case cmd::Command::About:
      if (m_onAbout) m_onAbout();
      break;
  }
}

bool CMainFrame::AskExit() { return Service().ConfirmExit(); }

void CMainFrame::Closing() {
  m_station.Channel().StopMonitor();
  m_bCloseConfirmed = true;
}

void CMainFrame::OnExit() {
  if (!AskExit()) return;
  Closing();
  close();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (!m_bCloseConfirmed) {
    if (!AskExit()) {
      event->ignore();
      return;
    }
    Closing();
  }
  m_placement.Remember(*this);
  event->accept();
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (m_pToolBar) m_pToolBar->Fit(width());
}

void CMainFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // The first show puts the tab items in; later shows (restoring from the
  // task bar) add nothing.
  if (m_bTabsPending) {
    m_bTabsPending = false;
    ApplyTabs(m_presenter.View());
  }
}

// ---- IFrameView --------------------------------------------------------------

void CMainFrame::Apply(const ViewState& state) {
  const bool first = !m_shown;
  const auto changed = [&](auto member) { return first || (*m_shown).*member != state.*member; };
  if (changed(&ViewState::statusNote)) m_pPanes->SetNote(state.statusNote);
  if (changed(&ViewState::linkNote)) m_pPanes->SetLink(state.linkNote);
  if (m_pToolBar) {
    if (changed(&ViewState::linkImage) || changed(&ViewState::linkTip)) {
      m_pToolBar->ShowLink(state.linkImage, state.linkTip);
    }
    if (!first && changed(&ViewState::realTimeRunning)) m_pToolBar->ShowRealTime(state.realTimeRunning);
    if (!first && changed(&ViewState::saveImage)) m_pToolBar->ShowSave(state.saveImage);
  }
  if (!m_bTabsPending) ApplyTabs(state);
  if (changed(&ViewState::fileName) || changed(&ViewState::unsaved)) ApplyTitle(state);
  if (changed(&ViewState::shownPage)) m_pView->ShowPage(state.shownPage);
  m_shown = state;
}

void CMainFrame::SetCaption(const std::string& caption) {
  m_strCaption = caption;
  ApplyTitle(m_presenter.View());
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
