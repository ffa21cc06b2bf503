#pragma once
// Set clock: a date from a date picker and hour, minute and second from three
// lists, preset to the PC's clock at every opening. OK writes one "T" command
// straight to the line.
#include <QDialog>

#include "settings/SettingsCommands.h"
#include "settings/SettingsLink.h"
#include "settings/SettingsTexts.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;

class CDialogSetTime : public QDialog {
  Q_OBJECT

 public:
  explicit CDialogSetTime(settings::ISettingsLink& link, QWidget* parent = nullptr);

  // The fields OK would send.
  settings::ClockFields Fields() const;

  QDateEdit* DateCtrl() const { return m_dateCtrl; }
  QComboBox* HourList() const { return m_cbHour; }
  QComboBox* MinuteList() const { return m_cbMinute; }
  QComboBox* SecondList() const { return m_cbSecond; }
  QPushButton* OkButton() const { return m_pOk; }
  QPushButton* CancelButton() const { return m_pCancel; }

 private:
  void OnOK();

  settings::ISettingsLink& m_link;
  settings::ClockTexts m_texts;
  QDateEdit* m_dateCtrl = nullptr;
  QComboBox* m_cbHour = nullptr;
  QComboBox* m_cbMinute = nullptr;
  QComboBox* m_cbSecond = nullptr;
  QPushButton* m_pOk = nullptr;
  QPushButton* m_pCancel = nullptr;
};
