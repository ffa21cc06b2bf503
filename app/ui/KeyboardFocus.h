#pragma once
// Working the main window from the keyboard: Tab reaches the toolbar's
// buttons, the tabs, the readout panel's buttons, the job panel and the
// table; the widget that has the focus is ringed so it can be seen; Space or
// Enter presses a focused button anywhere in the window, the job panel's
// included, before any key command of the window takes the key.
#include <QObject>
#include <QPointer>

class QAbstractButton;
class QWidget;
class FocusRing;

class KeyboardFocus : public QObject {
  Q_OBJECT

 public:
  explicit KeyboardFocus(QWidget* window);
  // The ring goes with it (unless the window took it down first).
  ~KeyboardFocus() override;

  // `button`, which takes no focus of its own (a toolbar's), takes the focus
  // by Tab.
  void AddButton(QAbstractButton* button);
  // The ring around the focused widget of the window.
  FocusRing* Ring() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The top-level window `widget` shows in when that is the main window or
  // one of its floating docks; nullptr for a dialog's or another window's.
  QWidget* OwnWindow(const QWidget* widget) const;
  void Follow(QWidget* focused);

  QWidget* m_window;
  QPointer<FocusRing> m_ring;
};
