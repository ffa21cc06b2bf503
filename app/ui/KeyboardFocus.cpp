#include "app/ui/KeyboardFocus.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusFrame>
#include <QKeyEvent>

namespace {

// A blue ring reads on the light toolbar and on the dark readout panel alike.
const QColor kRing(0x2a, 0x8b, 0xf2);

}  // namespace

KeyboardFocus::KeyboardFocus(QWidget* window) : QObject(window), m_window(window) {
  m_ring = new QFocusFrame(window);
  m_ring->setObjectName(QStringLiteral("focusRing"));
  QPalette p = m_ring->palette();
  p.setColor(QPalette::WindowText, kRing);
  m_ring->setPalette(p);
  m_ring->hide();
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { Follow(now); });
}

void KeyboardFocus::AddButton(QAbstractButton* button) {
  // Buttons on a toolbar take no focus of their own.
  button->setFocusPolicy(Qt::TabFocus);
  button->installEventFilter(this);
}

void KeyboardFocus::Follow(QWidget* focused) {
  // Only what can be worked from the keyboard in this window gets the ring;
  // a dialog's widgets draw their own focus.
  if (!focused || focused->window() != m_window || focused == m_ring) {
    m_ring->setWidget(nullptr);
    m_ring->hide();
    return;
  }
  m_ring->setWidget(focused);
  m_ring->show();
}

bool KeyboardFocus::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && key->modifiers() == Qt::NoModifier) {
      if (auto* button = qobject_cast<QAbstractButton*>(watched); button && button->isEnabled()) {
        button->click();
        return true;
      }
    }
  }
  return QObject::eventFilter(watched, event);
}
