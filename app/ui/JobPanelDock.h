#pragma once
// The "Test job" dock beside the table, hidden until asked for, with its
// entries in the View menu (after the readout panel's) and File → Sync
// results…, which sends the panel's store to the team server.
#include "common/Language.h"
#include "common/Settings.h"

class QAction;
class QMainWindow;
class CJobPanel;
class JobDesk;
class CSyncRunner;

struct JobPanelDock {
  CJobPanel* panel = nullptr;
  QAction* syncAction = nullptr;  // nullptr when the File menu is empty
  CSyncRunner* syncRunner = nullptr;
};

// Builds the dock over `desk` into `window` in `language`; its View entries go after
// `viewAnchor`. A sync goes to the server of `settings` (read at each sync;
// `settings` outlives the window's menus) unless KM360R_SERVER names one.
JobPanelDock InstallJobPanel(QMainWindow& window, JobDesk& desk, lang::Index language, QAction* viewAnchor,
                             const config::Settings& settings);
