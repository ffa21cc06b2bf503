#include "jobs/ui/CJobPanel.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTextEdit>
#include <QVBoxLayout>
#include <ctime>

#include "common/FileAccess.h"
#include "common/ui/QtText.h"
#include "field/Readout.h"
#include "jobs/Capture.h"
#include "jobs/JobReport.h"
#include "jobs/JobTable.h"
#include "jobs/PointPattern.h"
#include "jobs/ServerTarget.h"
#include "jobs/SqliteStore.h"
#include "jobs/StoreFactory.h"
#include "jobs/StorePath.h"
#include "jobs/TeamServer.h"
#include "jobs/Uuid.h"
#include "jobs/ui/CNewJobDialog.h"
#include "jobs/ui/CTrendView.h"
#include "print/ui/CPrinterDevice.h"

namespace {

// The verdict colours of the point list: the cell's background and its text.
struct Colours {
  QColor back;
  QColor text;
};
std::optional<Colours> ColoursOf(const std::optional<jobs::Verdict>& v) {
  if (!v) return std::nullopt;
  switch (*v) {
    case jobs::Verdict::Pass: return Colours{QColor(0x2e, 0x7d, 0x32), Qt::white};
    case jobs::Verdict::Marginal: return Colours{QColor(0xff, 0xb3, 0x00), Qt::black};
    case jobs::Verdict::Fail: return Colours{QColor(0xd3, 0x2f, 0x2f), Qt::white};
    case jobs::Verdict::NoLimit: break;
  }
  return std::nullopt;
}

QTableWidgetItem* Cell(const std::string& text, const std::optional<jobs::Verdict>& verdict) {
  auto* item = new QTableWidgetItem(Qs(text));
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  if (const auto c = ColoursOf(verdict)) {
    item->setBackground(c->back);
    item->setForeground(c->text);
  }
  return item;
}

std::string ReferencesText(const jobs::Job& job, const std::string& none) {
  if (job.referencesDbm.empty()) return none;
  std::string text;
  for (const auto& [nm, dbm] : job.referencesDbm) {
    if (!text.empty()) text += ", ";
    text += std::to_string(nm) + " nm " + field::FormatTwoDecimals(dbm) + " dBm";
  }
  return text;
}

// Where Space is the widget's own: a button it presses, a field being typed in.
bool SpaceIsTheWidgets(const QWidget* w) {
  if (qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QAbstractSpinBox*>(w)) return true;
  if (const auto* line = qobject_cast<const QLineEdit*>(w)) return !line->isReadOnly();
  if (const auto* combo = qobject_cast<const QComboBox*>(w)) return combo->isEditable();
  if (const auto* text = qobject_cast<const QTextEdit*>(w)) return !text->isReadOnly();
  if (const auto* plain = qobject_cast<const QPlainTextEdit*>(w)) return !plain->isReadOnly();
  return false;
}

// The stability of readings that are no longer live, greyed like the readout's figures.
const QColor kStaleBack(0xdd, 0xe1, 0xe6);
const QColor kStaleText(0x6c, 0x78, 0x86);

}  // namespace

CJobPanel::CJobPanel(JobDesk& desk, const jobs::JobTexts& texts, QWidget* parent, std::string configuredServer)
    : QDockWidget(Qs(texts.panelTitle), parent),
      m_desk(desk),
      m_texts(texts),
      m_configuredServer(std::move(configuredServer)),
      m_syncTexts(jobs::SyncTexts::For(texts.chinese ? lang::Index::Zero : lang::Index::One)) {
  setObjectName(QStringLiteral("testJobPanel"));
  setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
  m_clock.start();
  Build();
  Refresh(std::nullopt);
}

CJobPanel::~CJobPanel() = default;

QAction* CJobPanel::PanelAction() const { return toggleViewAction(); }

