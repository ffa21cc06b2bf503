#include "settings/ui/CDialogSetTime.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QPushButton>

#include "common/Language.h"
#include "settings/ui/DialogTemplate.h"

using settings::ui::Qs;

namespace {

QComboBox* NumberList(QWidget* parent, int count) {
  auto* list = new QComboBox(parent);
  list->setEditable(false);
  // Zero-padded, so the list's order is the numbers' order and index = value.
  for (int n = 0; n < count; ++n) list->addItem(QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')));
  list->setMaxVisibleItems(12);
  return list;
}

}  // namespace

CDialogSetTime::CDialogSetTime(settings::ISettingsLink& link, QWidget* parent)
    : QDialog(parent), m_link(link), m_texts(settings::ClockTexts::For(lang::Resolve(lang::ReadSetting()))) {
  const settings::ui::DialogTemplate t(this, 252, 113);
  setWindowTitle(Qs(m_texts.m_strCaption));

  t.Label(Qs(m_texts.m_strDateText), 24, 22, 66, 8)->setObjectName("dateLabel");
  m_dateCtrl = new QDateEdit(QDate::currentDate(), this);
  m_dateCtrl->setCalendarPopup(true);
  m_dateCtrl->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
  t.Place(m_dateCtrl, 95, 19, 101, 15);

  t.Label(Qs(m_texts.m_strTimeText), 24, 55, 66, 8)->setObjectName("timeLabel");
  m_cbHour = NumberList(this, 24);
  m_cbMinute = NumberList(this, 60);
  m_cbSecond = NumberList(this, 60);
  // The lists are as tall as one line; the drop-down holds the rest.
  t.Place(m_cbHour, 95, 52, 29, 13);
  t.Label(QStringLiteral(":"), 127, 55, 8, 8);
  t.Place(m_cbMinute, 131, 52, 29, 13);
  t.Label(QStringLiteral(":"), 163, 55, 8, 8);
  t.Place(m_cbSecond, 167, 52, 29, 13);

  const QTime now = QTime::currentTime();
  m_cbHour->setCurrentIndex(now.hour());
  m_cbMinute->setCurrentIndex(now.minute());
  m_cbSecond->setCurrentIndex(now.second());

  m_pOk = t.OkButton(m_texts.m_strOkText, 77, 92);
  m_pCancel = t.CancelButton(m_texts.m_strCancelText, 139, 92);
  connect(m_pOk, &QPushButton::clicked, this, &CDialogSetTime::OnOK);
  t.FitWidth();
}

settings::ClockFields CDialogSetTime::Fields() const {
  const QDate date = m_dateCtrl->date();
  return {date.year(), date.month(), date.day(), m_cbHour->currentIndex(), m_cbMinute->currentIndex(),
          m_cbSecond->currentIndex()};
}

void CDialogSetTime::OnOK() {
  // Straight to the line: the clock's command does not wait behind others.
  m_link.SendNow(settings::ClockCommand(Fields()));
  accept();
}
