// Takes the job panel's pictures for docs/test-jobs.md: the whole program at
// 1366 x 768 with the job dock open, on a job whose first points were
// captured at 1310, 1490 and 1550 nm, while real-time reading from the
// simulated meter runs at 1310 nm; one picture per language. Not a test: run
// it by hand after a change to the window, then look at the pictures.
//
//   build/bin/km360r_doc_shots docs     (writes docs/job-panel-en.png and docs/job-panel-zh.png)
#include <QApplication>
#include <QTableWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "GuiMeterSupport.h"
#include "app/CommandSurface.h"
#include "app/ui/CMainFrame.h"
#include "jobs/Capture.h"
#include "jobs/SqliteStore.h"
#include "jobs/ui/CJobPanel.h"
#include "table/ui/CTablePageWindow.h"

namespace {

constexpr int kWidth = 1366;
constexpr int kHeight = 768;
const char kJob[] = "Street 5";

// A job half measured: results made as a capture makes them, from three
// readings each, with a reference at 1490 nm.
void StoreJob(const std::string& path) {
  jobs::SqliteStore store(path);
  jobs::Job job;
  job.uuid = "street-5";
  job.name = kJob;
  job.site = "Cabinet 12";
  job.operatorName = "Ann";
  job.profile = jobs::FindProfile("gpon-b+", {}).value();
  job.referencesDbm = {{1490, -3.00}};
  store.CreateJob(job, {"P01", "P02", "P03", "P04", "P05", "P06", "P07", "P08"});
  store.SetReference(kJob, 1490, -3.00);
  const struct {
    const char* point;
    int nm;
    double dbm;
  } captured[] = {{"P01", 1310, -20.10}, {"P01", 1490, -19.80}, {"P01", 1550, -21.30}, {"P02", 1310, -26.90},
                  {"P02", 1490, -21.00}, {"P02", 1550, -22.10}, {"P03", 1310, -29.10}, {"P04", 1310, -18.40},
                  {"P04", 1490, -18.90}};
  for (const auto& c : captured) {
    jobs::Result result = jobs::ResultOf(job, c.point, c.nm, {c.dbm - 0.05, c.dbm + 0.05, c.dbm}, std::time(nullptr));
    store.AddResult(kJob, result);
  }
}

bool Shoot(const std::string& language, const QString& out) {
  QTemporaryDir dir;
  const std::string store = dir.filePath("results.sqlite").toStdString();
  StoreJob(store);
  setenv("KM360R_STORE", store.c_str(), 1);
  // The meter's own poll period: the trend spreads the readings over the time they took.
  guitest::MeterWindow w(language, {"--readings", "-20.10,-20.15,-20.05,-20.12,-20.08,-20.14"}, {});
  if (!w.Ready()) return false;
  CMainFrame* frame = w.frame;
  frame->showNormal();
  frame->setGeometry(0, 0, kWidth, kHeight);
  CJobPanel* panel = frame->JobPanel();
  panel->PanelAction()->trigger();
  if (!panel->OpenJob(kJob) || !w.Link()) return false;
  frame->OnCommand(cmd::ID_READ_REALTIME);
  // Half a minute of readings: the statistics and the trend have some to show.
  const bool read = guitest::WaitFor([&] { return w.running.TablePageWindow()->Page().Model().RowCount() >= 30; }, 60000);
  guitest::Drain();
  unsetenv("KM360R_STORE");
  return read && frame->grab().save(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: km360r_doc_shots FOLDER\n");
    return 2;
  }
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // The program's own settings (window place, readout reference and limits)
  // start from nothing and go nowhere else.
  QTemporaryDir home;
  for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
    setenv(variable, home.path().toLocal8Bit().constData(), 1);
  }
  CApplication::SetSettingsKey();
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  const QString folder = QString::fromLocal8Bit(argv[1]);
  for (const auto& [language, name] : {std::pair{"1", "job-panel-en.png"}, std::pair{"0", "job-panel-zh.png"}}) {
    if (!Shoot(language, folder + QLatin1Char('/') + QLatin1String(name))) {
      std::fprintf(stderr, "km360r_doc_shots: %s not taken\n", name);
      return 1;
    }
    std::printf("%s/%s\n", argv[1], name);
  }
  return 0;
}
