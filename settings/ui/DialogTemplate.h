#pragma once
// The settings dialogs are laid out in dialog units, as their templates give
// them: a horizontal unit is a quarter of the font's average character width,
// a vertical unit an eighth of its height. Converting with the dialog's own
// font keeps the proportions on any screen and font. A label whose text is
// wider than its template box is widened to the text, so nothing is cut off.
#include <QDialog>
#include <QFont>
#include <QRect>
#include <QString>
#include <string>

class QLabel;
class QPushButton;

namespace settings::ui {

class DialogTemplate {
 public:
  // Sizes `dialog` to a client area of width x height units.
  DialogTemplate(QDialog* dialog, int width, int height);

  QRect Rect(int x, int y, int w, int h) const;
  // Puts `widget` at the template position.
  void Place(QWidget* widget, int x, int y, int w, int h) const;
  // A label at the template position, widened to its text when that is wider.
  QLabel* Label(const QString& text, int x, int y, int w, int h) const;
  // The OK (default) and Cancel buttons; OK runs `ok`, Cancel rejects.
  QPushButton* OkButton(const std::string& text, int x, int y) const;
  QPushButton* CancelButton(const std::string& text, int x, int y) const;
  // Widens the dialog when a widened label reaches past its right edge.
  void FitWidth() const;

 private:
  QDialog* m_dialog;
  double m_unitX;
  double m_unitY;
};

}  // namespace settings::ui