void CJobPanel::Build() {
  auto* body = new QWidget(this);
  auto* column = new QVBoxLayout(body);

  m_source = new QComboBox(body);
  m_source->setObjectName(QStringLiteral("jobSource"));
  m_source->addItems({Qs(m_syncTexts.localJobs), Qs(m_syncTexts.serverJobs)});
  column->addWidget(m_source);
  connect(m_source, &QComboBox::activated, this, [this](int index) {
    const std::string server = jobs::ServerTarget(std::nullopt, m_configuredServer);
    if (index == 1 && server.empty()) {
      m_source->setCurrentIndex(0);
      Tell(m_syncTexts.noServer, true);
      return;
    }
    ShowServer(index == 1 ? server : std::string());
  });

  auto* commands = new QHBoxLayout;
  auto* newButton = new QPushButton(Qs(m_texts.newJob), body);
  auto* openButton = new QPushButton(Qs(m_texts.openJob), body);
  auto* closeButton = new QPushButton(Qs(m_texts.closeJob), body);
  auto* renameButton = new QPushButton(Qs(m_texts.renameJob), body);
  renameButton->setObjectName(QStringLiteral("renameJob"));
  auto* importButton = new QPushButton(Qs(m_texts.importPoints), body);
  auto* printButton = new QPushButton(Qs(m_texts.printReport), body);
  auto* checkButton = new QPushButton(Qs(m_texts.checkStore), body);
  checkButton->setObjectName(QStringLiteral("checkStore"));
  // Two rows, so that the dock stays narrow beside the form on a laptop: the
  // job itself, then what goes into and out of it and the store's check.
  for (QPushButton* b : {newButton, openButton, closeButton, renameButton}) commands->addWidget(b);
  commands->addStretch();
  column->addLayout(commands);
  auto* transfers = new QHBoxLayout;
  for (QPushButton* b : {importButton, printButton, checkButton}) transfers->addWidget(b);
  transfers->addStretch();
  column->addLayout(transfers);
  connect(newButton, &QPushButton::clicked, this, &CJobPanel::AskNewJob);
  connect(openButton, &QPushButton::clicked, this, &CJobPanel::AskOpenJob);
  connect(closeButton, &QPushButton::clicked, this, &CJobPanel::CloseJob);
  connect(renameButton, &QPushButton::clicked, this, &CJobPanel::AskRenameJob);
  connect(importButton, &QPushButton::clicked, this, &CJobPanel::AskImport);
  connect(printButton, &QPushButton::clicked, this, &CJobPanel::PrintReport);
  connect(checkButton, &QPushButton::clicked, this, &CJobPanel::CheckStore);

  m_jobLine = new QLabel(body);
  m_jobLine->setObjectName(QStringLiteral("jobLine"));
  QFont bold = m_jobLine->font();
  bold.setBold(true);
  m_jobLine->setFont(bold);
  column->addWidget(m_jobLine);
  m_profileLine = new QLabel(body);
  m_profileLine->setWordWrap(true);
  column->addWidget(m_profileLine);

  auto* settings = new QHBoxLayout;
  settings->addWidget(new QLabel(Qs(m_texts.samples), body));
  m_samples = new QSpinBox(body);
  m_samples->setRange(1, 100);
  m_samples->setValue(jobs::kDefaultSamples);
  settings->addWidget(m_samples);
  connect(m_samples, &QSpinBox::editingFinished, this, [this] { SetSamples(m_samples->value()); });
  settings->addStretch();
  column->addLayout(settings);

  auto* reference = new QHBoxLayout;
  m_referenceLine = new QLabel(body);
  m_referenceLine->setWordWrap(true);
  reference->addWidget(m_referenceLine, 1);
  auto* setReference = new QPushButton(Qs(m_texts.setReference), body);
  auto* clearReference = new QPushButton(Qs(m_texts.clearReference), body);
  reference->addWidget(setReference);
  reference->addWidget(clearReference);
  connect(setReference, &QPushButton::clicked, this, &CJobPanel::SetReferenceFromReading);
  connect(clearReference, &QPushButton::clicked, this, &CJobPanel::ClearReference);
  column->addLayout(reference);

  m_points = new CPointList(body);
  m_points->setObjectName(QStringLiteral("jobPoints"));
  m_points->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_points->setSelectionMode(QAbstractItemView::SingleSelection);
  m_points->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_points->verticalHeader()->hide();
  column->addWidget(m_points, 3);

  auto* capture = new QHBoxLayout;
  m_captureButton = new QPushButton(Qs(m_texts.captureButton), body);
  QFont big = m_captureButton->font();
  big.setBold(true);
  m_captureButton->setFont(big);
  connect(m_captureButton, &QPushButton::clicked, this, &CJobPanel::Capture);
  capture->addWidget(m_captureButton);
  m_stability = new QLabel(body);
  m_stability->setObjectName(QStringLiteral("jobStability"));
  m_stability->setAutoFillBackground(true);
  m_stability->setMargin(3);
  capture->addWidget(m_stability, 1);
  column->addLayout(capture);

  m_trend = new CTrendView(Qs(m_texts.trendTitle), body);
  column->addWidget(m_trend, 2);
  m_status = new QLabel(body);
  m_status->setObjectName(QStringLiteral("jobStatus"));
  m_status->setWordWrap(true);
  column->addWidget(m_status);
  setWidget(body);

  m_needJob = {closeButton, renameButton, importButton, m_samples, setReference, clearReference, m_points, m_captureButton};
  m_changes = {newButton, renameButton, importButton, m_samples, setReference, clearReference, m_captureButton};

  // Space in the panel captures too: the panel is the window it watches
  // until CaptureBySpaceIn names the main window.
  CaptureBySpaceIn(this);
  m_captureAction = new QAction(Qs(m_texts.captureEntry), this);
  connect(m_captureAction, &QAction::triggered, this, &CJobPanel::Capture);
  toggleViewAction()->setText(Qs(m_texts.menuEntry));
  toggleViewAction()->setShortcut(QKeySequence(QStringLiteral("Ctrl+J")));
}

