#pragma once
// The About box: the program's version and, in the branded languages, the
// maker's contact lines. Built anew for each opening; it reads config.ini
// itself, so a language changed while the program runs shows here at once.
#include <QDialog>
#include <string>

#include "app/AboutTexts.h"

class QLabel;
class QPushButton;

// The box's texts are its own members (m_strCaption .. m_strVersion, from
// AboutTexts), filled when it is built.
class CAboutBox : public QDialog, public AboutTexts {
  Q_OBJECT

 public:
  explicit CAboutBox(QWidget* parent = nullptr);

  QPushButton* OkButton() const { return m_pOk; }
  // The line labels from top to bottom: company, telephone, web, e-mail,
  // rights holder, version.
  QLabel* Line(int n) const { return m_pLines[n]; }
  static constexpr int kLines = 6;

 private:
  QPushButton* m_pOk = nullptr;
  QLabel* m_pLines[kLines] = {};
};
