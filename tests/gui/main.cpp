// The window tests run on Qt's offscreen platform unless a display is asked for.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>

#include "app/ui/CApplication.h"

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  CApplication::SetSettingsKey();
  // Settings the program remembers (the file dialogs' folder) go to a test
  // location, not the user's.
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  // Settings the windows keep go to a test location, not the user's own; the
  // per-user settings file goes to a folder of this test program's own, on
  // Windows as well, where Qt would otherwise put it under the user's
  // application data: the tests run as many programs at once, and one's
  // saved reference or limits must not turn up in another's readout.
  QStandardPaths::setTestModeEnabled(true);
  const QTemporaryDir settingsDir;
  if (!settingsDir.isValid()) return 2;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
  // A test window that is closed must not end the test program.
  app.setQuitOnLastWindowClosed(false);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