jobs::IResultsReader* CJobPanel::Store() {
  if (jobs::IResultsReader* store = m_desk.Store()) return store;
  try {
    return &m_desk.Open();
  } catch (const jobs::StoreError& e) {
    const std::optional<std::string> problem = jobs::TeamServerProblem(e, m_syncTexts);
    Tell(problem ? *problem : m_texts.StoreProblem(e.what()), true);
    return nullptr;
  }
}

jobs::IResultsWriter& CJobPanel::Writer() {
  if (!m_desk.Writer()) jobs::Refuse(m_syncTexts.serverReadOnly);
  return *m_desk.Writer();
}

void CJobPanel::CaptureBySpaceIn(QWidget* window) {
  if (!m_window) qApp->installEventFilter(this);
  m_window = window;
}

bool CJobPanel::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDockWidget::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() != Qt::Key_Space || key->modifiers() != Qt::NoModifier) return false;
  // The key as the focused widget gets it, once: not again on its way up to the parents.
  auto* target = qobject_cast<QWidget*>(watched);
  const QWidget* focus = QApplication::focusWidget();
  if (!target || (focus && target != focus) || SpaceIsTheWidgets(target)) return false;
  const bool inPanel = isAncestorOf(target);
  if (!inPanel && (!m_desk.job || target->window() != m_window)) return false;
  // A held key repeats: it is one press.
  if (!key->isAutoRepeat()) {
    if (!isVisible()) show();  // where the capture's outcome is told
    Capture();
  }
  return true;
}

bool CJobPanel::CheckStore() {
  const std::string path = m_desk.StorePath();
  try {
    // A connection of its own: the panel's may have met the damage already.
    jobs::SqliteStore store(path, jobs::SqliteStore::Access::ReadOnly);
    const std::string problem = store.IntegrityProblem();
    Tell(problem.empty() ? m_texts.storeSound : m_texts.storeDamaged + problem, !problem.empty());
    return problem.empty();
  } catch (const jobs::StoreError& e) {
    Tell(m_texts.StoreProblem(e.what()), true);
    return false;
  }
}

bool CJobPanel::ShowServer(const std::string& server) {
  m_desk.UseServer(server);
  Tell(std::string(), false);
  const bool usable = Store() != nullptr;
  if (!usable) m_desk.UseServer({});
  m_source->setCurrentIndex(OnServer() ? 1 : 0);
  Refresh(std::nullopt);
  return usable;
}

