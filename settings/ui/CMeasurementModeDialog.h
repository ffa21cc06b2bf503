#pragma once
// Set measurement mode: normal or reference measurement, always opening on
// normal; OK gives the mode, which the program sends as "F 0" or "F 1".
#include <QDialog>
#include <optional>

#include "settings/SettingsCommands.h"
#include "settings/SettingsTexts.h"

class QPushButton;
class QRadioButton;

class CMeasurementModeDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CMeasurementModeDialog(QWidget* parent = nullptr);

  QRadioButton* NormalButton() const { return m_btnNormal; }
  QRadioButton* ReferenceButton() const { return m_btnReference; }
  QPushButton* OkButton() const { return m_pOk; }
  QPushButton* CancelButton() const { return m_pCancel; }
  // What OK gave; nullopt until then.
  std::optional<settings::Choice> Chosen() const { return m_chosen; }

 private:
  void OnOK();

  std::optional<settings::Choice> m_chosen;
  settings::ModeTexts m_texts;
  QRadioButton* m_btnNormal = nullptr;
  QRadioButton* m_btnReference = nullptr;
  QPushButton* m_pOk = nullptr;
  QPushButton* m_pCancel = nullptr;
};
