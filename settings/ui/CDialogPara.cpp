#include "settings/ui/CDialogPara.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include "common/FrameTexts.h"
#include "common/Gbk.h"
#include "common/Language.h"
#include "settings/SettingsCommands.h"
#include "settings/ui/DialogTemplate.h"

using settings::ui::Qs;

namespace {

// A value field: digits only, and no more than the meter reads, so a third
// digit can never reach the command.
QLineEdit* ValueEdit(QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setMaxLength(settings::kCalibrationFieldDigits);
  edit->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(settings::kCalibrationFieldDigits)), edit));
  return edit;
}

}  // namespace

CDialogPara::CDialogPara(settings::ISettingsLink& link, QWidget* parent)
    : QDialog(parent),
      m_link(link),
      m_texts(settings::CalibrationTexts::For(lang::Resolve(lang::ReadSetting()))) {
  m_link.SetWavelengthListener([this] { OnWavelengthUpdate(); });
  const settings::ui::DialogTemplate t(this, 445, 113);
  setWindowTitle(Qs(m_texts.m_strCaption));

  m_pNote = t.Label(Qs(m_texts.m_strNote), 7, 8, 431, 8);
  auto* group = new QGroupBox(Qs(m_texts.m_strGroupText), this);
  t.Place(group, 7, 23, 431, 62);
  group->lower();
  t.Label(Qs(m_texts.m_strCurrentText), 45, 46, 81, 8);
  // The template's own text stays until the meter's first answer.
  m_pCurrent = t.Label(QStringLiteral("Static"), 154, 46, 40, 8);
  m_btnPlus = new QRadioButton(QStringLiteral("+"), this);
  m_btnMinus = new QRadioButton(QStringLiteral("－"), this);
  t.Place(m_btnPlus, 204, 39, 24, 12);
  t.Place(m_btnMinus, 204, 53, 24, 12);
  m_pInteger = ValueEdit(this);
  t.Place(m_pInteger, 229, 45, 16, 14);
  t.Label(QStringLiteral("."), 249, 51, 8, 8);
  m_pFraction = ValueEdit(this);
  t.Place(m_pFraction, 257, 45, 16, 14);
  t.Label(QStringLiteral("dbm"), 277, 47, 14, 8);
  m_pOk = t.OkButton(m_texts.m_strOkText, 162, 91);
  m_pCancel = t.CancelButton(m_texts.m_strCancelText, 232, 91);
  connect(m_pOk, &QPushButton::clicked, this, &CDialogPara::OnOK);

  ShowValues();
  m_link.PostCommand("B\r");
  m_btnPlus->setChecked(true);
  t.FitWidth();
}

CDialogPara::~CDialogPara() { m_link.SetWavelengthListener({}); }

void CDialogPara::ShowValues() {
  m_pInteger->setText(QString::number(m_nInteger));
  m_pFraction->setText(QString::number(m_nFraction));
}

void CDialogPara::OnWavelengthUpdate() {
  m_pCurrent->setText(Qs(gbk::ToUtf8(m_link.CurrentWavelength())));
  // The fields go back to the values last taken: digits typed before the
  // meter answered are replaced.
  ShowValues();
}

bool CDialogPara::ReadField(QLineEdit* edit, int& value) {
  const std::optional<int> read = settings::ParseCalibrationField(edit->text().toStdString());
  if (read) {
    value = *read;
    return true;
  }
  QMessageBox::warning(this, Qs(kApplicationTitle), Qs(settings::EnterInteger(lang::Resolve(lang::ReadSetting()))));
  edit->setFocus();
  edit->selectAll();
  return false;
}

void CDialogPara::OnOK() {
  // The fraction first, then the integer part: the fields are taken in that
  // order, and the first empty one stops the command.
  if (!ReadField(m_pFraction, m_nFraction) || !ReadField(m_pInteger, m_nInteger)) return;
  const int code = settings::CodeForCurrentWavelength(m_link.CurrentWavelength());
  const settings::CalibrationValue value{m_btnPlus->isChecked(), m_nInteger, m_nFraction};
  m_link.PostCommand(settings::CalibrationCommand(code, value));
  accept();
}