void CJobPanel::Tell(const std::string& text, bool problem) {
  m_status->setText(Qs(text));
  QPalette p = m_status->palette();
  p.setColor(QPalette::WindowText, problem ? QColor(0xd3, 0x2f, 0x2f) : palette().color(QPalette::WindowText));
  m_status->setPalette(p);
}

// ---- jobs ----------------------------------------------------------------------

bool CJobPanel::NewJob(jobs::Job job, const std::vector<std::string>& points) {
  jobs::IResultsReader* store = Store();
  if (!store) return false;
  if (job.uuid.empty()) job.uuid = jobs::NewUuid();
  try {
    Writer().CreateJob(job, points);
  } catch (const jobs::StoreError& e) {
    Tell(m_texts.StoreProblem(e.what()), true);
    return false;
  }
  return OpenJob(job.name);
}

bool CJobPanel::OpenJob(const std::string& name) {
  jobs::IResultsReader* store = Store();
  if (!store) return false;
  try {
    std::optional<jobs::Job> job = store->FindJob(name);
    if (!job) {
      Tell(m_texts.NoSuchJob(name), true);
      return false;
    }
    m_desk.job = std::move(job);
  } catch (const jobs::StoreError& e) {
    Tell(m_texts.StoreProblem(e.what()), true);
    return false;
  }
  Tell(std::string(), false);
  Refresh(std::nullopt);
  return true;
}

bool CJobPanel::StoreChange(const std::function<void()>& change) {
  try {
    change();
  } catch (const jobs::StoreError& e) {
    Tell(m_texts.StoreProblem(e.what()), true);
    return false;
  }
  Refresh(SelectedPoint());
  return true;
}

void CJobPanel::PrintReport() {
  if (!m_desk.job || !Store()) {
    Tell(m_texts.noJob, true);
    return;
  }
  try {
    const auto request = jobs::StoredJobReport(*m_desk.Store(), m_desk.job->name, m_texts.chinese, std::time(nullptr));
    if (!request) return;
    CPrinterDevice printer(this);
    switch (jobs::PrintJobReport(printer, *request)) {
      case jobs::JobReportOutcome::Failed:
        Tell(jobs::JobReportFailureText(m_texts.chinese), true);
        break;
      case jobs::JobReportOutcome::Printed:
        // A file is somewhere the operator must find again: its path is told.
        if (!printer.OutputFile().isEmpty()) {
          Tell(jobs::JobReportFileText(m_texts.chinese, printer.OutputFile().toStdString()), false);
        }
        break;
      case jobs::JobReportOutcome::Cancelled:
        break;
    }
  } catch (const jobs::StoreError& e) {
    Tell(m_texts.StoreProblem(e.what()), true);
  }
}

bool CJobPanel::RenameJob(const std::string& name) {
  if (!m_desk.job || !Store()) return false;
  const std::string from = m_desk.job->name;
  if (!StoreChange([&] { Writer().RenameJob(from, name); })) return false;
  return OpenJob(name);
}

void CJobPanel::AskRenameJob() {
  if (!m_desk.job) return;
  bool ok = false;
  const QString name = QInputDialog::getText(this, Qs(m_texts.renameJob), Qs(m_texts.name + "\n" + m_texts.textLimits),
                                             QLineEdit::Normal, Qs(m_desk.job->name), &ok);
  if (ok && !name.trimmed().isEmpty()) RenameJob(name.trimmed().toStdString());
}

void CJobPanel::CloseJob() {
  m_desk.Close();
  Refresh(std::nullopt);
}

bool CJobPanel::ImportPattern(const std::string& pattern) {
  if (!m_desk.job || !Store()) return false;
  return AddLabels(jobs::ExpandPattern(pattern), std::string());
}

