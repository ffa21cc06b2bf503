#include "settings/ui/CSetClockDialog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

#include "common/Language.h"
#include "common/Settings.h"
#include "common/ui/QtText.h"
#include "settings/ui/DialogTemplate.h"

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

CSetClockDialog::CSetClockDialog(QWidget* parent, Clock clock,
                                 std::chrono::milliseconds followEvery)
    : QDialog(parent),
      m_clock(std::move(clock)),
      m_texts(settings::ClockTexts::For(config::Settings::Read().LanguageIndex())) {
  const settings::ui::DialogTemplate t(this, 252, 113);
  setWindowTitle(Qs(m_texts.m_strCaption));

  t.Label(Qs(m_texts.m_strDateText), 24, 22, 66, 8)->setObjectName("dateLabel");
  m_dateCtrl = new QDateEdit(this);
  // The meter keeps a two-digit year: other years would reach it as "T 1999/"
  // or "T 100/".
  m_dateCtrl->setDateRange(QDate(2000, 1, 1), QDate(2099, 12, 31));
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

  FollowClock();
  connect(m_dateCtrl, &QDateEdit::dateChanged, this, &CSetClockDialog::OnOperatorChange);
  for (QComboBox* list : {m_cbHour, m_cbMinute, m_cbSecond}) {
    connect(list, &QComboBox::activated, this, &CSetClockDialog::OnOperatorChange);
  }
  // A field is the operator's from the first key or click in it, before any
  // value changes: a digit typed, a section half edited or a list opened is
  // never overwritten by the next tick.
  for (QWidget* field : std::initializer_list<QWidget*>{m_dateCtrl, m_cbHour, m_cbMinute, m_cbSecond}) {
    field->installEventFilter(this);
    for (QWidget* inner : field->findChildren<QWidget*>()) inner->installEventFilter(this);
  }
  for (QComboBox* list : {m_cbHour, m_cbMinute, m_cbSecond}) {
    list->view()->installEventFilter(this);
    list->view()->viewport()->installEventFilter(this);
  }
  m_follow.setInterval(followEvery);
  connect(&m_follow, &QTimer::timeout, this, &CSetClockDialog::FollowClock);
  m_follow.start();

  m_pOk = t.OkButton(m_texts.m_strOkText, 77, 92);
  m_pCancel = t.CancelButton(m_texts.m_strCancelText, 139, 92);
  connect(m_pOk, &QPushButton::clicked, this, &CSetClockDialog::OnOK);
  t.FitWidth();
}

settings::ClockFields CSetClockDialog::Fields() const {
  const QDate date = m_dateCtrl->date();
  return {date.year(), date.month(), date.day(), m_cbHour->currentIndex(), m_cbMinute->currentIndex(),
          m_cbSecond->currentIndex()};
}

void CSetClockDialog::FollowClock() {
  if (m_bOperatorChanged) return;
  const QDateTime now = m_clock();
  m_bFollowing = true;
  m_dateCtrl->setDate(now.date());
  m_cbHour->setCurrentIndex(now.time().hour());
  m_cbMinute->setCurrentIndex(now.time().minute());
  m_cbSecond->setCurrentIndex(now.time().second());
  m_bFollowing = false;
}

bool CSetClockDialog::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress: {
      // Moving on or closing is no change of a field.
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key != Qt::Key_Tab && key != Qt::Key_Backtab && key != Qt::Key_Return && key != Qt::Key_Enter &&
          key != Qt::Key_Escape) {
        OnOperatorChange();
      }
      break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
      OnOperatorChange();
      break;
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

void CSetClockDialog::OnOperatorChange() {
  if (m_bFollowing) return;
  // From now on the fields hold what the operator set.
  m_bOperatorChanged = true;
  m_follow.stop();
}

void CSetClockDialog::OnOK() {
  // A dialog left open sends the time at OK, not the time it opened at.
  FollowClock();
  m_chosen = Fields();
  accept();
}
