#pragma once
// The program's one top-level window, and the wiring between its parts: the
// menus (MainMenus) and the toolbar (CMainToolBar) of the configured
// language, the status bar (CStatusPanes), the form view with the two tab
// pages, the readout and the job dock (JobPanelDock), and the window's place
// on the screen (WindowPlacement). The window builds the station (the line,
// the session, the pages' data and the meter service) over its runtime
// (QtRuntime: timers, posted work) and its prompter (QtPrompter: boxes, file
// and settings dialogs), and shows the service through its presenter
// (toolbar, panes, tabs and pages, applied from one ViewState). Every command
// id is routed here; the link, reading, settings and file commands go on to
// the service, the tab commands to the presenter.
#include <QMainWindow>
#include <memory>
#include <optional>
#include <string>

#include "app/FramePresenter.h"
#include "app/MeterService.h"
#include "app/Station.h"
#include "app/ViewState.h"
#include "app/ui/CMainToolBar.h"
#include "app/ui/JobPanelDock.h"
#include "app/ui/QtPrompter.h"
#include "app/ui/QtRuntime.h"
#include "app/ui/WindowPlacement.h"
#include "common/FrameTexts.h"
#include "common/Language.h"
#include "common/Settings.h"
#include "device/SessionTimings.h"

class QAction;
class QLabel;
class QToolBar;
class CMainView;
class CStatusPanes;
class CFieldReadout;
class CJobPanel;
class CSyncRunner;
class DesktopOpener;
class KeyboardFocus;

class CMainFrame : public QMainWindow, public IFrameView {
  Q_OBJECT

 public:
  // The window of `settings` (config.ini as read at start: the language stays
  // for the whole run). The reading session runs with `timings` (the meter's
  // own periods unless a test talks to a faster simulated meter).
  explicit CMainFrame(config::Settings settings, SessionTimings timings = {}, QWidget* parent = nullptr);
  ~CMainFrame() override;

  // Routes one command id as the command table says.
  void OnCommand(int id);

  // The window's own caption; the title adds the shown file's name and the
  // unsaved mark to it.
  void SetCaption(const std::string& caption);

  // Restricts Link's port scan to one device (--port PATH).
  void SetPortOverride(const std::string& devicePath);

  // The About command belongs to the application object, which hands its
  // handler in here; without one the command does nothing.
  void SetAboutHandler(std::function<void()> handler) { m_onAbout = std::move(handler); }

  // IFrameView
  void Apply(const ViewState& state) override;

  // What the window shows, for the program's own checks and tests.
  const FrameTexts& Texts() const { return m_texts; }
  const std::string& Language() const { return m_station.Settings().language; }
  std::optional<lang::Index> LanguageIndex() const { return m_language; }
  QToolBar* ToolBar() const { return m_pToolBar; }
  QLabel* NotePane() const;
  QLabel* LinkPane() const;
  // The toolbar action at a position (nullptr for separators or without a toolbar).
  QAction* ToolbarAction(int position) const { return m_pToolBar ? m_pToolBar->Action(position) : nullptr; }
  int ToolbarImage(int position) const { return m_pToolBar ? m_pToolBar->Image(position) : -1; }
  CMainView* View() const { return m_pView; }
  MeterService& Service() { return m_station.Service(); }
  FramePresenter& Presenter() { return m_presenter; }
  CFieldReadout* FieldReadout() const { return m_pFieldReadout; }
  CJobPanel* JobPanel() const { return m_jobs.panel; }
  // File → Sync results… and the sync it runs.
  QAction* SyncAction() const { return m_jobs.syncAction; }
  CSyncRunner* SyncRunner() const { return m_jobs.syncRunner; }
  KeyboardFocus* Keyboard() const { return m_pKeyboard; }

  // Where the window's own size is kept once the operator has given it one.
  static QString PlacementFile() { return WindowPlacement::File(); }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void OnExit();
  bool AskExit();
  // The close is confirmed: the line stops and the window's size is kept.
  void Closing();
  void ApplyTabs(const ViewState& state);
  void ApplyTitle(const ViewState& state);

  // The runtime and the prompter outlive the station, which works through
  // them to its end.
  QtRuntime m_runtime;
  QtPrompter m_prompter;
  Station m_station;
  FramePresenter m_presenter;
  const std::optional<lang::Index> m_language;
  const FrameTexts& m_texts;

  CMainToolBar* m_pToolBar = nullptr;  // none without a language
  CStatusPanes* m_pPanes = nullptr;
  CMainView* m_pView = nullptr;
  CFieldReadout* m_pFieldReadout = nullptr;  // the readout panel above the real-time table
  JobPanelDock m_jobs;
  DataFeed::Token m_liveSubscription = 0;  // the readout and the job panel following live reading
  // What was last shown; nullopt before the first Apply.
  std::optional<ViewState> m_shown;
  // The tab items go in at the first show of the window.
  bool m_bTabsPending = true;
  bool m_bCloseConfirmed = false;
  std::string m_strCaption;
  std::function<void()> m_onAbout;
  DesktopOpener* m_pDesktop = nullptr;  // the Help command's "open"
  KeyboardFocus* m_pKeyboard = nullptr;
  WindowPlacement m_placement;
};

