#pragma once
// The size and place the main window takes when it is not maximised: the
// operator's own, kept from the last run, else about 80% of the screen,
// centred. Only a size the operator gave the window is kept.
#include <QRect>
#include <QString>

class QWidget;

class WindowPlacement {
 public:
  // Where the operator's size is kept: the per-user settings file
  // (common/ui/UserSettings.h), key window/normal.
  static QString File();

  // Gives `window` its size and place for the start.
  void Place(QWidget& window);
  // Keeps `window`'s restored size when the operator chose it.
  void Remember(const QWidget& window) const;

 private:
  QRect m_default;  // the window's own choice, not kept
};
