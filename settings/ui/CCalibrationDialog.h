#pragma once
// Calibration: the operator feeds the meter a -3 dBm source and enters the
// value to calibrate with, a sign and two two-digit parts. The dialog asks the
// meter for its current wavelength at opening; OK stays disabled until this
// opening's answer named a wavelength the meter has, and then gives that
// wavelength and the value the fields show, for the program to send as the
// meter's calibration command.
#include <QDialog>
#include <QTimer>
#include <chrono>
#include <optional>

#include "settings/SettingsCommands.h"

#include "settings/SettingsLink.h"
#include "settings/SettingsTexts.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CCalibrationDialog : public QDialog {
  Q_OBJECT

 public:
  // How long the meter may take to name its current wavelength before the
  // dialog says it has not.
  static constexpr std::chrono::milliseconds kAnswerWait{2000};

  // Registers with `link` for the meter's current-wavelength answers while
  // the dialog exists, and asks the meter for one.
  explicit CCalibrationDialog(settings::ISettingsLink& link, QWidget* parent = nullptr,
                       std::chrono::milliseconds answerWait = kAnswerWait);
  ~CCalibrationDialog() override;

  QRadioButton* PlusButton() const { return m_btnPlus; }
  QRadioButton* MinusButton() const { return m_btnMinus; }
  QLineEdit* IntegerEdit() const { return m_pInteger; }
  QLineEdit* FractionEdit() const { return m_pFraction; }
  QLabel* CurrentLabel() const { return m_pCurrent; }
  QLabel* NoteLabel() const { return m_pNote; }
  // Why OK is disabled; empty once the meter named one of its wavelengths.
  QLabel* WaitLabel() const { return m_pWait; }
  QPushButton* OkButton() const { return m_pOk; }
  QPushButton* CancelButton() const { return m_pCancel; }
  // What OK gave; nullopt until then.
  std::optional<settings::Choice> Chosen() const { return m_chosen; }

 protected:
  // A field's text is selected whenever it gets the focus, by key or by
  // mouse, so what is typed replaces it.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The meter named its current wavelength.
  void OnWavelengthUpdate();
  void OnAnswerWaitOver();
  void OnOK();
  // Reads one field into `value`; on an empty field tells the operator and
  // puts the focus on it.
  bool ReadField(QLineEdit* edit, int& value);
  // The fraction is hundredths: one digit is shown with its leading zero,
  // as it is sent. True when the field changed.
  bool ShowFractionAsSent();
  void ShowValues();

  settings::ISettingsLink& m_link;
  std::optional<settings::Choice> m_chosen;
  settings::CalibrationTexts m_texts;
  settings::CalibrationWaitTexts m_waitTexts;
  QRadioButton* m_btnPlus = nullptr;
  QRadioButton* m_btnMinus = nullptr;
  QLineEdit* m_pInteger = nullptr;
  QLineEdit* m_pFraction = nullptr;
  QLabel* m_pCurrent = nullptr;
  QLabel* m_pNote = nullptr;
  QLabel* m_pWait = nullptr;
  QPushButton* m_pOk = nullptr;
  QPushButton* m_pCancel = nullptr;
  QTimer m_answerWait;
  int m_nFraction = 0;
  int m_nInteger = 0;
  // The operator has typed in the field: the meter's answer leaves it alone.
  bool m_bIntegerTyped = false;
  bool m_bFractionTyped = false;
  // This opening's answer named a wavelength the meter has.
  bool m_bWavelengthKnown = false;
  // The field that got the focus other than by the keyboard and has not been
  // typed in since: the next press selects the text instead of placing the
  // cursor.
  QObject* m_pSelectOnPress = nullptr;
};
