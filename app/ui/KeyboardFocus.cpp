#include "app/ui/KeyboardFocus.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDockWidget>
#include <QKeyEvent>

#include "app/ui/FocusRing.h"

namespace {

bool IsEnter(const QKeyEvent& key) {
  return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
         (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool IsSpace(const QKeyEvent& key) { return key.key() == Qt::Key_Space && key.modifiers() == Qt::NoModifier; }

}  // namespace

KeyboardFocus::KeyboardFocus(QWidget* window) : QObject(window), m_window(window) {
  m_ring = new FocusRing(window);
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { Follow(now); });
  // Key commands (Space captures while a job is open) are matched before the
  // focused widget sees the key; the application's filter comes first of all.
  qApp->installEventFilter(this);
}

FocusRing* KeyboardFocus::Ring() const { return m_ring; }

KeyboardFocus::~KeyboardFocus() { delete m_ring; }

void KeyboardFocus::AddButton(QAbstractButton* button) {
  // Buttons on a toolbar take no focus of their own.
  button->setFocusPolicy(Qt::TabFocus);
}

QWidget* KeyboardFocus::OwnWindow(const QWidget* widget) const {
  if (!widget) return nullptr;
  QWidget* window = widget->window();
  if (window == m_window) return window;
  // A job dock floated off the window is still part of it.
  if (qobject_cast<QDockWidget*>(window) && window->parentWidget() == m_window) return window;
  return nullptr;
}

void KeyboardFocus::Follow(QWidget* focused) {
  // Only what can be worked from the keyboard in this window gets the ring;
  // a dialog's widgets draw their own focus.
  if (!m_ring) return;
  m_ring->SetWidget(focused, focused && focused != m_ring.data() ? OwnWindow(focused) : nullptr);
}

bool KeyboardFocus::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress) return QObject::eventFilter(watched, event);
  auto* button = qobject_cast<QAbstractButton*>(watched);
  if (!button || !button->hasFocus() || !OwnWindow(button)) return QObject::eventFilter(watched, event);
  const auto& key = static_cast<const QKeyEvent&>(*event);
  if (!IsSpace(key) && !IsEnter(key)) return QObject::eventFilter(watched, event);
  if (type == QEvent::ShortcutOverride) {
    // The focused button takes Space and Enter itself: no key command does.
    event->accept();
    return true;
  }
  if (IsEnter(key)) {
    // Space is the button's own key; Enter is pressed here.
    if (button->isEnabled()) button->click();
    return true;
  }
  return QObject::eventFilter(watched, event);
}
