#include "settings/ui/CSetWavelengthDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <span>

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
  const meter::Settings& offered = m_link.MeterModel().settings;
  for (int nm : offered.wavelengthsNm) m_cbWaveLength->addItem(QString::number(nm));
  ChooseNm(offered.presetWavelengthNm);
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
  const std::optional<int> nm = m_link.MeterModel().settings.currentWavelengthNm(m_link.CurrentWavelength());
  if (nm) ChooseNm(*nm);
}

void CSetWavelengthDialog::ChooseNm(int nm) {
  const std::span<const int> list = m_link.MeterModel().settings.wavelengthsNm;
  const auto at = std::find(list.begin(), list.end(), nm);
  if (at != list.end()) m_cbWaveLength->setCurrentIndex(static_cast<int>(at - list.begin()));
}

void CSetWavelengthDialog::OnOK() {
  const std::span<const int> list = m_link.MeterModel().settings.wavelengthsNm;
  const int index = m_cbWaveLength->currentIndex();
  if (index < 0 || index >= static_cast<int>(list.size())) return;
  m_chosen = settings::WavelengthChoice{list[static_cast<size_t>(index)]};
  accept();
}
