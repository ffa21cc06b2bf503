#pragma once
// Set wavelength: asks the meter for its current wavelength at opening and
// shows each answer, offers the meter's wavelengths with its current one
// chosen (the model's preset while the meter has named none of them) until the
// operator chooses, and on OK gives the chosen wavelength, which the program
// has the meter's model write as its command.
#include <QDialog>
#include <optional>

#include "settings/SettingsCommands.h"
#include "settings/SettingsLink.h"
#include "settings/SettingsTexts.h"

class QComboBox;
class QLabel;
class QPushButton;

class CSetWavelengthDialog : public QDialog {
  Q_OBJECT

 public:
  // Registers with `link` for the meter's current-wavelength answers while
  // the dialog exists, and asks the meter for one.
  explicit CSetWavelengthDialog(settings::ISettingsLink& link, QWidget* parent = nullptr);
  ~CSetWavelengthDialog() override;

  QComboBox* WaveLengthList() const { return m_cbWaveLength; }
  QLabel* CurrentLabel() const { return m_pCurrent; }
  QPushButton* OkButton() const { return m_pOk; }
  QPushButton* CancelButton() const { return m_pCancel; }
  // What OK gave; nullopt until then.
  std::optional<settings::Choice> Chosen() const { return m_chosen; }

 private:
  // The meter named its current wavelength.
  void OnWavelengthUpdate();
  // Chooses the meter's current wavelength, unless the operator chose one.
  void ChooseCurrent();
  // Chooses `nm` when the list has it.
  void ChooseNm(int nm);
  void OnOK();

  settings::ISettingsLink& m_link;
  settings::WavelengthTexts m_texts;
  QLabel* m_pCurrent = nullptr;
  QComboBox* m_cbWaveLength = nullptr;
  QPushButton* m_pOk = nullptr;
  QPushButton* m_pCancel = nullptr;
  bool m_bOperatorChose = false;
  std::optional<settings::Choice> m_chosen;
};
