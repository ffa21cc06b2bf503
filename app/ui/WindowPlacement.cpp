#include "app/ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

#include "common/ui/UserSettings.h"

QString WindowPlacement::File() { return usersettings::File(); }

void WindowPlacement::Place(QWidget& window) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect available = screen->availableGeometry();
  m_default = QRect(QPoint(), available.size() * 4 / 5);
  m_default.moveCenter(available.center());
  QRect placement = m_default;
  const QSettings s;
  const QRect kept = s.value(QStringLiteral("window/normal")).toRect();
  // A size kept on a larger screen is not used where it would not fit.
  if (kept.isValid() && available.contains(kept)) placement = kept;
  window.setGeometry(placement);
}

void WindowPlacement::Remember(const QWidget& window) const {
  const QRect normal =
      window.isMaximized() || window.isFullScreen() ? window.normalGeometry() : window.geometry();
  if (!normal.isValid() || normal == m_default) return;
  QSettings s;
  s.setValue(QStringLiteral("window/normal"), normal);
}
