#pragma once
// Working the main window from the keyboard: Tab reaches the toolbar's
// buttons, the tabs, the readout panel's buttons and the table; the widget
// that has the focus is ringed so it can be seen; Space or Enter presses a
// focused button.
#include <QObject>

class QAbstractButton;
class QFocusFrame;
class QWidget;

class KeyboardFocus : public QObject {
  Q_OBJECT

 public:
  explicit KeyboardFocus(QWidget* window);

  // `button` takes the focus by Tab and is pressed by Space or Enter.
  void AddButton(QAbstractButton* button);
  // The ring around the focused widget of the window.
  QFocusFrame* Ring() const { return m_ring; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Follow(QWidget* focused);

  QWidget* m_window;
  QFocusFrame* m_ring;
};
