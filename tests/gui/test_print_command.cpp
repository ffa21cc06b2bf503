// The Print command in the running program: the system print dialog, its PDF
// printer, and the report written at 600 pixels per inch.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPrintDialog>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "GuiTestSupport.h"
#include "app/CommandSurface.h"
#include "app/ui/CMainFrame.h"
#include "common/Gbk.h"
#include "table/ui/CTablePageWindow.h"

namespace {

using guitest::ConfigFile;
using guitest::RunningApp;

std::string Output(const std::string& command) {
  std::string out;
  FILE* p = ::popen(command.c_str(), "r");
  if (!p) return out;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) out.append(buffer, n);
  ::pclose(p);
  return out;
}

// Answers the print dialog when it comes up: the PDF printer into `pdf`, or
// Cancel when `pdf` is empty.
void AnswerPrintDialog(const QString& pdf, bool& seen) {
  QTimer::singleShot(50, [pdf, &seen] {
    auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
    if (!dialog) return AnswerPrintDialog(pdf, seen);
    seen = true;
    if (pdf.isEmpty()) return dialog->reject();
    auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
    if (printers) printers->setCurrentIndex(printers->count() - 1);  // the PDF file comes last
    if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("filename"))) name->setText(pdf);
    dialog->accept();
  });
}

TEST(PrintCommand, ThePdfPrinterOfThePrintDialogGetsTheWholeTableAndCancelPrintsNothing) {
  ConfigFile config("[config]\r\nlanguage=0\r\n");
  RunningApp running;
  ASSERT_TRUE(running.WaitForPages());
  TableModel& table = running.TablePageWindow()->Page().Model();
  const int row = table.InsertRow(0, "1");
  const char* cells[] = {"1310", "13.81uW", "-18.60", "2026/12/06 23:09:22"};
  for (int c = 1; c <= 4; ++c) table.SetCell(row, c, cells[c - 1]);
  table.SetCell(row, 5, gbk::FromUtf8("机房A"));
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());

  bool seen = false;
  AnswerPrintDialog(QString(), seen);
  running.app->MainFrame()->OnCommand(cmd::ID_PRINT);
  EXPECT_TRUE(seen);
  EXPECT_TRUE(QDir(dir.path()).isEmpty());

  const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
  seen = false;
  AnswerPrintDialog(pdf, seen);
  guitest::BoxAnswerer noBox(QMessageBox::Ok);
  running.app->MainFrame()->OnCommand(cmd::ID_PRINT);
  ASSERT_TRUE(seen);
  EXPECT_FALSE(noBox.Answered());
  ASSERT_TRUE(QFile::exists(pdf));
  const std::string path = QFile::encodeName(pdf).toStdString();
  const std::string text = Output("pdftotext -layout '" + path + "' -");
  EXPECT_NE(text.find("Optical Power Meter 测试报告"), std::string::npos) << text;
  EXPECT_NE(text.find("机房A"), std::string::npos) << text;
  // At 600 pixels per inch the remark column starts 3580 / 600 inch (430 pt)
  // right of the printable area's edge; at the dialog's own 1200 it would
  // start at 215 pt.
  const std::string boxes = Output("pdftotext -bbox '" + path + "' - | grep '>备注<'");
  double xMin = 0;
  ASSERT_EQ(std::sscanf(boxes.c_str(), " <word xMin=\"%lf\"", &xMin), 1) << boxes;
  EXPECT_GT(xMin, 430);
  EXPECT_LT(xMin, 430 + 72);
}

}  // namespace
