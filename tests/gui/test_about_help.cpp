// The About box and the Help command as the operator meets them.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include "GuiTestSupport.h"
#include "app/CommandSurface.h"
#include "app/ui/CAboutBox.h"
#include "app/ui/CMainFrame.h"

using guitest::BoxAnswerer;
using guitest::ConfigFile;
using guitest::RunningApp;

namespace {

struct AboutCase {
  const char* name;
  std::optional<std::string> config;
  std::string caption;
  std::string ok;
  std::vector<std::string> linePrefixes;  // company .. rights; empty: the line is empty
  std::string version;
};

std::vector<AboutCase> AboutCases() {
  return {
      {"zero", "[config]\r\nlanguage=0\r\n", "关于", "确定", {"公司:", "电话:", "网址:", "邮箱:", "版权所有:"},
       "软件版本:澜屹PON光功能计管理软件 V1.0"},
      {"one", "[config]\r\nlanguage=1\r\n", "About", "OK", {"Company:", "+", "URL:", "service@", "Copyright:"},
       "Software Vision:Halvex PON Optical Power Meter Management Software V1.0"},
      {"two", "[config]\r\nlanguage=2\r\n", "关于", "确定", {}, "软件版本:V1.0"},
      {"three", "[config]\r\nlanguage=3\r\n", "About", "OK", {}, "Software Vision:V1.0"},
      {"none", std::nullopt, "", "", {}, ""},
  };
}

// PATH for the duration of a test.
class SearchPath {
 public:
  explicit SearchPath(const QString& path) : m_previous(qgetenv("PATH")) {
    qputenv("PATH", path.toLocal8Bit());
  }
  ~SearchPath() { qputenv("PATH", m_previous); }

 private:
  QByteArray m_previous;
};

// An executable `name` in `dir` running `body` (a shell script).
void WriteScript(const QDir& dir, const QString& name, const QByteArray& body) {
  QFile script(dir.filePath(name));
  ASSERT_TRUE(script.open(QIODevice::WriteOnly));
  script.write("#!/bin/sh\n" + body + "\n");
  script.close();
  script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

}  // namespace

TEST(AboutBox, ShowsTheTextsOfTheLanguageWithAllItsContentVisible) {
  for (const AboutCase& c : AboutCases()) {
    SCOPED_TRACE(c.name);
    ConfigFile config(c.config);
    CAboutBox box;
    box.show();
    ASSERT_TRUE(guitest::WaitFor([&] { return box.isVisible(); }));

    EXPECT_EQ(box.windowTitle().toStdString(), c.caption);
    EXPECT_EQ(box.OkButton()->text().toStdString(), c.ok);
    for (int n = 0; n < 5; ++n) {
      const std::string line = box.Line(n)->text().toStdString();
      if (c.linePrefixes.empty()) {
        EXPECT_EQ(line, "") << n;
      } else {
        EXPECT_EQ(line.rfind(c.linePrefixes[static_cast<size_t>(n)], 0), 0u) << line;
        EXPECT_GT(line.size(), c.linePrefixes[static_cast<size_t>(n)].size()) << line;
      }
    }
    EXPECT_EQ(box.Line(5)->text().toStdString(), c.version);

    // Everything lies inside the box: the OK button can be seen and clicked,
    // and every line shows its whole text.
    const QRect visible = box.rect();
    EXPECT_TRUE(visible.contains(box.OkButton()->geometry())) << box.size().width() << "x" << box.size().height();
    for (int n = 0; n < CAboutBox::kLines; ++n) {
      QLabel* line = box.Line(n);
      EXPECT_TRUE(visible.contains(line->geometry())) << n;
      EXPECT_GE(line->width(), line->sizeHint().width()) << n;
    }

    // Only the neutral Chinese flavour opens in the screen's top-left corner.
    const bool corner = box.frameGeometry().topLeft() == QPoint(0, 0);
    EXPECT_EQ(corner, std::string(c.name) == "two") << box.frameGeometry().x() << "," << box.frameGeometry().y();
  }
}

TEST(AboutBox, TheAboutCommandOpensItModallyAndOkClosesIt) {
  ConfigFile config("[config]\r\nlanguage=1\r\n");
  RunningApp running;
  std::string seen;
  QTimer::singleShot(0, [&] {
    guitest::WaitFor([&] { return qobject_cast<CAboutBox*>(QApplication::activeModalWidget()) != nullptr; });
    if (auto* box = qobject_cast<CAboutBox*>(QApplication::activeModalWidget())) {
      seen = box->windowTitle().toStdString();
      box->OkButton()->click();
    }
  });
  running.app->MainFrame()->OnCommand(cmd::ID_ABOUT);
  EXPECT_EQ(seen, "About");
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(HelpCommand, HandsTheFileOfTheWindowsLanguageToTheDesktop) {
  struct Case {
    std::string language;
    QString file;
  };
  for (const Case& c : {Case{"1", "help_qtv_e.chm"}, Case{"3", "help_e.chm"}}) {
    SCOPED_TRACE(c.language);
    ConfigFile config("[config]\r\nlanguage=" + c.language + "\r\n");
    RunningApp running;
    QTemporaryDir bin;
    WriteScript(QDir(bin.path()), "xdg-open", "printf '%s' \"$1\" > \"$0.arg\"");
    SearchPath path(bin.path());

    running.app->MainFrame()->OnCommand(cmd::ID_HELP);
    const QString argFile = QDir(bin.path()).filePath("xdg-open.arg");
    ASSERT_TRUE(guitest::WaitFor([&] { return QFile::exists(argFile) && QFileInfo(argFile).size() > 0; }));
    QFile arg(argFile);
    ASSERT_TRUE(arg.open(QIODevice::ReadOnly));
    const QString expected = QDir(QCoreApplication::applicationDirPath()).filePath(c.file);
    EXPECT_EQ(QString::fromLocal8Bit(arg.readAll()), expected);
    // The build put it there.
    EXPECT_TRUE(QFileInfo(expected).isFile());
  }
}

TEST(HelpCommand, SaysSoWhenNoProgramCanOpenTheFile) {
  struct Case {
    const char* name;
    QByteArray xdgOpen;  // empty: no xdg-open on the search path at all
  };
  const std::vector<Case> cases = {{"no opener", {}}, {"no handler for the type", "exit 3"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ConfigFile config("[config]\r\nlanguage=0\r\n");
    RunningApp running;
    QTemporaryDir bin;
    if (!c.xdgOpen.isEmpty()) WriteScript(QDir(bin.path()), "xdg-open", c.xdgOpen);
    SearchPath path(bin.path());

    BoxAnswerer answer(QMessageBox::Ok);
    running.app->MainFrame()->OnCommand(cmd::ID_HELP);
    ASSERT_TRUE(guitest::WaitFor([&] { return answer.Answered(); }));
    EXPECT_TRUE(answer.Text().startsWith(QStringLiteral("没有可以打开帮助文件的程序"))) << answer.Text().toStdString();
    EXPECT_TRUE(answer.Text().contains(QStringLiteral("help_sc.chm")));
    EXPECT_EQ(answer.Caption(), QStringLiteral("信息提示"));
  }
}
