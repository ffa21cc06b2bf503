#pragma once
// The ring that shows which widget of the main window has the keyboard
// focus. It is drawn above everything else of the window it stands in, around
// the widget where there is room and along its inner edge where the widget
// meets the edge of what holds it (a list filling its page, the tab strip at
// the top of the form), so every stop of the Tab key shows it whole.
#include <QList>
#include <QPointer>
#include <QWidget>

class FocusRing : public QWidget {
  Q_OBJECT

 public:
  explicit FocusRing(QWidget* window);

  // Rings `widget` (nullptr: no ring), standing in `window`, the top-level
  // window that shows it.
  void SetWidget(QWidget* widget, QWidget* window);
  QWidget* widget() const { return m_widget; }

  static constexpr int kWidth = 2;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Follows the widget's place: its own and its holders' moves and sizes.
  void Place();
  void Watch(bool on);

  QPointer<QWidget> m_widget;
  QList<QPointer<QWidget>> m_watched;  // the widget and its holders up to the window
};
