#pragma once
// The About box: the program's version and, in the branded languages, the
// maker's contact lines. Built anew for each opening; it reads config.ini
// itself, so a language changed while the program runs shows here at once.
#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

class CAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutBox(QWidget* parent = nullptr);

  QPushButton* OkButton() const { return m_pOk; }
  // The line labels from top to bottom: company, telephone, web, e-mail,
  // rights holder, version.
  QLabel* Line(int n) const { return m_pLines[n]; }
  static constexpr int kLines = 6;

  std::string m_strCaption;
  std::string m_strCompany;
  std::string m_strPhone;
  std::string m_strWeb;
  std::string m_strEmail;
  std::string m_strOkText;
  std::string m_strRights;
  std::string m_strVersion;

 private:
  QPushButton* m_pOk = nullptr;
  QLabel* m_pLines[kLines] = {};
};
