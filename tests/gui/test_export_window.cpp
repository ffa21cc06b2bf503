// The Export command in the window: the export dialog's entries decide what is
// written, and a failed save shows the error box.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <memory>
#include <optional>

#include "GuiTestSupport.h"
#include "app/CommandSurface.h"
#include "app/ui/CMainFrame.h"
#include "table/TableExport.h"
#include "table/ui/CTablePageWindow.h"

using guitest::BoxAnswerer;
using guitest::ConfigFile;
using guitest::RunningApp;
using guitest::WaitFor;

namespace {

// Fills the export dialog as an operator would when it appears.
class DialogFiller {
 public:
  DialogFiller(QString entry, QString path) : m_entry(std::move(entry)), m_path(std::move(path)) {
    m_timer.setInterval(10);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialog || !dialog->isVisible()) return;
      m_filters = dialog->nameFilters();
      dialog->selectNameFilter(m_entry);
      dialog->selectFile(m_path);
      // The dialog ignores selectFile once its name field has the focus, which
      // it may or may not have by now: the name is typed, as an operator would.
      if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) name->setText(m_path);
      static_cast<QDialog*>(dialog)->accept();
      m_timer.stop();
    });
    m_timer.start();
  }
  QStringList m_filters;

 private:
  QString m_entry, m_path;
  QTimer m_timer;
};

// The program started in a language, and a folder to export to.
class ExportWindow : public ::testing::Test {
 protected:
  CMainFrame* Start(const char* language) {
    config.emplace(std::string("[config]\r\nlanguage=") + language + "\r\n");
    running = std::make_unique<RunningApp>();
    EXPECT_TRUE(running->WaitForPages());
    EXPECT_TRUE(dir.isValid());
    return running->app->MainFrame();
  }
  std::optional<ConfigFile> config;
  std::unique_ptr<RunningApp> running;
  QTemporaryDir dir;
};

TEST_F(ExportWindow, FailedSaveShowsTheErrorBox) {
  CMainFrame* frame = Start("0");
  DialogFiller filler("Excel (*.xls)", dir.filePath("missing/t.xls"));
  BoxAnswerer answerer(QMessageBox::Ok);
  frame->OnCommand(cmd::ID_EXPORT);
  ASSERT_TRUE(WaitFor([&] { return answerer.Answered(); }));
  EXPECT_EQ(answerer.Text(), tableexport::kExportFailed);
  EXPECT_EQ(answerer.Caption(), QStringLiteral("信息提示"));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
