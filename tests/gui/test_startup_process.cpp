// The program itself, started as a process: what happens when the display is
// missing, and the command line.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include "common/Language.h"

namespace {

QString ProgramPath() { return QString::fromStdString(lang::ProgramDirectory() + "km360r"); }

QProcessEnvironment WithoutDisplay() {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QString::fromLatin1(name));
  return env;
}

}  // namespace

TEST(StartupProcess, WithoutADisplayTheProgramSaysSoAndEndsWithCodeOne) {
  QProcess program;
  program.setProcessEnvironment(WithoutDisplay());
  program.start(ProgramPath(), {});
  ASSERT_TRUE(program.waitForStarted(10000)) << ProgramPath().toStdString();
  ASSERT_TRUE(program.waitForFinished(20000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 1);
  EXPECT_NE(QString::fromUtf8(program.readAllStandardError()).toStdString().find("初始化COM失败!"),
            std::string::npos);
}

TEST(StartupProcess, PortOptionWithoutAPathIsAUsageError) {
  QProcess program;
  program.setProcessEnvironment(WithoutDisplay());
  program.start(ProgramPath(), {QStringLiteral("--port")});
  ASSERT_TRUE(program.waitForStarted(10000));
  ASSERT_TRUE(program.waitForFinished(20000));
  EXPECT_EQ(program.exitCode(), 2);
  EXPECT_NE(program.readAllStandardError().indexOf("--port"), -1);
}
