#include "field/ui/CFieldReadout.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QTime>
#include <ctime>

#include "common/ui/QtText.h"
#include "common/ui/UserSettings.h"
#include "field/ui/CFieldDialogs.h"
#include "field/ui/CFieldPanel.h"

namespace {

// A log named without an extension is a CSV file to every other program too.
QString WithCsvExtension(const QString& path) {
  return QFileInfo(path).fileName().contains(QLatin1Char('.')) ? path : path + QStringLiteral(".csv");
}

}  // namespace

CFieldReadout::CFieldReadout(field::LiveFeed& feed, const field::FieldTexts& texts, QWidget* owner)
    : QObject(owner), m_texts(texts), m_owner(owner), m_feed(feed) {
  m_panel = new CFieldPanel(m_texts, owner);
  m_panel->hide();
  connect(m_panel, &CFieldPanel::SetReferenceClicked, this, &CFieldReadout::AskReference);
  connect(m_panel, &CFieldPanel::LimitsClicked, this, &CFieldReadout::AskLimits);
  connect(m_panel, &CFieldPanel::ResetStatisticsClicked, this, [this] {
    m_feed.Values().ResetStatistics();
    ShowReadout();
  });
  // The same commands from the View menu and by key, whether or not the
  // panel is in view. The keys are free in every menu of the window.
  auto command = [this](const std::string& text, const char* key, void (CFieldPanel::*signal)()) {
    auto* action = new QAction(Qs(text), this);
    action->setShortcut(QKeySequence(QString::fromLatin1(key)));
    connect(action, &QAction::triggered, m_panel, signal);
    return action;
  };
  m_referenceAction = command(m_texts.setReference, "Ctrl+R", &CFieldPanel::SetReferenceClicked);
  m_limitsAction = command(m_texts.limits, "Ctrl+Shift+L", &CFieldPanel::LimitsClicked);
  m_resetAction = command(m_texts.resetStatistics, "Ctrl+Shift+R", &CFieldPanel::ResetStatisticsClicked);

  m_panelAction = new QAction(Qs(m_texts.showPanel), this);
  m_panelAction->setCheckable(true);
  m_panelAction->setChecked(true);
  connect(m_panelAction, &QAction::toggled, this, [this] {
    UpdatePanelVisibility();
    Save();
  });
  m_logAction = new QAction(Qs(m_texts.logReadings), this);
  m_logAction->setCheckable(true);
  connect(m_logAction, &QAction::triggered, this, &CFieldReadout::OnLogToggled);

  m_askLogPath = [this]() -> std::optional<QString> {
    // The log is appended to: an existing file is the operator's choice, not
    // a question.
    const QString path = QFileDialog::getSaveFileName(m_owner, Qs(m_texts.logReadings), QString(),
                                                      Qs(m_texts.logFilter), nullptr,
                                                      QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty()) return std::nullopt;
    return path;
  };
  m_tellFailure = [this](const QString& text) { QMessageBox::warning(m_owner, Qs(m_texts.logReadings), text); };
  m_feed.SetLogFailureListener([this](const std::string& reason) {
    const QString text = Qs(m_texts.logFailed) + Qs(m_feed.LogPath()) + QStringLiteral(" (") + Qs(reason) +
                         QLatin1Char(')');
    StopLog();
    m_tellFailure(text);
  });
  // The log goes on in the new file; the operator learns that the old one is gone.
  m_feed.SetLogReopenedListener(
      [this](const std::string& path) { m_tellFailure(Qs(m_texts.logReopened) + Qs(path)); });
  Load();
  ShowReadout();
}

CFieldReadout::~CFieldReadout() {
  // The feed outlives the readout: it tells nothing to a readout that is gone.
  m_feed.SetLogFailureListener(nullptr);
  m_feed.SetLogReopenedListener(nullptr);
}

void CFieldReadout::InstallMenus(QMenuBar* bar) {
  const QList<QAction*> menus = bar->actions();
  if (menus.isEmpty()) return;
  if (QMenu* file = menus.first()->menu()) {
    QAction* last = file->actions().isEmpty() ? nullptr : file->actions().last();
    file->insertAction(last, m_logAction);
    file->insertSeparator(last);
  }
  auto* view = new QMenu(Qs(m_texts.viewMenu), bar);
  view->addAction(m_panelAction);
  view->addSeparator();
  view->addAction(m_referenceAction);
  view->addAction(m_limitsAction);
  view->addAction(m_resetAction);
  bar->insertMenu(menus.size() > 1 ? menus[1] : nullptr, view);
}

// ---- live reading ------------------------------------------------------------

void CFieldReadout::OnStarted() {
  m_feed.Start();
  m_bLive = true;
  m_bRunning = true;
  m_panel->ShowStale(QString());
  ShowReadout();
  UpdatePanelVisibility();
}

void CFieldReadout::OnRow(const meter::Measurement& measurement) {
  m_feed.Take(measurement, std::time(nullptr));
  ShowReadout();
}