bool CJobPanel::AddLabels(const jobs::Labels& labels, const std::string& source) {
  // Checked here as well as by the store, to be told in the window's language.
  const jobs::LabelsProblem problem = labels.problem ? labels.problem : jobs::AdditionFault(m_desk.pointLabels, labels.labels);
  if (problem) {
    Tell(source + problem.Text(m_texts.chinese), true);
    return false;
  }
  return StoreChange([&] {
    Writer().AddPoints(m_desk.job->name, labels.labels);
  });
}

bool CJobPanel::ImportFile(const std::string& path) {
  if (!m_desk.job || !Store()) return false;
  const fileaccess::ReadResult file = fileaccess::ReadWholeFile(path);
  if (file.error != fileaccess::ReadError::None) {
    Tell(path + ": " + file.reason, true);
    return false;
  }
  const bool csv = path.size() >= 4 && QString::fromStdString(path).endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
  return AddLabels(jobs::LabelsFromFile(file.bytes, csv), path + ": ");
}

bool CJobPanel::SetSamples(int samples) {
  if (!m_desk.job || !Store() || samples == m_desk.job->samples) return false;
  return StoreChange([&] {
    Writer().SetSamples(m_desk.job->name, samples);
    m_desk.job->samples = samples;
  });
}

bool CJobPanel::SetReferenceFromReading() {
  const std::optional<jobs::LiveReading> latest = m_desk.live.Latest();
  if (!m_desk.job || !Store()) return false;
  if (!latest || !m_bLive) {
    Tell(m_texts.notLive, true);
    return false;
  }
  return StoreChange([&] {
    Writer().SetReference(m_desk.job->name, latest->wavelengthNm, latest->dbm);
    m_desk.job = m_desk.Store()->FindJob(m_desk.job->name);
  });
}

bool CJobPanel::ClearReference() {
  const std::optional<jobs::LiveReading> latest = m_desk.live.Latest();
  if (!m_desk.job || !Store()) return false;
  // The reference cleared is that of the wavelength read: without a reading there is none to name.
  if (!latest) {
    Tell(m_texts.notLive, true);
    return false;
  }
  return StoreChange([&] {
    Writer().SetReference(m_desk.job->name, latest->wavelengthNm, std::nullopt);
    m_desk.job = m_desk.Store()->FindJob(m_desk.job->name);
  });
}

// ---- capture -----------------------------------------------------------------

bool CJobPanel::Capture() {
  if (!m_desk.job) {
    Tell(m_texts.captureNoJob, true);
    return false;
  }
  if (!Store()) return false;
  if (OnServer()) {
    Tell(m_syncTexts.serverReadOnly, true);
    return false;
  }
  if (!m_bLive) {
    Tell(m_bLost ? m_texts.meterLost : m_texts.notLive, true);
    return false;
  }
  const std::optional<std::string> point = SelectedPoint();
  if (!point) {
    Tell(m_texts.noPoint, true);
    return false;
  }
  // Too few readings since the last capture (a double tap, or a press right
  // after the reading started): nothing is stored. Waiting for them instead
  // would store the light of whichever fibre is connected when they arrive
  // under a point the technician has not measured yet.
  const std::optional<jobs::CaptureInput> input = jobs::TakeCaptureInput(m_desk.live, m_desk.job->samples);
  if (!input) {
    const std::optional<jobs::LiveReading> latest = m_desk.live.Latest();
    Tell(m_texts.TooFewNewReadings(*point, jobs::ReadingsAwaited(m_desk.live, m_desk.job->samples),
                                   latest ? std::optional<int>(latest->wavelengthNm) : std::nullopt),
         true);
    return false;
  }
  return StoreCapture(*point, *input);
}

