#pragma once
// The "Test job" panel: a dock beside the table, independent of the tab
// pages. It shows the job desk the meter service holds (the results store
// km360r-cli uses, one job's points with their latest results), and captures
// a result for the selected point from the live readings the main window
// hands it. A capture shows as stored only once the store has committed it:
// the list is read back from the store.
#include <QDockWidget>
#include <QElapsedTimer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "jobs/JobDesk.h"
#include "device/Measurement.h"
#include "jobs/Job.h"
#include "jobs/JobSession.h"
#include "jobs/JobTexts.h"
#include "jobs/PointPattern.h"
#include "jobs/SyncTexts.h"
#include "jobs/ui/CPointList.h"

class QAction;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class CTrendView;

namespace jobs {
class IResultsReader;
class IResultsWriter;
}

class CJobPanel : public QDockWidget {
  Q_OBJECT

 public:
  // Works on `desk`, which outlives the panel. `configuredServer`: the
  // settings' team server, shown when KM360R_SERVER names none.
  CJobPanel(JobDesk& desk, const jobs::JobTexts& texts, QWidget* parent, std::string configuredServer = {});
  ~CJobPanel() override;

  // The View menu's entries: the panel (Ctrl+J) and Capture.
  QAction* PanelAction() const;
  QAction* CaptureAction() const { return m_captureAction; }

  // Live reading, as the main window's listener hands it on; `lost`: the
  // meter was lost rather than the reading stopped.
  void OnStarted();
  void OnRow(const meter::Measurement& measurement);
  void OnStopped(bool lost);

  // Space captures wherever the focus is in `window` while a job is open:
  // a focused button is pressed and a field being typed in types, as ever.
  // Without a job, Space keeps its own use outside the panel.
  void CaptureBySpaceIn(QWidget* window);

  // The job commands; false with the reason in the status line.
  bool NewJob(jobs::Job job, const std::vector<std::string>& points);
  bool OpenJob(const std::string& name);
  void CloseJob();
  // Renames the open job in the local store; the next sync carries the new
  // name to the team server.
  bool RenameJob(const std::string& name);
  bool ImportPattern(const std::string& pattern);
  bool ImportFile(const std::string& path);
  bool SetSamples(int samples);
  bool SetReferenceFromReading();
  bool ClearReference();
  // Stores a result for the selected point from readings no earlier capture
  // took; false with the reason shown, also while fewer than N such readings
  // have arrived: a press is never stored later, when the fibre may be another.
  bool Capture();
  // The open job's report on a printer the operator chooses.
  void PrintReport();
  // SQLite's full check of the local store, told in the status line; true
  // when the store is sound.
  bool CheckStore();

  // The jobs the panel shows: the team server's at `server`, read only (no
  // job made, changed or captured into; reports print), or the local store's
  // when `server` is empty. The open job closes. False with the reason shown
  // when the server cannot be used; the panel then shows the local jobs.
  bool ShowServer(const std::string& server);
  bool OnServer() const { return m_desk.OnServer(); }
  // The switch between the local and the server's jobs (index 0 and 1).
  QComboBox* SourceSwitch() const { return m_source; }

  const std::optional<jobs::Job>& OpenedJob() const { return m_desk.job; }
  bool SelectPoint(const std::string& label);
  std::optional<std::string> SelectedPoint() const;
  QTableWidget* Points() const { return m_points; }
  QLabel* StatusLine() const { return m_status; }
  QLabel* StabilityLabel() const { return m_stability; }

 signals:
  // The open job, its profile or its references changed, or the job closed.
  void JobChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Stores the result of `input` for `point` and tells it.
  bool StoreCapture(const std::string& point, const jobs::CaptureInput& input);
  // Adds imported labels to the open job; a refusal is told with `source`
  // (the file it came from) before the reason.
  bool AddLabels(const jobs::Labels& labels, const std::string& source);
  // Runs one change of the store; a refusal is told in the status line, a
  // change made shows in the point list.
  bool StoreChange(const std::function<void()>& change);
  void Build();
  jobs::IResultsReader* Store();
  // The store's writing half; a server's jobs are only read, which is refused.
  jobs::IResultsWriter& Writer();
  // Shows the job as the store has it now and tells JobChanged.
  void Refresh(const std::optional<std::string>& select);
  void RefreshList(const std::optional<std::string>& select);
  void ShowLive();
  void Tell(const std::string& text, bool problem);
  void AskNewJob();
  void AskOpenJob();
  void AskRenameJob();
  void AskImport();

  JobDesk& m_desk;
  jobs::JobTexts m_texts;
  std::string m_configuredServer;
  jobs::SyncTexts m_syncTexts;
  bool m_bLive = false;
  bool m_bLost = false;  // the last run ended with the meter lost
  QWidget* m_window = nullptr;  // where Space captures
  bool m_bRefreshing = false;
  QElapsedTimer m_clock;

  QLabel* m_jobLine = nullptr;
  QLabel* m_profileLine = nullptr;
  QLabel* m_referenceLine = nullptr;
  QLabel* m_stability = nullptr;
  QLabel* m_status = nullptr;
  QSpinBox* m_samples = nullptr;
  CPointList* m_points = nullptr;
  CTrendView* m_trend = nullptr;
  QPushButton* m_captureButton = nullptr;
  QList<QWidget*> m_needJob;  // enabled only with a job open
  QList<QWidget*> m_changes;  // what changes a job: disabled for a server's jobs
  QComboBox* m_source = nullptr;
  QAction* m_captureAction = nullptr;
};
