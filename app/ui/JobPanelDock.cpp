#include "app/ui/JobPanelDock.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <optional>

#include "app/ui/MainMenus.h"
#include "jobs/JobTexts.h"
#include "jobs/ServerTarget.h"
#include "jobs/StorePath.h"
#include "jobs/SyncTexts.h"
#include "jobs/ui/CJobPanel.h"
#include "jobs/ui/CSyncRunner.h"

JobPanelDock InstallJobPanel(QMainWindow& window, JobDesk& desk, lang::Index language, QAction* viewAnchor,
                             const config::Settings& settings) {
  JobPanelDock dock;
  dock.panel = new CJobPanel(desk, jobs::JobTexts::For(language), &window, settings.server);
  window.addDockWidget(Qt::RightDockWidgetArea, dock.panel);
  dock.panel->hide();
  dock.panel->CaptureBySpaceIn(&window);
  mainmenus::InsertAfter(*window.menuBar(), viewAnchor, {dock.panel->PanelAction(), dock.panel->CaptureAction()});

  const jobs::SyncTexts syncTexts = jobs::SyncTexts::For(language);
  CSyncRunner* runner = new CSyncRunner(syncTexts, &window);
  dock.syncRunner = runner;
  auto* sync = new QAction(QString::fromStdString(syncTexts.menuEntry), &window);
  if (!mainmenus::InsertAboveExit(*window.menuBar(), sync)) {
    delete sync;
    return dock;
  }
  dock.syncAction = sync;
  QObject::connect(sync, &QAction::triggered, &window, [runner, &settings] {
    runner->Start(jobs::StorePath(std::nullopt), jobs::ServerTarget(std::nullopt, settings.server));
  });
  return dock;
}
