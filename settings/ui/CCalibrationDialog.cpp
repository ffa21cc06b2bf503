#include "settings/ui/CCalibrationDialog.h"

#include <QFocusEvent>
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
#include "common/Settings.h"
#include "common/ui/QtText.h"
#include "settings/SettingsCommands.h"
#include "settings/ui/DialogTemplate.h"

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

// The fraction as it is sent: hundredths, two digits.
QString FractionText(int hundredths) {
  return QStringLiteral("%1").arg(hundredths, 2, 10, QLatin1Char('0'));
}

}  // namespace

CCalibrationDialog::CCalibrationDialog(settings::ISettingsLink& link, QWidget* parent,
                         std::chrono::milliseconds answerWait)
    : QDialog(parent), m_link(link) {
  const std::optional<lang::Index> language = config::Settings::Read().LanguageIndex();
  m_texts = settings::CalibrationTexts::For(language);
  m_waitTexts = settings::CalibrationWaitTexts::For(language);
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
  m_pWait = t.Label(QString(), 45, 68, 381, 8);
  m_pOk = t.OkButton(m_texts.m_strOkText, 162, 91);
  m_pCancel = t.CancelButton(m_texts.m_strCancelText, 232, 91);
  connect(m_pOk, &QPushButton::clicked, this, &CCalibrationDialog::OnOK);
  // A click on OK leaves the focus in the field: the field is not reformatted
  // under the operator's click, and OK judges what was shown when pressed.
  m_pOk->setFocusPolicy(Qt::TabFocus);
  // Until this opening's answer names one of the meter's wavelengths there
  // is no wavelength to calibrate: an earlier answer may name another wavelength.
  m_pOk->setEnabled(false);

  for (QLineEdit* edit : {m_pInteger, m_pFraction}) edit->installEventFilter(this);
  connect(m_pInteger, &QLineEdit::textEdited, this, [this] { m_bIntegerTyped = true; });
  connect(m_pFraction, &QLineEdit::textEdited, this, [this] { m_bFractionTyped = true; });

  ShowValues();
  m_answerWait.setSingleShot(true);
  m_answerWait.setInterval(answerWait);
  connect(&m_answerWait, &QTimer::timeout, this, &CCalibrationDialog::OnAnswerWaitOver);
  m_answerWait.start();
  m_link.PostCommand(std::string(m_link.MeterModel().commands.wavelengthCodes));
  m_btnPlus->setChecked(true);
  t.FitWidth();
  // Digits typed at opening go into the value, the first field.
  m_pInteger->setFocus(Qt::OtherFocusReason);
}

CCalibrationDialog::~CCalibrationDialog() { m_link.SetWavelengthListener({}); }

void CCalibrationDialog::ShowValues() {
  // What the operator typed stays; a field is filled, and selected so that
  // typing replaces it, only while nothing was typed in it.
  if (!m_bIntegerTyped) {
    m_pInteger->setText(QString::number(m_nInteger));
    m_pInteger->selectAll();
  }
  if (!m_bFractionTyped) {
    m_pFraction->setText(FractionText(m_nFraction));
    m_pFraction->selectAll();
  }
}

bool CCalibrationDialog::ShowFractionAsSent() {
  const std::optional<int> value = settings::ParseCalibrationField(m_pFraction->text().toStdString());
  if (!value || m_pFraction->text() == FractionText(*value)) return false;
  m_pFraction->setText(FractionText(*value));
  return true;
}

bool CCalibrationDialog::eventFilter(QObject* watched, QEvent* event) {
  auto* edit = qobject_cast<QLineEdit*>(watched);
  if (edit == m_pFraction && event->type() == QEvent::FocusOut) {
    // Leaving the field shows the fraction as it is sent; a box or another
    // window taking the focus leaves it as typed.
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) ShowFractionAsSent();
  } else if (edit && event->type() == QEvent::FocusIn) {
    edit->selectAll();
    // Reached by the keyboard, the field is where the operator wants to
    // type; given the focus otherwise (a click, the window's opening), the
    // first press selects too.
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    const bool byKeyboard =
        reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
    m_pSelectOnPress = byKeyboard ? nullptr : edit;
  } else if (edit && event->type() == QEvent::KeyPress && m_pSelectOnPress == edit) {
    m_pSelectOnPress = nullptr;  // typing began: presses place the cursor again
  } else if (edit && event->type() == QEvent::MouseButtonPress && m_pSelectOnPress == edit) {
    // The press that gave the focus would place the cursor and drop the
    // selection; later presses place the cursor as usual.
    m_pSelectOnPress = nullptr;
    edit->selectAll();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void CCalibrationDialog::OnWavelengthUpdate() {
  const std::string& current = m_link.CurrentWavelength();
  m_pCurrent->setText(Qs(gbk::ToUtf8(current)));
  m_bWavelengthKnown = m_link.MeterModel().settings.currentWavelengthNm(current).has_value();
  m_pOk->setEnabled(m_bWavelengthKnown);
  m_pWait->setText(m_bWavelengthKnown ? QString() : Qs(m_waitTexts.m_strUnknownWavelength));
  m_answerWait.stop();
  ShowValues();
}

void CCalibrationDialog::OnAnswerWaitOver() {
  if (!m_bWavelengthKnown) m_pWait->setText(Qs(m_waitTexts.m_strNoAnswer));
}

bool CCalibrationDialog::ReadField(QLineEdit* edit, int& value) {
  const std::optional<int> read = settings::ParseCalibrationField(edit->text().toStdString());
  if (read) {
    value = *read;
    return true;
  }
  QMessageBox::warning(this, Qs(kApplicationTitle), Qs(settings::EnterInteger(config::Settings::Read().LanguageIndex())));
  edit->setFocus();
  edit->selectAll();
  return false;
}

void CCalibrationDialog::OnOK() {
  // The fraction first, then the integer part: the fields are taken in that
  // order, and the first empty one stops the command.
  if (!ReadField(m_pFraction, m_nFraction) || !ReadField(m_pInteger, m_nInteger)) return;
  // What the fields show is what is sent: a fraction typed as one digit is
  // shown as the hundredths it means, and sent by the next OK.
  if (ShowFractionAsSent()) {
    m_pWait->setText(Qs(m_waitTexts.m_strCheckValue));
    m_pFraction->setFocus(Qt::OtherFocusReason);
    m_pFraction->selectAll();
    return;
  }
  const std::optional<int> nm = m_link.MeterModel().settings.currentWavelengthNm(m_link.CurrentWavelength());
  if (!m_bWavelengthKnown || !nm) return;
  const settings::CalibrationValue value{m_btnPlus->isChecked(), m_nInteger, m_nFraction};
  m_chosen = settings::CalibrationChoice{*nm, value};
  accept();
}