bool CJobPanel::StoreCapture(const std::string& point, const jobs::CaptureInput& input) {
  jobs::Result result = jobs::ResultOf(*m_desk.job, point, input, std::time(nullptr));
  const bool again = std::any_of(m_desk.latestResults.begin(), m_desk.latestResults.end(), [&](const jobs::Result& r) {
    return r.point == point && r.wavelengthNm == input.wavelengthNm;
  });
  std::vector<jobs::Result> latest;
  try {
    Writer().AddResult(m_desk.job->name, result);
    latest = m_desk.Store()->LatestResults(m_desk.job->name);
  } catch (const jobs::StoreError& e) {
    Tell(m_texts.StoreProblem(e.what()), true);
    return false;
  }
  const std::optional<std::string> next = jobs::NextUntested(m_desk.pointLabels, latest, point);
  std::string told = m_texts.stored + point + "  " + std::to_string(result.wavelengthNm) + " nm  " +
                     jobs::FormatDb(result.powerDbm) + " dBm  " + m_texts.VerdictWord(result.verdict);
  if (again) told += ";  " + m_texts.MeasuredAgain(point);
  if (!next) told += ";  " + m_texts.allMeasured;
  Tell(told, false);
  Refresh(next.value_or(point));
  return true;
}

// ---- live reading ----------------------------------------------------------------

void CJobPanel::OnStarted() {
  m_desk.live.Clear();
  m_bLive = true;
  m_bLost = false;
  ShowLive();
}

void CJobPanel::OnRow(const meter::Measurement& m) {
  // Readings are live again: the word that there were none goes.
  if (m_bLive && m_status->text() == Qs(m_texts.notLive)) Tell(std::string(), false);
  if (!m.dBm || !m.wavelengthNm) return;
  m_desk.live.Add({static_cast<double>(m_clock.elapsed()) / 1000.0, *m.wavelengthNm, *m.dBm, jobs::WallClockMs()});
  ShowLive();
}

void CJobPanel::OnStopped(bool lost) {
  // The first word counts: a lost meter also stops the reading.
  if (!m_bLive) return;
  m_bLive = false;
  m_bLost = lost;
  ShowLive();
}

void CJobPanel::ShowLive() {
  const int samples = m_desk.job ? m_desk.job->samples : jobs::kDefaultSamples;
  const jobs::Stability s = jobs::StabilityOf(m_desk.live, samples);
  QString text;
  QColor back = palette().color(QPalette::Window);
  QColor fore = palette().color(QPalette::WindowText);
  if (s.count == 0) {
    text = QString();
  } else if (s.count < samples) {
    text = Qs(m_texts.waiting + "  " + m_texts.span + " " + field::FormatTwoDecimals(s.spanDb) + " dB");
  } else {
    text = Qs((s.unstable ? m_texts.unstable : m_texts.steady) + "  " + m_texts.span + " " +
              field::FormatTwoDecimals(s.spanDb) + " dB");
    back = s.unstable ? QColor(0xff, 0xb3, 0x00) : QColor(0xc8, 0xe6, 0xc9);
  }
  // Readings that no longer arrive say nothing of the fibre now.
  if (!m_bLive && s.count > 0) {
    back = kStaleBack;
    fore = kStaleText;
  }
  m_stability->setText(text);
  QPalette p = m_stability->palette();
  p.setColor(QPalette::Window, back);
  p.setColor(QPalette::WindowText, fore);
  m_stability->setPalette(p);
  const std::optional<jobs::LiveReading> latest = m_desk.live.Latest();
  m_trend->Show(m_desk.live.Trend(), m_desk.job && latest ? jobs::TrendLinesOf(*m_desk.job, latest->wavelengthNm) : jobs::TrendLines{});
  m_captureButton->setEnabled(m_desk.job.has_value() && m_bLive);
  m_captureAction->setEnabled(m_desk.job.has_value() && m_bLive);
}

// ---- the point list ------------------------------------------------------------

std::optional<std::string> CJobPanel::SelectedPoint() const {
  const int row = m_points->currentRow();
  if (row < 0 || row >= static_cast<int>(m_desk.pointLabels.size())) return std::nullopt;
  return m_desk.pointLabels[static_cast<size_t>(row)];
}

bool CJobPanel::SelectPoint(const std::string& label) {
  for (size_t i = 0; i < m_desk.pointLabels.size(); ++i) {
    if (m_desk.pointLabels[i] == label) {
      m_points->selectRow(static_cast<int>(i));
      m_points->setCurrentCell(static_cast<int>(i), 0);
      m_points->scrollToItem(m_points->item(static_cast<int>(i), 0));
      return true;
    }
  }
  return false;
}

