#include "settings/ui/DialogTemplate.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "common/ui/QtText.h"

namespace settings::ui {

namespace {
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
// Room kept right of the widest control when the dialog has to grow.
constexpr int kRightMargin = 7;
}  // namespace

DialogTemplate::DialogTemplate(QDialog* dialog, int width, int height) : m_dialog(dialog) {
  const QFontMetricsF metrics(dialog->font());
  // The average width of the Latin letters, as dialog templates measure it.
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  m_unitX = metrics.horizontalAdvance(letters) / letters.size() / 4.0;
  m_unitY = metrics.height() / 8.0;
  dialog->setFixedSize(Rect(0, 0, width, height).size());
}

QRect DialogTemplate::Rect(int x, int y, int w, int h) const {
  return QRect(static_cast<int>(std::lround(x * m_unitX)), static_cast<int>(std::lround(y * m_unitY)),
               static_cast<int>(std::lround(w * m_unitX)), static_cast<int>(std::lround(h * m_unitY)));
}

void DialogTemplate::Place(QWidget* widget, int x, int y, int w, int h) const {
  widget->setGeometry(Rect(x, y, w, h));
}

QLabel* DialogTemplate::Label(const QString& text, int x, int y, int w, int h) const {
  auto* label = new QLabel(text, m_dialog);
  QRect r = Rect(x, y, w, h);
  const QSize wanted = label->sizeHint();
  r.setWidth(std::max(r.width(), wanted.width()));
  // A label's text may be taller than eight units in a tall font: it grows
  // around its middle.
  if (wanted.height() > r.height()) {
    const int grow = wanted.height() - r.height();
    r.setTop(r.top() - grow / 2);
    r.setHeight(wanted.height());
  }
  label->setGeometry(r);
  return label;
}

QPushButton* DialogTemplate::OkButton(const std::string& text, int x, int y) const {
  auto* button = new QPushButton(Qs(text), m_dialog);
  button->setDefault(true);
  Place(button, x, y, kButtonWidth, kButtonHeight);
  return button;
}

QPushButton* DialogTemplate::CancelButton(const std::string& text, int x, int y) const {
  auto* button = new QPushButton(Qs(text), m_dialog);
  Place(button, x, y, kButtonWidth, kButtonHeight);
  QObject::connect(button, &QPushButton::clicked, m_dialog, &QDialog::reject);
  return button;
}

void DialogTemplate::FitWidth() const {
  int right = m_dialog->width();
  for (const QWidget* child : m_dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    right = std::max(right, child->geometry().right() + 1 + static_cast<int>(kRightMargin * m_unitX));
  }
  m_dialog->setFixedWidth(right);
}

}  // namespace settings::ui