void CFieldReadout::OnStopped(bool lost) {
  // The first word counts: a lost meter also stops the reading.
  if (!m_bRunning) return;
  m_bRunning = false;
  const std::string& note = lost ? m_texts.lostAt : m_texts.stoppedAt;
  m_panel->ShowStale(Qs(note) + QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
}

void CFieldReadout::OnReplaced() {
  m_bLive = false;
  m_bRunning = false;
  UpdatePanelVisibility();
}

void CFieldReadout::UpdatePanelVisibility() { m_panel->setVisible(m_bLive && m_panelAction->isChecked()); }

void CFieldReadout::ShowReadout() { m_panel->ShowReadout(m_feed.Values()); }

// ---- reference and limits ------------------------------------------------------

void CFieldReadout::SetReference(std::optional<double> dbm) {
  m_feed.Values().SetReference(dbm);
  ShowReadout();
  Save();
}

void CFieldReadout::SetLimits(const field::Limits& limits) {
  m_feed.Values().SetLimits(limits);
  ShowReadout();
  Save();
}

void CFieldReadout::JudgeBy(std::optional<field::ReadingJudge> judge) {
  m_feed.Values().JudgeBy(std::move(judge));
  ShowReadout();
}

void CFieldReadout::AskReference() {
  const auto& latest = m_feed.Values().Latest();
  CFieldReferenceDialog dialog(m_texts, latest ? latest->sample.dbm : std::nullopt, m_feed.Values().Reference(),
                               m_owner);
  if (dialog.exec() == QDialog::Accepted) SetReference(dialog.Reference());
}

void CFieldReadout::AskLimits() {
  CFieldLimitsDialog dialog(m_texts, m_feed.Values().LimitsSet(), m_owner);
  if (dialog.exec() == QDialog::Accepted) SetLimits(dialog.Limits());
}

// ---- the live log --------------------------------------------------------------

void CFieldReadout::OnLogToggled(bool on) {
  if (!on) {
    StopLog();
    return;
  }
  m_logAction->setChecked(false);  // until a file is open
  if (const auto path = m_askLogPath()) StartLog(WithCsvExtension(*path));
}

bool CFieldReadout::StartLog(const QString& path) {
  std::string error;
  const bool started = m_feed.StartLog(QFile::encodeName(path).toStdString(), field::kAllLogColumns, error);
  m_logAction->setChecked(started);
  if (!started) m_tellFailure(Qs(m_texts.logFailed) + path + QStringLiteral(" (") + Qs(error) + QLatin1Char(')'));
  return started;
}

void CFieldReadout::StopLog() {
  m_feed.StopLog();
  m_logAction->setChecked(false);
}

// ---- settings ------------------------------------------------------------------

void CFieldReadout::Load() {
  QSettings s;
  s.beginGroup(QLatin1String(usersettings::kReadoutGroup));
  // A value in the file that is no dB value of the meter's (edited by hand,
  // or damaged) is left out, as if it had never been saved.
  const auto decibels = [&s](const QString& key) -> std::optional<double> {
    bool number = false;
    const double value = s.value(key).toDouble(&number);
    if (!s.contains(key) || !number || !field::IsDecibels(value)) return std::nullopt;
    return value;
  };
  const auto window = [&decibels](const QString& prefix) -> std::optional<field::Window> {
    const auto low = decibels(prefix + QStringLiteral("low"));
    const auto high = decibels(prefix + QStringLiteral("high"));
    if (!low || !high || *low > *high) return std::nullopt;
    return field::Window{*low, *high};
  };
  if (const auto reference = decibels(QStringLiteral("reference/dbm"))) m_feed.Values().SetReference(*reference);
  // Until the operator saves limits of his own, the PON presets judge.
  field::Limits limits = field::Limits::PonPresets();
  if (s.value(QStringLiteral("limits/saved")).toBool()) {
    limits = field::Limits();
    for (int nm : CFieldLimitsDialog::Wavelengths()) {
      if (const auto w = window(QStringLiteral("limits/%1/").arg(nm))) limits.byWavelength[nm] = *w;
    }
    limits.relative = window(QStringLiteral("limits/relative/"));
  }
  m_feed.Values().SetLimits(limits);
  m_panelAction->setChecked(s.value(QStringLiteral("panel/visible"), true).toBool());
}

void CFieldReadout::Save() const {
  QSettings s;
  s.beginGroup(QLatin1String(usersettings::kReadoutGroup));
  const field::Readout& r = m_feed.Values();
  if (r.Reference()) {
    s.setValue(QStringLiteral("reference/dbm"), *r.Reference());
  } else {
    s.remove(QStringLiteral("reference"));
  }
  s.remove(QStringLiteral("limits"));
  s.setValue(QStringLiteral("limits/saved"), true);
  for (const auto& [nm, window] : r.LimitsSet().byWavelength) {
    const QString key = QStringLiteral("limits/%1/").arg(nm);
    s.setValue(key + QStringLiteral("low"), window.low);
    s.setValue(key + QStringLiteral("high"), window.high);
  }
  if (const auto& relative = r.LimitsSet().relative) {
    s.setValue(QStringLiteral("limits/relative/low"), relative->low);
    s.setValue(QStringLiteral("limits/relative/high"), relative->high);
  }
  s.setValue(QStringLiteral("panel/visible"), m_panelAction->isChecked());
}
