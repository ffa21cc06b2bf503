#pragma once
// The new job form: name, site, operator, threshold profile and a points
// pattern. OK keeps the form open while anything in it is refused, with the
// reason under the field it concerns and everything typed still there; the
// form closes only once the job exists.
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "jobs/Job.h"
#include "jobs/JobTexts.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CNewJobDialog : public QDialog {
  Q_OBJECT

 public:
  // Makes the job with its points; returns why it could not, or empty.
  using Create = std::function<std::string(const jobs::Job& job, const std::vector<std::string>& points)>;

  CNewJobDialog(const jobs::JobTexts& texts, std::vector<jobs::Profile> profiles, Create create,
                QWidget* parent = nullptr);

  QLineEdit* NameEdit() const { return m_name; }
  QLineEdit* PatternEdit() const { return m_pattern; }
  QComboBox* ProfileList() const { return m_profile; }
  // The reasons under the name, under the pattern, and for the job as a whole.
  QLabel* NameProblem() const { return m_nameProblem; }
  QLabel* PatternProblem() const { return m_patternProblem; }
  QLabel* JobProblem() const { return m_jobProblem; }
  QPushButton* OkButton() const { return m_ok; }

 private:
  void OnOK();
  // Shows `reason` on `label` (hidden while empty) and, for a field, puts the
  // focus there with the text as typed.
  static void Show(QLabel* label, const std::string& reason, QLineEdit* field = nullptr);

  bool m_chinese = false;  // reasons in the window's language
  std::vector<jobs::Profile> m_profiles;
  Create m_create;
  QLineEdit* m_name = nullptr;
  QLineEdit* m_site = nullptr;
  QLineEdit* m_operator = nullptr;
  QComboBox* m_profile = nullptr;
  QLineEdit* m_pattern = nullptr;
  QLabel* m_nameProblem = nullptr;
  QLabel* m_patternProblem = nullptr;
  QLabel* m_jobProblem = nullptr;
  QPushButton* m_ok = nullptr;
};
