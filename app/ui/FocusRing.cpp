#include "app/ui/FocusRing.h"

#include <QEvent>
#include <QPainter>
#include <QRegion>

namespace {

// A blue ring reads on the light toolbar and on the dark readout panel alike.
const QColor kRingColour(0x2a, 0x8b, 0xf2);

}  // namespace

FocusRing::FocusRing(QWidget* window) : QWidget(window) {
  setObjectName(QStringLiteral("focusRing"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  hide();
}

void FocusRing::SetWidget(QWidget* widget, QWidget* window) {
  Watch(false);
  m_widget = widget;
  if (!widget || !window) {
    hide();
    return;
  }
  if (parentWidget() != window) setParent(window);
  Watch(true);
  Place();
}

void FocusRing::Watch(bool on) {
  if (!on) {
    for (const QPointer<QWidget>& w : m_watched) {
      if (w) w->removeEventFilter(this);
    }
    m_watched.clear();
    return;
  }
  for (QWidget* w = m_widget; w && w != parentWidget(); w = w->parentWidget()) {
    w->installEventFilter(this);
    m_watched << w;
  }
}

void FocusRing::Place() {
  QWidget* window = parentWidget();
  if (!m_widget || !window || !m_widget->isVisible() || !window->isAncestorOf(m_widget)) {
    hide();
    return;
  }
  // Around the widget, then cut to what each of its holders shows of it: a
  // side that would fall outside is drawn just inside the widget instead.
  QRect ring = QRect(m_widget->mapTo(window, QPoint()), m_widget->size()).adjusted(-kWidth, -kWidth, kWidth, kWidth);
  for (QWidget* holder = m_widget->parentWidget(); holder && holder != window; holder = holder->parentWidget()) {
    ring &= QRect(holder->mapTo(window, QPoint()), holder->size());
  }
  ring &= window->rect();
  if (ring.width() <= 2 * kWidth || ring.height() <= 2 * kWidth) {
    hide();
    return;
  }
  setGeometry(ring);
  // Only the ring itself covers the window: what it surrounds stays as drawn.
  setMask(QRegion(rect()).subtracted(QRegion(rect().adjusted(kWidth, kWidth, -kWidth, -kWidth))));
  raise();
  show();
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ParentChange:
      // The widget or a holder moved to another holder: watch the new chain.
      Watch(false);
      Watch(true);
      Place();
      break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
      Place();
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

void FocusRing::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kRingColour);
}
