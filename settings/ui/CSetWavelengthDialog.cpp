#include "settings/ui/CSetWavelengthDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "common/Gbk.h"
#include "common/Language.h"
#include "common/Settings.h"
#include "common/ui/QtText.h"
#include "settings/SettingsCommands.h"
#include "settings/ui/DialogTemplate.h"

CSetWavelengthDialog::CSetWavelengthDialog(settings::ISettingsLink& link, QWidget* parent)
    : QDialog(parent),
      m_link(link),
      m_texts(settings::WavelengthTexts::For(config::Settings::Read().LanguageIndex())) {
  m_link.SetWavelengthListener([this] { OnWavelengthUpdate(); });
  const settings::ui::DialogTemplate t(this, 228, 86);
  setWindowTitle(Qs(m_texts.m_strCaption));
  t.Label(Qs(m_texts.m_strCurrentText), 33, 18, 76, 8);
  t.Label(Qs(m_texts.m_strSelectText), 33, 38, 76, 8);
  m_pCurrent = t.Label(QString(), 116, 18, 45, 8);
  m_cbWaveLength = new QComboBox(this);
  t.Place(m_cbWaveLength, 114, 35, 48, 13);
  m_pOk = t.OkButton(m_texts.m_strOkText, 55, 65);
  m_pCancel = t.CancelButton(m_texts.m_strCancelText, 125, 65);
  connect(m_pOk, &QPushButton::clicked, this, &CSetWavelengthDialog::OnOK);

  m_link.PostCommand(std::string(m_link.MeterModel().commands.wavelengthCodes));
  // What an earlier answer left, until this opening's answer replaces it.
  m_pCurrent->setText(Qs(gbk::ToUtf8(m_link.CurrentWavelength())));
  for (int nm : settings::kWavelengthsNm) m_cbWaveLength->addItem(QString::number(nm));
  m_cbWaveLength->setCurrentIndex(settings::kPresetWavelengthCode);
  ChooseCurrent();
  connect(m_cbWaveLength, &QComboBox::activated, this, [this] { m_bOperatorChose = true; });
  t.FitWidth();
}

CSetWavelengthDialog::~CSetWavelengthDialog() { m_link.SetWavelengthListener({}); }

void CSetWavelengthDialog::OnWavelengthUpdate() {
  m_pCurrent->setText(Qs(gbk::ToUtf8(m_link.CurrentWavelength())));
  ChooseCurrent();
}

void CSetWavelengthDialog::ChooseCurrent() {
  if (m_bOperatorChose) return;
  const int code = settings::CodeForCurrentWavelength(m_link.CurrentWavelength());
  if (code != settings::kUnknownWavelengthCode) m_cbWaveLength->setCurrentIndex(code);
}

void CSetWavelengthDialog::OnOK() {
  m_chosen = settings::WavelengthChoice{m_cbWaveLength->currentIndex()};
  accept();
}
