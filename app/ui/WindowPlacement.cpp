#include "app/ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>

QString WindowPlacement::File() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/KM360R/window.ini");
}

void WindowPlacement::Place(QWidget& window) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect available = screen->availableGeometry();
  m_default = QRect(QPoint(), available.size() * 4 / 5);
  m_default.moveCenter(available.center());
  QRect placement = m_default;
  const QSettings s(File(), QSettings::IniFormat);
  const QRect kept = s.value(QStringLiteral("window/normal")).toRect();
  // A size kept on a larger screen is not used where it would not fit.
  if (kept.isValid() && available.contains(kept)) placement = kept;
  window.setGeometry(placement);
}

void WindowPlacement::Remember(const QWidget& window) const {
  const QRect normal =
      window.isMaximized() || window.isFullScreen() ? window.normalGeometry() : window.geometry();
  if (!normal.isValid() || normal == m_default) return;
  QSettings s(File(), QSettings::IniFormat);
  s.setValue(QStringLiteral("window/normal"), normal);
}
