#pragma once
// The program's one top-level window: the menu bar and the text-labelled
// toolbar of the configured language, the status bar with its note pane, and
// the form view with the two tab pages. Every command id is routed here; the
// link and reading commands go on to the frame's logic (MainFrameLogic), which
// reaches timers, boxes, the toolbar, the tabs and the pages through the
// IFrameHost side of this window.
#include <QMainWindow>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/FrameTexts.h"
#include "app/Language.h"
#include "device/FrameHost.h"

class QAction;
class QLabel;
class QTimer;
class QToolBar;
class CKM360R_ProjectView;
class MainFrameLogic;

class CMainFrame : public QMainWindow, public IFrameHost {
  Q_OBJECT

 public:
  explicit CMainFrame(QWidget* parent = nullptr);
  ~CMainFrame() override;

  // Routes one command id as the command table says.
  void OnCommand(int id);

  // Stops real-time reading before an opened file replaces the table.
  void StopRealTimeReading();

  // Restricts Link's port scan to one device (--port PATH).
  void SetPortOverride(const std::string& devicePath);

  // IFrameHost
  void StartTimer(int id, int periodMs) override;
  void KillTimer(int id) override;
  void Post(std::function<void()> fn) override;
  BoxAnswer MessageBox(const std::string& text, const std::string& caption, BoxButtons buttons) override;
  void SetStatusNote(const std::string& text) override;
  void SetLinkImage(int image) override;
  void SetRealTimeButton(bool running) override;
  void SetSaveButtonImage(int image) override;
  int TabCount() override;
  void DeleteTab(int index) override;
  void InsertTab(int index, const std::string& caption) override;
  void SelectTab(int index) override;
  void ShowPage(int page) override;
  void PostGraphClear() override;
  void PostGraphUpdate(const std::string& valueText) override;
  void RunSettingsDialog(int kind) override;

  // What the window shows, for the program's own checks and tests.
  const FrameTexts& Texts() const { return m_texts; }
  const std::string& Language() const { return m_strLanguage; }
  std::optional<lang::Index> LanguageIndex() const { return m_language; }
  QToolBar* ToolBar() const { return m_wndToolBar; }
  QLabel* NotePane() const { return m_pNotePane; }
  // The toolbar action at a position (nullptr for separators or without a toolbar).
  QAction* ToolbarAction(int position) const;
  int ToolbarImage(int position) const;
  CKM360R_ProjectView* View() const { return m_pView; }
  MainFrameLogic& Logic() { return *m_pLogic; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenuBar();
  void BuildToolBar();
  void BuildStatusBar();
  void SetToolbarButton(int position, int id, const std::string& label, int image);
  void OnExit();
  bool AskExit();
  void UpdateLockPanes();

  std::string m_strLanguage;
  std::string m_strDrive;  // read with the language; nothing uses it
  std::optional<lang::Index> m_language;
  FrameTexts m_texts;

  QToolBar* m_wndToolBar = nullptr;
  std::map<int, QAction*> m_toolbarActions;  // by position
  std::map<int, int> m_toolbarImages;        // by position
  QLabel* m_pNotePane = nullptr;
  QLabel* m_pLockPanes[3] = {nullptr, nullptr, nullptr};
  CKM360R_ProjectView* m_pView = nullptr;
  std::map<int, QTimer*> m_timers;
  std::unique_ptr<MainFrameLogic> m_pLogic;
  bool m_bCloseConfirmed = false;
};

extern CMainFrame* g_pMainFrame;