void CJobPanel::Refresh(const std::optional<std::string>& select) {
  m_bRefreshing = true;
  RefreshList(select);
  m_bRefreshing = false;
  emit JobChanged();
}

void CJobPanel::RefreshList(const std::optional<std::string>& select) {
  for (QWidget* w : m_needJob) w->setEnabled(m_desk.job.has_value());
  for (QWidget* w : m_changes) {
    if (OnServer()) {
      w->setEnabled(false);
    } else if (!m_needJob.contains(w)) {
      w->setEnabled(true);
    }
  }
  m_points->clear();
  m_points->setRowCount(0);
  m_desk.latestResults.clear();
  if (!m_desk.job) {
    m_desk.pointLabels.clear();
    m_jobLine->setText(Qs(m_texts.noJob));
    m_profileLine->clear();
    m_referenceLine->clear();
    m_points->setColumnCount(0);
    ShowLive();
    return;
  }
  std::vector<jobs::Result> latest;
  try {
    m_desk.pointLabels = m_desk.Store()->Points(m_desk.job->name);
    latest = m_desk.Store()->LatestResults(m_desk.job->name);
  } catch (const jobs::StoreError& e) {
    Tell(m_texts.StoreProblem(e.what()), true);
  }
  m_desk.latestResults = latest;
  const jobs::Job& job = *m_desk.job;
  m_jobLine->setText(Qs(job.name + (job.site.empty() ? "" : "  ·  " + job.site) +
                        (job.operatorName.empty() ? "" : "  ·  " + job.operatorName)));
  std::string limits = m_texts.profile + ": " + job.profile.name;
  for (const auto& [nm, range] : job.profile.limits) {
    limits += "   " + std::to_string(nm) + " nm " + (range.low ? field::FormatTwoDecimals(*range.low) : "") + " … " +
              (range.high ? field::FormatTwoDecimals(*range.high) : "") + " dBm";
  }
  m_profileLine->setText(Qs(limits));
  m_referenceLine->setText(Qs(m_texts.reference + ": " + ReferencesText(job, m_texts.noReference)));
  m_samples->blockSignals(true);
  m_samples->setValue(job.samples);
  m_samples->blockSignals(false);

  const jobs::PointTable table = jobs::PointTableOf(job, m_desk.pointLabels, latest);
  QStringList header{Qs(m_texts.colPoint)};
  for (int nm : table.wavelengths) {
    header << QStringLiteral("%1 %2").arg(nm).arg(Qs(m_texts.unitDbm))
           << QStringLiteral("%1 %2").arg(nm).arg(Qs(m_texts.unitLoss));
  }
  header << Qs(m_texts.colVerdict);
  m_points->setColumnCount(static_cast<int>(header.size()));
  m_points->setHorizontalHeaderLabels(header);
  m_points->setRowCount(static_cast<int>(table.rows.size()));
  for (size_t r = 0; r < table.rows.size(); ++r) {
    const jobs::PointRow& row = table.rows[r];
    const int at = static_cast<int>(r);
    m_points->setItem(at, 0, Cell(row.point, std::nullopt));
    for (size_t c = 0; c < row.cells.size(); ++c) {
      m_points->setItem(at, static_cast<int>(1 + 2 * c), Cell(row.cells[c].value, row.cells[c].verdict));
      // A loss is coloured only where there is one: an empty coloured cell would read as a value.
      const std::optional<jobs::Verdict> lossColour =
          row.cells[c].loss.empty() ? std::nullopt : row.cells[c].verdict;
      m_points->setItem(at, static_cast<int>(2 + 2 * c), Cell(row.cells[c].loss, lossColour));
    }
    m_points->setItem(at, static_cast<int>(header.size()) - 1,
                      Cell(row.verdict ? m_texts.VerdictWord(*row.verdict) : std::string(), row.verdict));
  }
  m_points->resizeColumnsToContents();
  m_points->Freeze(jobs::kFrozenLeadingColumns, jobs::kFrozenTrailingColumns);
  if (select && SelectPoint(*select)) {
  } else if (const auto next = jobs::NextUntested(m_desk.pointLabels, latest, std::string()); next) {
    SelectPoint(*next);
  } else if (!m_desk.pointLabels.empty()) {
    SelectPoint(m_desk.pointLabels.front());
  }
  ShowLive();
}

