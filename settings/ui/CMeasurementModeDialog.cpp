#include "settings/ui/CMeasurementModeDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "common/Language.h"
#include "common/Settings.h"
#include "common/ui/QtText.h"
#include "settings/ui/DialogTemplate.h"

CMeasurementModeDialog::CMeasurementModeDialog(QWidget* parent)
    : QDialog(parent), m_texts(settings::ModeTexts::For(config::Settings::Read().LanguageIndex())) {
  const settings::ui::DialogTemplate t(this, 243, 87);
  setWindowTitle(Qs(m_texts.m_strCaption));
  t.Label(Qs(m_texts.m_strPromptText), 23, 21, 98, 8);
  m_btnNormal = new QRadioButton(Qs(m_texts.m_strNormalText), this);
  m_btnReference = new QRadioButton(Qs(m_texts.m_strReferenceText), this);
  t.Place(m_btnNormal, 125, 21, 111, 10);
  t.Place(m_btnReference, 125, 40, 111, 10);
  m_pOk = t.OkButton(m_texts.m_strOkText, 64, 66);
  m_pCancel = t.CancelButton(m_texts.m_strCancelText, 130, 66);
  connect(m_pOk, &QPushButton::clicked, this, &CMeasurementModeDialog::OnOK);
  // The meter is not asked for its mode: the dialog always opens on normal.
  m_btnNormal->setChecked(true);
  t.FitWidth();
}

void CMeasurementModeDialog::OnOK() {
  m_chosen = settings::ModeChoice{!m_btnNormal->isChecked()};
  accept();
}
