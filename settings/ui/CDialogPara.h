#pragma once
// Calibration: the operator feeds the meter a -3 dBm source and enters the
// value to calibrate with, a sign and two two-digit parts. The dialog asks the
// meter for its current wavelength at opening; OK sends "C" with that
// wavelength's code (99 when the meter has not named one of its own).
#include <QDialog>

#include "settings/SettingsLink.h"
#include "settings/SettingsTexts.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CDialogPara : public QDialog {
  Q_OBJECT

 public:
  // Registers with `link` for the meter's current-wavelength answers while
  // the dialog exists, and asks the meter for one.
  explicit CDialogPara(settings::ISettingsLink& link, QWidget* parent = nullptr);
  ~CDialogPara() override;

  QRadioButton* PlusButton() const { return m_btnPlus; }
  QRadioButton* MinusButton() const { return m_btnMinus; }
  QLineEdit* IntegerEdit() const { return m_pInteger; }
  QLineEdit* FractionEdit() const { return m_pFraction; }
  QLabel* CurrentLabel() const { return m_pCurrent; }
  QLabel* NoteLabel() const { return m_pNote; }
  QPushButton* OkButton() const { return m_pOk; }
  QPushButton* CancelButton() const { return m_pCancel; }

 private:
  // UM_WAVELENGTH_UPDATE
  void OnWavelengthUpdate();
  void OnOK();
  // Reads one field into `value`; on an empty field tells the operator and
  // puts the focus on it.
  bool ReadField(QLineEdit* edit, int& value);
  void ShowValues();

  settings::ISettingsLink& m_link;
  settings::CalibrationTexts m_texts;
  QRadioButton* m_btnPlus = nullptr;
  QRadioButton* m_btnMinus = nullptr;
  QLineEdit* m_pInteger = nullptr;
  QLineEdit* m_pFraction = nullptr;
  QLabel* m_pCurrent = nullptr;
  QLabel* m_pNote = nullptr;
  QPushButton* m_pOk = nullptr;
  QPushButton* m_pCancel = nullptr;
  int m_nFraction = 0;
  int m_nInteger = 0;
};
