#pragma once
// Set clock: a date from a date picker and hour, minute and second from three
// lists. Until the operator touches one of them (a key or a click in it) they
// follow the PC's clock, and OK sends the time at OK. The year is one the meter can hold,
// 2000..2099. OK gives the fields; the program writes the "T" command.
#include <QDateTime>
#include <QDialog>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>

#include "settings/SettingsCommands.h"
#include "settings/SettingsTexts.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;

class CSetClockDialog : public QDialog {
  Q_OBJECT

 public:
  // The PC's clock, which the fields follow until the operator changes one.
  using Clock = std::function<QDateTime()>;

  // How often the fields look at the clock.
  static constexpr std::chrono::milliseconds kFollowEvery{500};

  explicit CSetClockDialog(QWidget* parent = nullptr,
                          Clock clock = &QDateTime::currentDateTime,
                          std::chrono::milliseconds followEvery = kFollowEvery);

  // The fields OK would give.
  settings::ClockFields Fields() const;
  // What OK gave; nullopt until then.
  std::optional<settings::Choice> Chosen() const { return m_chosen; }

  QDateEdit* DateCtrl() const { return m_dateCtrl; }
  QComboBox* HourList() const { return m_cbHour; }
  QComboBox* MinuteList() const { return m_cbMinute; }
  QComboBox* SecondList() const { return m_cbSecond; }
  QPushButton* OkButton() const { return m_pOk; }
  QPushButton* CancelButton() const { return m_pCancel; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnOK();
  // Puts the clock's time into the fields, unless the operator changed one.
  void FollowClock();
  void OnOperatorChange();

  Clock m_clock;
  std::optional<settings::Choice> m_chosen;
  QTimer m_follow;
  bool m_bOperatorChanged = false;
  bool m_bFollowing = false;  // the fields are being set from the clock
  settings::ClockTexts m_texts;
  QDateEdit* m_dateCtrl = nullptr;
  QComboBox* m_cbHour = nullptr;
  QComboBox* m_cbMinute = nullptr;
  QComboBox* m_cbSecond = nullptr;
  QPushButton* m_pOk = nullptr;
  QPushButton* m_pCancel = nullptr;
};
