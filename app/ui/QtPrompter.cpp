#include "app/ui/QtPrompter.h"

#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

#include "app/ui/DialogSupport.h"
#include "common/ui/QtText.h"
#include "settings/ui/CCalibrationDialog.h"
#include "settings/ui/CMeasurementModeDialog.h"
#include "settings/ui/CSetClockDialog.h"
#include "settings/ui/CSetWavelengthDialog.h"
#include "table/ui/CTablePageWindow.h"

BoxAnswer QtPrompter::MessageBox(const std::string& text, const std::string& caption, BoxButtons buttons) {
  return AskBox(text, caption, buttons, false);
}

BoxAnswer QtPrompter::AskYesNoDefaultNo(const std::string& text, const std::string& caption) {
  return AskBox(text, caption, BoxButtons::YesNo, true);
}

BoxAnswer QtPrompter::AskBox(const std::string& text, const std::string& caption, BoxButtons buttons,
                             bool defaultNo) {
  const bool yesNo = buttons == BoxButtons::YesNo;
  QMessageBox box(yesNo ? QMessageBox::Question : QMessageBox::Information, Qs(caption), Qs(text),
                  yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, m_window);
  if (m_bChineseButtons) {
    if (yesNo) {
      box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
      box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    } else {
      box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    }
  }
  if (yesNo && defaultNo) box.setDefaultButton(QMessageBox::No);
  const int answer = box.exec();
  if (!yesNo) return BoxAnswer::Ok;
  return answer == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
}

SaveChoice QtPrompter::AskSaveDiscardCancel(const unsaved::Question& question) {
  QMessageBox box(QMessageBox::Warning, Qs(question.caption), Qs(question.text),
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, m_window);
  box.button(QMessageBox::Save)->setText(Qs(question.save));
  box.button(QMessageBox::Discard)->setText(Qs(question.discard));
  box.button(QMessageBox::Cancel)->setText(Qs(question.cancel));
  // Enter and Escape both keep the rows.
  box.setDefaultButton(QMessageBox::Cancel);
  box.setEscapeButton(QMessageBox::Cancel);
  box.exec();
  if (box.clickedButton() == box.button(QMessageBox::Save)) return SaveChoice::Save;
  if (box.clickedButton() == box.button(QMessageBox::Discard)) return SaveChoice::Discard;
  return SaveChoice::Cancel;
}

std::optional<std::string> QtPrompter::AskSavePath(const std::string& filter) {
  // The program asks about replacing a file itself.
  const QString path = QFileDialog::getSaveFileName(m_window, QString(), dialogs::LastFolder(),
                                                    CTablePageWindow::DialogFilter(filter), nullptr,
                                                    QFileDialog::DontConfirmOverwrite);
  if (path.isEmpty()) return std::nullopt;
  dialogs::RememberFolderOf(path);
  return QFile::encodeName(path).toStdString();
}

std::optional<std::string> QtPrompter::AskOpenPath(const std::string& filter) {
  const QString path =
      QFileDialog::getOpenFileName(m_window, QString(), dialogs::LastFolder(), CTablePageWindow::DialogFilter(filter));
  if (path.isEmpty()) return std::nullopt;
  dialogs::RememberFolderOf(path);
  return QFile::encodeName(path).toStdString();
}

std::optional<ExportChoice> QtPrompter::AskExportPath(const std::string& filter) {
  const QString filters = CTablePageWindow::DialogFilter(filter);
  QString selected;
  const QString path = QFileDialog::getSaveFileName(m_window, QString(), dialogs::LastFolder(), filters, &selected);
  if (path.isEmpty()) return std::nullopt;
  dialogs::RememberFolderOf(path);
  const int index = static_cast<int>(filters.split(QStringLiteral(";;")).indexOf(selected));
  return ExportChoice{QFile::encodeName(path).toStdString(), std::max(index, 0)};
}

void QtPrompter::ErrorBox(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::Critical, Qs(caption), Qs(text), QMessageBox::Ok, m_window);
  if (m_bChineseButtons) box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
  box.exec();
}

void QtPrompter::ShowWaitCursor(bool on) {
  if (on) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QGuiApplication::restoreOverrideCursor();
  }
}

namespace {

// Runs `dialog` modally over its parent and gives what it chose.
template <typename Dialog>
std::optional<settings::Choice> ChoiceOf(Dialog& dialog) {
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Chosen();
}

}  // namespace

std::optional<settings::Choice> QtPrompter::AskSetting(DataKind kind) {
  if (!m_link) return std::nullopt;
  switch (kind) {
    case DataKind::Clock: {
      CSetClockDialog dialog(m_window);
      return ChoiceOf(dialog);
    }
    case DataKind::Wavelength: {
      CSetWavelengthDialog dialog(*m_link, m_window);
      return ChoiceOf(dialog);
    }
    case DataKind::Calibration: {
      CCalibrationDialog dialog(*m_link, m_window);
      return ChoiceOf(dialog);
    }
    case DataKind::Mode: {
      CMeasurementModeDialog dialog(m_window);
      return ChoiceOf(dialog);
    }
    default:
      return std::nullopt;
  }
}
