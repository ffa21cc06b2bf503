#pragma once
// The field readout in the window: the panel above the real-time table, the
// View menu's entry that hides it, the File menu's live log toggle, and the
// reference and limits, kept between runs in the program's own settings file
// (never in config.ini). The main window hands it every real-time row; the
// readout's figures and the live log are the feed it is given (the meter
// service's), which outlives it.
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "field/FieldTexts.h"
#include "field/LiveFeed.h"

class CFieldPanel;
class QAction;
class QMenuBar;
class QWidget;

class CFieldReadout : public QObject {
  Q_OBJECT

 public:
  // `owner` is the panel's first parent and the dialogs' parent.
  // The reference, the limits and the panel's visibility are kept in the
  // per-user settings file, under usersettings::kReadoutGroup.
  CFieldReadout(field::LiveFeed& feed, const field::FieldTexts& texts, QWidget* owner);
  ~CFieldReadout() override;

  CFieldPanel* Panel() const { return m_panel; }
  QAction* PanelAction() const { return m_panelAction; }
  QAction* LogAction() const { return m_logAction; }
  // The panel's buttons as View menu entries with keys.
  QAction* ReferenceAction() const { return m_referenceAction; }
  QAction* LimitsAction() const { return m_limitsAction; }
  QAction* ResetStatisticsAction() const { return m_resetAction; }
  // Adds the log toggle to the File menu (the bar's first, above its last
  // entry) and a View menu after it: the panel's entry, then the panel's
  // three commands.
  void InstallMenus(QMenuBar* bar);

  // Live reading: a real-time read began; the table added a row; the reading
  // stopped, or the meter was lost (`lost`); the table shows other data now.
  void OnStarted();
  void OnRow(const meter::Measurement& measurement);
  // Texts cut by hand: their numbers are read first.
  void OnRow(const meter::Reading& texts) { OnRow(meter::Measure(texts)); }
  void OnStopped(bool lost);
  void OnReplaced();

  const field::LiveFeed& Feed() const { return m_feed; }
  void SetReference(std::optional<double> dbm);
  void SetLimits(const field::Limits& limits);
  // While a test job is open it judges the readings (its profile and
  // reference, as its results are judged); nullopt gives the readout's own
  // reference and limits back.
  void JudgeBy(std::optional<field::ReadingJudge> judge);
  // Starts or stops the live log; false (and the reason told) when the file
  // cannot be opened.
  bool StartLog(const QString& path);
  void StopLog();

  // Where the log toggle asks for its file (a file dialog unless replaced).
  void SetLogPathAsker(std::function<std::optional<QString>()> asker) { m_askLogPath = std::move(asker); }
  // Where a log failure is told (a message box unless replaced).
  void SetFailureSink(std::function<void(const QString&)> sink) { m_tellFailure = std::move(sink); }

 private:
  void AskReference();
  void AskLimits();
  void OnLogToggled(bool on);
  void UpdatePanelVisibility();
  void ShowReadout();
  void Load();
  void Save() const;

  field::FieldTexts m_texts;
  QWidget* m_owner;
  field::LiveFeed& m_feed;
  CFieldPanel* m_panel = nullptr;
  QAction* m_panelAction = nullptr;
  QAction* m_logAction = nullptr;
  QAction* m_referenceAction = nullptr;
  QAction* m_limitsAction = nullptr;
  QAction* m_resetAction = nullptr;
  bool m_bLive = false;     // real-time rows are what the table shows
  bool m_bRunning = false;  // and they are still arriving
  std::function<std::optional<QString>()> m_askLogPath;
  std::function<void(const QString&)> m_tellFailure;
};
