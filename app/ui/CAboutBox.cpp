#include "app/ui/CAboutBox.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include "app/ui/ToolbarIcons.h"
#include "common/Language.h"
#include "common/Settings.h"
#include "common/ui/QtText.h"
#include "settings/ui/DialogTemplate.h"

namespace {
constexpr int kProgramImage = 1;  // the real-time reading picture
}  // namespace

CAboutBox::CAboutBox(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

  const std::optional<lang::Index> index = config::Settings::Read().LanguageIndex();
  static_cast<AboutTexts&>(*this) = AboutTexts::For(index);

  // The box keeps the size of its whole layout, so every line and the OK
  // button can be seen and clicked.
  const settings::ui::DialogTemplate t(this, 337, 197);
  auto* icon = new QLabel(this);
  // The program's icon; without one, the picture of the meter's live reading.
  const QIcon programIcon =
      QApplication::windowIcon().isNull() ? toolbar_icons::Image(kProgramImage) : QApplication::windowIcon();
  const QRect iconRect = t.Rect(11, 17, 21, 21);
  icon->setPixmap(programIcon.pixmap(iconRect.size()));
  icon->setGeometry(iconRect);

  setWindowTitle(Qs(m_strCaption));
  m_pOk = t.OkButton(m_strOkText, 143, 156);
  connect(m_pOk, &QPushButton::clicked, this, &QDialog::accept);
  m_pLines[0] = t.Label(Qs(m_strCompany), 46, 25, 171, 8);
  m_pLines[1] = t.Label(Qs(m_strPhone), 46, 42, 171, 8);
  m_pLines[2] = t.Label(Qs(m_strWeb), 46, 59, 171, 8);
  m_pLines[3] = t.Label(Qs(m_strEmail), 46, 76, 171, 8);
  m_pLines[4] = t.Label(Qs(m_strRights), 46, 93, 171, 8);
  m_pLines[5] = t.Label(Qs(m_strVersion), 46, 110, 288, 8);
  // The lines are shown as they are: no markup, and an ampersand stays one.
  for (QLabel* line : m_pLines) line->setTextFormat(Qt::PlainText);
  t.FitWidth();

  // The neutral Chinese flavour opens in the top-left corner of the screen.
  if (index == lang::Index::Two) move(0, 0);
}
