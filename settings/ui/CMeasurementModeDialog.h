#pragma once
// Set measurement mode: normal or reference measurement, always opening on
// normal; OK sends "F 0" or "F 1".
#include <QDialog>

#include "settings/SettingsLink.h"
#include "settings/SettingsTexts.h"

class QPushButton;
class QRadioButton;

class CMeasurementModeDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CMeasurementModeDialog(settings::ISettingsLink& link, QWidget* parent = nullptr);

  QRadioButton* NormalButton() const { return m_btnNormal; }
  QRadioButton* ReferenceButton() const { return m_btnReference; }
  QPushButton* OkButton() const { return m_pOk; }
  QPushButton* CancelButton() const { return m_pCancel; }

 private:
  void OnOK();

  settings::ISettingsLink& m_link;
  settings::ModeTexts m_texts;
  QRadioButton* m_btnNormal = nullptr;
  QRadioButton* m_btnReference = nullptr;
  QPushButton* m_pOk = nullptr;
  QPushButton* m_pCancel = nullptr;
};
