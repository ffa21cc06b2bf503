#include "jobs/ui/CNewJobDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "common/ui/QtText.h"
#include "jobs/JobTextRules.h"
#include "jobs/PointPattern.h"

namespace {

// A reason in red, wrapped to the form's width, hidden until there is one.
QLabel* ProblemLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setWordWrap(true);
  QPalette p = label->palette();
  p.setColor(QPalette::WindowText, QColor(0xd3, 0x2f, 0x2f));
  label->setPalette(p);
  label->hide();
  return label;
}

}  // namespace

CNewJobDialog::CNewJobDialog(const jobs::JobTexts& texts, std::vector<jobs::Profile> profiles, Create create,
                             QWidget* parent)
    : QDialog(parent), m_chinese(texts.chinese), m_profiles(std::move(profiles)), m_create(std::move(create)) {
  setWindowTitle(Qs(texts.newJob));
  auto* form = new QFormLayout(this);
  m_name = new QLineEdit(this);
  m_site = new QLineEdit(this);
  m_operator = new QLineEdit(this);
  m_profile = new QComboBox(this);
  m_pattern = new QLineEdit(this);
  m_nameProblem = ProblemLabel(this);
  m_patternProblem = ProblemLabel(this);
  m_jobProblem = ProblemLabel(this);
  for (const jobs::Profile& p : m_profiles) m_profile->addItem(Qs(p.name));
  form->addRow(Qs(texts.name), m_name);
  form->addRow(QString(), m_nameProblem);
  form->addRow(Qs(texts.site), m_site);
  form->addRow(Qs(texts.operatorName), m_operator);
  form->addRow(Qs(texts.profile), m_profile);
  form->addRow(Qs(texts.importPattern), m_pattern);
  form->addRow(QString(), m_patternProblem);
  // What the store takes, said before it refuses.
  for (QLineEdit* edit : {m_name, m_site, m_operator, m_pattern}) edit->setToolTip(Qs(texts.textLimits));
  auto* limits = new QLabel(Qs(texts.textLimits), this);
  limits->setWordWrap(true);
  form->addRow(limits);
  form->addRow(m_jobProblem);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  m_ok = buttons->button(QDialogButtonBox::Ok);
  m_ok->setText(Qs(texts.ok));
  buttons->button(QDialogButtonBox::Cancel)->setText(Qs(texts.cancel));
  connect(buttons, &QDialogButtonBox::accepted, this, &CNewJobDialog::OnOK);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);
}

void CNewJobDialog::Show(QLabel* label, const std::string& reason, QLineEdit* field) {
  label->setText(Qs(reason));
  label->setVisible(!reason.empty());
  if (field && !reason.empty()) field->setFocus(Qt::OtherFocusReason);
}

void CNewJobDialog::OnOK() {
  jobs::Job job;
  job.name = m_name->text().trimmed().toStdString();
  job.site = m_site->text().trimmed().toStdString();
  job.operatorName = m_operator->text().trimmed().toStdString();
  if (!m_profiles.empty()) job.profile = m_profiles[static_cast<size_t>(std::max(m_profile->currentIndex(), 0))];
  const std::string nameProblem = jobs::TextProblem(jobs::TextKind::Name, job.name, m_chinese);
  jobs::Labels points;
  const std::string pattern = m_pattern->text().trimmed().toStdString();
  if (!pattern.empty()) points = jobs::ExpandPattern(pattern);
  // Both reasons at once: the operator mends the form in one go.
  const std::string patternProblem = points.problem ? points.problem.Text(m_chinese) : std::string();
  Show(m_patternProblem, patternProblem, m_pattern);
  Show(m_nameProblem, nameProblem, m_name);
  Show(m_jobProblem, std::string());
  if (!nameProblem.empty() || !patternProblem.empty()) return;
  const std::string refused = m_create(job, points.labels);
  if (!refused.empty()) {
    Show(m_jobProblem, refused);
    return;
  }
  accept();
}