// ---- dialogs -------------------------------------------------------------------

void CJobPanel::AskNewJob() {
  jobs::IResultsReader* store = Store();
  if (!store) return;
  std::vector<jobs::Profile> profiles = jobs::BuiltInProfiles();
  try {
    for (jobs::Profile& p : store->UserProfiles()) profiles.push_back(std::move(p));
  } catch (const jobs::StoreError& e) {
    Tell(m_texts.StoreProblem(e.what()), true);
  }
  // A job the store refuses keeps the form open with the store's reason.
  CNewJobDialog dialog(
      m_texts, std::move(profiles),
      [this](const jobs::Job& job, const std::vector<std::string>& points) {
        return NewJob(job, points) ? std::string() : m_status->text().toStdString();
      },
      this);
  dialog.exec();
}

void CJobPanel::AskOpenJob() {
  jobs::IResultsReader* store = Store();
  if (!store) return;
  std::vector<jobs::JobSummary> list;
  try {
    list = store->ListJobs();
  } catch (const jobs::StoreError& e) {
    Tell(m_texts.StoreProblem(e.what()), true);
    return;
  }
  QDialog dialog(this);
  dialog.setWindowTitle(Qs(m_texts.openJob));
  auto* column = new QVBoxLayout(&dialog);
  auto* table = new QTableWidget(static_cast<int>(list.size()), 8, &dialog);
  table->setHorizontalHeaderLabels({Qs(m_texts.colName), Qs(m_texts.colDate), Qs(m_texts.colSite),
                                    Qs(m_texts.colPoints), Qs(m_texts.colPass), Qs(m_texts.colMarginal),
                                    Qs(m_texts.colFail), Qs(m_texts.colUntested)});
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->verticalHeader()->hide();
  for (size_t i = 0; i < list.size(); ++i) {
    const jobs::JobSummary& j = list[i];
    const std::string cells[] = {j.name, j.created.substr(0, 10), j.site, std::to_string(j.points),
                                 std::to_string(j.pass), std::to_string(j.marginal), std::to_string(j.fail),
                                 std::to_string(j.untested)};
    for (int c = 0; c < 8; ++c) table->setItem(static_cast<int>(i), c, new QTableWidgetItem(Qs(cells[c])));
  }
  table->resizeColumnsToContents();
  if (!list.empty()) table->selectRow(0);
  column->addWidget(table);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setText(Qs(m_texts.ok));
  buttons->button(QDialogButtonBox::Cancel)->setText(Qs(m_texts.cancel));
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  connect(table, &QTableWidget::cellDoubleClicked, &dialog, &QDialog::accept);
  column->addWidget(buttons);
  dialog.resize(560, 320);
  if (dialog.exec() != QDialog::Accepted || table->currentRow() < 0) return;
  OpenJob(list[static_cast<size_t>(table->currentRow())].name);
}

void CJobPanel::AskImport() {
  if (!m_desk.job) return;
  QMenu menu(this);
  QAction* byPattern = menu.addAction(Qs(m_texts.importPattern));
  QAction* byFile = menu.addAction(Qs(m_texts.importFile));
  QAction* chosen = menu.exec(QCursor::pos());
  if (chosen == byPattern) {
    bool ok = false;
    const QString pattern =
        QInputDialog::getText(this, Qs(m_texts.importTitle), Qs(m_texts.importPattern), QLineEdit::Normal, {}, &ok);
    if (ok && !pattern.trimmed().isEmpty()) ImportPattern(pattern.trimmed().toStdString());
  } else if (chosen == byFile) {
    const QString path = QFileDialog::getOpenFileName(this, Qs(m_texts.importTitle), {}, Qs(m_texts.importFilter));
    if (!path.isEmpty()) ImportFile(QFile::encodeName(path).toStdString());
  }
}
